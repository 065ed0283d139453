#include "sheetmasterfetch.h"

#include "app/apperror.h"
#include "app/folders.h"
#include "spreadsheetapplication.h"
#include "spreadsheetoffice.h"

#include <QFile>
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

} // namespace

SheetMasterFetch::SheetMasterFetch(
    SpreadsheetOffice& office, const QString& workbook, Delivery deliver)
    : mOffice(office)
    , mWorkbookPath(workbook)
    , mDeliver(std::move(deliver))
    , mFolder(scratchTemplate())
{
    next();
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
    const QString lined = mFolder.filePath(QStringLiteral("lined.pdf"));
    const QString plain = mFolder.filePath(QStringLiteral("plain.pdf"));
    try {
        switch (mStep++) {
        case 0:
            if (!mFolder.isValid())
                throw AppError(QStringLiteral("No scratch folder: %1").arg(mFolder.errorString()));
            mApp = mOffice.newInstance();
            break;
        case 1:
            mWorkbook = mApp->openWorkbook(mWorkbookPath);
            break;
        case 2:
            mApp->exportRangePdf(mWorkbook, lined, true);
            break;
        case 3:
            mApp->exportRangePdf(mWorkbook, plain, false);
            break;
        default: {
            const QByteArray linedBytes = readAndRemove(lined);
            const QByteArray plainBytes = readAndRemove(plain);
            end();
            if (mDeliver)
                mDeliver(linedBytes, plainBytes);
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

QByteArray SheetMasterFetch::readAndRemove(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("%1 could not be read: %2").arg(path, file.errorString()));
    const QByteArray bytes = file.readAll();
    file.close();
    file.remove();
    return bytes;
}

void SheetMasterFetch::end()
{
    mStep = -1;
    if (mFolder.isValid())
        mFolder.remove();
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
