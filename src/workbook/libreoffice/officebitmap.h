#pragma once

#include <QImage>
#include <QRect>

// The picture in a bitmap file as the office hands a range's drawing over (a Windows BMP), read
// straight into the screen's pixel format, with the white edges the office leaves round the
// drawing cut off on the way: only the part that stays is converted. Other images are read by
// their content and trimmed the same way. A null image when the bytes hold no picture.
QImage trimmedPicture(const QByteArray& bytes);

// The smallest rectangle that holds every pixel that is not white; a picture that is white all
// over keeps its top left pixel.
QRect drawnPart(const QImage& picture);
