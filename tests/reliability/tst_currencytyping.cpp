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
