#pragma once

class QWidget;
class SpreadsheetOffice;

// Releases the office's held start (SpreadsheetOffice::holdStart) once the window has painted
// for the first time, after that paint has gone to the screen, or at the latest two seconds after
// this call: on two processors the office's start would otherwise delay the window's first
// paint.
void releaseOfficeStartAfterFirstPaint(QWidget& window, SpreadsheetOffice& office);
