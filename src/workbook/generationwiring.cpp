#include "generationwiring.h"

#include "app/apperror.h"
#include "app/filehelpers.h"
#include "app/folders.h"
#include "entry/form1.h"
#include "excel1.h"
#include "resultname.h"
#include "runclock.h"
#include "sheetmasterfetch.h"
#include "spreadsheetoffice.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QImageReader>

#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

GenerationWiring::GenerationWiring(Form1& form1, SpreadsheetOffice& office)
    : QObject(&form1)
    , mForm1(form1)
    , mOffice(office)
    , mRun(*this, office)
    , mPdfDrawer(office)
    , mResultExport(mPdfDrawer)
{
    ResultOutput::install(&mResultExport);
    // Key presses reach the focused field, not the window: the application sees them all.
    QCoreApplication::instance()->installEventFilter(this);
}

bool GenerationWiring::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && (watched == &mForm1 || mForm1.isAncestorOf(static_cast<QWidget*>(watched)))) {
        try {
            mOffice.startAhead();
        } catch (const AppError&) {
            // The run reports an office that cannot be started.
        }
    }
    return false;
}

GenerationWiring::~GenerationWiring()
{
    if (ResultOutput::installed() == &mResultExport)
        ResultOutput::install(nullptr);
    delete mForm2.data();
}

void GenerationWiring::PushButton22_Click()
{
    // A click that arrives while the run lets events through must not start a second run.
    if (officeInUse())
        return;
    // The start check's answer comes first; when it is that no office can be had, the program
    // ends instead.
    if (!mOffice.awaitStart())
        return;
    mRunning = true;
    // The office is the run's alone.
    mMasterFetch.reset();
    mRun.PushButton22_Click();
    mRunning = false;
    mOffice.runEnded();
}

namespace {

// A result name in the run folder that no file has yet.
QString unusedResultPath()
{
    for (int attempt = 0; attempt < GenerationRun::maxNameAttempts; ++attempt) {
        const QString path = temporaryFile(
            ResultName::prefix + ResultName::drawDigits(RunClock::current()) + ".xls");
        if (!FileExists(path))
            return path;
    }
    throw AppError(QStringLiteral("No unused result workbook name found after %1 attempts")
                       .arg(GenerationRun::maxNameAttempts));
}

// The sheet's picture of the workbook, drawn by the office as the run draws it.
QImage capturedPicture(SpreadsheetOffice& office, const QString& workbook)
{
    const QString picturePath = temporaryFile(QStringLiteral("temp.bmp"));
    if (QFile::exists(picturePath) && !QFile::remove(picturePath))
        throw AppError(QStringLiteral("The picture %1 of an earlier run could not be removed")
                           .arg(picturePath));
    QImage picture;
    {
        std::unique_ptr<SpreadsheetApplication> app = OpenInNewExcel(office, workbook);
        const int opened = app->workbookCount();
        picture = Excel1::saveCellsActivesheet(app.get(), opened, picturePath);
        app->setDisplayAlerts(false);
        app->close(opened);
        app->quit();
    }
    // The capture's own picture is what the file holds; without one, reading the file says why.
    QImageReader reader(picturePath);
    reader.setDecideFormatFromContent(true);
    if (picture.isNull())
        picture = reader.read();
    KillFile(picturePath);
    if (picture.isNull())
        throw AppError(
            QStringLiteral("Invalid picture: %1 (%2)").arg(picturePath, reader.errorString()));
    return picture;
}

} // namespace

void GenerationWiring::showResultWorkbook(const QString& xlsPath)
{
    if (officeInUse())
        throw AppError(
            QStringLiteral("The office is busy with a run; try again when it has finished."));
    if (!FileExists(xlsPath))
        throw AppError(QStringLiteral("File not found: %1").arg(xlsPath));
    if (!mOffice.awaitStart())
        return;
    mRunning = true;
    mMasterFetch.reset();
    QString own;
    QImage picture;
    try {
        own = unusedResultPath();
        if (!QFile::copy(xlsPath, own))
            throw AppError(
                QStringLiteral("The workbook %1 could not be copied to %2").arg(xlsPath, own));
        KeepPrivate(own);
        picture = capturedPicture(mOffice, own);
    } catch (...) {
        mRunning = false;
        mOffice.runEnded();
        KillFile(own);
        throw;
    }
    mRunning = false;
    mOffice.runEnded();
    // The preview owns the workbook it shows: one it shows no longer goes.
    if (mForm2 && !mForm2->mExcelFile.isEmpty())
        KillFile(mForm2->mExcelFile);
    setPreviewPicture(picture);
    setPreviewExcelFile(own);
    showPreview();
    mForm2->raise();
    mForm2->activateWindow();
}

QString GenerationWiring::fieldText(const QString& array, int index) const
{
    for (const ControlArray<QLineEdit>* fields : { &mForm1.txtIncome, &mForm1.txtExpense,
             &mForm1.txtOther, &mForm1.txtSavings, &mForm1.txtRetirementIncome }) {
        if (fields->name() == array)
            return (*fields)(index)->text();
    }
    throw AppError(QStringLiteral("Form1 has no control array %1").arg(array));
}

std::optional<QDate> GenerationWiring::pickerValue(const QString& picker) const
{
    if (picker == QLatin1String("dtHusbandDOB"))
        return mForm1.dtHusbandDOB->value();
    if (picker == QLatin1String("dtWifeDOB"))
        return mForm1.dtWifeDOB->value();
    throw AppError(QStringLiteral("Form1 has no date picker %1").arg(picker));
}

void GenerationWiring::setUpdatesLocked(bool locked)
{
    mForm1.setUpdatesEnabled(!locked);
}

void GenerationWiring::setBusyPointer(bool busy)
{
    mForm1.setMousePointer(busy ? Form1::MousePointer::Busy : Form1::MousePointer::Default);
}

void GenerationWiring::ensurePreview()
{
    if (mForm2)
        return;
    mForm2 = new Form2();
    mForm2->setMainWindow(&mForm1);
}

void GenerationWiring::setPreviewPicture(const QImage& picture)
{
    // A drawing of an earlier result must never stand for this one.
    mMasterFetch.reset();
    ensurePreview();
    // Shares the picture's pixels instead of copying the megabytes.
    mForm2->setPicture(QPixmap::fromImage(QImage(picture)));
}

void GenerationWiring::setPreviewExcelFile(const QString& path)
{
    ensurePreview();
    mForm2->mExcelFile = path;
}

void GenerationWiring::showPreview()
{
    ensurePreview();
    mForm2->show();
    // After the window shows, so that the run takes no longer; the picture serves meanwhile.
    mMasterFetch = std::make_unique<SheetMasterFetch>(mOffice, mForm2->mExcelFile,
        [form2 = mForm2](const QByteArray& lined, const QByteArray& plain) {
            if (form2)
                form2->setSheetDrawings(lined, plain);
        });
}

void GenerationWiring::hideMainWindow()
{
    mForm1.hide();
}

GenerationWiring* connectGenerationRun(Form1& form1, SpreadsheetOffice& office)
{
    auto* wiring = new GenerationWiring(form1, office);
    QObject::connect(
        form1.PushButton22, &QPushButton::clicked, wiring, &GenerationWiring::PushButton22_Click);
    return wiring;
}
