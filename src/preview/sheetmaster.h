#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <memory>

class QPdfDocument;

// The sheet picture as a vector drawing: the office's PDF of the picture's range with its
// printed gridlines and without them, drawn at any size in the picture's screen look (grey
// gridlines, none inside fills), on the picture's geometry: the outer gridlines' outer edges are
// the picture's edges.
class SheetMaster final {
public:
    // Null when either drawing cannot be read or the picture size is empty.
    static std::shared_ptr<const SheetMaster> fromPdf(
        const QByteArray& lined, const QByteArray& plain, QSize pictureSize);
    ~SheetMaster();
    SheetMaster(const SheetMaster&) = delete;
    SheetMaster& operator=(const SheetMaster&) = delete;

    // The size of the 96-dpi picture this drawing stands for.
    QSize pictureSize() const { return mPictureSize; }
    // Where the picture lies on the drawings' first page, in points.
    QRectF box() const { return mBox; }
    // The part (in pixels of the sheet drawn at the scaled size) of the sheet drawn at that size.
    QImage render(QSize scaled, const QRect& part) const;
    // The whole sheet at ratio times its natural size, carrying that device pixel ratio.
    QImage whole(qreal ratio) const;

private:
    explicit SheetMaster(QSize pictureSize);
    bool load(const QByteArray& lined, const QByteArray& plain);
    QRectF findBox() const;
    static QImage renderPage(QPdfDocument& document, QSize scaledPage, const QRect& clip);

    QSize mPictureSize;
    // The documents read their bytes from these while they live.
    QBuffer mLinedBytes;
    QBuffer mPlainBytes;
    std::unique_ptr<QPdfDocument> mLined;
    std::unique_ptr<QPdfDocument> mPlain;
    QRectF mBox;
};
