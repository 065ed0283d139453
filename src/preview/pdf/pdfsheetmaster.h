#pragma once

#include "preview/sheetmaster.h"

#include <QBuffer>

class QPdfDocument;

// SheetMaster drawn by Qt's PDF library.
class PdfSheetMaster final : public SheetMaster {
public:
    static std::shared_ptr<const SheetMaster> fromPdf(
        const QByteArray& lined, const QByteArray& plain, QSize pictureSize);
    ~PdfSheetMaster() override;

    QRectF box() const override { return mBox; }
    QImage render(QSize scaled, const QRect& part) const override;

private:
    explicit PdfSheetMaster(QSize pictureSize);
    bool load(const QByteArray& lined, const QByteArray& plain);
    QRectF findBox() const;
    static QImage renderPage(QPdfDocument& document, QSize scaledPage, const QRect& clip);

    // The documents read their bytes from these while they live.
    QBuffer mLinedBytes;
    QBuffer mPlainBytes;
    std::unique_ptr<QPdfDocument> mLined;
    std::unique_ptr<QPdfDocument> mPlain;
    QRectF mBox;
};
