#include "app/settingsstore.h"
#include "entry/fieldcatalogue.h"
#include "runharness.h"
#include "typingscript.h"

#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QThread>
#include <QtTest>
#include <csignal>

using namespace Reliability;

// The settings file under a program killed while typing, and at start when it is corrupt or
// cannot be read.
class TestSettingsKill : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;

    static QString storeFile() { return SettingsStore::fileName(); }

    // A keystroke is stored at once; one that waits this long is held up by something.
    static constexpr int keystrokeBoundMs = 15000;

    static void startTyper(QProcess& typer)
    {
        typer.setProgram(QStringLiteral(FERROWYND_SETTINGS_TYPER));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        typer.setProcessEnvironment(environment);
        typer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        typer.start();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
    }

    void init() { QFile::remove(storeFile()); }

    // SIGKILL at random moments while a keystroke is being stored: the file still reads, the
    // other keys are intact, and the field's value is the last reported text or the one after.
    void killedWhileTyping()
    {
        // The other fields' values must come through every kill untouched.
        QMap<QString, QString> others;
        for (int index = 1; index < 7; ++index)
            others.insert(QStringLiteral("txtIncome%1").arg(index), QString::number(1000 * index));
        for (auto other = others.cbegin(); other != others.cend(); ++other)
            SettingsStore::write(other.key(), other.value());

        QRandomGenerator random(20261207u);
        const int kills = 25;
        for (int kill = 0; kill < kills; ++kill) {
            QProcess typer;
            startTyper(typer);
            QVERIFY(typer.waitForStarted(10000));
            const int target = int(random.bounded(1, 80));
            QMap<qint64, QString> typed;
            qint64 last = 0;
            QString pending;
            const auto readLines = [&] {
                pending += QString::fromUtf8(typer.readAllStandardOutput());
                while (pending.contains('\n')) {
                    const int end = pending.indexOf('\n');
                    const QString line = pending.left(end);
                    pending.remove(0, end + 1);
                    QVERIFY2(line.startsWith("typed "), qPrintable(line));
                    const QStringList parts = line.split(' ');
                    last = parts.value(1).toLongLong();
                    typed.insert(last, parts.mid(2).join(' '));
                }
            };
            while (last < target) {
                QVERIFY2(typer.waitForReadyRead(keystrokeBoundMs), "the typer fell silent");
                readLines();
                if (QTest::currentTestFailed())
                    return;
            }
            // Somewhere inside the next keystroke's store.
            QThread::usleep(random.bounded(3000));
            ::kill(static_cast<pid_t>(typer.processId()), SIGKILL);
            QVERIFY(typer.waitForFinished(10000));
            readLines();

            QSettings stored(storeFile(), QSettings::IniFormat);
            QCOMPARE(stored.status(), QSettings::NoError);
            const QString value = stored.value("Ferrowynd/txtIncome0").toString();
            const QString next = TypingScript::after(typed.value(last), last + 1);
            QVERIFY2(value == typed.value(last) || value == next,
                qPrintable(QStringLiteral("stored %1, keystroke %2 left %3, the next %4")
                               .arg(value)
                               .arg(last)
                               .arg(typed.value(last), next)));
            for (auto other = others.cbegin(); other != others.cend(); ++other)
                QCOMPARE(stored.value("Ferrowynd/" + other.key()).toString(), other.value());
        }
        // The lock a killed writer left behind does not stop the next one.
        SettingsStore::write("txtIncome0", "4500");
        QCOMPARE(SettingsStore::read("txtIncome0"), QStringLiteral("4500"));
    }

    // A writer killed right after creating the settings lock leaves it empty; the next start
    // must not wait on it.
    void orphanedLockHoldsNoKeystroke()
    {
        QFile lock(storeFile() + ".lock");
        QVERIFY(QDir().mkpath(QFileInfo(lock).path()));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(
            QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
        lock.close();
        QProcess typer;
        startTyper(typer);
        QVERIFY2(typer.waitForReadyRead(keystrokeBoundMs), "the first keystroke is held up");
        QVERIFY(typer.readLine().startsWith("typed 1 "));
        typer.kill();
        QVERIFY(typer.waitForFinished(10000));
    }

    void unusableFileAtStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("random bytes") << "random";
        QTest::newRow("nothing but zeros") << "zeros";
        QTest::newRow("empty") << "empty";
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a link to itself") << "loop";
    }

    // Every field shows "0", the pickers no date, and the program starts without a word.
    void unusableFileAtStart()
    {
        QFETCH(QString, kind);
        const QString file = storeFile();
        QDir().mkpath(QFileInfo(file).path());
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(file));
        } else if (kind == "loop") {
            QVERIFY(QFile::link(file, file));
        } else {
            QFile content(file);
            QVERIFY(content.open(QIODevice::WriteOnly));
            QByteArray bytes(kind == "empty" ? 0 : 65536, '\0');
            QRandomGenerator random(7u);
            if (kind == "random")
                random.fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
            content.write(bytes);
        }

        ScriptedDialogs dialogs;
        RunHarness harness;
        QVERIFY(harness.form().isVisible());
        QCOMPARE(dialogs.texts(), QStringList());
        using namespace FieldCatalogue;
        for (const Field& field : fields()) {
            if (isTextArray(field.group))
                QCOMPARE(harness.form().textArray(field.group)(field.index)->text(), "0");
            else
                QCOMPARE(harness.form().picker(field.group)->value(), std::nullopt);
        }

        // Typing stores again where the file can be replaced, and says so once where not.
        QLineEdit* income = harness.form().txtIncome(0);
        income->setFocus();
        QTest::keyClicks(income, "12");
        if (kind == "folder") {
            QCOMPARE(dialogs.messages.size(), 1);
        } else {
            QCOMPARE(dialogs.texts(), QStringList());
            QCOMPARE(SettingsStore::read("txtIncome0"), income->text());
        }
        QFile::remove(file);
        QDir(file).removeRecursively();
    }
};

QTEST_MAIN(TestSettingsKill)
#include "tst_settingskill.moc"
