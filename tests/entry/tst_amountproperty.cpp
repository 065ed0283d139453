#include "entry/amountformat.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <cstdlib>

// Generated texts and amounts through the numeric test and the currency form: whatever a user
// types must be answered without a crash, and whatever the currency form writes must validate
// again to the very same text and value. FERROWYND_PROPERTY_SEED repeats a failing draw;
// FERROWYND_PROPERTY_SCALE multiplies the number of draws.
namespace {

quint32 seed()
{
    bool ok = false;
    const quint32 fromEnvironment = qEnvironmentVariable("FERROWYND_PROPERTY_SEED").toUInt(&ok);
    return ok ? fromEnvironment : 20261207u;
}

int scaled(int draws)
{
    bool ok = false;
    const int scale = qEnvironmentVariableIntValue("FERROWYND_PROPERTY_SCALE", &ok);
    return ok && scale > 0 ? draws * scale : draws;
}

// The amount the currency form shows: the value's exact decimal expansion rounded to cents,
// halves away from zero as the regional currency formatting rounds them.
double toCents(double value)
{
    char exact[512];
    std::snprintf(exact, sizeof exact, "%.60f", std::fabs(value));
    QByteArray digits(exact);
    const int point = digits.indexOf('.');
    const bool up = digits.at(point + 3) >= '5';
    digits = digits.left(point) + digits.mid(point + 1, 2);
    for (int i = digits.size() - 1; up && i >= 0; --i) {
        if (digits[i] != '9') {
            ++digits[i];
            break;
        }
        digits[i] = '0';
        if (i == 0)
            digits.prepend('1');
    }
    digits.insert(digits.size() - 2, '.');
    const double cents = std::strtod(digits.constData(), nullptr);
    return value < 0 ? -cents : cents;
}

// An amount of any size a household might type or a formula might give: whole amounts, cents,
// exact half cents, tiny and huge values, either sign.
double drawAmount(QRandomGenerator& random)
{
    const int exponent = random.bounded(-4, 16);
    double value = random.generateDouble() * std::pow(10.0, exponent);
    switch (random.bounded(4)) {
    case 0:
        value = std::floor(value);
        break;
    case 1:
        value = std::floor(value * 100.0) / 100.0;
        break;
    case 2:
        value = std::floor(value * 100.0) / 100.0 + 0.005;
        break;
    default:
        break;
    }
    return random.bounded(3) == 0 ? -value : value;
}

// Texts built from what numeric input is made of under the locale, plus things that must be
// refused: letters, other signs and symbols, stray spaces.
QString drawText(QRandomGenerator& random, const QLocale& locale)
{
    const QStringList pieces { locale.decimalPoint(), locale.groupSeparator(),
        locale.negativeSign(), locale.positiveSign(), locale.currencySymbol(), locale.percent(),
        locale.exponential(), QStringLiteral("("), QStringLiteral(")"), QStringLiteral(" "),
        QStringLiteral("."), QStringLiteral(","), QStringLiteral("-"), QStringLiteral("$"),
        QStringLiteral("e"), QStringLiteral("x"), QStringLiteral("\u00a0"),
        QStringLiteral("\u200f"), QStringLiteral("\u0661"), QStringLiteral("inf"),
        QStringLiteral("Dummy") };
    const QString zero = locale.zeroDigit();
    QString text;
    const int length = random.bounded(0, 14);
    for (int i = 0; i < length; ++i) {
        if (random.bounded(2) == 0) {
            const int digit = random.bounded(10);
            text += zero.size() == 1 ? QString(QChar(zero.at(0).unicode() + digit))
                                     : QString::number(digit);
        } else {
            text += pieces.at(random.bounded(int(pieces.size())));
        }
    }
    return text;
}

// One generated text: no crash, and when it is numeric, its currency form is a fixed point.
QString checkText(const QString& text, const QLocale& locale, bool* numeric = nullptr)
{
    const std::optional<double> value = AmountFormat::parse(text, locale);
    if (numeric)
        *numeric = value.has_value();
    if (!value)
        return QString();
    if (!std::isfinite(*value))
        return QStringLiteral("%1 gave %2").arg(text).arg(*value);
    const QString form = AmountFormat::currencyForm(*value, locale);
    const std::optional<double> again = AmountFormat::parse(form, locale);
    if (!again)
        return QStringLiteral("%1 became %2, which is refused").arg(text, form);
    if (AmountFormat::currencyForm(*again, locale) != form)
        return QStringLiteral("%1 became %2, then %3")
            .arg(text, form, AmountFormat::currencyForm(*again, locale));
    return QString();
}

// One amount: its currency form validates, reads back as the amount rounded to cents, and
// validates again to the same text.
QString checkAmount(double amount, const QLocale& locale)
{
    const QString form = AmountFormat::currencyForm(amount, locale);
    const std::optional<double> value = AmountFormat::parse(form, locale);
    if (!value)
        return QStringLiteral("%1 shows as %2, which is refused").arg(amount, 0, 'g', 17).arg(form);
    const double expected = toCents(amount) + 0.0;
    if (*value != expected)
        return QStringLiteral("%1 shows as %2, which reads as %3 instead of %4")
            .arg(amount, 0, 'g', 17)
            .arg(form)
            .arg(*value, 0, 'g', 17)
            .arg(expected, 0, 'g', 17);
    const QString again = AmountFormat::currencyForm(*value, locale);
    if (again != form)
        return QStringLiteral("%1 shows as %2, then as %3")
            .arg(amount, 0, 'g', 17)
            .arg(form, again);
    return QString();
}

QList<QLocale> everyLocale()
{
    return QLocale::matchingLocales(
        QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
}

} // namespace

class TestAmountProperty : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qInfo("seed %u", seed()); }

    void generatedTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("draws");
        // Point and comma decimals, space, point, apostrophe and no grouping, symbols before and
        // after, right-to-left marks and native digits.
        for (const char* name : { "en_US", "de_DE", "fr_FR", "de_CH", "pt_BR", "sv_SE", "ja_JP",
                 "hi_IN", "da_DK", "ar_EG", "fa_IR", "he_IL" })
            QTest::newRow(name) << QString::fromLatin1(name) << scaled(250000);
    }

    void generatedTexts()
    {
        QFETCH(QString, locale);
        QFETCH(int, draws);
        const QLocale regional(locale);
        QRandomGenerator random(seed() ^ qHash(locale));
        int numericTexts = 0;
        for (int i = 0; i < draws; ++i) {
            const QString text = drawText(random, regional);
            bool numeric = false;
            const QString failure = checkText(text, regional, &numeric);
            if (!failure.isEmpty())
                QFAIL(qPrintable(failure));
            numericTexts += numeric ? 1 : 0;
        }
        // The draws must reach the currency form often enough to test it.
        QVERIFY2(numericTexts > draws / 50, qPrintable(QString::number(numericTexts)));
    }

    // Amounts typed the regional way, with or without grouping and with any number of
    // decimals, read as what they say.
    void typedAmounts_data() { generatedAmounts_data(); }

    void typedAmounts()
    {
        QFETCH(QString, locale);
        QFETCH(int, draws);
        QLocale regional(locale);
        QRandomGenerator random(seed() ^ qHash(locale) ^ 3u);
        for (int i = 0; i < draws; ++i) {
            const double amount = drawAmount(random);
            regional.setNumberOptions(random.bounded(2) == 0 ? QLocale::DefaultNumberOptions
                                                             : QLocale::OmitGroupSeparator);
            const QString text = regional.toString(amount, 'f', 2);
            const std::optional<double> value = AmountFormat::parse(text, regional);
            if (!value || *value != toCents(amount))
                QFAIL(qPrintable(QStringLiteral("%1 typed as %2 reads as %3")
                                     .arg(amount, 0, 'g', 17)
                                     .arg(text)
                                     .arg(value ? QString::number(*value, 'g', 17)
                                                : QStringLiteral("nothing"))));
        }
    }

    void generatedAmounts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("draws");
        for (const char* name : { "en_US", "de_DE", "fr_FR", "de_CH", "pt_BR", "ar_EG" })
            QTest::newRow(name) << QString::fromLatin1(name) << scaled(100000);
    }

    void generatedAmounts()
    {
        QFETCH(QString, locale);
        QFETCH(int, draws);
        const QLocale regional(locale);
        QRandomGenerator random(seed() ^ qHash(locale) ^ 1u);
        for (int i = 0; i < draws; ++i) {
            const QString failure = checkAmount(drawAmount(random), regional);
            if (!failure.isEmpty())
                QFAIL(qPrintable(failure));
        }
    }

    // Locales without a currency symbol of their own write the ISO code instead.
    void localesWithoutSymbol_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("amount");
        QTest::addColumn<QString>("code");
        QTest::newRow("english in switzerland") << "en_CH" << 1500.0 << "CHF";
        QTest::newRow("italian in switzerland") << "it_CH" << -8509.51 << "CHF";
        QTest::newRow("afar in ethiopia") << "aa_ET" << 37.19 << "ETB";
    }

    void localesWithoutSymbol()
    {
        QFETCH(QString, locale);
        QFETCH(double, amount);
        QFETCH(QString, code);
        const QLocale regional(locale);
        const QString form = AmountFormat::currencyForm(amount, regional);
        QVERIFY2(form.contains(code), qPrintable(form));
        QCOMPARE(AmountFormat::parse(form, regional), std::optional<double>(amount));
        QCOMPARE(AmountFormat::currencyForm(amount, regional), form);
    }

    void longInputsEnd_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QString grouped = QStringLiteral("1");
        while (grouped.size() < 100000)
            grouped += QStringLiteral(",000");
        QString mixed;
        QRandomGenerator random(seed());
        while (mixed.size() < 100000)
            mixed += drawText(random, QLocale(QLocale::English, QLocale::UnitedStates));
        QTest::newRow("digits") << "en_US" << QString(100000, QLatin1Char('7')) << false;
        QTest::newRow("grouped digits") << "en_US" << grouped << false;
        QTest::newRow("zeros then one")
            << "en_US" << QString(99998, QLatin1Char('0')) + ".1" << true;
        QTest::newRow("parentheses")
            << "en_US" << QString(50000, QLatin1Char('(')) + QString(50000, QLatin1Char(')'))
            << false;
        QTest::newRow("spaces around a number") << "fr_FR"
                                                << QString(50000, QLatin1Char(' '))
                + QStringLiteral("5") + QString(50000, QChar(0x202f))
                                                << true;
        QTest::newRow("generated") << "en_US" << mixed.left(100000) << false;
    }

    // A user may paste anything; 100,000 characters are answered like any other text.
    void longInputsEnd()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        const QLocale regional(locale);
        QCOMPARE(AmountFormat::isNumeric(text, regional), numeric);
        QCOMPARE(checkText(text, regional), QString());
    }

    void everyLocaleRoundTrips()
    {
        const QList<QLocale> locales = everyLocale();
        QVERIFY(locales.size() > 300);
        QRandomGenerator random(seed() ^ 2u);
        QStringList failures;
        for (const QLocale& locale : locales) {
            for (int i = 0; i < scaled(300); ++i) {
                QString failure = checkAmount(drawAmount(random), locale);
                if (failure.isEmpty())
                    failure = checkText(drawText(random, locale), locale);
                if (!failure.isEmpty()) {
                    failures << locale.name() + QStringLiteral(": ") + failure;
                    break;
                }
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }
};

QTEST_APPLESS_MAIN(TestAmountProperty)
#include "tst_amountproperty.moc"
