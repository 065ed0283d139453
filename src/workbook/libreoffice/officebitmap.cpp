#include "officebitmap.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>

namespace {

constexpr uchar full = 0xFF;

// Where the lines of a bottom-up, uncompressed 24-bit bitmap are, or nothing for any other kind.
struct BitmapLines {
    const uchar* bits = nullptr;
    int width = 0;
    int height = 0;
    qsizetype stride = 0;
    const uchar* line(int y) const { return bits + (height - 1 - y) * stride; }
};

std::optional<BitmapLines> plainBitmap(const QByteArray& bytes)
{
    constexpr qsizetype fileHeader = 14;
    constexpr qsizetype infoHeader = 40;
    if (bytes.size() < fileHeader + infoHeader || !bytes.startsWith("BM"))
        return std::nullopt;
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const quint32 offset = qFromLittleEndian<quint32>(data + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(data + 14);
    const qint32 width = qFromLittleEndian<qint32>(data + 18);
    const qint32 height = qFromLittleEndian<qint32>(data + 22);
    const quint16 planes = qFromLittleEndian<quint16>(data + 26);
    const quint16 bitsPerPixel = qFromLittleEndian<quint16>(data + 28);
    const quint32 compression = qFromLittleEndian<quint32>(data + 30);
    if (headerSize < infoHeader || planes != 1 || bitsPerPixel != 24 || compression != 0
        || width <= 0 || height <= 0 || width > 32767 || height > 32767)
        return std::nullopt;
    // The file size in the header is not always right; the lines must be there.
    const qsizetype stride = (qsizetype(width) * 3 + 3) / 4 * 4;
    if (offset < fileHeader + headerSize || qsizetype(offset) + stride * height > bytes.size())
        return std::nullopt;
    return BitmapLines { data + offset, width, height, stride };
}

// The first byte from 'from' on that is not 0xFF, or 'to'; eight at a time, as a white line of
// the bitmap is thousands of them.
const uchar* firstNotFull(const uchar* from, const uchar* to)
{
    for (; to - from >= 8; from += 8) {
        quint64 word;
        std::memcpy(&word, from, sizeof word);
        if (word != ~quint64(0))
            break;
    }
    return std::find_if(from, to, [](uchar byte) { return byte != full; });
}

// One past the last byte before 'to' that is not 0xFF, or 'from'.
const uchar* lastNotFull(const uchar* from, const uchar* to)
{
    for (; to - from >= 8; to -= 8) {
        quint64 word;
        std::memcpy(&word, to - 8, sizeof word);
        if (word != ~quint64(0))
            break;
    }
    return std::find_if(std::make_reverse_iterator(to), std::make_reverse_iterator(from),
        [](uchar byte) { return byte != full; })
        .base();
}

// Blue, green, red bytes to screen pixels, four pixels from three 32-bit words at a time.
void toScreenPixels(const uchar* from, QRgb* to, int count)
{
    constexpr QRgb opaque = 0xFF000000;
    int x = 0;
    for (; x + 4 <= count; x += 4, from += 12) {
        quint32 words[3];
        std::memcpy(words, from, sizeof words);
        const quint32 first = qFromLittleEndian(words[0]);
        const quint32 second = qFromLittleEndian(words[1]);
        const quint32 third = qFromLittleEndian(words[2]);
        to[x] = opaque | (first & 0xFFFFFF);
        to[x + 1] = opaque | (first >> 24) | ((second & 0xFFFF) << 8);
        to[x + 2] = opaque | (second >> 16) | ((third & 0xFF) << 16);
        to[x + 3] = opaque | (third >> 8);
    }
    for (; x < count; ++x, from += 3)
        to[x] = qRgb(from[2], from[1], from[0]);
}

// The smallest rectangle holding every drawn pixel of a picture of that height, from where each
// line's drawing starts and ends (nothing for a blank line); the top left pixel when none is drawn.
template <typename LineExtent> QRect drawnArea(int height, LineExtent extentOf)
{
    int top = -1, bottom = -1, left = std::numeric_limits<int>::max(), right = -1;
    for (int y = 0; y < height; ++y) {
        const std::optional<std::pair<int, int>> extent = extentOf(y);
        if (!extent)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        left = std::min(left, extent->first);
        right = std::max(right, extent->second);
    }
    if (top < 0)
        return QRect(0, 0, 1, 1);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QImage trimmedBitmap(const BitmapLines& bitmap)
{
    const qsizetype lineBytes = qsizetype(bitmap.width) * 3;
    const QRect drawn = drawnArea(bitmap.height, [&](int y) -> std::optional<std::pair<int, int>> {
        const uchar* line = bitmap.line(y);
        const uchar* end = line + lineBytes;
        const uchar* first = firstNotFull(line, end);
        if (first == end)
            return std::nullopt;
        const uchar* last = lastNotFull(first, end);
        return std::make_pair(int((first - line) / 3), int((last - 1 - line) / 3));
    });
    QImage picture(drawn.size(), QImage::Format_RGB32);
    // Too large to hold in memory: no picture.
    if (picture.isNull())
        return picture;
    for (int y = drawn.top(); y <= drawn.bottom(); ++y)
        toScreenPixels(bitmap.line(y) + qsizetype(drawn.left()) * 3,
            reinterpret_cast<QRgb*>(picture.scanLine(y - drawn.top())), picture.width());
    return picture;
}

} // namespace

QRect drawnPart(const QImage& picture)
{
    const QRgb white = qRgb(255, 255, 255);
    auto isDrawn = [&](QRgb pixel) { return pixel != white; };
    return drawnArea(picture.height(), [&](int y) -> std::optional<std::pair<int, int>> {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        const auto* end = line + picture.width();
        const auto* first = std::find_if(line, end, isDrawn);
        if (first == end)
            return std::nullopt;
        const auto* last = std::find_if(
            std::make_reverse_iterator(end), std::make_reverse_iterator(first), isDrawn)
                               .base();
        return std::make_pair(int(first - line), int(last - 1 - line));
    });
}

QImage trimmedPicture(const QByteArray& bytes)
{
    if (const std::optional<BitmapLines> bitmap = plainBitmap(bytes))
        return trimmedBitmap(*bitmap);
    const QImage picture = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    return picture.copy(drawnPart(picture));
}
