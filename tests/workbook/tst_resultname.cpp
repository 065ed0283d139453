#include "workbook/resultname.h"
#include "workbook/runclock.h"
#include "workbook/systemrunclock.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// The real generator with the time of day frozen: every re-seed gets the same seed, as several
// draws within one clock tick do.
class FrozenClock final : public RunClock {
public:
    explicit FrozenClock(std::uint64_t state)
        : generator(state)
    {
    }
    QDate today() override { return QDate(2026, 12, 7); }
    qint64 nsecsSinceMidnight() override { return 36000LL * 1000000000; }
    void randomize(qint64 seed) override
    {
        seeds << seed;
        generator.randomize(seed);
    }
    double rnd() override { return generator.rnd(); }

    SystemRunClock generator;
    QList<qint64> seeds;
};

// Gives a fixed draw.
class ScriptedDraw final : public RunClock {
public:
    explicit ScriptedDraw(double value)
        : value(value)
    {
    }
    QDate today() override { return QDate(); }
    qint64 nsecsSinceMidnight() override { return 0; }
    void randomize(qint64) override { }
    double rnd() override { return value; }
    double value;
};

const QRegularExpression namePattern(QStringLiteral("^[1-9]{8}$"));

} // namespace

class TestResultName : public QObject {
    Q_OBJECT

private slots:
    void drawMapsToTheDigitsOneToNine_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<QString>("digits");
        QTest::newRow("0") << 0.0 << "11111111";
        QTest::newRow("just under 1/9") << 0.111 << "11111111";
        QTest::newRow("1/9") << 1.0 / 9.0 + 1e-12 << "22222222";
        QTest::newRow("0.5") << 0.5 << "55555555";
        QTest::newRow("just under 1") << 0.999999999 << "99999999";
        QTest::newRow("exactly 1") << 1.0 << "99999999";
    }

    void drawMapsToTheDigitsOneToNine()
    {
        QFETCH(double, draw);
        QFETCH(QString, digits);
        ScriptedDraw clock(draw);
        QCOMPARE(ResultName::drawDigits(clock), digits);
    }

    void reseedsFromTheTimeOfDayBeforeEachDigit()
    {
        FrozenClock clock(1);
        ResultName::drawDigits(clock);
        QCOMPARE(clock.seeds, QList<qint64>(8, 36000LL * 1000000000));
    }

    void digitsVaryWhenTheTimeStandsStill()
    {
        // Re-seeding must not restart the generator: equal seeds still give fresh digits.
        FrozenClock clock(12345);
        QSet<QString> names;
        QSet<QChar> digits;
        for (int draw = 0; draw < 500; ++draw) {
            const QString name = ResultName::drawDigits(clock);
            QVERIFY2(namePattern.match(name).hasMatch(), qPrintable(name));
            QVERIFY2(QSet<QChar>(name.begin(), name.end()).size() > 1, qPrintable(name));
            names << name;
            for (QChar digit : name)
                digits << digit;
        }
        QCOMPARE(names.size(), 500);
        QCOMPARE(digits.size(), 9);
    }

    void generatorsFromDifferentStatesDiffer()
    {
        FrozenClock first(1);
        FrozenClock second(2);
        QVERIFY(ResultName::drawDigits(first) != ResultName::drawDigits(second));
    }

    void systemClockGivesDifferentNamesOneAfterAnother()
    {
        QSet<QString> names;
        for (int draw = 0; draw < 50; ++draw) {
            const QString name = ResultName::drawDigits(RunClock::current());
            QVERIFY2(namePattern.match(name).hasMatch(), qPrintable(name));
            names << name;
        }
        QCOMPARE(names.size(), 50);
    }

    void systemClockTellsTodayAndTheTimeOfDay()
    {
        RunClock& clock = RunClock::current();
        const QDate before = QDate::currentDate();
        const QDate today = clock.today();
        QVERIFY(today == before || today == QDate::currentDate());
        const qint64 nsecs = clock.nsecsSinceMidnight();
        QVERIFY(nsecs >= 0);
        QVERIFY(nsecs < 86400LL * 1000000000);
    }
};

QTEST_MAIN(TestResultName)
#include "tst_resultname.moc"
