#pragma once

class Form2;

// Adds "Export as PDF…" and "Print…" below a separator in the picture's context menu, with
// Ctrl+E and Ctrl+P on the whole window; both run through the installed ResultOutput.
void addExportActions(Form2& form);
