#include "planmenu.h"

#include "app/apperror.h"
#include "app/applicationtitle.h"
#include "app/dialogs.h"
#include "app/product.h"
#include "entry/form1.h"
#include "export/overwritequestion.h"
#include "export/savefolder.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {

const QString planSuffix = QStringLiteral(".") + PlanFile::suffix;

bool samePath(const QString& a, const QString& b)
{
    return !a.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// A name the user typed without the plan's suffix gets it: "Retire at 62.5" is a plan too.
QString withPlanSuffix(const QString& path)
{
    return path.endsWith(planSuffix, Qt::CaseInsensitive) ? path : path + planSuffix;
}

QString escapedForMenu(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

PlanMenu::PlanMenu(Form1& window, QString officeProgram)
    : QObject(&window)
    , mWindow(window)
    , mOfficeProgram(std::move(officeProgram))
{
    buildMenus();
    mWindow.setCloseGuard([this] { return mayClose(); });
    connect(&mWindow, &Form1::inputChanged, this, &PlanMenu::updateTitle);
    takeUpRememberedPlan();
    fillRecentMenu();
    updateTitle();
}

void PlanMenu::buildMenus()
{
    auto* bar = new QMenuBar;
    mFileMenu = bar->addMenu(QStringLiteral("&File"));
    mFileMenu->addAction(QStringLiteral("&New Plan"), this, [this] { newPlan(); });
    mFileMenu->addAction(
        QStringLiteral("&Open Plan…"), QKeySequence::Open, this, [this] { openPlan(); });
    mRecentMenu = mFileMenu->addMenu(QStringLiteral("Open &Recent"));
    mFileMenu->addAction(QStringLiteral("&Save Plan"), QKeySequence(Qt::CTRL | Qt::Key_S), this,
        [this] { savePlan(); });
    mFileMenu->addAction(QStringLiteral("Save Plan &As…"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this, [this] { savePlanAs(); });
    mFileMenu->addSeparator();
    mFileMenu->addAction(
        QStringLiteral("&Compare Plans…"), this, [this] { emit compareRequested(); });
    mFileMenu->addSeparator();
    mFileMenu->addAction(QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q), &mWindow,
        [this] { mWindow.close(); });

    mHelpMenu = bar->addMenu(QStringLiteral("&Help"));
    mHelpMenu->addAction(QStringLiteral("&Help"), &mWindow, [this] { mWindow.showHelp(); });
    mHelpMenu->addAction(
        QStringLiteral("&About %1").arg(Product::name), this, [this] { showAbout(); });
    mWindow.setMenuBar(bar);
}

void PlanMenu::fillRecentMenu()
{
    mRecentMenu->clear();
    const QStringList recent = mSession.recent();
    for (int position = 0; position < recent.size(); ++position) {
        const QString path = recent[position];
        QAction* entry
            = mRecentMenu->addAction(QStringLiteral("&%1 %2 (%3)")
                                         .arg(position + 1)
                                         .arg(escapedForMenu(PlanFile::displayName(path)),
                                             escapedForMenu(QFileInfo(path).path())),
                this, [this, path] { openPlan(path); });
        entry->setData(path);
    }
    if (recent.isEmpty())
        mRecentMenu->addAction(QStringLiteral("No recent plans"))->setEnabled(false);
}

void PlanMenu::takeUpRememberedPlan()
{
    try {
        mSession = PlanSession::remembered();
    } catch (const AppError&) {
        return;
    }
    if (!mSession.hasPlan())
        return;
    // The fields came back from the store; the file says whether they still match it. A plan
    // that is gone or no longer reads is not current any more: the fields are all in the store.
    try {
        mSession.setCurrent(PlanFile::read(mSession.currentPath()));
    } catch (const AppError&) {
        mSession.clearCurrent();
        rememberSession();
    }
}

void PlanMenu::openAtStart(const QString& path)
{
    QTimer::singleShot(0, this, [this, path] { openPlan(path); });
}

bool PlanMenu::changesSettled()
{
    if (!mSession.differs(mWindow.inputs()))
        return true;
    const QString question = mSession.hasPlan()
        ? QStringLiteral("The plan \"%1\" has changes that are not saved in its file.\n\n"
                         "Save them before going on?")
              .arg(PlanFile::displayName(mSession.currentPath()))
        : QStringLiteral("The figures in the window are not saved as a plan.\n\n"
                         "Save them as a plan before going on?");
    switch (Dialogs::current().message(&mWindow, applicationTitle(), question,
        Dialogs::Icon::Warning, Dialogs::Buttons::SaveDiscardCancel)) {
    case Dialogs::Answer::Save:
        return savePlan();
    case Dialogs::Answer::Discard:
        return true;
    default:
        return false;
    }
}

bool PlanMenu::newPlan()
{
    if (!changesSettled())
        return false;
    mWindow.setInputs(PlanFile::firstStartInputs());
    mSession.clearCurrent();
    rememberSession();
    updateTitle();
    return true;
}

bool PlanMenu::openPlan()
{
    const QStringList chosen = Dialogs::current().openFileNames(
        &mWindow, QStringLiteral("Open Plan"), PlanFile::nameFilter(), false);
    return !chosen.isEmpty() && openPlan(chosen.first());
}

bool PlanMenu::openPlan(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        warn(QStringLiteral("The plan %1 is not there any more. It is taken off the recent list.")
                 .arg(QDir::toNativeSeparators(path)));
        mSession.forget(path);
        rememberSession();
        fillRecentMenu();
        return false;
    }
    Plan plan;
    try {
        plan = PlanFile::read(path);
    } catch (const AppError& error) {
        warn(error.description());
        return false;
    }
    // Opening the plan that is open already is only asked about when the fields differ.
    if (!changesSettled())
        return false;
    try {
        mWindow.setInputs(plan.inputs);
    } catch (const AppError& error) {
        warn(error.description());
        return false;
    }
    usePlan(plan);
    return true;
}

bool PlanMenu::savePlan()
{
    if (!mSession.hasPlan())
        return savePlanAs();
    if (!mWindow.acceptFocusedField())
        return false;
    return writePlan(mSession.currentPath());
}

bool PlanMenu::savePlanAs()
{
    if (!mWindow.acceptFocusedField())
        return false;
    const QString proposed = mSession.hasPlan()
        ? mSession.currentPath()
        : QDir(lastSaveFolder()).filePath(QStringLiteral("New plan") + planSuffix);
    const QString chosen = Dialogs::current().saveFileNameAt(
        &mWindow, QStringLiteral("Save Plan As"), PlanFile::nameFilter(), proposed);
    if (chosen.isEmpty())
        return false;
    const QString target = withPlanSuffix(chosen);
    if (!samePath(target, mSession.currentPath()) && !mayWriteTo(&mWindow, target))
        return false;
    return writePlan(target);
}

bool PlanMenu::writePlan(const QString& path)
{
    Plan plan = mSession.plan();
    plan.path = path;
    plan.inputs = mWindow.inputs();
    try {
        PlanFile::write(path, plan);
    } catch (const AppError& error) {
        warn(error.description());
        return false;
    }
    usePlan(plan);
    return true;
}

void PlanMenu::usePlan(const Plan& plan)
{
    mSession.setCurrent(plan);
    rememberSession();
    fillRecentMenu();
    updateTitle();
}

bool PlanMenu::mayClose()
{
    // Without a plan the store holds everything, as it always has.
    if (!mSession.hasPlan() || !mSession.differs(mWindow.inputs()))
        return true;
    return changesSettled();
}

QString PlanMenu::aboutText() const
{
    return QStringLiteral("%1 %2\n\nFills a retirement estimate workbook with a household's "
                          "figures; LibreOffice Calc computes it.\n\nOffice program: %3\n\n"
                          "Copyright 2021-2026 Ostrivane. All rights reserved.\n"
                          "Contact: %4, %5")
        .arg(Product::name, QCoreApplication::applicationVersion(),
            mOfficeProgram.isEmpty() ? QStringLiteral("not known") : mOfficeProgram,
            Product::supportEmail, Product::contactPage);
}

void PlanMenu::showAbout()
{
    Dialogs::current().message(
        &mWindow, applicationTitle(), aboutText(), Dialogs::Icon::None, Dialogs::Buttons::Ok);
}

void PlanMenu::rememberSession()
{
    try {
        mSession.remember();
    } catch (const AppError&) {
        // Which plan was open is a convenience; the inputs' own writes report the file's faults.
    }
}

void PlanMenu::updateTitle()
{
    mWindow.setWindowTitle(mSession.title(mWindow.inputs()));
}

void PlanMenu::warn(const QString& text)
{
    Dialogs::current().message(
        &mWindow, applicationTitle(), text, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
}
