#include "pdfsheetmaster.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfDocument>
#include <optional>

namespace {

// The office's page puts a margin of this size round the range; a picture pixel at 96 dpi is
// three quarters of a point.
constexpr qreal marginPoints = 5 / 25.4 * 72;
constexpr qreal pointsPerPixel = 0.75;
// The outer gridlines are looked for from this far before the margin, to an eighth of a point.
constexpr qreal searchPoints = 4;
constexpr qreal findScale = 8;
// The grey of the screen's gridlines, which the office prints black.
constexpr int gridGrey = 0xC0;

std::unique_ptr<QPdfDocument> loaded(const QByteArray& bytes, QBuffer& buffer)
{
    auto document = std::make_unique<QPdfDocument>();
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return nullptr;
    document->load(&buffer);
    if (document->status() != QPdfDocument::Status::Ready || document->pageCount() < 1)
        return nullptr;
    return document;
}

// The screen look: where the gridlines are the only difference, a line beside a blank cell is
// grey and one inside a fill takes the fill's colour; antialiased edges keep their share.
QImage screenLook(const QImage& lined, const QImage& plain)
{
    const int width = lined.width();
    const int height = lined.height();
    auto plainAt
        = [&](int x, int y) { return reinterpret_cast<const QRgb*>(plain.constScanLine(y))[x]; };
    auto blank = [](QRgb pixel) { return qGray(pixel) >= 250; };
    // A line is a pixel or two wide at any size: a blank cell that near is beside it.
    auto besideBlank = [&](int x, int y) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int nx = x + dx;
                const int ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < width && ny < height && blank(plainAt(nx, ny)))
                    return true;
            }
        return false;
    };
    auto grey = [](int channel) { return 255 - (255 - channel) * (255 - gridGrey) / 255; };
    QImage result(lined.size(), QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* withLines = reinterpret_cast<const QRgb*>(lined.constScanLine(y));
        const auto* without = reinterpret_cast<const QRgb*>(plain.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb line = withLines[x];
            out[x] = line == without[x] || !besideBlank(x, y)
                ? without[x]
                : qRgb(grey(qRed(line)), grey(qGreen(line)), grey(qBlue(line)));
        }
    }
    return result;
}

} // namespace

PdfSheetMaster::PdfSheetMaster(QSize pictureSize)
    : SheetMaster(pictureSize)
{
}

PdfSheetMaster::~PdfSheetMaster() = default;

bool PdfSheetMaster::load(const QByteArray& lined, const QByteArray& plain)
{
    mLined = loaded(lined, mLinedBytes);
    mPlain = loaded(plain, mPlainBytes);
    if (!mLined || !mPlain)
        return false;
    mBox = findBox();
    return !mBox.isEmpty();
}

std::shared_ptr<const SheetMaster> PdfSheetMaster::fromPdf(
    const QByteArray& lined, const QByteArray& plain, QSize pictureSize)
{
    if (pictureSize.isEmpty())
        return nullptr;
    std::shared_ptr<PdfSheetMaster> master(new PdfSheetMaster(pictureSize));
    if (!master->load(lined, plain))
        return nullptr;
    return master;
}

QRectF PdfSheetMaster::findBox() const
{
    // Across, the office draws the columns a whole number of pixels wide, as the picture does,
    // so the picture's width gives the box's. Down, the picture's rows are shorter than the
    // drawing's by a share: the box is the page less its margins. The top and left gridlines
    // are looked for large, in thin strips about the margins.
    const QSizeF page = mLined->pagePointSize(0);
    const QSize scaledPage = (page * findScale).toSize();
    const int reach = qRound(searchPoints * findScale);
    // The first ink in a strip about `at` (in points).
    auto ink = [&](qreal at, bool columns) -> std::optional<qreal> {
        const int from = qRound(at * findScale) - reach;
        const QRect clip = columns ? QRect(from, 0, 2 * reach, scaledPage.height())
                                   : QRect(0, from, scaledPage.width(), 2 * reach);
        const QImage strip = renderPage(*mLined, scaledPage, clip);
        const int length = columns ? strip.width() : strip.height();
        const int across = columns ? strip.height() : strip.width();
        for (int i = 0; i < length; ++i)
            for (int j = 0; j < across; j += 2)
                if (qGray(columns ? strip.pixel(i, j) : strip.pixel(j, i)) < 128)
                    return (from + i) / findScale;
        return std::nullopt;
    };
    const qreal left = ink(marginPoints, true).value_or(marginPoints - pointsPerPixel / 2);
    const qreal top = ink(marginPoints, false).value_or(marginPoints - pointsPerPixel / 2);
    // The office made the page the range's height and two margins.
    return QRectF(left, top, pictureSize().width() * pointsPerPixel, page.height() - 2 * top);
}

QImage PdfSheetMaster::renderPage(QPdfDocument& document, QSize scaledPage, const QRect& clip)
{
    QPdfDocumentRenderOptions options;
    options.setScaledSize(scaledPage);
    options.setScaledClipRect(clip);
    // The office's page has no background of its own: the sheet is drawn on white.
    const QImage drawn = document.render(0, clip.size(), options);
    QImage onWhite(clip.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter painter(&onWhite);
    painter.drawImage(0, 0, drawn);
    return onWhite;
}

QImage PdfSheetMaster::render(QSize scaled, const QRect& part) const
{
    if (scaled.isEmpty() || part.isEmpty())
        return QImage();
    const QSizeF perPoint(scaled.width() / mBox.width(), scaled.height() / mBox.height());
    const QSizeF page = mLined->pagePointSize(0);
    const QSize scaledPage(
        qRound(page.width() * perPoint.width()), qRound(page.height() * perPoint.height()));
    const QRect clip = part.translated(
        qRound(mBox.left() * perPoint.width()), qRound(mBox.top() * perPoint.height()));
    return screenLook(renderPage(*mLined, scaledPage, clip), renderPage(*mPlain, scaledPage, clip));
}
