#pragma once

class QWidget;

// Gives a window and its frames, labels, check boxes and option buttons the palette's
// button-face colour as background, and the button text's colour for what is drawn on it. Picture
// boxes and every other control keep their colours.
void RecolourForm(QWidget& form);
