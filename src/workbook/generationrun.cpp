#include "generationrun.h"

#include "app/apperror.h"
#include "app/errortrap.h"
#include "app/filehelpers.h"
#include "app/folders.h"
#include "excel1.h"
#include "generationhost.h"
#include "resultname.h"
#include "runclock.h"
#include "savefileformat.h"
#include "spreadsheetapplication.h"
#include "templatebytes.h"
#include "templatefill.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

const QString templateFileName = QStringLiteral("template.xlt");
const QString pictureFileName = QStringLiteral("temp.bmp");

AppError objectNotSet()
{
    return AppError(QStringLiteral("Object variable or With block variable not set"));
}

QImage loadPicture(const QString& path)
{
    if (!FileExists(path))
        throw AppError(QStringLiteral("File not found: %1").arg(path));
    // By content: the file keeps its ".bmp" name whatever the picture's format.
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage picture = reader.read();
    if (picture.isNull())
        throw AppError(QStringLiteral("Invalid picture: %1 (%2)").arg(path, reader.errorString()));
    return picture;
}

// The picture file as the preview shows it. The capture's own picture stands for the file it
// wrote, which holds exactly that picture: it is not read back. Without one, the file is read.
QImage previewPicture(const QString& path, const QImage& written)
{
    if (!written.isNull() && FileExists(path))
        return written;
    return loadPicture(path);
}

// The temporary files are removed silently, even when the folder itself cannot be had.
QString temporaryFileOrNothing(const QString& name)
{
    try {
        return temporaryFile(name);
    } catch (const AppError&) {
        return QString();
    }
}

} // namespace

GenerationRun::GenerationRun(GenerationHost& host, SpreadsheetOffice& office)
    : mHost(host)
    , mOffice(office)
    , mTemplateResource(QStringLiteral(":/CUSTOM/101"))
{
}

GenerationRun::~GenerationRun() = default;

void GenerationRun::PushButton22_Click()
{
    ErrorTrap trap(QStringLiteral("Form1.PushButton22_Click"));
    QByteArray templateBytes;
    std::unique_ptr<SpreadsheetApplication> secondApp;
    int reopened = 0;
    const auto second = [&]() -> SpreadsheetApplication& {
        if (!secondApp)
            throw objectNotSet();
        return *secondApp;
    };

    trap.step(100, [&] {
        mHost.setUpdatesLocked(true);
        mHost.setBusyPointer(true);
    });
    // A step that leaves the later ones nothing to work on is reported once; what depends on it
    // is skipped instead of failing again, and no preview opens without a result workbook.
    const bool created = trap.step(102, [&] { CreateExcelApp(); });
    trap.step(104, [&] { templateBytes = loadTemplate(mTemplateResource); });
    const bool templateWritten = trap.step(106, [&] {
        const QString path = temporaryFile(templateFileName);
        if (FileExists(path))
            return;
        if (templateBytes.isEmpty())
            throw AppError(QStringLiteral("No template workbook to write to %1").arg(path));
        WriteBytesToFile(templateBytes, path);
    });
    const bool opened = created && templateWritten && trap.step(108, [&] {
        // Only filled and saved: the picture is drawn from the saved result.
        mWorkbook = excelApp().openWorkbookWithoutView(temporaryFile(templateFileName));
    });
    bool saved = false;
    if (opened) {
        writeCells(trap);
        trap.step(162, [&] { excelApp().setVisible(false); });
        trap.step(164, [&] { excelApp().selectRange(QStringLiteral("D4")); });
        drawResultPath(trap);
        saved = trap.step(182, [&] {
            if (mResultPath.isEmpty())
                throw AppError(QStringLiteral("The result workbook has no path to be saved to"));
            SpreadsheetApplication& app = excelApp();
            app.saveAs(mWorkbook, mResultPath, GetSaveFileFormat(&app));
            // The office writes the result with its own umask.
            KeepPrivate(mResultPath);
        });
        trap.step(184, [&] { excelApp().setDisplayAlerts(false); });
        trap.step(186, [&] { excelApp().close(mWorkbook); });
    }
    if (created) {
        trap.step(188, [&] { excelApp().quit(); });
        trap.step(190, [&] { ReleaseExcelApp(); });
    }
    if (!saved)
        mResultPath.clear();
    const bool reopenedInSecond
        = saved && trap.step(192, [&] { secondApp = OpenInNewExcel(mOffice, mResultPath); });
    if (saved)
        trap.step(194, [&] { mHost.setBusyPointer(true); });
    if (reopenedInSecond)
        trap.step(196, [&] { reopened = second().workbookCount(); });
    // A picture left by an earlier run, killed before it removed it, must never pass for this
    // run's: when the capture writes none, loading it fails and says so.
    bool oldPictureLeft = false;
    QImage captured;
    if (reopenedInSecond)
        trap.step(198, [&] {
            const QString picture = temporaryFile(pictureFileName);
            if (QFileInfo::exists(picture) && !QFile::remove(picture)) {
                oldPictureLeft = true;
                throw AppError(
                    QStringLiteral("The picture %1 of an earlier run could not be removed")
                        .arg(picture));
            }
            captured = Excel1::saveCellsActivesheet(secondApp.get(), reopened, picture);
        });
    if (reopenedInSecond) {
        trap.step(200, [&] { second().setDisplayAlerts(false); });
        trap.step(202, [&] { second().close(reopened); });
        trap.step(204, [&] { second().quit(); });
    }
    // An instance whose steps failed still goes now: no workbook of this run stays open.
    secondApp.reset();
    ReleaseExcelApp();
    trap.step(206, [&] { mHost.setBusyPointer(false); });
    if (saved) {
        trap.step(208, [&] {
            mHost.ensurePreview();
            if (oldPictureLeft)
                throw AppError(QStringLiteral("File not found: %1 of this run")
                                   .arg(temporaryFile(pictureFileName)));
            mHost.setPreviewPicture(previewPicture(temporaryFile(pictureFileName), captured));
        });
        trap.step(210, [&] { mHost.setPreviewExcelFile(mResultPath); });
        trap.step(212, [&] { mHost.showPreview(); });
        trap.step(214, [&] { mHost.hideMainWindow(); });
    }
    trap.step(216, [&] { KillFile(temporaryFileOrNothing(pictureFileName)); });
    trap.step(218, [&] { KillFile(temporaryFileOrNothing(templateFileName)); });
    trap.step(220, [&] { mHost.setUpdatesLocked(false); });
}

