#include "app/apperror.h"
#include "app/folders.h"
#include "app/settingsstore.h"
#include "entry/form1.h"
#include "fakespreadsheet.h"
#include "picturemenu.h"
#include "preview/form2.h"
#include "preview/sheetmaster.h"
#include "scripteddialogs.h"
#include "workbook/generationwiring.h"
#include "workbook/sheetmasterfetch.h"
#include "workbook/spreadsheetoffice.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <unistd.h>

// "Start Creating Template" on the real windows: the run reads Form1's fields
// and hands its result to Form2.
namespace {

// Our own children called soffice.bin, zombies included.
int officeChildren()
{
    int count = 0;
    const QStringList entries = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString line = QString::fromLatin1(stat.readAll());
        const int open = line.indexOf('(');
        const int close = line.lastIndexOf(')');
        const QStringList rest = line.mid(close + 2).split(' ');
        if (line.mid(open + 1, close - open - 1) == "soffice.bin" && rest.size() > 1
            && rest.at(1).toLongLong() == ::getpid())
            ++count;
    }
    return count;
}

// What a command-line tool printed; empty when it failed.
QString toolOutput(const QString& program, const QStringList& arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit
        || tool.exitCode() != 0) {
        tool.kill();
        tool.waitForFinished(5000);
        qWarning() << program << tool.errorString() << tool.readAllStandardError();
        return QString();
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}

// The conclusion values M39, M42, M45 and M48 of the saved workbook, as the sheet shows them.
QStringList conclusions(const QString& workbook)
{
    const QString script
        = QStringLiteral("import sys, xlrd\n"
                         "sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                         "for row in (38, 41, 44, 47): print(sheet.cell_value(row, 12))\n");
    QStringList shown;
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    for (const QString& value : toolOutput("/usr/bin/python3", { "-c", script, workbook })
                                    .split('\n', Qt::SkipEmptyParts)) {
        // Whole numbers, losses in parentheses.
        const QString amount = us.toString(std::abs(value.toDouble()), 'f', 0);
        shown << (value.toDouble() < 0 ? "(" + amount + ")" : amount);
    }
    return shown;
}

} // namespace

