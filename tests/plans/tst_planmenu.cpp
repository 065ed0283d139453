#include "../entry/form1fixture.h"

#include "app/apperror.h"
#include "app/product.h"
#include "app/twips.h"
#include "entry/formlayout.h"
#include "plans/planfile.h"
#include "plans/planmenu.h"

#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

using namespace Form1Fixture;
using Answer = Dialogs::Answer;

Q_DECLARE_METATYPE(Dialogs::Answer)

// The main window's plan menu, driven through the dialog door.
class TestPlanMenu : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
    }

    void init()
    {
        mStore = std::make_unique<QTemporaryDir>();
        useStoreIn(mStore->path());
        mDialogs = std::make_unique<ScriptedDialogs>();
        mForm = shownForm();
        mMenu = new PlanMenu(*mForm, QStringLiteral("/usr/bin/soffice"));
    }

    void cleanup()
    {
        mForm.reset();
        mDialogs.reset();
    }

    void openingOverUnsavedChangesAsks_data()
    {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("savedInFirst");
        QTest::addColumn<QString>("title");
        QTest::newRow("save") << Answer::Save << "200"
                              << "$150.00"
                              << "second — Ferrowynd";
        QTest::newRow("discard") << Answer::Discard << "200"
                                 << "100"
                                 << "second — Ferrowynd";
        QTest::newRow("cancel") << Answer::Cancel << "150"
                                << "100"
                                << "first* — Ferrowynd";
    }
    void openingOverUnsavedChangesAsks()
    {
        QFETCH(Answer, answer);
        QFETCH(QString, field);
        QFETCH(QString, savedInFirst);
        QFETCH(QString, title);
        const QString first = planWith("first", "100");
        QVERIFY(mMenu->openPlan(first));
        QCOMPARE(mDialogs->messages.size(), 0);
        mForm->txtIncome(0)->setText("150");
        mDialogs->answers = { answer };
        mMenu->openPlan(planWith("second", "200"));
        QCOMPARE(mDialogs->messages.size(), 1);
        QCOMPARE(mDialogs->messages[0].buttons, Dialogs::Buttons::SaveDiscardCancel);
        QCOMPARE(mForm->txtIncome(0)->text(), field);
        QCOMPARE(stored("txtIncome0"), field);
        QCOMPARE(PlanFile::read(first).inputs.value("txtIncome0"), savedInFirst);
        QCOMPARE(mForm->windowTitle(), title);
    }

    void saveAsProposesAddsTheSuffixAndAsksBeforeReplacing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<Answer>("replace");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("questions");
        QTest::newRow("suffix added")
            << "Retire at 62" << false << Answer::No << "Retire at 62.ferrowynd" << 0;
        QTest::newRow("a dot is no suffix")
            << "Retire at 62.5" << false << Answer::No << "Retire at 62.5.ferrowynd" << 0;
        QTest::newRow("suffix typed")
            << "mine.ferrowynd" << false << Answer::No << "mine.ferrowynd" << 0;
        QTest::newRow("replace: yes") << "old" << true << Answer::Yes << "old.ferrowynd" << 1;
        QTest::newRow("replace: no") << "old" << true << Answer::No << "" << 1;
        QTest::newRow("dialog cancelled") << "" << false << Answer::No << "" << 0;
    }
    void saveAsProposesAddsTheSuffixAndAsksBeforeReplacing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, exists);
        QFETCH(Answer, replace);
        QFETCH(QString, written);
        QFETCH(int, questions);
        QTemporaryDir folder;
        if (exists)
            planWith(folder.filePath("old"), "999");
        mForm->txtIncome(0)->setText("321");
        mDialogs->savePaths = { typed.isEmpty() ? QString() : folder.filePath(typed) };
        mDialogs->answers = { replace };
        QCOMPARE(mMenu->savePlanAs(), !written.isEmpty());
        QCOMPARE(mDialogs->saveProposals.value(0),
            QDir::home().filePath(QStringLiteral("New plan.ferrowynd")));
        QCOMPARE(mDialogs->messages.size(), questions);
        if (written.isEmpty()) {
            QCOMPARE(mForm->windowTitle(), QStringLiteral("Ferrowynd"));
            return;
        }
        const QString path = folder.filePath(written);
        QCOMPARE(PlanFile::read(path).inputs.value("txtIncome0"), QStringLiteral("$321.00"));
        QCOMPARE(mMenu->session().currentPath(), path);
        QCOMPARE(mForm->windowTitle(), PlanFile::displayName(path) + " — Ferrowynd");
        // Saving again goes to the same file without a dialog; Save As proposes it.
        mForm->txtIncome(0)->setText("322");
        QVERIFY(mMenu->savePlan());
        QCOMPARE(PlanFile::read(path).inputs.value("txtIncome0"), QStringLiteral("$322.00"));
        QVERIFY(!mMenu->savePlanAs());
        QCOMPARE(mDialogs->saveProposals.value(1), path);
        QCOMPARE(mDialogs->saveProposals.size(), 2);
    }

    void recentListKeepsTheLastEightAndDropsMissingFiles()
    {
        QStringList opened;
        for (int plan = 0; plan < 10; ++plan) {
            opened.prepend(planWith(QStringLiteral("plan %1").arg(plan), QString::number(plan)));
            QVERIFY(mMenu->openPlan(opened.first()));
        }
        QCOMPARE(mMenu->session().recent(), opened.mid(0, 8));
        QCOMPARE(mMenu->recentMenu()->actions().size(), 8);
        QCOMPARE(mMenu->recentMenu()->actions()[0]->text(),
            QStringLiteral("&1 plan 9 (%1)").arg(QFileInfo(opened[0]).path()));
        // Opening an older one brings it to the top; the list survives a restart.
        mMenu->recentMenu()->actions()[5]->trigger();
        QCOMPARE(mForm->txtIncome(0)->text(), QStringLiteral("4"));
        QCOMPARE(PlanSession::remembered().recent().first(), opened[5]);
        QVERIFY(QFile::remove(opened[2]));
        mMenu->recentMenu()->actions()[3]->trigger();
        QCOMPARE(mDialogs->messages.size(), 1);
        QVERIFY(mDialogs->messages[0].text.contains(opened[2]));
        QCOMPARE(mMenu->session().recent().size(), 7);
        QVERIFY(!PlanSession::remembered().recent().contains(opened[2]));
        QCOMPARE(mForm->txtIncome(0)->text(), QStringLiteral("4"));
    }

    void titleMarksFieldsThatDifferFromTheFile()
    {
        QCOMPARE(mForm->windowTitle(), QStringLiteral("Ferrowynd"));
        QVERIFY(mMenu->openPlan(planWith("Retire at 62", "100")));
        QCOMPARE(mForm->windowTitle(), QStringLiteral("Retire at 62 — Ferrowynd"));
        QLineEdit* box = mForm->txtIncome(0);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClicks(box, "5");
        QCOMPARE(mForm->windowTitle(), QStringLiteral("Retire at 62* — Ferrowynd"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(mForm->windowTitle(), QStringLiteral("Retire at 62 — Ferrowynd"));
        mForm->dtWifeDOB->setValue(QDate(1970, 3, 4));
        QCOMPARE(mForm->windowTitle(), QStringLiteral("Retire at 62* — Ferrowynd"));
        // After a restart the title names the plan and knows the fields differ.
        mForm.reset();
        mForm = shownForm();
        mMenu = new PlanMenu(*mForm);
        QCOMPARE(mForm->windowTitle(), QStringLiteral("Retire at 62* — Ferrowynd"));
    }

    void refusedFileChangesNothing()
    {
        const QString good = planWith("good", "100");
        QVERIFY(mMenu->openPlan(good));
        mForm->txtIncome(0)->setText("150");
        QTemporaryDir folder;
        const QString bad = folder.filePath("bad.ferrowynd");
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Plan]\nFormatVersion=99\n");
        file.close();
        QVERIFY(!mMenu->openPlan(bad));
        QCOMPARE(mDialogs->messages.size(), 1);
        QVERIFY(mDialogs->messages[0].text.contains(bad));
        QCOMPARE(mForm->txtIncome(0)->text(), QStringLiteral("150"));
        QCOMPARE(mMenu->session().currentPath(), good);
        QCOMPARE(mForm->windowTitle(), QStringLiteral("good* — Ferrowynd"));
        // A date the picker would refuse stops the window's inputs before the first one changes.
        QVERIFY_THROWS_EXCEPTION(
            AppError, mForm->setInputs({ { "txtIncome0", "7" }, { "dtWifeDOB", "1/2/1600" } }));
        QCOMPARE(stored("txtIncome0"), QStringLiteral("150"));
    }

    void closingAsksOnlyForUnsavedPlanChanges_data()
    {
        QTest::addColumn<bool>("withPlan");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("closed");
        QTest::newRow("no plan") << false << Answer::Cancel << false << 0 << true;
        QTest::newRow("cancel") << true << Answer::Cancel << false << 1 << false;
        QTest::newRow("discard") << true << Answer::Discard << false << 1 << true;
        QTest::newRow("save") << true << Answer::Save << false << 1 << true;
        QTest::newRow("save fails") << true << Answer::Save << true << 2 << false;
    }
    void closingAsksOnlyForUnsavedPlanChanges()
    {
        QFETCH(bool, withPlan);
        QFETCH(Answer, answer);
        QFETCH(bool, saveFails);
        QFETCH(int, questions);
        QFETCH(bool, closed);
        auto folder = std::make_unique<QTemporaryDir>();
        const QString plan = planWith(folder->filePath("plan"), "100");
        if (withPlan)
            QVERIFY(mMenu->openPlan(plan));
        mForm->txtIncome(0)->setText("150");
        if (saveFails)
            folder.reset();
        mDialogs->answers = { answer };
        QCOMPARE(mForm->close(), closed);
        QCOMPARE(mDialogs->messages.size(), questions);
        // Saving takes the focused field's entry as leaving it would.
        const QString entry = answer == Answer::Save ? "$150.00" : "150";
        QCOMPARE(stored("txtIncome0"), withPlan ? entry : "150");
        if (withPlan && answer == Answer::Save && !saveFails)
            QCOMPARE(PlanFile::read(plan).inputs.value("txtIncome0"), entry);
    }

    void newPlanEmptiesTheFieldsAfterAsking()
    {
        mForm->txtIncome(0)->setText("150");
        QVERIFY(!mMenu->newPlan());
        QCOMPARE(mDialogs->messages.size(), 1);
        QCOMPARE(mForm->txtIncome(0)->text(), QStringLiteral("150"));
        mDialogs->answers = { Answer::Discard };
        QVERIFY(mMenu->newPlan());
        QCOMPARE(mForm->txtIncome(0)->text(), QStringLiteral("0"));
        QCOMPARE(stored("txtIncome0"), QStringLiteral("0"));
        QCOMPARE(mForm->windowTitle(), QStringLiteral("Ferrowynd"));
    }

    void clientAreaKeepsItsLayoutBelowTheMenuBar_data()
    {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QRect>("viewport");
        QTest::newRow("designed size") << QSize(752, 631) << QRect(8, 79, 736, 544);
        QTest::newRow("taller") << QSize(752, 900) << QRect(8, 79, 736, 813);
        QTest::newRow("wider") << QSize(1200, 631) << QRect(232, 79, 736, 544);
    }
    void clientAreaKeepsItsLayoutBelowTheMenuBar()
    {
        QFETCH(QSize, client);
        QFETCH(QRect, viewport);
        const int top = mForm->clientTop();
        QVERIFY(top > 10);
        QCOMPARE(mForm->menuBar()->geometry(), QRect(0, 0, 752, top));
        QCOMPARE(mForm->size(), QSize(752, 631 + top));
        QCOMPARE(mForm->minimumSize(),
            Twips::toPixels(QSize(FormLayout::clientWidth, FormLayout::minimumClientHeight))
                + QSize(0, top));
        mForm->resize(client + QSize(0, top));
        const int shift = viewport.x() - 8;
        QCOMPARE(mForm->Picture2->geometry(), viewport.translated(0, top));
        QCOMPARE(mForm->PushButton22->geometry(), QRect(8 + shift, 8 + top, 736, 27));
        QCOMPARE(mForm->PushButton7->geometry(), QRect(384 + shift, 42 + top, 360, 27));
        QCOMPARE(mForm->VScroll1->geometry(), QRect(713, 0, 19, viewport.height() - 4));
        QCOMPARE(mForm->menuBar()->width(), client.width());
    }

    void shortcutsReachTheMenuFromTheFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<int>("opens");
        QTest::addColumn<int>("saves");
        QTest::newRow("Ctrl+O in a text box") << "text" << QKeySequence("Ctrl+O") << 1 << 0;
        QTest::newRow("Ctrl+O in a date") << "date" << QKeySequence("Ctrl+O") << 1 << 0;
        QTest::newRow("Ctrl+S in a text box") << "text" << QKeySequence("Ctrl+S") << 0 << 1;
        QTest::newRow("Ctrl+Shift+S in a date") << "date" << QKeySequence("Ctrl+Shift+S") << 0 << 1;
    }
    void shortcutsReachTheMenuFromTheFields()
    {
        QFETCH(QString, field);
        QFETCH(QKeySequence, key);
        QFETCH(int, opens);
        QFETCH(int, saves);
        mForm->dtHusbandDOB->setValue(QDate(1960, 1, 2));
        QWidget* target = field == "text" ? static_cast<QWidget*>(mForm->txtIncome(3))
                                          : mForm->dtHusbandDOB->dateEdit();
        target->setFocus(Qt::TabFocusReason);
        settle();
        QTest::keyClick(target, key[0].key(), key[0].keyboardModifiers());
        QCOMPARE(mDialogs->openTitles.size(), opens);
        QCOMPARE(mDialogs->saveTitles.size(), saves);
        QCOMPARE(mForm->dtHusbandDOB->value(), std::optional<QDate>(QDate(1960, 1, 2)));
    }

    void helpAndAboutSpeakWithTheApplicationTitle()
    {
        mMenu->helpMenu()->actions()[0]->trigger();
        mMenu->showAbout();
        QCOMPARE(mDialogs->messages.size(), 2);
        QCOMPARE(mDialogs->messages[0].text,
            QStringLiteral("Questions? Please contact Team Ostrivane at ") + Product::contactPage);
        QVERIFY(mDialogs->messages[1].text.contains("Office program: /usr/bin/soffice"));
        QCOMPARE(mDialogs->messages[1].title, mDialogs->messages[0].title);
    }

private:
    // A plan file with every field at its first-start value but the first income.
    QString planWith(const QString& name, const QString& income)
    {
        const QString path = (QFileInfo(name).isAbsolute() ? name : mPlans.filePath(name))
            + QStringLiteral(".ferrowynd");
        Plan plan { path, PlanFile::firstStartInputs(), {} };
        plan.inputs.insert(QStringLiteral("txtIncome0"), income);
        PlanFile::write(path, plan);
        return path;
    }

    QTemporaryDir mHome;
    QTemporaryDir mPlans;
    std::unique_ptr<QTemporaryDir> mStore;
    std::unique_ptr<ScriptedDialogs> mDialogs;
    std::unique_ptr<Form1> mForm;
    PlanMenu* mMenu = nullptr;
};

QTEST_MAIN(TestPlanMenu)
#include "tst_planmenu.moc"
