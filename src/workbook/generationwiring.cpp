#include "generationwiring.h"

#include "app/apperror.h"
#include "entry/form1.h"
#include "sheetmasterfetch.h"
#include "spreadsheetoffice.h"

#include <QCoreApplication>
#include <QEvent>

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
    if (mRunning)
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
    mForm2->setPicture(QPixmap::fromImage(picture));
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
