#include "plans/planarguments.h"
#include "plans/planjobs.h"

#include <QtTest>

#include <csignal>

namespace {

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

QByteArray planText(const QString& income)
{
    return "[Plan]\nFormatVersion=1\n\n[Ferrowynd]\ntxtIncome0=" + income.toUtf8()
        + "\ntxtOther0=7\n";
}

QByteArray head(const QString& path, int size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

} // namespace

// The command line of plans: its words read as a table, then the real program run as a process
// with no display, on a real office.
class TestPlanCommandLine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        QVERIFY(QDir(mHome.path()).mkpath("temp"));
    }

    void readsWordsAndPlacesOutputs_data()
    {
        QTest::addColumn<QStringList>("words"); // "{}" stands for a folder holding in/a, in/b
        QTest::addColumn<QString>("reading"); // a refusal, or each plan with its outputs
        QTest::newRow("no plan word") << QStringList { "-style", "Fusion" } << "-";
        QTest::newRow("one file names files")
            << QStringList { "--plan", "{}/in/b.ferrowynd", "--xls", "{}/o.xls", "--pdf", "{}/o" }
            << "b: o.xls o";
        QTest::newRow("attached, loose, in order, into folders") << QStringList {
            "--plan={}/in/b.ferrowynd", "{}/in/a.ferrowynd", "--xls", "{}/x", "--png={}/n"
        } << "b: x/b.xls n/b.png | a: x/a.xls n/a.png";
        QTest::newRow("a folder: its plans by name")
            << QStringList { "--plan", "{}/in", "--pdf", "{}/p" } << "a: p/a.pdf | b: p/b.pdf";
        QTest::newRow("compare") << QStringList { "--compare", "{}/in", "--csv", "t.csv" }
                                 << "compare t.csv: a | b";
        QTest::newRow("output without a plan") << QStringList { "--xls",
            "x.xls" } << "--xls, --pdf, --png and --csv need --plan or --compare";
        QTest::newRow("plan without a file")
            << QStringList { "--plan" } << "--plan needs a file name";
        QTest::newRow("unknown option")
            << QStringList { "--plan", "a", "--frobnicate" } << "unknown option --frobnicate";
        QTest::newRow("both works") << QStringList { "--plan", "a", "--compare", "b", "c" }
                                    << "--plan and --compare do not go together";
        QTest::newRow("two plans of one name")
            << QStringList { "--plan", "{}/in", "{}/in/a.ferrowynd", "--xls", "{}/x" }
            << "two plans are called a: their outputs would overwrite each other";
        QTest::newRow("compare one") << QStringList { "--compare", "{}/in/a.ferrowynd" }
                                     << "--compare takes 2 to 6 plans, not 1";
    }

    void readsWordsAndPlacesOutputs()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, reading);
        const QTemporaryDir scratch;
        QVERIFY(QDir(scratch.path()).mkpath("in/folder.ferrowynd"));
        for (const char* name : { "b.ferrowynd", "a.ferrowynd", "notes.txt" })
            QVERIFY(QFile(scratch.filePath(QString("in/") + name)).open(QIODevice::WriteOnly));
        words.replaceInStrings("{}", scratch.path());
        const PlanArgumentsReading read = readPlanArguments(QStringList { "ferrowynd" } + words);
        const PlanJobList list = read.arguments ? planJobs(*read.arguments) : PlanJobList();
        QStringList jobs;
        for (const PlanJob& job : list.jobs) {
            QStringList outputs;
            for (const QString& output : { job.outputs.xls, job.outputs.pdf, job.outputs.png })
                if (!output.isEmpty())
                    outputs << QDir(scratch.path()).relativeFilePath(output);
            jobs << (outputs.isEmpty() ? job.name : job.name + ": " + outputs.join(' '));
        }
        QString got = read.usageError + list.usageError;
        if (got.isEmpty() && read.arguments)
            got = (read.arguments->mode == PlanArguments::Mode::Compare
                          ? "compare " + read.arguments->csv + ": "
                          : QString())
                + jobs.join(" | ");
        QCOMPARE(got.isEmpty() ? QString("-") : got, reading);
    }

    void usageErrorEndsWithTwoAndStartsNoOffice()
    {
        const QString marker = mHome.filePath("office started");
        QFile office(mHome.filePath("soffice"));
        QVERIFY(office.open(QIODevice::WriteOnly));
        office.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
        office.close();
        office.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        const Finished finished = run(
            { "--plan", "a.ferrowynd", "--frob" }, { { "FERROWYND_SOFFICE", office.fileName() } });
        QCOMPARE(finished.status, 2);
        QVERIFY2(finished.err.contains("unknown option --frob"), qPrintable(finished.err));
        QVERIFY(finished.out.isEmpty());
        QVERIFY(!QFile::exists(marker));
    }

    void twoPlansIntoFolders()
    {
        const QString plans = plansFolder("two",
            { { "retire-62", planText("$5,000.00") }, { "retire-67", planText("$6,000.00") } });
        const QString out = mHome.filePath("two-out");
        const Finished finished
            = run({ "--plan", plans, "--xls", out + "/xls", "--pdf", out + "/pdf" });
        QVERIFY2(finished.status == 0, qPrintable(finished.err));
        for (const QString name : { "retire-62", "retire-67" }) {
            QCOMPARE(head(out + "/xls/" + name + ".xls", 4), QByteArray("\xD0\xCF\x11\xE0"));
            QCOMPARE(head(out + "/pdf/" + name + ".pdf", 5), QByteArray("%PDF-"));
            QVERIFY2(finished.err.contains(name + ": done"), qPrintable(finished.err));
        }
        QVERIFY(finished.out.isEmpty());
        QCOMPARE(QDir(out + "/xls").entryList(QDir::Files).size(), 2);
        QVERIFY(QDir(mHome.filePath("temp")).isEmpty());
    }

    void brokenPlanIsReportedAndTheOthersWritten()
    {
        const QString plans = plansFolder("broken",
            { { "a", planText("$5,000.00") }, { "b-broken", planText("lots") },
                { "c", planText("$7,000.00") } });
        const QString out = mHome.filePath("broken-out");
        const Finished finished = run({ "--plan", plans, "--xls", out });
        QCOMPARE(finished.status, 1);
        QVERIFY2(QRegularExpression("b-broken: reading the plan: .*b-broken\\.ferrowynd.*line 5")
                     .match(finished.err)
                     .hasMatch(),
            qPrintable(finished.err));
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList({ "a.xls", "c.xls" }));
    }

    void comparisonWrittenAsCsv()
    {
        const QString plans = plansFolder(
            "compare", { { "now", planText("$5,000.00") }, { "later", planText("$6,000.00") } });
        const QString csv = mHome.filePath("compare.csv");
        const Finished finished = run(
            { "--compare", plans + "/now.ferrowynd", plans + "/later.ferrowynd", "--csv", csv });
        QVERIFY2(finished.status == 0, qPrintable(finished.err));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
        QCOMPARE(lines.value(0), QString("Item,now,later,Δ later"));
        QCOMPARE(lines.value(1),
            QString("Current Income: Wages - Husband,\"$5,000.00\",\"$6,000.00\",\"+1,000.00\""));
        // One line each for the differing input and the ten results, and the last line's end.
        QCOMPARE(lines.size(), 13);
    }

    void signalEndsTheBatchAndItsOffice()
    {
        QHash<QString, QByteArray> many;
        for (int plan = 0; plan < 20; ++plan)
            many.insert(QString("p%1").arg(plan, 2, 10, QChar('0')), planText("1"));
        const QString plans = plansFolder("signal", many);
        QProcess program;
        program.setProcessEnvironment(environment({}));
        program.start(
            FERROWYND_PROGRAM, { "--plan", plans, "--xls", mHome.filePath("signal-out") });
        QVERIFY(program.waitForStarted());
        QString err;
        // Once the second plan runs, the office is up and warm.
        QTRY_VERIFY_WITH_TIMEOUT(
            (err += program.readAllStandardError()).contains("p01: running"), 120000);
        const QStringList children = childrenOf(program.processId());
        QVERIFY(!children.isEmpty());
        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 128 + SIGTERM);
        for (const QString& child : children)
            QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists("/proc/" + child), 10000);
        QVERIFY(QDir(mHome.filePath("temp")).isEmpty());
    }

