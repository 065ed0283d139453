#include "workbook/libreoffice/typedentry.h"

#include <QtTest>

Q_DECLARE_METATYPE(TypedEntry::Kind)
Q_DECLARE_METATYPE(TypedEntry::Look)

class TestTypedEntry : public QObject {
    Q_OBJECT

private slots:
    void typing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<bool>("percentCell");
        QTest::addColumn<TypedEntry::Kind>("kind");
        QTest::addColumn<double>("number");
        QTest::addColumn<TypedEntry::Look>("look");

        using K = TypedEntry::Kind;
        using L = TypedEntry::Look;
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        const QLocale fr(QLocale::French, QLocale::France);

        QTest::newRow("plain") << "4500" << us << false << K::Number << 4500.0 << L::General;
        QTest::newRow("spaces around")
            << " 12.5 " << us << false << K::Number << 12.5 << L::General;
        QTest::newRow("leading point") << ".5" << us << false << K::Number << 0.5 << L::General;
        QTest::newRow("exponent") << "1.5E3" << us << false << K::Number << 1500.0 << L::General;
        QTest::newRow("grouping") << "12,345,678.9" << us << false << K::Number << 12345678.9
                                  << L::General;
        QTest::newRow("currency") << "$4,500.00" << us << false << K::Number << 4500.0
                                  << L::Currency;
        QTest::newRow("zero currency") << "$0.00" << us << false << K::Number << 0.0 << L::Currency;
        QTest::newRow("leading minus")
            << "-250" << us << false << K::Number << -250.0 << L::General;
        QTest::newRow("minus before symbol")
            << "-$1,500.00" << us << false << K::Number << -1500.0 << L::Currency;
        QTest::newRow("minus after symbol")
            << "$-1,500.00" << us << false << K::Number << -1500.0 << L::Currency;
        QTest::newRow("parentheses")
            << "(1,500.00)" << us << false << K::Number << -1500.0 << L::General;
        QTest::newRow("parentheses and symbol")
            << "($1,500.00)" << us << false << K::Number << -1500.0 << L::Currency;
        QTest::newRow("percent text") << "7%" << us << false << K::Number << 0.07 << L::Percent;
        QTest::newRow("percent text in percent cell")
            << "7%" << us << true << K::Number << 0.07 << L::Percent;
        QTest::newRow("fraction percent text")
            << "5.16%" << us << false << K::Number << 0.0516 << L::Percent;
        QTest::newRow("plain in percent cell")
            << "7" << us << true << K::Number << 0.07 << L::General;
        QTest::newRow("eleven in percent cell")
            << "11" << us << true << K::Number << 0.11 << L::General;
        QTest::newRow("fraction in percent cell stays")
            << "0.07" << us << true << K::Number << 0.07 << L::General;
        QTest::newRow("negative in percent cell")
            << "-3" << us << true << K::Number << -0.03 << L::General;
        QTest::newRow("zero in percent cell")
            << "0" << us << true << K::Number << 0.0 << L::General;
        QTest::newRow("currency in percent cell")
            << "$7.00" << us << true << K::Number << 7.0 << L::Currency;
        QTest::newRow("date") << "11/4/1965" << us << false << K::Number << 24050.0 << L::Date;
        QTest::newRow("date two-digit year")
            << "11/4/65" << us << false << K::Number << 24050.0 << L::Date;
        QTest::newRow("date two-digit year this century")
            << "1/2/05" << us << false << K::Number << 38354.0 << L::Date;
        QTest::newRow("iso date") << "1965-11-04" << us << false << K::Number << 24050.0 << L::Date;
        QTest::newRow("no such day") << "2/30/1965" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("text") << "abc" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("placeholder word") << "Dummy" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("bad grouping") << "1,23" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("two decimal points")
            << "1.2.3" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("foreign symbol") << "€5" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("double negative") << "(-5)" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("symbol only") << "$" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("formula stays text")
            << "=1+1" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("empty") << "" << us << false << K::Empty << 0.0 << L::General;
        QTest::newRow("german plain")
            << "4500,5" << de << false << K::Number << 4500.5 << L::General;
        QTest::newRow("german currency") << QStringLiteral("4.500,00\u00a0€") << de << false
                                         << K::Number << 4500.0 << L::Currency;
        QTest::newRow("german negative currency")
            << QStringLiteral("-1.500,00 €") << de << false << K::Number << -1500.0 << L::Currency;
        QTest::newRow("german point is grouping")
            << "1.500" << de << false << K::Number << 1500.0 << L::General;
        QTest::newRow("german date")
            << "4.11.1965" << de << false << K::Number << 24050.0 << L::Date;
        QTest::newRow("german percent")
            << "7,5 %" << de << false << K::Number << 0.075 << L::Percent;
        QTest::newRow("us text in german")
            << "4,500.00" << de << false << K::Text << 0.0 << L::General;
        QTest::newRow("french narrow space grouping")
            << QStringLiteral("1\u202f500,25") << fr << false << K::Number << 1500.25 << L::General;
        QTest::newRow("french date")
            << "04/11/1965" << fr << false << K::Number << 24050.0 << L::Date;
    }

    void typing()
    {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(bool, percentCell);
        QFETCH(TypedEntry::Kind, kind);
        QFETCH(double, number);
        QFETCH(TypedEntry::Look, look);

        const TypedEntry entry = parseTypedEntry(text, locale, percentCell);
        QCOMPARE(entry.kind, kind);
        QCOMPARE(entry.look, look);
        if (kind == TypedEntry::Kind::Number)
            QCOMPARE(entry.number, number);
        if (kind == TypedEntry::Kind::Text)
            QCOMPARE(entry.text, text);
    }

    void dateSerials_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<double>("serial");
        QTest::newRow("null date") << QDate(1899, 12, 30) << 0.0;
        QTest::newRow("first of march 1900") << QDate(1900, 3, 1) << 61.0;
        QTest::newRow("birth") << QDate(1965, 11, 4) << 24050.0;
        QTest::newRow("template run date") << QDate(2008, 9, 25) << 39716.0;
    }

    void dateSerials()
    {
        QFETCH(QDate, date);
        QFETCH(double, serial);
        QCOMPARE(dateSerial(date), serial);
    }
};

QTEST_MAIN(TestTypedEntry)
#include "tst_typedentry.moc"
