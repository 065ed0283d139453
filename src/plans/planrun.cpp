#include "planrun.h"

#include "app/apperror.h"
#include "app/errortrap.h"
#include "app/filehelpers.h"
#include "app/folders.h"
#include "export/picturefile.h"
#include "export/workbookcopy.h"
#include "workbook/runclock.h"
#include "workbook/savefileformat.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"
#include "workbook/templatebytes.h"
#include "workbook/templatefill.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <atomic>

namespace {

const QString firstCell = QStringLiteral("D4");

// A name in the program's run folder that no other file there has, and that no other run of
// this program chooses: the main window's run keeps names of its own there.
QString uniqueRunFile(const QString& stem, const QString& suffix)
{
    static std::atomic<int> counter { 0 };
    for (;;) {
        const QString path = temporaryFile(stem + QString::number(++counter) + suffix);
        if (!QFileInfo::exists(path))
            return path;
    }
}

void removeFile(QString& path)
{
    if (!path.isEmpty())
        QFile::remove(path);
    path.clear();
}

} // namespace

PlanRun::PlanRun(SpreadsheetOffice& office, QHash<QString, QString> inputs, PlanOutputs outputs,
    bool readResults)
    : mOffice(office)
    , mFields(std::move(inputs))
    , mOutputs(std::move(outputs))
    , mReadResults(readResults)
    , mTemplateResource(QStringLiteral(":/CUSTOM/101"))
{
    planSteps();
}

PlanRun::~PlanRun()
{
    release();
    removeFile(mResult.resultWorkbook);
}

void PlanRun::planSteps()
{
    mSteps << Step { QStringLiteral("starting the office session"),
        [this] { mApp = mOffice.newInstance(); } };
    mSteps << Step { QStringLiteral("writing the template"), [this] {
                        const QByteArray bytes = loadTemplate(mTemplateResource);
                        mTemplateFile
                            = uniqueRunFile(QStringLiteral("plantemplate"), QStringLiteral(".xlt"));
                        WriteBytesToFile(bytes, mTemplateFile);
                    } };
    mSteps << Step { QStringLiteral("opening the template"),
        [this] { mWorkbook = app().openWorkbookWithoutView(mTemplateFile); } };
    // A cell map row at a time: one office call each.
    for (int mapRow = 0; mapRow < TemplateFill::rowCount(); ++mapRow)
        mSteps << Step { QStringLiteral("filling the template"), [this, mapRow] {
                            std::optional<QString> failure;
                            const TemplateFill fill(mFields, RunClock::current());
                            fill.fillRow(
                                app(), mapRow, [&](int, const std::function<void()>& body) {
                                    try {
                                        body();
                                        return true;
                                    } catch (...) {
                                        if (!failure)
                                            failure = describeCurrentException();
                                        return false;
                                    }
                                });
                            if (failure)
                                throw AppError(*failure);
                        } };
    mSteps << Step { QStringLiteral("selecting the first cell"), [this] {
                        app().setVisible(false);
                        app().selectRange(firstCell);
                    } };
    mSteps << Step { QStringLiteral("saving the workbook"), [this] {
                        const QString path
                            = uniqueRunFile(QStringLiteral("planresult"), QStringLiteral(".xls"));
                        // Owned from here: a save that fails half-way leaves nothing behind.
                        mResult.resultWorkbook = path;
                        app().saveAs(mWorkbook, path, GetSaveFileFormat(&app()));
                        // The result holds the household's figures.
                        KeepPrivate(path);
                        mSaved = true;
                    } };
    if (!mOutputs.xls.isEmpty())
        mSteps << Step { QStringLiteral("writing the workbook"),
            [this] { copyFileReplacing(mResult.resultWorkbook, mOutputs.xls); } };
    if (!mOutputs.pdf.isEmpty())
        mSteps << Step { QStringLiteral("writing the PDF"), [this] {
                            mPdfFile = uniqueRunFile(
                                QStringLiteral("planresult"), QStringLiteral(".pdf"));
                            app().exportPdf(mWorkbook, mPdfFile);
                            copyFileReplacing(mPdfFile, mOutputs.pdf);
                            removeFile(mPdfFile);
                        } };
    if (!mOutputs.png.isEmpty()) {
        // The office draws, the program encodes: two steps of about equal length.
        mSteps << Step { QStringLiteral("drawing the picture"),
            [this] { mPicture = app().sheetPicture(mWorkbook); } };
        mSteps << Step { QStringLiteral("writing the picture"), [this] {
                            savePicturePng(mPicture, mOutputs.png);
                            mPicture = QImage();
                        } };
    }
    if (mReadResults) {
        for (const SheetResults::Row& row : SheetResults::rows())
            mSteps << Step { QStringLiteral("reading the results"),
                [this, row] { mResult.results << SheetResults::read(app(), mWorkbook, row); } };
    }
    mSteps << Step { QStringLiteral("closing the workbook"), [this] {
                        const int workbook = mWorkbook;
                        mWorkbook = 0;
                        app().close(workbook);
                        app().quit();
                    } };
}

SpreadsheetApplication& PlanRun::app() const
{
    if (!mApp)
        throw AppError(QStringLiteral("No office session is open."));
    return *mApp;
}

bool PlanRun::step()
{
    if (mFinished)
        return false;
    const Step& current = mSteps.at(mNext++);
    try {
        current.body();
    } catch (...) {
        fail(current.name, describeCurrentException());
        return false;
    }
    if (mNext < mSteps.size())
        return true;
    release();
    mResult.succeeded = true;
    mFinished = true;
    return false;
}

bool PlanRun::finished() const
{
    return mFinished;
}

const PlanRunResult& PlanRun::result() const
{
    return mResult;
}

const PlanRunResult& PlanRun::runAll()
{
    while (step()) { }
    return mResult;
}

QString PlanRun::nextStepName() const
{
    return mFinished ? QString() : mSteps.at(mNext).name;
}

void PlanRun::fail(const QString& stepName, const QString& description)
{
    mResult.succeeded = false;
    mResult.failedStep = stepName;
    mResult.error = description;
    mResult.results.clear();
    mFinished = true;
    release();
    if (!mSaved)
        removeFile(mResult.resultWorkbook);
}

void PlanRun::release()
{
    if (mApp) {
        // The session closes the workbooks it opened as it goes.
        mApp.reset();
        mWorkbook = 0;
        mOffice.runEnded();
    }
    removeFile(mTemplateFile);
    removeFile(mPdfFile);
}