class TestGenerationWiring : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;

    QString tempFile(const QString& name) const { return mHome.filePath("temp/" + name); }

    std::unique_ptr<Form1> shownForm()
    {
        auto form = std::make_unique<Form1>();
        if (!form->Form_Load())
            return form;
        form->show();
        QApplication::setActiveWindow(form.get());
        if (!QTest::qWaitForWindowActive(form.get()))
            qWarning("the main window did not become active");
        QCoreApplication::processEvents();
        return form;
    }

    static void click(QWidget* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mHome.filePath("config")));
        qputenv("HOME", QFile::encodeName(mHome.path()));
        qputenv("TEMP", QFile::encodeName(mHome.filePath("temp")));
        QVERIFY(QDir().mkpath(mHome.filePath("temp")));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init()
    {
        QDir temp(::temporaryFolder());
        for (const QString& name : temp.entryList(QDir::Files)) {
            if (name != "owner.lock")
                QVERIFY(temp.remove(name));
        }
        QFile::remove(SettingsStore::fileName());
        QGuiApplication::clipboard()->clear();
    }

    void clickSendsTheWindowsFieldsAndHandsOver()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        auto form = shownForm();
        GenerationWiring* wiring = connectGenerationRun(*form, office);
        click(form->PushButton7);
        QLineEdit* wages = form->txtIncome(0);
        click(wages);
        wages->selectAll();
        QTest::keyClicks(wages, "1500");
        click(form->PushButton22);

        QCOMPARE(dialogs.texts(), QStringList());
        // Each array and picker reaches the run from the window; where each cell goes is the
        // run's own test.
        QCOMPARE(FakeSpreadsheet::describe(*office.cell(1, 4, 4)), QStringLiteral("$1,500.00"));
        const QList<std::tuple<QLineEdit*, int, int>> fields {
            { form->txtIncome(1), 5, 4 },
            { form->txtExpense(0), 15, 4 },
            { form->txtExpense(17), 32, 4 },
            { form->txtSavings(15), 54, 9 },
            { form->txtOther(0), 6, 9 },
            { form->txtOther(13), 19, 9 },
            { form->txtRetirementIncome(0), 16, 12 },
            { form->txtRetirementIncome(3), 19, 13 },
        };
        for (const auto& [field, row, column] : fields) {
            QVERIFY(!field->text().isEmpty());
            QCOMPARE(FakeSpreadsheet::describe(*office.cell(1, row, column)), field->text());
        }
        QCOMPARE(*office.cell(1, 3, 9), CellValue(*form->dtHusbandDOB->value()));
        QCOMPARE(*office.cell(1, 1, 9), CellValue(QDate::currentDate()));
        // The placeholder slot txtExpense(16) is hidden and never written.
        QVERIFY(!office.cell(1, 31, 4));

        Form2* preview = wiring->preview();
        QVERIFY(preview);
        QVERIFY(preview->isVisible());
        QVERIFY(!form->isVisible());
        QCOMPARE(preview->picture().size(), office.pictureSize);
        QVERIFY(QRegularExpression("/varnok[1-9]{8}\\.xls$").match(preview->mExcelFile).hasMatch());
        QVERIFY(QFile::exists(preview->mExcelFile));
        QVERIFY(form->updatesEnabled());
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Default);
        QVERIFY(!QFile::exists(tempFile("template.xlt")));
        QVERIFY(!QFile::exists(tempFile("temp.bmp")));
        // The session that fetches the sheet's drawing after the preview shows ends as well.
        QTRY_VERIFY(wiring->masterFetch()->finished());
        QCOMPARE(office.running, 0);
    }

    // After the preview shows, the sheet's drawing is fetched on a session of its own and the
    // preview draws from it. When a step fails the preview keeps its picture, nothing is shown
    // to the user, and the session and its files go all the same.
    void previewGetsTheSheetsDrawingAfterItShows_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("fetched") << QString() << true;
        QTest::newRow("no session") << "create" << false;
        QTest::newRow("result not opened") << "3:openWorkbook" << false;
        QTest::newRow("no drawing") << "exportRangePdf" << false;
        QTest::newRow("office died") << "dying 3:exportRangePdf" << false;
    }
    void previewGetsTheSheetsDrawingAfterItShows()
    {
        QFETCH(QString, failing);
        QFETCH(bool, drawn);
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        if (failing == "create")
            office.failingCreations << 3;
        else if (failing.startsWith("dying "))
            office.dyingAt << failing.mid(6);
        else if (!failing.isEmpty())
            office.failing << failing;
        auto form = shownForm();
        GenerationWiring* wiring = connectGenerationRun(*form, office);
        click(form->PushButton22);
        Form2* preview = wiring->preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(wiring->masterFetch());
        QTRY_VERIFY(wiring->masterFetch()->finished());
        QCOMPARE(preview->sheetMaster() != nullptr, drawn);
        QCOMPARE(wiring->masterFetch()->failure().isEmpty(), drawn);
        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(office.running, 0);
        QCOMPARE(QDir(mHome.filePath("temp")).entryList({ "ferrowynd-master-*" }), QStringList());
        // Drawn larger, the first cell is the drawing's green, or the picture's navy.
        preview->SetZoom(2.0f);
        const QColor firstCell = preview->picture().toImage().pixelColor(64, 20);
        QCOMPARE(firstCell.green() > 100, drawn);
        QCOMPARE(firstCell.blue() > 100, !drawn);
    }

    // A result computed elsewhere shows in the preview as the run's own does, from a copy the
    // preview may remove; the main window stays. While runs are held, neither a click nor a
    // shown result uses the office.
    void showsAResultWorkbookComputedElsewhere()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        auto form = shownForm();
        GenerationWiring* wiring = connectGenerationRun(*form, office);
        const QString elsewhere = mHome.filePath("elsewhere.xls");
        QFile file(elsewhere);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("computed"), qint64(8));
        file.close();

        wiring->setRunsHeld(true);
        QVERIFY(wiring->officeInUse());
        click(form->PushButton22);
        QVERIFY_THROWS_EXCEPTION(AppError, wiring->showResultWorkbook(elsewhere));
        QVERIFY(!wiring->preview());
        QCOMPARE(office.created, 0);
        wiring->setRunsHeld(false);

        wiring->showResultWorkbook(elsewhere);
        QCOMPARE(dialogs.texts(), QStringList());
        Form2* preview = wiring->preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(form->isVisible());
        QCOMPARE(preview->picture().size(), office.pictureSize);
        QVERIFY(QRegularExpression("/varnok[1-9]{8}\\.xls$").match(preview->mExcelFile).hasMatch());
        QCOMPARE(office.openedContents.value(0), QByteArray("computed"));
        QVERIFY(!QFile::exists(tempFile("temp.bmp")));
        QVERIFY(!wiring->officeInUse());
        QTRY_VERIFY(wiring->masterFetch()->finished());
        // Shown again over itself, the copy it replaces goes.
        const QString first = preview->mExcelFile;
        wiring->showResultWorkbook(elsewhere);
        QVERIFY(preview->mExcelFile != first && !QFile::exists(first));
        QTRY_VERIFY(wiring->masterFetch()->finished());
        QCOMPARE(office.running, 0);
        click(preview->PushButton8);
        QVERIFY(!QFile::exists(preview->mExcelFile));
        QVERIFY(QFile::exists(elsewhere));
        QVERIFY_THROWS_EXCEPTION(
            AppError, wiring->showResultWorkbook(mHome.filePath("missing.xls")));
        QCOMPARE(QDir(::temporaryFolder()).entryList({ "varnok*" }), QStringList());
    }

    void backThenRunAgainUsesTheSamePreview()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        auto form = shownForm();
        GenerationWiring* wiring = connectGenerationRun(*form, office);
        click(form->PushButton22);
        Form2* preview = wiring->preview();
        const QString first = preview->mExcelFile;
        QTRY_VERIFY(wiring->masterFetch()->finished());
        click(preview->PushButton8);
        QVERIFY(form->isVisible());
        QVERIFY(!preview->isVisible());
        click(form->PushButton22);

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(wiring->preview(), preview);
        QVERIFY(preview->isVisible());
        QVERIFY(!form->isVisible());
        QVERIFY(preview->mExcelFile != first);
        QVERIFY(QFile::exists(preview->mExcelFile));
        // Each run's two sessions, and one for each shown picture's drawing.
        QTRY_VERIFY(wiring->masterFetch()->finished());
        QCOMPARE(office.created, 6);
        QVERIFY(preview->sheetMaster());
    }

    void pickerWithoutDateLeavesItsCellEmpty()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        auto form = shownForm();
        connectGenerationRun(*form, office);
        form->dtHusbandDOB->setValue(QDate(1965, 11, 4));
        form->dtWifeDOB->setValue(QDate(1966, 1, 24));
        click(form->dtWifeDOB->checkBox());
        QCOMPARE(form->dtWifeDOB->value(), std::nullopt);
        click(form->PushButton22);

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(*office.cell(1, 4, 9), CellValue(std::monostate {}));
        QCOMPARE(*office.cell(1, 3, 9), CellValue(QDate(1965, 11, 4)));
    }

    void runWithARealOffice()
    {
        ScriptedDialogs dialogs;
        auto office = createSpreadsheetOffice();
        auto form = shownForm();
        GenerationWiring* wiring = connectGenerationRun(*form, *office);
        click(form->PushButton7);
        click(form->PushButton22);

        QCOMPARE(dialogs.texts(), QStringList());
        // The office stays for the next run, and ends with its owner.
        QCOMPARE(officeChildren(), 1);
        Form2* preview = wiring->preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!form->isVisible());
        // A1:O79 of the sheet, about 1160 by 1348 pixels.
        const QSize size = preview->picture().size();
        QVERIFY2(size.width() > 1000 && size.width() < 1400 && size.height() > 1150
                && size.height() < 1550,
            qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
        QVERIFY(QFile::exists(preview->mExcelFile));
        QVERIFY(!QFile::exists(tempFile("template.xlt")));
        QVERIFY(!QFile::exists(tempFile("temp.bmp")));
        QVERIFY(form->updatesEnabled());

        // The estimate leaves as a PDF from the picture's context menu, drawn by the office.
        const QString pdf = mHome.filePath("estimate.pdf");
        dialogs.savePaths << pdf;
        QVERIFY(choosePictureMenuItem(*preview, QStringLiteral("&Export as PDF\u2026")));
        QTRY_COMPARE(dialogs.texts(), QStringList({ "Done." }));
        const QString info = toolOutput("pdfinfo", { pdf });
        QVERIFY2(info.contains(QRegularExpression("\\nPages: +1\\n")), qPrintable(info));
        QVERIFY2(
            info.contains(QRegularExpression("\\nPage size: +612 x 792 pts")), qPrintable(info));
        const QString text = toolOutput("pdftotext", { "-layout", pdf, "-" });
        for (const char* shown : { "Retirement Savings", "Current Income",
                 "Conclusions:", "Required Annual Retirement Savings", "Total Savings" })
            QVERIFY2(text.contains(shown), shown);
        const QStringList values = conclusions(preview->mExcelFile);
        QCOMPARE(values.size(), 4);
        for (const QString& value : values)
            QVERIFY2(text.contains(value), qPrintable(value + " in\n" + text));
        // The second sheet stays out.
        for (const char* hidden :
            { "College Savings", "Investment rate of return", "periodic deposit" })
            QVERIFY2(!text.contains(hidden), hidden);

        // The sheet's drawing came from the office after the preview showed, for this picture.
        QTRY_VERIFY_WITH_TIMEOUT(wiring->masterFetch()->finished(), 60000);
        QVERIFY2(preview->sheetMaster(), qPrintable(wiring->masterFetch()->failure()));
        QCOMPARE(preview->sheetMaster()->pictureSize(), size);
        QCOMPARE(preview->sheetMaster()->whole(2.0).size(), size * 2);

        office.reset();
        QCOMPARE(officeChildren(), 0);
    }

    // The run folder goes before the temporary home that holds it.
    void cleanupTestCase() { removeTemporaryFolders(); }
};

QTEST_MAIN(TestGenerationWiring)
#include "tst_generationwiring.moc"
