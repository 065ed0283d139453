#include "app/apperror.h"
#include "workbook/libreoffice/officeinstance.h"
#include "workbook/libreoffice/officeprogram.h"
#include "app/ownedtemporaryfolder.h"
#include "workbook/libreoffice/unoconvert.h"
#include "workbook/libreoffice/warmoffice.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

#include <cerrno>
#include <csignal>
#include <unistd.h>

using namespace css;

namespace {

bool processExists(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

QString writeScript(const QTemporaryDir& dir, const QString& name, const QByteArray& body)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("#!/bin/sh\n" + body) < 0)
        return QString();
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

// The temporary folder the office process was given in its environment.
QString officeTemporaryFolder(qint64 pid)
{
    QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
    if (!environ.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& entry : environ.readAll().split('\0')) {
        if (entry.startsWith("TMPDIR="))
            return QFile::decodeName(entry.mid(7));
    }
    return QString();
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

enum class Ending { FoundDead, Quit, Destroyed };

// Ends the office the given way; a killed office is only looked at until it is seen dead.
void endOffice(std::unique_ptr<OfficeInstance>& office, Ending ending)
{
    switch (ending) {
    case Ending::FoundDead:
        QTRY_VERIFY_WITH_TIMEOUT(!office->isAlive(), 10000);
        break;
    case Ending::Quit:
        office->quit();
        break;
    case Ending::Destroyed:
        office.reset();
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Ending)

class TestOfficeInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir mData;

private slots:
    void initTestCase()
    {
        QVERIFY(mData.isValid());
        // A comma and a space in the profile's path, which its URL and lock entries must carry.
        qputenv("XDG_DATA_HOME", QFile::encodeName(mData.filePath("data, home")));
    }

    void startsConnectsAndQuitEndsTheProcess()
    {
        qint64 pid = 0;
        {
            OfficeInstance office;
            QVERIFY(office.isAlive());
            pid = office.processId();
            QVERIFY(pid > 0);
            QVERIFY(processExists(pid));
            QVERIFY(office.profileFolder().startsWith(mData.path()));
            QCOMPARE(office.version(), installedOfficeVersion(officeProgramPath()));
            QVERIFY(office.desktop()->getComponents()->createEnumeration().is());

            office.quit();
            QVERIFY(!office.isAlive());
            QVERIFY(!processExists(pid));
            QVERIFY_THROWS_EXCEPTION(AppError, office.desktop());
            office.quit();
        }
        QVERIFY(!processExists(pid));
    }

    void destructorEndsTheProcess()
    {
        qint64 pid = 0;
        {
            auto office = OfficeInstance::start();
            pid = office->processId();
            QVERIFY(processExists(pid));
        }
        QVERIFY(!processExists(pid));
    }

    // What the profile is seeded for: no graphics self-tests at start, and no lock file beside
    // a workbook the office has open for writing or has just saved, which a killed office would
    // leave behind.
    void seededProfileSkipsStartUpTestsAndLockFiles()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        OfficeInstance office;
        QVERIFY(!QFileInfo::exists(office.profileFolder() + "/user/GraphicsRenderTests.log"));
        QVERIFY(writeFile(dir.filePath("book.csv"), "1,2\n"));
        uno::Sequence<beans::PropertyValue> arguments(1);
        arguments.getArray()[0].Name = "Hidden";
        arguments.getArray()[0].Value <<= true;
        const uno::Reference<frame::XStorable> book(
            uno::Reference<frame::XComponentLoader>(office.desktop(), uno::UNO_QUERY_THROW)
                ->loadComponentFromURL(fileUrl(dir.filePath("book.csv")), "_blank", 0, arguments),
            uno::UNO_QUERY_THROW);
        uno::Sequence<beans::PropertyValue> filter(1);
        filter.getArray()[0].Name = "FilterName";
        filter.getArray()[0].Value <<= rtl::OUString("MS Excel 97");
        book->storeAsURL(fileUrl(dir.filePath("saved.xls")), filter);
        QVERIFY(QFileInfo::exists(dir.filePath("saved.xls")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({ "book.csv", "saved.xls" }));
    }

    void twoOfficesNeverShareAProfile()
    {
        OfficeInstance first;
        OfficeInstance second;
        QVERIFY(first.isAlive());
        QVERIFY(second.isAlive());
        QVERIFY(first.processId() != second.processId());
        QVERIFY(first.profileFolder() != second.profileFolder());
        // Each answers for itself: a document loaded in one is not seen by the other.
        QVERIFY(first.desktop() != second.desktop());
        QVERIFY(
            officeTemporaryFolder(first.processId()) != officeTemporaryFolder(second.processId()));
    }

    void killedOfficeGivesAppErrorNotAHang()
    {
        OfficeInstance office;
        const qint64 pid = office.processId();
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
        QVERIFY_THROWS_EXCEPTION(AppError, officeCall(QStringLiteral("list its documents"), [&] {
            // Either the bridge already knows, or the call finds the pipe closed.
            office.desktop()->getComponents()->createEnumeration()->hasMoreElements();
        }));
        QVERIFY(!office.isAlive());
        office.quit();
        QVERIFY(!processExists(pid));
    }

    // A killed office cannot clear up its scratch files, so each office gets a temporary folder
    // of its own, removed once the office has ended, and not before.
    void scratchFolderGoesWithTheOffice_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::addColumn<Ending>("ending");
        QTest::newRow("quit") << false << Ending::Quit;
        QTest::newRow("destroyed") << false << Ending::Destroyed;
        QTest::newRow("killed, found dead") << true << Ending::FoundDead;
        QTest::newRow("killed, then quit") << true << Ending::Quit;
        QTest::newRow("killed, then destroyed") << true << Ending::Destroyed;
    }

    void scratchFolderGoesWithTheOffice()
    {
        QFETCH(bool, killed);
        QFETCH(Ending, ending);
        auto office = OfficeInstance::start();
        const qint64 pid = office->processId();
        const QString scratch = officeTemporaryFolder(pid);
        QVERIFY(!scratch.isEmpty());
        QVERIFY(QDir(scratch) != QDir(QDir::tempPath()));
        // The office's own scratch folder, which it removes only when it ends by itself; a busy
        // office may make it a moment after it answers.
        QTRY_VERIFY2_WITH_TIMEOUT(!QDir(scratch).entryList({ "lu*.tmp" }, QDir::Dirs).isEmpty(),
            qPrintable(scratch), 5000);

        // So is its pipe's socket, which a killed office leaves behind.
        const auto pipeSockets = [] {
            return QDir(QStringLiteral("/tmp"))
                .entryList({ QStringLiteral("OSL_PIPE_%1_fw%2_*")
                                   .arg(::getuid())
                                   .arg(QCoreApplication::applicationPid()) },
                    QDir::System);
        };
        QCOMPARE(pipeSockets().size(), 1);

        if (killed)
            QCOMPARE(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
        endOffice(office, ending);
        QVERIFY(!processExists(pid));
        QVERIFY2(!QFileInfo::exists(scratch), qPrintable(scratch));
        QCOMPARE(pipeSockets(), QStringList());
    }

    // A killed program cannot clear its offices' scratch folders or temporary profiles: the next
    // start does, and never touches a live program's or one whose owner it cannot tell. While
    // the office's start is held (the main window is not painted yet) they wait for it.
    void abandonedFoldersGoAtTheNextStart_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("at once") << false;
        QTest::newRow("start held") << true;
    }

    void abandonedFoldersGoAtTheNextStart()
    {
        QFETCH(bool, held);
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QByteArray savedTemp = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(temp.path()));
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForStarted(10000));
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished(10000));
        const auto leftBy = [&](const QString& name, qint64 pid) {
            QVERIFY(QDir().mkpath(temp.filePath(name + "/user")));
            QVERIFY(writeFile(temp.filePath(name + "/owner.lock"),
                QByteArray::number(pid) + "\nferrowynd\n" + QSysInfo::machineHostName().toUtf8()
                    + "\n"));
        };
        // Pipe sockets are named after the program: a dead one's go, a live one's stay.
        const auto socketOf = [](qint64 pid) {
            return QStringLiteral("/tmp/OSL_PIPE_%1_fw%2_0badcafe").arg(::getuid()).arg(pid);
        };
        QVERIFY(writeFile(socketOf(deadPid), QByteArray()));
        QVERIFY(writeFile(socketOf(QCoreApplication::applicationPid()), QByteArray()));
        leftBy("ferrowynd-scratch-dead01", deadPid);
        leftBy("ferrowynd-office-dead02", deadPid);
        leftBy("unrelated-dead03", deadPid);
        QVERIFY(QDir().mkpath(temp.filePath("ferrowynd-scratch-nolock")));
        {
            OwnedTemporaryFolder live(QStringLiteral("ferrowynd-scratch"));
            QVERIFY(live.isValid());
            WarmOffice office;
            if (held) {
                office.holdStart();
                QCoreApplication::processEvents();
                QVERIFY(QFileInfo::exists(temp.filePath("ferrowynd-scratch-dead01")));
                office.releaseStart();
            }
            QTRY_VERIFY(!QFileInfo::exists(temp.filePath("ferrowynd-scratch-dead01")));
            QVERIFY(!QFileInfo::exists(temp.filePath("ferrowynd-office-dead02")));
            QVERIFY(QFileInfo(live.path()).isDir());
            QVERIFY(QFileInfo(temp.filePath("ferrowynd-scratch-nolock")).isDir());
            QVERIFY(QFileInfo(temp.filePath("unrelated-dead03")).isDir());
            QVERIFY(!QFileInfo::exists(socketOf(deadPid)));
            QVERIFY(QFile::remove(socketOf(QCoreApplication::applicationPid())));
        }
        qputenv("TMPDIR", savedTemp);
    }

    void restartRequestIsHonoured()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("asked");
        const QString program = writeScript(dir, "office",
            QStringLiteral("if [ ! -e '%1' ]; then touch '%1'; exit 81; fi\nexec '%2' \"$@\"\n")
                .arg(marker, officeProgramPath())
                .toUtf8());
        OfficeInstance::Options options;
        options.program = program;
        OfficeInstance office(options);
        QVERIFY(QFile::exists(marker));
        QVERIFY(office.restarts() >= 1);
        QVERIFY(office.isAlive());
    }

    void failuresToStart_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << QByteArray() << "LibreOffice Calc is not installed";
        // Each leaves a scratch folder in its temporary folder and says where that is.
        const QByteArray scratch = "mkdir \"$TMPDIR/lu1.tmp\"\necho \"$TMPDIR\" > \"$0.tmp\"\n";
        QTest::newRow("fails") << scratch + "echo 'no display here' >&2\nexit 3\n"
                               << "stopped while starting (exit code 3). no display here";
        QTest::newRow("never answers") << scratch + "echo $$ > \"$0.pid\"\nexec sleep 60\n"
                                       << "did not start within";
    }

    void failuresToStart()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        OfficeInstance::Options options;
        options.program = script.isEmpty() ? dir.filePath("absent/soffice.bin")
                                           : writeScript(dir, "office", script);
        options.startTimeoutMs = 1500;
        try {
            OfficeInstance office(options);
            QFAIL("an office that cannot start was reported as started");
        } catch (const AppError& error) {
            QVERIFY2(error.description().contains(expected), qPrintable(error.description()));
        }
        QFile pidFile(options.program + ".pid");
        if (pidFile.open(QIODevice::ReadOnly))
            QVERIFY(!processExists(pidFile.readAll().trimmed().toLongLong()));
        if (!script.isEmpty()) {
            const QString scratch = QFile::decodeName(readFile(options.program + ".tmp").trimmed());
            QVERIFY(scratch.startsWith(QDir::tempPath() + '/'));
            QVERIFY2(!QFileInfo::exists(scratch), qPrintable(scratch));
        }
    }
};

QTEST_MAIN(TestOfficeInstance)
#include "tst_officeinstance.moc"
