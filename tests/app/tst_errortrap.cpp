#include "app/apperror.h"
#include "app/errorreport.h"
#include "app/errortrap.h"
#include "scripteddialogs.h"

#include <QtTest>

class TestErrorTrap : public QObject {
    Q_OBJECT

private slots:
    void reportTextIsExact()
    {
        QCOMPARE(errorReportText("File not found", "Form1.Form_Load", 126),
            QStringLiteral(
                "File not found\r\nin Ferrowynd2021/08/31.Form1.Form_Load at line 126\r\r"
                "Please email screenshot of this message to support@ostrivane.example"));
    }

    void failingStepIsReportedAndTheNextRuns()
    {
        ScriptedDialogs dialogs;
        ErrorTrap trap("Form1.PushButton7_Click");
        QStringList ran;
        QVERIFY(trap.step(100, [&] { ran << "100"; }));
        QVERIFY(!trap.step(102, [&] {
            ran << "102";
            throw AppError("Type mismatch");
        }));
        QVERIFY(!trap.step(104, [&] { throw std::runtime_error("plain failure"); }));
        QVERIFY(trap.step(106, [&] { ran << "106"; }));

        QCOMPARE(ran, QStringList({ "100", "102", "106" }));
        QCOMPARE(trap.failures(), 2);
        QCOMPARE(dialogs.messages.size(), 2);
        const auto first = dialogs.messages.at(0);
        QCOMPARE(first.title, QStringLiteral("Application Error"));
        QCOMPARE(first.icon, Dialogs::Icon::Warning);
        QCOMPARE(first.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(first.text, errorReportText("Type mismatch", "Form1.PushButton7_Click", 102));
        QCOMPARE(dialogs.messages.at(1).text,
            errorReportText("plain failure", "Form1.PushButton7_Click", 104));
    }

    void unknownExceptionStillReported()
    {
        ScriptedDialogs dialogs;
        ErrorTrap trap("Form2.Form_Activate");
        trap.step(100, [] { throw 42; });
        QCOMPARE(dialogs.texts(),
            QStringList({ errorReportText("Unknown error", "Form2.Form_Activate", 100) }));
    }
};

QTEST_MAIN(TestErrorTrap)
#include "tst_errortrap.moc"
