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

    // A keystroke returns at once and is on disk a moment later; one that waits this long is
    // held up by something.
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

    // SIGKILL at random moments while typing: the file still reads, the other keys are intact,
    // and the field's value is a text it had, lost at most the keystrokes typed since the last
    // write that had ended: those of the write under way and those waiting behind it.
    void killedWhileTyping()
    {
        // The other fields' values must come through every kill untouched.
        QMap<QString, QString> others;
        for (int index = 1; index < 7; ++index)
            others.insert(QStringLiteral("txtIncome%1").arg(index), QString::number(1000 * index));
        for (auto other = others.cbegin(); other != others.cend(); ++other)
            SettingsStore::write(other.key(), other.value());
        QVERIFY(SettingsStore::flush());

        QRandomGenerator random(20261207u);
        const int kills = 25;
        qint64 mostLost = 0;
        qint64 mostLostMs = 0;
        for (int kill = 0; kill < kills; ++kill) {
            QProcess typer;
            startTyper(typer);
            QVERIFY(typer.waitForStarted(10000));
            const int target = int(random.bounded(1, 80));
            QMap<qint64, QString> typed;
            QMap<qint64, qint64> typedAtMs;
            qint64 last = -1;
            qint64 onDisk = 0;
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
                    onDisk = parts.value(2).toLongLong();
                    typedAtMs.insert(last, parts.value(3).toLongLong());
                    typed.insert(last, parts.mid(4).join(' '));
                }
            };
            while (last < target) {
                QVERIFY2(typer.waitForReadyRead(keystrokeBoundMs), "the typer fell silent");
                readLines();
                if (QTest::currentTestFailed())
                    return;
            }
            // Somewhere while the writer is busy behind the typing.
            QThread::usleep(random.bounded(3000));
            ::kill(static_cast<pid_t>(typer.processId()), SIGKILL);
            QVERIFY(typer.waitForFinished(10000));
            readLines();

            QSettings stored(storeFile(), QSettings::IniFormat);
            QCOMPARE(stored.status(), QSettings::NoError);
            const QString value = stored.value("Ferrowynd/txtIncome0").toString();
            // The keystroke after the last reported one may have been handled before the kill.
            typed.insert(last + 1, TypingScript::after(typed.value(last), last + 1));
            qint64 kept = last + 1;
            while (kept >= onDisk && typed.value(kept) != value)
                --kept;
            QVERIFY2(kept >= onDisk,
                qPrintable(
                    QStringLiteral("stored %1, on disk up to keystroke %2 (%3), last %4 (%5)")
                        .arg(value)
                        .arg(onDisk)
                        .arg(typed.value(onDisk))
                        .arg(last)
                        .arg(typed.value(last))));
            mostLost = std::max(mostLost, last - kept);
            if (kept < last)
                mostLostMs
                    = std::max(mostLostMs, typedAtMs.value(last) - typedAtMs.value(kept + 1));
            for (auto other = others.cbegin(); other != others.cend(); ++other)
                QCOMPARE(stored.value("Ferrowynd/" + other.key()).toString(), other.value());
        }
        qInfo("at most %lld reported keystrokes, typed within %lld ms, lost in %d kills", mostLost,
            mostLostMs, kills);
        // The lock a killed writer left behind does not stop the next one.
        SettingsStore::write("txtIncome0", "4500");
        QVERIFY(SettingsStore::flush());
        QCOMPARE(SettingsStore::read("txtIncome0"), QStringLiteral("4500"));
    }

    void orphanedLockHoldsNoKeystroke_data()
    {
        QTest::addColumn<bool>("staleOwner");
        QTest::newRow("empty lock") << false;
        QTest::newRow("empty lock on removing a dead writer's lock") << true;
    }

    // A writer killed right after creating the settings lock leaves it empty; one killed while
    // removing a dead writer's lock leaves that lock and an empty removal lock. The next start's
    // first keystroke must reach the disk without waiting for either to age.
    void orphanedLockHoldsNoKeystroke()
    {
        QFETCH(bool, staleOwner);
        QString path = storeFile() + ".lock";
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (staleOwner) {
            QProcess ended;
            ended.start("cat", {});
            QVERIFY(ended.waitForStarted(10000));
            const qint64 deadWriter = ended.processId();
            ended.closeWriteChannel();
            QVERIFY(ended.waitForFinished(10000));
            QFile lock(path);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(QByteArray::number(deadWriter) + "\nreliability_settingstyper\n"
                + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n'
                + QSysInfo::bootUniqueId() + '\n');
            path += ".rmlock";
        }
        QFile lock(path);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QVERIFY(lock.setFileTime(
            QDateTime::currentDateTime().addSecs(-1), QFileDevice::FileModificationTime));
        lock.close();
        QProcess typer;
        startTyper(typer);
        QElapsedTimer waited;
        waited.start();
        QByteArray line;
        while (!line.startsWith("typed ") || line.split(' ').value(2).toLongLong() < 1) {
            QVERIFY2(waited.elapsed() < keystrokeBoundMs, "the first keystroke is held up");
            if (typer.canReadLine() || (typer.waitForReadyRead(100) && typer.canReadLine()))
                line = typer.readLine();
        }
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
            QTRY_COMPARE(dialogs.messages.size(), 1);
            QTest::keyClicks(income, "3");
            QVERIFY(!SettingsStore::flush());
            QCoreApplication::processEvents();
            QCOMPARE(dialogs.messages.size(), 1);
        } else {
            QCOMPARE(dialogs.texts(), QStringList());
            QVERIFY(SettingsStore::flush());
            QCOMPARE(SettingsStore::read("txtIncome0"), income->text());
        }
        QFile::remove(file);
        QDir(file).removeRecursively();
    }
};

QTEST_MAIN(TestSettingsKill)
#include "tst_settingskill.moc"
