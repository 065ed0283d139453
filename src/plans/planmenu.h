#pragma once

#include "plansession.h"

#include <QObject>
#include <QString>

class Form1;
class QAction;
class QMenu;

// The main window's menu bar and what it does with plans: new, open, open recent, save, save
// as, compare, exit, help and about; the title with the plan's name and its mark; the question
// before unsaved plan changes are lost. The fields keep going to the store as they change; a
// plan's file changes only when it is saved.
class PlanMenu final : public QObject {
    Q_OBJECT

public:
    // Gives the window its menu bar and its close question, and takes up the plan that the
    // settings file names as current. officeProgram is shown by About.
    explicit PlanMenu(Form1& window, QString officeProgram = {});

    // Opens a plan once the event loop runs: the one the program was started with.
    void openAtStart(const QString& path);

    // Each is what its menu entry does; false when it was cancelled or failed.
    bool newPlan();
    bool openPlan();
    bool openPlan(const QString& path);
    bool savePlan();
    bool savePlanAs();
    void showAbout();
    // The window's close question: true when the window may close.
    bool mayClose();

    const PlanSession& session() const { return mSession; }
    QString aboutText() const;
    QMenu* fileMenu() const { return mFileMenu; }
    QMenu* recentMenu() const { return mRecentMenu; }
    QMenu* helpMenu() const { return mHelpMenu; }

signals:
    void compareRequested();

private:
    void buildMenus();
    void fillRecentMenu();
    void takeUpRememberedPlan();
    // Asks what to do with fields that the plan's file (or, with no plan, a first start) does
    // not hold: true to go on.
    bool changesSettled();
    bool writePlan(const QString& path);
    void usePlan(const Plan& plan);
    void rememberSession();
    void updateTitle();
    void warn(const QString& text);

    Form1& mWindow;
    QString mOfficeProgram;
    PlanSession mSession;
    QMenu* mFileMenu = nullptr;
    QMenu* mRecentMenu = nullptr;
    QMenu* mHelpMenu = nullptr;
};