private:
    Finished run(const QStringList& words, const QHash<QString, QString>& extra = {})
    {
        QProcess program;
        program.setProcessEnvironment(environment(extra));
        program.start(FERROWYND_PROGRAM, words);
        if (!program.waitForStarted() || !program.waitForFinished(300000))
            return {};
        return { program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
            QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError()) };
    }

    // No display of any kind; the office's profiles and the run's files in this test's home.
    QProcessEnvironment environment(const QHash<QString, QString>& extra) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
            environment.remove(name);
        environment.insert("XDG_DATA_HOME", mHome.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", mHome.filePath("config"));
        environment.insert("TEMP", mHome.filePath("temp"));
        // Amounts as U.S. English fields write them.
        environment.insert("LC_ALL", "en_US.UTF-8");
        for (auto entry = extra.begin(); entry != extra.end(); ++entry)
            environment.insert(entry.key(), entry.value());
        return environment;
    }

    QString plansFolder(const QString& name, const QHash<QString, QByteArray>& plans)
    {
        const QString folder = mHome.filePath(name);
        QDir().mkpath(folder);
        for (auto plan = plans.begin(); plan != plans.end(); ++plan) {
            QFile file(folder + '/' + plan.key() + ".ferrowynd");
            if (file.open(QIODevice::WriteOnly))
                file.write(plan.value());
        }
        return folder;
    }

    // The office is started from the program's main thread.
    static QStringList childrenOf(qint64 pid)
    {
        QFile file(QString("/proc/%1/task/%1/children").arg(pid));
        return file.open(QIODevice::ReadOnly)
            ? QString::fromLatin1(file.readAll()).split(' ', Qt::SkipEmptyParts)
            : QStringList();
    }

    QTemporaryDir mHome;
};

QTEST_GUILESS_MAIN(TestPlanCommandLine)
#include "tst_plancommandline.moc"
