#include "screengridlines.h"

#include <algorithm>
#include <vector>

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRgb gridlineGrey = qRgb(0xC0, 0xC0, 0xC0);
const QRgb gridBlack = qRgb(0, 0, 0);

const QRgb* pixelsOf(const QImage& image, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y));
}

// Columns and rows of pixels that may hold gridlines: those with a black run longer than a
// letter is high or a dash is long. Text that passes still never fills a whole stretch between
// two crossing lines, which is what a gridline does.
struct GridCandidates {
    QList<int> columns, rows;
};

GridCandidates gridCandidates(const QImage& picture)
{
    constexpr int longerThanLetters = 12;
    const int width = picture.width();
    // Per column, the row where its present black run began and its longest run; a pixel that
    // is not black costs one comparison.
    std::vector<int> runFrom(size_t(width), 0), longest(size_t(width), 0);
    GridCandidates candidates;
    const QRgb* above = nullptr;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* pixels = pixelsOf(picture, y);
        int rowRun = 0, rowLongest = 0;
        for (int x = 0; x < width; ++x) {
            if (pixels[x] != gridBlack) {
                rowRun = 0;
                continue;
            }
            if (!above || above[x] != gridBlack)
                runFrom[size_t(x)] = y;
            longest[size_t(x)] = std::max(longest[size_t(x)], y - runFrom[size_t(x)] + 1);
            rowLongest = std::max(rowLongest, ++rowRun);
        }
        if (rowLongest >= longerThanLetters)
            candidates.rows << y;
        above = pixels;
    }
    for (int x = 0; x < width; ++x)
        if (longest[size_t(x)] >= longerThanLetters)
            candidates.columns << x;
    return candidates;
}

enum LineFlag : quint8 { across = 1, down = 2 };

} // namespace

QImage withScreenGridlines(QImage drawn)
{
    QImage picture = std::move(drawn).convertToFormat(QImage::Format_RGB32);
    const int width = picture.width();
    const int height = picture.height();
    const GridCandidates candidates = gridCandidates(picture);
    std::vector<quint8> lines(size_t(width) * size_t(height), 0);
    auto lineAt
        = [&](int x, int y) -> quint8& { return lines[size_t(y) * size_t(width) + size_t(x)]; };
    // A stretch counts when all of it between the two crossing lines is black.
    for (const int x : candidates.columns) {
        for (int i = 0; i + 1 < candidates.rows.size(); ++i) {
            const int from = candidates.rows[i], to = candidates.rows[i + 1];
            bool drawnThrough = to - from > 1;
            for (int y = from + 1; y < to && drawnThrough; ++y)
                drawnThrough = pixelsOf(picture, y)[x] == gridBlack;
            for (int y = from; drawnThrough && y <= to; ++y)
                lineAt(x, y) |= down;
        }
    }
    for (const int y : candidates.rows) {
        const QRgb* pixels = pixelsOf(picture, y);
        for (int i = 0; i + 1 < candidates.columns.size(); ++i) {
            const int from = candidates.columns[i], to = candidates.columns[i + 1];
            if (to - from > 1 && std::all_of(pixels + from + 1, pixels + to, [](QRgb p) {
                    return p == gridBlack;
                }))
                for (int x = from; x <= to; ++x)
                    lineAt(x, y) |= across;
        }
    }
    // The colours beside the lines are read before any line pixel is recoloured; only the line
    // pixels change, so they alone wait to be written.
    auto colourAt = [&](int x, int y) {
        return x < 0 || y < 0 || x >= width || y >= height ? white : pixelsOf(picture, y)[x];
    };
    struct Recoloured {
        int x, y;
        QRgb colour;
    };
    std::vector<Recoloured> recoloured;
    recoloured.reserve(size_t(candidates.rows.size()) * size_t(width)
        + size_t(candidates.columns.size()) * size_t(height));
    auto recolour = [&](int x, int y) {
        const quint8 line = lineAt(x, y);
        if (line == 0 || pixelsOf(picture, y)[x] != gridBlack)
            return;
        const int dx = (line & down) ? 1 : 0, dy = (line & across) ? 1 : 0;
        const QRgb cell = colourAt(x + dx, y + dy);
        bool blankBeside = cell == white;
        if (dx && dy) {
            for (const QPoint corner : { QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1) })
                blankBeside |= colourAt(x + corner.x(), y + corner.y()) == white;
        } else {
            blankBeside |= colourAt(x - dx, y - dy) == white;
        }
        recoloured.push_back({ x, y, blankBeside ? gridlineGrey : cell });
    };
    // Lines lie on the candidate rows and columns only.
    std::vector<bool> candidateRow(size_t(height), false);
    for (const int y : candidates.rows) {
        candidateRow[size_t(y)] = true;
        for (int x = 0; x < width; ++x)
            recolour(x, y);
    }
    for (const int x : candidates.columns)
        for (int y = 0; y < height; ++y)
            if (!candidateRow[size_t(y)])
                recolour(x, y);
    uchar* bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    for (const Recoloured& pixel : recoloured)
        reinterpret_cast<QRgb*>(bits + pixel.y * stride)[pixel.x] = pixel.colour;
    return picture;
}