void GenerationRun::CreateExcelApp()
{
    mExcelApp.reset();
    mExcelApp = createSpreadsheetApplication(mOffice);
}

void GenerationRun::ReleaseExcelApp()
{
    mExcelApp.reset();
    mWorkbook = 0;
}

SpreadsheetApplication& GenerationRun::excelApp() const
{
    if (!mExcelApp)
        throw objectNotSet();
    return *mExcelApp;
}

void GenerationRun::writeCells(ErrorTrap& trap)
{
    const TemplateFill fill(mHost, RunClock::current());
    fill.fill(excelApp(),
        [&](int line, const std::function<void()>& body) { return trap.step(line, body); });
}

void GenerationRun::drawResultPath(ErrorTrap& trap)
{
    RunClock& clock = RunClock::current();
    int attempts = 0;
    bool exists = true;
    while (exists) {
        exists = false;
        ++attempts;
        trap.step(166, [&] { mResultPath = ResultName::prefix; });
        trap.step(168, [&] { mResultPath += ResultName::drawDigits(clock); });
        trap.step(178, [&] {
            const QString name = mResultPath;
            // A half-made path must never reach the save.
            mResultPath.clear();
            mResultPath = temporaryFile(name + QStringLiteral(".xls"));
        });
        trap.step(180, [&] {
            if (!FileExists(mResultPath))
                return;
            if (attempts >= maxNameAttempts) {
                mResultPath.clear();
                throw AppError(
                    QStringLiteral("No unused result workbook name found after %1 attempts")
                        .arg(maxNameAttempts));
            }
            exists = true;
        });
    }
}

std::unique_ptr<SpreadsheetApplication> OpenInNewExcel(
    SpreadsheetOffice& office, const QString& path)
{
    std::unique_ptr<SpreadsheetApplication> app = createSpreadsheetApplication(office);
    app->openWorkbook(path);
    return app;
}
