#include "entry/amountformat.h"
#include "workbook/libreoffice/typedentry.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

// An amount field's currency form, typed into an amount cell, must give the cell the number
// the field shows, under every regional setting: otherwise the estimate is computed from text.
namespace {

double drawAmount(QRandomGenerator& random)
{
    const double value
        = std::floor(random.generateDouble() * std::pow(10.0, random.bounded(0, 12))) / 100.0;
    return random.bounded(3) == 0 ? -value : value;
}

// Why cells cannot read a locale's currency form yet, or nothing when they should.
const char* knownFault(const QLocale& locale)
{
    if (locale.zeroDigit() != QLatin1String("0"))
        return "cells do not read the locale's own digits yet";
    if (locale.currencySymbol().isEmpty()
        && !locale.currencySymbol(QLocale::CurrencyIsoCode).isEmpty())
        return "cells do not read the ISO code that stands in for a missing currency symbol yet";
    const QString digits = locale.toString(5371129.0, 'f', 0);
    if (digits != QLatin1String("5371129")
        && digits != QStringList { "5", "371", "129" }.join(locale.groupSeparator()))
        return "cells read only digits grouped by threes yet";
    return nullptr;
}

} // namespace

class TestCurrencyTyping : public QObject {
    Q_OBJECT

private slots:
    void currencyFormTypesAsItsNumber_data()
    {
        QTest::addColumn<QLocale>("locale");
        const QList<QLocale> locales = QLocale::matchingLocales(
            QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        for (const QLocale& locale : locales)
            QTest::newRow(qPrintable(locale.name())) << locale;
    }

    void currencyFormTypesAsItsNumber()
    {
        QFETCH(QLocale, locale);
        if (const char* fault = knownFault(locale))
            QEXPECT_FAIL("", fault, Abort);
        QRandomGenerator random(qHash(locale.name()));
        QStringList failures;
        for (int i = 0; i < 200 && failures.size() < 3; ++i) {
            const QString form = AmountFormat::currencyForm(drawAmount(random), locale);
            const std::optional<double> shown = AmountFormat::parse(form, locale);
            const TypedEntry typed = parseTypedEntry(form, locale, false);
            if (!shown || typed.kind != TypedEntry::Kind::Number || typed.number != *shown)
                failures << QStringLiteral("%1 typed as %2")
                                .arg(form,
                                    typed.kind == TypedEntry::Kind::Number
                                        ? QString::number(typed.number, 'f')
                                        : QStringLiteral("text"));
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QStringLiteral("; "))));
    }
};

QTEST_APPLESS_MAIN(TestCurrencyTyping)
#include "tst_currencytyping.moc"
