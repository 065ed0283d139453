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
        // Right after Germany's rules, the same language in another country reads its own way.
        QTest::newRow("swiss german grouping")
            << QStringLiteral("1’500.25") << QLocale(QLocale::German, QLocale::Switzerland) << false
            << K::Number << 1500.25 << L::General;
        QTest::newRow("german again after swiss")
            << "1.500,25" << de << false << K::Number << 1500.25 << L::General;
        QTest::newRow("french narrow space grouping")
            << QStringLiteral("1\u202f500,25") << fr << false << K::Number << 1500.25 << L::General;
        QTest::newRow("french date")
            << "04/11/1965" << fr << false << K::Number << 24050.0 << L::Date;

        // The locale's own digits, also beyond the basic plane, and its bidirectional marks.
        const QLocale egypt(QLocale::Arabic, QLocale::Egypt);
        const QLocale iran(QLocale::Persian, QLocale::Iran);
        const QLocale chakma(QLocale::Chakma, QLocale::India);
        QTest::newRow("arabic digits currency")
            << QStringLiteral("\u0663\u066c\u0666\u0663\u0664\u066b\u0665\u0669 "
                              "\u062c.\u0645.\u200f")
            << egypt << false << K::Number << 3634.59 << L::Currency;
        QTest::newRow("arabic negative behind letter mark")
            << QStringLiteral("\u061c-\u0662\u066b\u0664\u0669 \u062c.\u0645.\u200f") << egypt
            << false << K::Number << -2.49 << L::Currency;
        QTest::newRow("arabic percent")
            << QStringLiteral("\u0667\u066a") << egypt << false << K::Number << 0.07 << L::Percent;
        QTest::newRow("arabic digits in percent cell")
            << QStringLiteral("\u0667") << egypt << true << K::Number << 0.07 << L::General;
        QTest::newRow("persian digits after symbol")
            << QStringLiteral("\u200e\u0631\u06cc\u0627\u0644 \u06f7\u06f8\u066c\u06f0\u06f5"
                              "\u06f0\u066b\u06f9\u06f0")
            << iran << false << K::Number << 78050.9 << L::Currency;
        QTest::newRow("chakma digits")
            << QStringLiteral("\U00011137\U00011138.\U0001113e\U00011137\u20b9") << chakma << false
            << K::Number << 12.81 << L::Currency;
        QTest::newRow("ascii digits still read in arabic")
            << "12" << egypt << false << K::Number << 12.0 << L::General;
        QTest::newRow("mixed digit sets")
            << QStringLiteral("\u06612") << egypt << false << K::Text << 0.0 << L::General;
        QTest::newRow("arabic digits in us")
            << QStringLiteral("\u0661\u0662") << us << false << K::Text << 0.0 << L::General;

        // Locales without a currency symbol write the ISO code.
        const QLocale swissEnglish(QLocale::English, QLocale::Switzerland);
        const QLocale swissItalian(QLocale::Italian, QLocale::Switzerland);
        const QLocale tamazight(QLocale::StandardMoroccanTamazight, QLocale::Morocco);
        QTest::newRow("iso code before")
            << QStringLiteral("CHF 72\u2019637\u2019158.10") << swissEnglish << false << K::Number
            << 72637158.1 << L::Currency;
        QTest::newRow("iso code after negative")
            << "-2.09 CHF" << swissItalian << false << K::Number << -2.09 << L::Currency;
        QTest::newRow("iso code unspaced")
            << "-6,10MAD" << tamazight << false << K::Number << -6.1 << L::Currency;
        QTest::newRow("iso code where a symbol exists")
            << "EUR 5" << de << false << K::Text << 0.0 << L::General;

        // Grouping as the locale writes it, groups of three, and nothing else.
        const QLocale india(QLocale::Hindi, QLocale::India);
        const QLocale spain(QLocale::Spanish, QLocale::Spain);
        const QLocale poland(QLocale::Polish, QLocale::Poland);
        QTest::newRow("indian grouping") << QStringLiteral("\u20b94,56,86,711.40") << india << false
                                         << K::Number << 45686711.4 << L::Currency;
        QTest::newRow("indian grouping negative")
            << QStringLiteral("\u20b9-63,05,002.39") << india << false << K::Number << -6305002.39
            << L::Currency;
        QTest::newRow("threes in india")
            << "1,234,567" << india << false << K::Number << 1234567.0 << L::General;
        QTest::newRow("indian grouping misplaced")
            << "4,5686,711" << india << false << K::Text << 0.0 << L::General;
        QTest::newRow("spanish long top group")
            << QStringLiteral("5371.129,68\u00a0\u20ac") << spain << false << K::Number
            << 5371129.68 << L::Currency;
        QTest::newRow("spanish four digits ungrouped")
            << "1234,5" << spain << false << K::Number << 1234.5 << L::General;
        QTest::newRow("spanish odd grouping")
            << "53.71.129" << spain << false << K::Text << 0.0 << L::General;
        QTest::newRow("polish long top group")
            << QStringLiteral("(7255\u00a0444,89\u00a0z\u0142)") << poland << false << K::Number
            << -7255444.89 << L::Currency;
        QTest::newRow("single digit groups")
            << "1,2,3" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("short last group")
            << "12,34,5" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("indian grouping in us")
            << "12,34,567" << us << false << K::Text << 0.0 << L::General;

        // Texts a cell keeps as text.
        QTest::newRow("symbol and percent") << "$5%" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("two minus signs") << "--5" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("minus on both sides")
            << "-5-" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("plus and minus") << "+-5" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("sign outside parentheses")
            << "-(5)" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("two symbols") << "$5$" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("trailing letters") << "12a" << us << false << K::Text << 0.0 << L::General;
        QTest::newRow("amount and word")
            << "5 apples" << us << false << K::Text << 0.0 << L::General;
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
