#include "app/apperror.h"
#include "entry/storeddate.h"

#include <QtTest>

class TestStoredDate : public QObject {
    Q_OBJECT

private slots:
    void format_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("format");
        QTest::newRow("U.S. year widened") << "en_US"
                                           << "M/d/yyyy";
        QTest::newRow("German year widened") << "de_DE"
                                             << "dd.MM.yyyy";
        QTest::newRow("British already full") << "en_GB"
                                              << "dd/MM/yyyy";
        QTest::newRow("Swedish year first") << "sv_SE"
                                            << "yyyy-MM-dd";
    }

    void format()
    {
        QFETCH(QString, locale);
        QFETCH(QString, format);
        QCOMPARE(StoredDate::format(QLocale(locale)), format);
    }

    void text_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("text");
        QTest::newRow("U.S.") << "en_US" << QDate(1965, 11, 4) << "11/4/1965";
        QTest::newRow("U.S. wife") << "en_US" << QDate(1966, 1, 24) << "1/24/1966";
        QTest::newRow("German") << "de_DE" << QDate(1965, 11, 4) << "04.11.1965";
        QTest::newRow("first day") << "en_US" << QDate(1601, 1, 1) << "1/1/1601";
        QTest::newRow("last day") << "en_US" << QDate(9999, 12, 31) << "12/31/9999";
    }

    void text()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, date);
        QFETCH(QString, text);
        const QLocale regional(locale);
        QCOMPARE(StoredDate::toText(date, regional), text);
        QCOMPARE(StoredDate::fromText(text, regional), std::optional<QDate>(date));
    }

    void noDateIsEmptyText()
    {
        QCOMPARE(StoredDate::toText(std::nullopt), QString());
        QCOMPARE(StoredDate::fromText(QString()), std::nullopt);
    }

    void unreadableTextsThrow_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("letters") << "en_US"
                                 << "yesterday";
        QTest::newRow("no such month") << "en_US"
                                       << "13/4/1965";
        QTest::newRow("day-first text under U.S.") << "en_US"
                                                   << "24.01.1966";
        QTest::newRow("U.S. text under German") << "de_DE"
                                                << "11/4/1965";
        QTest::newRow("blank") << "en_US"
                               << "   ";
    }

    void unreadableTextsThrow()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(AppError, StoredDate::fromText(text, QLocale(locale)));
    }
};

QTEST_MAIN(TestStoredDate)
#include "tst_storeddate.moc"
