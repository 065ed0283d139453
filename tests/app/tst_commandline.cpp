#include "app/commandline.h"

#include <QtTest>

// Which words on the command line the program answers itself, and which it leaves to Qt.
class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void onlyHelpAndVersionAreTheProgramsOwn_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("answered");
        QTest::newRow("nothing") << QStringList() << false;
        QTest::newRow("--help") << QStringList { "--help" } << true;
        QTest::newRow("-h") << QStringList { "-h" } << true;
        QTest::newRow("--version") << QStringList { "--version" } << true;
        QTest::newRow("-v") << QStringList { "-v" } << true;
        QTest::newRow("-v after a Qt option") << QStringList { "-reverse", "-v" } << true;
        QTest::newRow("-reverse") << QStringList { "-reverse" } << false;
        QTest::newRow("-stylesheet=x.qss") << QStringList { "-stylesheet=x.qss" } << false;
        QTest::newRow("-platformtheme qt6ct") << QStringList { "-platformtheme", "qt6ct" } << false;
        QTest::newRow("-style Fusion") << QStringList { "-style", "Fusion" } << false;
        QTest::newRow("-platform offscreen") << QStringList { "-platform", "offscreen" } << false;
        QTest::newRow("--reverse") << QStringList { "--reverse" } << false;
        QTest::newRow("unknown long option") << QStringList { "--no-such-option" } << false;
        QTest::newRow("-hv bundle") << QStringList { "-hv" } << false;
    }

    void onlyHelpAndVersionAreTheProgramsOwn()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, answered);
        int officeAsked = 0;
        const std::optional<int> status
            = answerCommandLine(QStringList { "ferrowynd" } + options, [&] {
                  ++officeAsked;
                  return QStringLiteral("/usr/bin/soffice");
              });
        // Passing through means going on: never an exit status, neither 0 nor an error.
        QCOMPARE(status.has_value(), answered);
        if (answered)
            QCOMPARE(*status, 0);
        QCOMPARE(officeAsked, answered ? 1 : 0);
    }

    void aPlainFileWithTheSuffixIsTheStartFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file");
        QTest::newRow("none") << QStringList() << "";
        QTest::newRow("the file") << QStringList { "retire-62.ferrowynd" } << "retire-62.ferrowynd";
        QTest::newRow("after an option")
            << QStringList { "-reverse", "/p/a b.FERROWYND" } << "/p/a b.FERROWYND";
        QTest::newRow("another suffix") << QStringList { "notes.txt" } << "";
        QTest::newRow("an option is no file") << QStringList { "--x.ferrowynd" } << "";
        QTest::newRow("the first of two")
            << QStringList { "a.ferrowynd", "b.ferrowynd" } << "a.ferrowynd";
    }
    void aPlainFileWithTheSuffixIsTheStartFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        QCOMPARE(fileArgument(QStringList { "ferrowynd" } + arguments, "ferrowynd"), file);
    }
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
