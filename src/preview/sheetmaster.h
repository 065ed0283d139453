#pragma once

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <memory>

// The sheet picture as a vector drawing: the office's PDF of the picture's range with its
// printed gridlines and without them, drawn at any size in the picture's screen look (grey
// gridlines, none inside fills), on the picture's geometry: the outer gridlines' outer edges are
// the picture's edges.
class SheetMaster {
public:
    // Null when either drawing cannot be read, the picture size is empty or the PDF renderer (the
    // module ferrowynd_pdf, loaded on first use) cannot be loaded, which is written to stderr.
    static std::shared_ptr<const SheetMaster> fromPdf(
        const QByteArray& lined, const QByteArray& plain, QSize pictureSize);
    virtual ~SheetMaster() = default;
    SheetMaster(const SheetMaster&) = delete;
    SheetMaster& operator=(const SheetMaster&) = delete;

    // The size of the 96-dpi picture this drawing stands for.
    QSize pictureSize() const { return mPictureSize; }
    // Where the picture lies on the drawings' first page, in points.
    virtual QRectF box() const = 0;
    // The part (in pixels of the sheet drawn at the scaled size) of the sheet drawn at that size.
    virtual QImage render(QSize scaled, const QRect& part) const = 0;
    // The whole sheet at ratio times its natural size, carrying that device pixel ratio.
    QImage whole(qreal ratio) const;

protected:
    explicit SheetMaster(QSize pictureSize)
        : mPictureSize(pictureSize)
    {
    }

private:
    QSize mPictureSize;
};

// The PDF renderer needs Qt's PDF library, which the program loads only when a sheet is drawn
// from PDF: it lives in the module ferrowynd_pdf (preview/pdf).
struct PdfModule {
    std::shared_ptr<const SheetMaster> (*sheetMasterFromPdf)(
        const QByteArray& lined, const QByteArray& plain, QSize pictureSize);
};
