#include "app/apperror.h"
#include "fakespreadsheet.h"
#include "workbook/savefileformat.h"

#include <QLocale>
#include <QtTest>

class TestSaveFileFormat : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void formatFollowsTheMajorVersion_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("format");

        QTest::newRow("16.0") << "en_US"
                              << "16.0" << 56;
        QTest::newRow("12.0") << "en_US"
                              << "12.0" << 56;
        QTest::newRow("11.0") << "en_US"
                              << "11.0" << -4143;
        QTest::newRow("7.4") << "en_US"
                             << "7.4" << -4143;
        QTest::newRow("11.5 rounds to 12") << "en_US"
                                           << "11.5" << 56;
        QTest::newRow("11.4 rounds to 11") << "en_US"
                                           << "11.4" << -4143;
        QTest::newRow("plain 12") << "en_US"
                                  << "12" << 56;
        QTest::newRow("comma locale 16.0") << "de_DE"
                                           << "16.0" << 56;
        QTest::newRow("comma locale 11.0") << "de_DE"
                                           << "11.0" << -4143;
        QTest::newRow("comma locale 7.4") << "de_DE"
                                          << "7.4" << -4143;
        QTest::newRow("comma locale 12,0") << "de_DE"
                                           << "12,0" << 56;
        QTest::newRow("comma text, point locale") << "en_US"
                                                  << "16,0" << 56;
        QTest::newRow("spaces around") << "fr_FR"
                                       << " 16.0 " << 56;
    }

    void formatFollowsTheMajorVersion()
    {
        QFETCH(QString, locale);
        QFETCH(QString, version);
        QFETCH(int, format);
        QLocale::setDefault(QLocale(locale));

        FakeSpreadsheet::Office office;
        office.version = version;
        std::unique_ptr<SpreadsheetApplication> app = createSpreadsheetApplication();
        QCOMPARE(GetSaveFileFormat(app.get()), format);
        // The given instance is only asked, never quit.
        QCOMPARE(office.callsOf(1), QStringList({ "create", "version" }));
    }

    void withoutAnInstanceOneIsStartedAndQuit()
    {
        FakeSpreadsheet::Office office;
        office.version = "7.4";
        QCOMPARE(GetSaveFileFormat(nullptr), -4143);
        QCOMPARE(office.calls, QStringList({ "1:create", "1:version", "1:quit" }));
        QCOMPARE(office.running, 0);
    }

    void unreadableVersionThrowsAndLeavesNoOffice_data()
    {
        QTest::addColumn<QString>("version");
        QTest::newRow("words") << "unknown";
        QTest::newRow("empty") << "";
        QTest::newRow("four parts") << "7.4.7.2";
        QTest::newRow("too big") << "40000";
    }

    void unreadableVersionThrowsAndLeavesNoOffice()
    {
        QFETCH(QString, version);
        QLocale::setDefault(QLocale("en_US"));
        FakeSpreadsheet::Office office;
        office.version = version;
        QVERIFY_THROWS_EXCEPTION(AppError, GetSaveFileFormat(nullptr));
        QCOMPARE(office.running, 0);
    }

    void localDecimalSeparator_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("separator");
        QTest::newRow("C") << "C"
                           << ".";
        QTest::newRow("en_US") << "en_US"
                               << ".";
        QTest::newRow("de_DE") << "de_DE"
                               << ",";
        QTest::newRow("fr_FR") << "fr_FR"
                               << ",";
    }

    void localDecimalSeparator()
    {
        QFETCH(QString, locale);
        QFETCH(QString, separator);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(LocalDecimalSeparator(), separator);
    }

    void toLocalDecimal_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("toInvariant");
        QTest::addColumn<QString>("result");
        QTest::newRow("point locale keeps points") << "en_US"
                                                   << "16.0" << false << "16.0";
        QTest::newRow("point locale turns commas") << "en_US"
                                                   << "1,5" << false << "1.5";
        QTest::newRow("comma locale turns both") << "de_DE"
                                                 << "1.5,2" << false << "1,5,2";
        QTest::newRow("back to invariant") << "de_DE"
                                           << "7,4" << true << "7.4";
        QTest::newRow("invariant leaves points") << "de_DE"
                                                 << "7.4" << true << "7.4";
    }

    void toLocalDecimal()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, toInvariant);
        QFETCH(QString, result);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(ToLocalDecimal(text, toInvariant), result);
    }

    void integerConversionRoundsHalvesToEven_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("3.5") << "3.5" << 4;
        QTest::newRow("-2.5") << "-2.5" << -2;
        QTest::newRow("2.51") << "2.51" << 3;
        QTest::newRow("upper end") << "32767.4" << 32767;
        QTest::newRow("lower end") << "-32768" << -32768;
    }

    void integerConversionRoundsHalvesToEven()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QLocale::setDefault(QLocale("en_US"));
        QCOMPARE(int(toInteger16(text)), value);
    }

    void integerConversionRefusesWhatDoesNotFit()
    {
        QLocale::setDefault(QLocale("en_US"));
        QVERIFY_THROWS_EXCEPTION(AppError, toInteger16("32767.5"));
        QVERIFY_THROWS_EXCEPTION(AppError, toInteger16("-32769"));
        QVERIFY_THROWS_EXCEPTION(AppError, toInteger16("nan"));
    }
};

QTEST_MAIN(TestSaveFileFormat)
#include "tst_savefileformat.moc"
