#include "sheetmasterfetch.h"

#include "app/apperror.h"
#include "app/folders.h"
#include "spreadsheetapplication.h"
#include "spreadsheetoffice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QString scratchTemplate()
{
    try {
        return temporaryFile(QStringLiteral("ferrowynd-master-XXXXXX"));
    } catch (const AppError&) {
        return QString();
    }
}

// The preview paints its picture before the first office call holds the event loop.
constexpr int firstStepDelayMs = 100;

} // namespace

SheetMasterFetch::SheetMasterFetch(
    SpreadsheetOffice& office, const QString& workbook, Delivery deliver)
    : mOffice(office)
    , mWorkbookPath(workbook)
    , mDeliver(std::move(deliver))
{
    QTimer::singleShot(firstStepDelayMs, this, &SheetMasterFetch::runStep);
}

SheetMasterFetch::~SheetMasterFetch()
{
    end();
}

void SheetMasterFetch::next()
{
    QTimer::singleShot(0, this, &SheetMasterFetch::runStep);
}

void SheetMasterFetch::runStep()
{
    if (finished())
        return;
    try {
        switch (mStep++) {
        case 0:
            mApp = mOffice.newInstance();
            break;
        case 1:
            mWorkbook = mApp->openWorkbook(mWorkbookPath);
            break;
        case 2:
            mLined = exportedRange(true);
            break;
        default: {
            const QByteArray plain = exportedRange(false);
            const QByteArray lined = std::move(mLined);
            end();
            if (mDeliver)
                mDeliver(lined, plain);
            return;
        }
        }
    } catch (const AppError& error) {
        mFailure = error.description();
        qInfo("The sharper sheet drawing could not be had: %s", qPrintable(mFailure));
        end();
        return;
    }
    next();
}

QByteArray SheetMasterFetch::exportedRange(bool gridlines)
{
    QTemporaryDir folder(scratchTemplate());
    if (!folder.isValid())
        throw AppError(QStringLiteral("No scratch folder: %1").arg(folder.errorString()));
    const QString path = folder.filePath(QStringLiteral("range.pdf"));
    mApp->exportRangePdf(mWorkbook, path, gridlines);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("%1 could not be read: %2").arg(path, file.errorString()));
    return file.readAll();
}

void SheetMasterFetch::end()
{
    mStep = -1;
    mLined.clear();
    if (!mApp)
        return;
    try {
        if (mWorkbook > 0)
            mApp->close(mWorkbook);
        mApp->quit();
    } catch (const AppError&) {
        // The session's end below closes what it still holds.
    }
    mWorkbook = 0;
    mApp.reset();
}
