#include "entry/amountformat.h"
#include "entry/fieldvalidation.h"

#include <QtTest>

using FieldCatalogue::Group;

class TestAmountFormat : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void numericUnitedStates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "1500" << true << 1500.0;
        QTest::newRow("decimals") << "7.5" << true << 7.5;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("grouped") << "1,500" << true << 1500.0;
        QTest::newRow("grouping in an odd place") << "1,50" << false << 0.0;
        QTest::newRow("currency form") << "$1,500.00" << true << 1500.0;
        QTest::newRow("parentheses negative") << "($1,500.00)" << true << -1500.0;
        QTest::newRow("minus before symbol") << "-$1,500.00" << true << -1500.0;
        QTest::newRow("minus after symbol") << "$-12" << true << -12.0;
        QTest::newRow("plus") << "+5" << true << 5.0;
        QTest::newRow("spaces around") << "  42 " << true << 42.0;
        QTest::newRow("exponent") << "1e3" << true << 1000.0;
        QTest::newRow("zero") << "0" << true << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "   " << false << 0.0;
        QTest::newRow("letters") << "abc" << false << 0.0;
        QTest::newRow("digits and letters") << "12a" << false << 0.0;
        QTest::newRow("sign only") << "-" << false << 0.0;
        QTest::newRow("symbol only") << "$" << false << 0.0;
        QTest::newRow("empty parentheses") << "()" << false << 0.0;
        QTest::newRow("two signs") << "--5" << false << 0.0;
        QTest::newRow("sign inside parentheses") << "(-5)" << false << 0.0;
        QTest::newRow("two points") << "1.2.3" << false << 0.0;
        QTest::newRow("infinity") << "inf" << false << 0.0;
        QTest::newRow("not a number") << "nan" << false << 0.0;
        QTest::newRow("overflow") << "1e400" << false << 0.0;
        QTest::newRow("hundred thousand digits")
            << QString(100000, QLatin1Char('9')) << false << 0.0;
        QTest::newRow("placeholder text") << "Dummy" << false << 0.0;
        QTest::newRow("euro sign is not ours") << "€5" << false << 0.0;
        QTest::newRow("arabic digits") << QString::fromUtf8("١٢") << false << 0.0;
    }

    void numericUnitedStates()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QFETCH(double, value);
        const std::optional<double> parsed = AmountFormat::parse(text);
        QCOMPARE(parsed.has_value(), numeric);
        QCOMPARE(AmountFormat::isNumeric(text), numeric);
        if (numeric)
            QCOMPARE(*parsed, value);
    }

    void currencyUnitedStates_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("thousands") << 1500.0 << "$1,500.00";
        QTest::newRow("negative in parentheses") << -1500.0 << "($1,500.00)";
        QTest::newRow("zero") << 0.0 << "$0.00";
        QTest::newRow("cents rounded") << 7.456 << "$7.46";
        QTest::newRow("millions") << 1234567.891 << "$1,234,567.89";
        QTest::newRow("tiny negative is zero") << -0.004 << "$0.00";
        QTest::newRow("small") << 0.5 << "$0.50";
    }

    void currencyUnitedStates()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(AmountFormat::currencyForm(value), text);
    }

    // Whatever the currency form writes must read back as the same amount and be written again
    // unchanged, in every regional setting.
    void currencyFormValidatesAgain_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        const QStringList locales { "C", "en_US", "en_GB", "de_DE", "de_CH", "fr_FR", "sv_SE",
            "nl_NL", "ja_JP", "hi_IN", "pt_BR", "es_ES", "it_IT", "pl_PL", "ru_RU", "fa_IR",
            "ar_EG" };
        for (const QString& locale : locales) {
            for (const double value : { 0.0, 7.5, 1500.0, -1500.0, 1234567.89, -0.25 })
                QTest::addRow("%s %g", qPrintable(locale), value) << locale << value;
        }
    }

    void currencyFormValidatesAgain()
    {
        QFETCH(QString, locale);
        QFETCH(double, value);
        const QLocale regional(locale);
        const QString form = AmountFormat::currencyForm(value, regional);
        const std::optional<double> parsed = AmountFormat::parse(form, regional);
        QVERIFY2(parsed.has_value(), qPrintable(form));
        QCOMPARE(*parsed, value);
        QCOMPARE(AmountFormat::currencyForm(*parsed, regional), form);
    }

    void regionalSeparators_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        // Refused: no value.
        QTest::addColumn<std::optional<double>>("value");
        const std::optional<double> refused;
        const auto row = [](const char* name, const char* locale, const QString& text,
                             std::optional<double> value) {
            QTest::newRow(name) << QString::fromLatin1(locale) << text << value;
        };
        row("german decimal comma", "de_DE", "7,5", 7.5);
        row("german grouping point", "de_DE", "1.500", 1500.0);
        row("french spaces", "fr_FR", "1 500,25", 1500.25);
        row("swiss apostrophe", "de_CH", QString::fromUtf8("1’500.5"), 1500.5);
        // Grouping separators only every three digits before the decimal mark.
        row("en_US 1,234.50", "en_US", "1,234.50", 1234.5);
        row("en_US 1,234,567", "en_US", "1,234,567", 1234567.0);
        row("en_US 12,345", "en_US", "12,345", 12345.0);
        row("en_US 1,2,3", "en_US", "1,2,3", refused);
        row("en_US 12,34", "en_US", "12,34", refused);
        row("en_US 1234,567", "en_US", "1234,567", refused);
        row("en_US ,123", "en_US", ",123", refused);
        row("en_US 1,,234", "en_US", "1,,234", refused);
        row("en_US grouping after the point", "en_US", "1.234,5", refused);
        row("de_DE 1.234,5", "de_DE", "1.234,5", 1234.5);
        row("de_DE 1.234.567,89", "de_DE", QStringLiteral("1.234.567,89"), 1234567.89);
        row("de_DE 12.5", "de_DE", "12.5", refused);
        row("de_DE 0.05", "de_DE", "0.05", refused);
        row("de_DE 1.23", "de_DE", "1.23", refused);
        row("de_DE 12,5", "de_DE", "12,5", 12.5);
        row("fr_FR narrow space", "fr_FR", QString::fromUtf8("1\u202f234,5"), 1234.5);
        row("fr_FR 12 345 678", "fr_FR", "12 345 678", 12345678.0);
        row("fr_FR 12 5", "fr_FR", "12 5", refused);
        row("fr_FR 1 23,5", "fr_FR", "1 23,5", refused);
        row("fr_FR space after the comma", "fr_FR", "1,234 5", refused);
    }

    void regionalSeparators()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(std::optional<double>, value);
        QCOMPARE(AmountFormat::parse(text, QLocale(locale)), value);
    }

    void leavingAField_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");
        QTest::newRow("income amount") << Group::Income << "4500" << true << "$4,500.00"
                                       << "";
        QTest::newRow("income empty") << Group::Income << "" << false << "0"
                                      << "Please enter a valid amount";
        QTest::newRow("expense letters") << Group::Expense << "abc" << false << "0"
                                         << "Please enter a valid amount";
        QTest::newRow("expense currency again")
            << Group::Expense << "$1,500.00" << true << "$1,500.00"
            << "";
        QTest::newRow("rate stays as typed") << Group::Other << "7.5" << true << "7.5"
                                             << "";
        QTest::newRow("rate letters") << Group::Other << "abc" << false << "0"
                                      << "Please enter a valid input.";
        QTest::newRow("savings letters") << Group::Savings << "abc" << false << "0"
                                         << "Please enter a valid amount.";
        QTest::newRow("savings negative") << Group::Savings << "-20" << true << "($20.00)"
                                          << "";
        QTest::newRow("retirement letters") << Group::RetirementIncome << "x" << false << "0"
                                            << "Please enter a valid amount.";
        QTest::newRow("retirement amount") << Group::RetirementIncome << "540" << true << "$540.00"
                                           << "";
    }

    void leavingAField()
    {
        QFETCH(Group, group);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(QString, result);
        QFETCH(QString, message);
        const FieldValidation outcome = validateFieldText(group, text);
        QCOMPARE(outcome.accepted, accepted);
        QCOMPARE(outcome.text, result);
        QCOMPARE(outcome.message, message);
    }
};

QTEST_MAIN(TestAmountFormat)
#include "tst_amountformat.moc"
