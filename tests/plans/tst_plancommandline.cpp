#include "plans/planarguments.h"
#include "plans/planjobs.h"
#include "plans/planmessages.h"

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

    void officesForABatch_data()
    {
        QTest::addColumn<int>("plans");
        QTest::addColumn<int>("processors");
        QTest::addColumn<int>("offices");
        QTest::newRow("one plan") << 1 << 2 << 1;
        QTest::newRow("too few to pay for a second start") << 3 << 2 << 1;
        QTest::newRow("enough") << 4 << 2 << 2;
        QTest::newRow("one processor") << 100 << 1 << 1;
        QTest::newRow("more processors, still two") << 100 << 8 << 2;
    }

    void officesForABatch()
    {
        QFETCH(int, plans);
        QFETCH(int, processors);
        QFETCH(int, offices);
        QCOMPARE(officesForBatch(plans, processors), offices);
    }

    // What the workers and the program say to each other, as it goes over the pipes.
    void workerMessagesKeepTheirContent_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("read"); // "-": refused
        const PlanJob job { "/p/a\tb\n.ferrowynd", "a\tb\nü", { "/x/a.xls", "", "/n/a.png" } };
        QTest::newRow("job") << PlanMessages::jobLine({ 7, job, true })
                             << "job 7 /p/a\tb\n.ferrowynd|a\tb\nü|/x/a.xls||/n/a.png results";
        QTest::newRow("started") << PlanMessages::startedLine({}) << "started";
        QTest::newRow("office failed")
            << PlanMessages::startedLine("not installed") << "started not installed";
        PlanRunResult ran;
        ran.succeeded = true;
        ran.results = { { "Total Income", " 12,000 ", 12000.0 }, { "-Extra:", " -   ", {} } };
        QTest::newRow("finished") << PlanMessages::finishedLine(3, ran)
                                  << "finished 3 ok Total Income= 12,000  (12000)|-Extra:= -   ";
        PlanRunResult failed;
        failed.failedStep = "saving the workbook";
        failed.error = "disk\nfull";
        QTest::newRow("failed") << PlanMessages::finishedLine(4, failed)
                                << "finished 4 saving the workbook: disk\nfull";
        QTest::newRow("not JSON") << QByteArray("done\n") << "-";
        QTest::newRow("an array") << QByteArray("[1,2]\n") << "-";
        QTest::newRow("finished without its plan")
            << QByteArray("{\"finished\":\"x\",\"succeeded\":true}\n") << "-";
    }

    void workerMessagesKeepTheirContent()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, read);
        QVERIFY(line.endsWith('\n'));
        QCOMPARE(line.count('\n'), 1);
        const QByteArray message = line.chopped(1);
        QString got = "-";
        if (const auto job = PlanMessages::readJob(message)) {
            const PlanOutputs& out = job->job.outputs;
            got = QString("job %1 %2|%3|%4|%5|%6%7")
                      .arg(job->index)
                      .arg(job->job.path, job->job.name, out.xls, out.pdf, out.png,
                          job->readResults ? " results" : "");
        } else if (const auto answer = PlanMessages::readAnswer(message)) {
            if (answer->kind == PlanMessages::Answer::Kind::Started) {
                got = QString("started %1").arg(answer->officeFailure).trimmed();
            } else {
                QStringList rows;
                for (const SheetResult& row : answer->result.results)
                    rows << row.label + "=" + row.text
                            + (row.number ? QString(" (%1)").arg(*row.number) : QString());
                got = QString("finished %1 ").arg(answer->index)
                    + (answer->result.succeeded
                            ? "ok " + rows.join('|')
                            : answer->result.failedStep + ": " + answer->result.error);
            }
        }
        QCOMPARE(got, read);
    }

    void officeMissingIsReportedOnce_data()
    {
        QTest::addColumn<int>("plans");
        QTest::newRow("one office") << 2;
        QTest::newRow("two offices") << 10;
    }

    void officeMissingIsReportedOnce()
    {
        QFETCH(int, plans);
        QHash<QString, QByteArray> files;
        for (int plan = 0; plan < plans; ++plan)
            files.insert(QString("p%1").arg(plan, 2, 10, QChar('0')), planText("1"));
        const QString tag = QTest::currentDataTag();
        const Finished finished = run({ "--plan", plansFolder(tag + " missing", files), "--xls",
                                          mHome.filePath(tag + " none") },
            { { "FERROWYND_SOFFICE", mHome.filePath("no office here") } });
        QCOMPARE(finished.status, 1);
        QCOMPARE(finished.err.count("starting the office: "), 1);
        QVERIFY2(finished.err.contains("no office here"), qPrintable(finished.err));
        QVERIFY(!finished.err.contains(": done"));
        QVERIFY(QDir(mHome.filePath(tag + " none")).isEmpty());
        QVERIFY(QDir(mHome.filePath("temp")).isEmpty());
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

    void brokenPlanIsReportedAndTheOthersRun_data()
    {
        QTest::addColumn<int>("plans"); // p00, p01, ...: income 1000, 1001, ...
        QTest::addColumn<int>("broken"); // this one's income is refused at its line 5
        QTest::addColumn<bool>("toFolder"); // --xls <folder>, else the results are printed
        QTest::newRow("one office, into a folder") << 3 << 1 << true;
        QTest::newRow("two offices, into a folder") << 10 << 7 << true;
        QTest::newRow("two offices, results printed") << 10 << 7 << false;
    }

    void brokenPlanIsReportedAndTheOthersRun()
    {
        QFETCH(int, plans);
        QFETCH(int, broken);
        QFETCH(bool, toFolder);
        QHash<QString, QByteArray> files;
        QStringList expected; // the plans that run, in order
        for (int plan = 0; plan < plans; ++plan) {
            const QString name = QString("p%1").arg(plan, 2, 10, QChar('0'));
            files.insert(name, planText(plan == broken ? "lots" : QString::number(1000 + plan)));
            if (plan != broken)
                expected << name;
        }
        const QString tag = QTest::currentDataTag();
        const QString out = mHome.filePath(tag + " out");
        const Finished finished
            = run(toFolder ? QStringList { "--plan", plansFolder(tag, files), "--xls", out }
                           : QStringList { "--plan", plansFolder(tag, files) });
        QCOMPARE(finished.status, 1);
        const QString brokenName = QString("p%1").arg(broken, 2, 10, QChar('0'));
        QVERIFY2(QRegularExpression(
                     brokenName + ": reading the plan: .*" + brokenName + "\\.ferrowynd.*line 5")
                     .match(finished.err)
                     .hasMatch(),
            qPrintable(finished.err));
        for (const QString& name : expected) {
            QCOMPARE(finished.err.count(name + ": running ("), 1);
            QCOMPARE(finished.err.count(name + ": done"), 1);
        }
        QVERIFY(QDir(mHome.filePath("temp")).isEmpty());
        if (toFolder) {
            QVERIFY(finished.out.isEmpty());
            QCOMPARE(QDir(out).entryList(QDir::Files),
                expected.replaceInStrings(QRegularExpression("$"), ".xls"));
            return;
        }
        // Ten results a plan, in the plans' order; a larger income, a larger total.
        QStringList names;
        QVector<int> totals;
        for (const QString& line : finished.out.split('\n', Qt::SkipEmptyParts)) {
            const QStringList cells = line.split('\t');
            QCOMPARE(cells.size(), 3);
            if (names.isEmpty() || names.last() != cells.at(0))
                names << cells.at(0);
            if (cells.at(1) == "Total Income")
                totals << cells.at(2).trimmed().remove(',').toInt();
        }
        QCOMPARE(names, expected);
        QCOMPARE(finished.out.count('\n'), 10 * expected.size());
        QCOMPARE(totals.size(), expected.size());
        QVERIFY(totals.first() == 12000);
        for (qsizetype plan = 1; plan < totals.size(); ++plan)
            QVERIFY2(totals.at(plan) > totals.at(plan - 1), qPrintable(finished.out));
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

    void signalEndsTheBatchAndItsOffices_data()
    {
        QTest::addColumn<int>("plans");
        QTest::addColumn<int>("offices");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("status"); // -1: killed
        QTest::newRow("one office, SIGTERM") << 3 << 1 << int(SIGTERM) << 128 + SIGTERM;
        QTest::newRow("two offices, SIGTERM") << 20 << 2 << int(SIGTERM) << 128 + SIGTERM;
        QTest::newRow("two offices, SIGINT") << 20 << 2 << int(SIGINT) << 128 + SIGINT;
        // Nothing can be tidied in the program itself; its workers do it.
        QTest::newRow("two offices, SIGKILL") << 20 << 2 << int(SIGKILL) << -1;
    }

    void signalEndsTheBatchAndItsOffices()
    {
        QFETCH(int, plans);
        QFETCH(int, offices);
        QFETCH(int, signal);
        QFETCH(int, status);
        QHash<QString, QByteArray> many;
        for (int plan = 0; plan < plans; ++plan)
            many.insert(QString("p%1").arg(plan, 2, 10, QChar('0')), planText("1"));
        const QString tag = QTest::currentDataTag();
        const QString plansIn = plansFolder(tag, many);
        QProcess program;
        program.setProcessEnvironment(environment({}));
        program.start(
            FERROWYND_PROGRAM, { "--plan", plansIn, "--xls", mHome.filePath(tag + " out") });
        QVERIFY(program.waitForStarted());
        QString err;
        QStringList processes;
        // Once a plan is done, an office is up and warm; the others are up once seen.
        QTRY_VERIFY_WITH_TIMEOUT((err += program.readAllStandardError()).contains(": done")
                && officesIn(processes = descendantsOf(QString::number(program.processId())))
                    == offices,
            120000);
        ::kill(static_cast<pid_t>(program.processId()), signal);
        QVERIFY(program.waitForFinished(60000));
        if (status < 0) {
            QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        } else {
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), status);
        }
        QVERIFY(err.count(": done") < plans);
        for (const QString& process : processes)
            QTRY_VERIFY2_WITH_TIMEOUT(
                !QFile::exists("/proc/" + process), qPrintable(process), 10000);
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

    // The program, its workers and their offices start children from their main threads.
    static QStringList descendantsOf(const QString& pid)
    {
        QFile file(QString("/proc/%1/task/%1/children").arg(pid));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList all;
        for (const QString& child :
            QString::fromLatin1(file.readAll()).split(' ', Qt::SkipEmptyParts))
            all << child << descendantsOf(child);
        return all;
    }

    static int officesIn(const QStringList& processes)
    {
        int offices = 0;
        for (const QString& process : processes) {
            QFile name("/proc/" + process + "/comm");
            if (name.open(QIODevice::ReadOnly) && name.readAll().trimmed() == "soffice.bin")
                ++offices;
        }
        return offices;
    }

    QTemporaryDir mHome;
};

QTEST_GUILESS_MAIN(TestPlanCommandLine)
#include "tst_plancommandline.moc"
