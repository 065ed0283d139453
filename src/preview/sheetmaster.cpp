#include "sheetmaster.h"

#include "app/apperror.h"
#include "app/programmodule.h"

#include <QtGlobal>

std::shared_ptr<const SheetMaster> SheetMaster::fromPdf(
    const QByteArray& lined, const QByteArray& plain, QSize pictureSize)
{
    try {
        return loadProgramModule<PdfModule>("ferrowynd_pdf", "ferrowynd_pdf_module")
            .sheetMasterFromPdf(lined, plain, pictureSize);
    } catch (const AppError& error) {
        // The preview keeps its picture, only without the sharp drawing.
        qWarning("%s", qPrintable(error.description()));
        return nullptr;
    }
}

QImage SheetMaster::whole(qreal ratio) const
{
    const QSize scaled = (QSizeF(mPictureSize) * ratio).toSize();
    QImage image = render(scaled, QRect(QPoint(0, 0), scaled));
    image.setDevicePixelRatio(ratio);
    return image;
}
