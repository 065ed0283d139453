#include "app/errorreport.h"
#include "app/folders.h"
#include "export/resultexport.h"
#include "fakespreadsheet.h"
#include "picturemenu.h"
#include "preview/form2.h"
#include "scripteddialogs.h"
#include "workbook/officepdfdrawer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// "Export as PDF…" and "Print…" of the preview window, chosen from the picture's context menu,
// with a scripted office and scripted dialogs.
namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

QString question(const QString& path)
{
    return QStringLiteral("Are you sure you wish to overwrite ") + path + QStringLiteral(" ?");
}

} // namespace

class TestResultExport : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;
    QString mResult;
    std::unique_ptr<Form2> mForm;
    // The program's office; each test's own fake office answers in its place.
    FakeSpreadsheet::Office mProgramOffice;
    OfficePdfDrawer mDrawer { mProgramOffice };
    ResultExport mExport { mDrawer };

    QString home(const QString& name) const { return mHome.filePath(name); }
    QString temp() const { return mHome.filePath(QStringLiteral("temp")); }

    // What the office's PDF of the result holds, fake or not.
    QByteArray fakePdf() const
    {
        return "%PDF-1.4 fake first sheet of " + QFile::encodeName(mResult);
    }

    void choose(const QString& text)
    {
        QVERIFY2(choosePictureMenuItem(*mForm, text), qPrintable(text));
        QTRY_VERIFY(!mForm->PictureMenu->isVisible());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        qputenv("HOME", QFile::encodeName(mHome.path()));
        qputenv("TEMP", QFile::encodeName(temp()));
        QVERIFY(QDir().mkpath(temp()));
        mResult = QDir(temp()).filePath(QStringLiteral("FW20211234.xls"));
        writeFile(mResult, "computed workbook");
        ResultOutput::install(&mExport);
    }
    void cleanupTestCase()
    {
        ResultOutput::install(nullptr);
        // The run folder goes before the temporary home that holds it.
        removeTemporaryFolders();
    }

    void init()
    {
        mForm = std::make_unique<Form2>();
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::white);
        mForm->setPicture(QPixmap::fromImage(picture));
        mForm->mExcelFile = mResult;
        mForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
    }
    void cleanup()
    {
        mForm.reset();
        // The office's drawing never stays behind in the temporary folder.
        QStringList left = filesIn(::temporaryFolder());
        left.removeAll("owner.lock");
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
    }

    void exportWritesTheOfficesPdfAndRemembersTheFolder()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        QVERIFY(QDir().mkpath(home("out")));
        const QString target = home("out/estimate.pdf");
        dialogs.savePaths << target << QString();
        choose(QStringLiteral("&Export as PDF\u2026"));

        QCOMPARE(dialogs.saveTitles, QStringList({ "Export as PDF" }));
        QCOMPARE(dialogs.saveFilters, QStringList({ "PDF Files (*.pdf)" }));
        QCOMPARE(dialogs.saveProposals, QStringList({ home("FW20211234.pdf") }));
        QCOMPARE(readFile(target), fakePdf());
        QCOMPARE(filesIn(home("out")), QStringList({ "estimate.pdf" }));
        QCOMPARE(dialogs.texts(), QStringList({ "Done." }));
        const QStringList calls = office.callsOf(1);
        QCOMPARE(calls.size(), 5);
        QCOMPARE(calls.mid(0, 2), QStringList({ "create", "openWorkbook " + mResult }));
        QVERIFY2(calls.at(2).startsWith("exportPdf 1 " + ::temporaryFolder() + "/export-"),
            qPrintable(calls.at(2)));
        QCOMPARE(calls.mid(3), QStringList({ "close 1", "quit" }));
        QCOMPARE(office.running, 0);

        // The next export starts in the folder saved to; a cancel there does nothing.
        choose(QStringLiteral("&Export as PDF\u2026"));
        QCOMPARE(dialogs.saveProposals.at(1), home("out/FW20211234.pdf"));
        QCOMPARE(office.created, 1);
        QCOMPARE(dialogs.texts(), QStringList({ "Done." }));
    }

    void overwriteQuestion_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("officeFails");
        QTest::addColumn<QByteArray>("left");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("no leaves the old file")
            << false << false << QByteArray("old") << QStringList();
        QTest::newRow("yes replaces it")
            << true << false << QByteArray() << QStringList({ "Done." });
        QTest::newRow("a failed export keeps it")
            << true << true << QByteArray("old")
            << QStringList({ errorReportText(
                   "exportPdf failed (fake 1)", "Form2.mnuExportPdf_Click", 112) });
    }
    void overwriteQuestion()
    {
        QFETCH(bool, yes);
        QFETCH(bool, officeFails);
        QFETCH(QByteArray, left);
        QFETCH(QStringList, texts);
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        if (officeFails)
            office.failing << QStringLiteral("exportPdf");
        const QString target = home("kept.pdf");
        writeFile(target, "old");
        dialogs.savePaths << target;
        dialogs.answers << (yes ? Dialogs::Answer::Yes : Dialogs::Answer::No);
        choose(QStringLiteral("&Export as PDF\u2026"));

        QCOMPARE(dialogs.messages.constFirst().text, question(target));
        QCOMPARE(dialogs.messages.constFirst().buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(readFile(target), left.isEmpty() ? fakePdf() : left);
        QCOMPARE(dialogs.texts().mid(1), texts);
        QCOMPARE(office.created, yes ? 1 : 0);
        QCOMPARE(office.running, 0);
        QVERIFY(QFile::remove(target));
    }

    // "Export as PDF…" from the menu and "Print…" to a file by Ctrl+P, onto each kind of target.
    // The export asks before it replaces a file (answered Yes); the print dialog asks for itself.
    void commandOntoTarget_data()
    {
        QTest::addColumn<bool>("print");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("reportLine"); // 0: no report, the PDF written
        const QString fresh = home("fresh.pdf");
        const QString old = home("old.pdf");
        // Not even root may create files here.
        const QString unwritable = QStringLiteral("/proc/ferrowynd-estimate.pdf");
        QTest::newRow("export, new file") << false << fresh << false << 0;
        QTest::newRow("export, existing file") << false << old << true << 0;
        QTest::newRow("export onto the result workbook") << false << mResult << true << 104;
        QTest::newRow("export, folder not writable") << false << unwritable << false << 104;
        QTest::newRow("print to a new file") << true << fresh << false << 0;
        QTest::newRow("print to an existing file") << true << old << true << 0;
        QTest::newRow("print to file onto the result workbook") << true << mResult << true << 102;
        QTest::newRow("print to file, folder not writable") << true << unwritable << false << 102;
    }
    void commandOntoTarget()
    {
        QFETCH(bool, print);
        QFETCH(QString, target);
        QFETCH(bool, existing);
        QFETCH(int, reportLine);
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        if (existing && target != mResult)
            writeFile(target, "old");
        const QByteArray before = readFile(target);
        if (print) {
            dialogs.printChoices << Dialogs::PrintChoice { QString(), target, 3 };
            QTest::keyClick(mForm.get(), Qt::Key_P, Qt::ControlModifier);
            QCOMPARE(dialogs.printDocuments, QStringList({ "FW20211234" }));
        } else {
            dialogs.savePaths << target;
            dialogs.answers << Dialogs::Answer::Yes;
            choose(QStringLiteral("&Export as PDF\u2026"));
        }

        QStringList texts = dialogs.texts();
        if (!print && existing) {
            QCOMPARE(texts.takeFirst(), question(target));
        }
        if (reportLine == 0) {
            QCOMPARE(readFile(target), fakePdf());
            QCOMPARE(texts, print ? QStringList() : QStringList({ "Done." }));
            QCOMPARE(office.created, 1);
            QVERIFY(QFile::remove(target));
        } else {
            QCOMPARE(texts.size(), 1);
            QVERIFY2(texts.first().startsWith("Path/File access error: " + target),
                qPrintable(texts.first()));
            const QString procedure
                = print ? QStringLiteral("Form2.mnuPrint_Click") : "Form2.mnuExportPdf_Click";
            QVERIFY2(texts.first().contains(procedure + " at line " + QString::number(reportLine)),
                qPrintable(texts.first()));
            QCOMPARE(readFile(target), before);
            QCOMPARE(office.created, 0);
            if (target != mResult)
                QFile::remove(target);
        }
        QCOMPARE(office.running, 0);
    }

    void refusedPrintJobIsReported()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        // The office's PDF is handed to the system's printing, which knows no such printer.
        dialogs.printChoices << Dialogs::PrintChoice { QStringLiteral("ferrowynd-no-such-printer"),
            QString(), 2 };
        choose(QStringLiteral("&Print\u2026"));

        QCOMPARE(dialogs.messages.size(), 1);
        const QString report = dialogs.messages.constFirst().text;
        QVERIFY2(report.startsWith("The printer ferrowynd-no-such-printer refused the job ("),
            qPrintable(report));
        QVERIFY2(report.contains("Form2.mnuPrint_Click at line 118"), qPrintable(report));
        QCOMPARE(office.callsOf(1).size(), 5);
        QCOMPARE(office.running, 0);
    }
};

QTEST_MAIN(TestResultExport)
#include "tst_resultexport.moc"
