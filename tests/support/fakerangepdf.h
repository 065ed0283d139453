#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// The sheet picture the fake office copies: white, with a dark first cell 64 x 20 pixels.
QImage fakeSheetPicture(QSize size);
// The fake office's PDF of that picture's range, on a page with the office's margin: its dark
// first cell is green here, so that a test can tell the drawing from the picture, and the
// gridlines are a frame round the range. AppError when the file cannot be written.
void writeFakeRangePdf(const QString& path, QSize pictureSize, bool gridlines);
