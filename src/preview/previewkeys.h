#pragma once

class Form2;

// The preview's keyboard: the keys that scroll the picture (arrows, page keys, Home and End for
// the sheet's left and right edges, Ctrl+Home and Ctrl+End for its corners) and open its menu
// (Shift+F10, the Menu key), on the whole window; the picture as the keyboard's place, marked
// while it has the focus; Return and Enter pressing the focused button.
void addPreviewKeys(Form2& form);
