#include "app/apperror.h"
#include "workbook/libreoffice/officeinstance.h"
#include "workbook/libreoffice/officeprogram.h"
#include "workbook/libreoffice/unoconvert.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

#include <cerrno>
#include <csignal>

using namespace css;

namespace {

bool processExists(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Walks down from a configuration node one name at a time, since set element names such as
// "scalc/10336" contain slashes.
uno::Any setting(OfficeInstance& office, const char* node, const QStringList& names)
{
    const auto provider = configuration::theDefaultProvider::get(office.context());
    uno::Sequence<uno::Any> arguments(1);
    arguments.getArray()[0] <<= beans::NamedValue(
        rtl::OUString("nodepath"), uno::Any(rtl::OUString::createFromAscii(node)));
    uno::Any value(provider->createInstanceWithArguments(
        rtl::OUString("com.sun.star.configuration.ConfigurationAccess"), arguments));
    for (const QString& name : names) {
        const uno::Reference<container::XNameAccess> access(value, uno::UNO_QUERY_THROW);
        value = access->getByName(toOUString(name));
    }
    return value;
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

} // namespace

class TestOfficeInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir mData;

private slots:
    void initTestCase()
    {
        QVERIFY(mData.isValid());
        qputenv("XDG_DATA_HOME", mData.path().toUtf8());
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

    void profileCarriesTheSeededSettings()
    {
        OfficeInstance office;
        bool lockFiles = true;
        QVERIFY(setting(office, "/org.openoffice.Office.Common/Misc", { "UseDocumentOOoLockFile" })
            >>= lockFiles);
        QVERIFY(!lockFiles);
        rtl::OUString last;
        QVERIFY(
            setting(office, "/org.openoffice.Setup/Product", { "ooSetupLastVersion" }) >>= last);
        QCOMPARE(fromOUString(last), office.version());
        bool sidebar = true;
        QVERIFY(
            setting(office, "/org.openoffice.Office.Views/Windows", { "scalc/10336", "Visible" })
            >>= sidebar);
        QVERIFY(!sidebar);
        rtl::OUString formulaBar;
        QVERIFY(setting(office, "/org.openoffice.Office.Views/Windows",
                    { "scalc/26100", "UserData", "Data" })
            >>= formulaBar);
        QCOMPARE(fromOUString(formulaBar), QStringLiteral("V2,H,20"));
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
        QTest::newRow("fails") << QByteArray("echo 'no display here' >&2\nexit 3\n")
                               << "stopped while starting (exit code 3). no display here";
        QTest::newRow("never answers")
            << QByteArray("echo $$ > \"$0.pid\"\nexec sleep 60\n") << "did not start within";
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
    }
};

QTEST_MAIN(TestOfficeInstance)
#include "tst_officeinstance.moc"
