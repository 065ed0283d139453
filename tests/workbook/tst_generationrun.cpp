#include "app/apperror.h"
#include "app/errorreport.h"
#include "app/folders.h"
#include "fakespreadsheet.h"
#include "scripteddialogs.h"
#include "workbook/generationhost.h"
#include "workbook/generationrun.h"
#include "workbook/runclock.h"
#include "workbook/systemrunclock.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QDate today(2026, 12, 7);

// The calendar fixed; the real generator behind a frozen time of day. Counts re-seeds.
class FixedClock final : public RunClock {
public:
    QDate today() override { return ::today; }
    qint64 nsecsSinceMidnight() override { return 43200LL * 1000000000; }
    void randomize(qint64 seed) override
    {
        ++reseeds;
        generator.randomize(seed);
    }
    double rnd() override
    {
        if (!script.isEmpty())
            return script.size() > 1 ? script.takeFirst() : script.first();
        return generator.rnd();
    }

    SystemRunClock generator { 20261207 };
    // Draws to give instead of the generator's; the last one repeats.
    QList<double> script;
    int reseeds = 0;
};

// The main and preview windows as the run sees them; every call lands in the office's record so
// the order of both shows in one list.
class FakeHost final : public GenerationHost {
public:
    explicit FakeHost(QStringList& record)
        : mRecord(record)
    {
        const QList<QPair<QString, int>> sizes { { "txtIncome", 7 }, { "txtExpense", 61 },
            { "txtOther", 14 }, { "txtSavings", 16 }, { "txtRetirementIncome", 4 } };
        for (const auto& [array, size] : sizes) {
            for (int index = 0; index < size; ++index)
                texts[array].append(QStringLiteral("%1(%2)").arg(array).arg(index));
        }
        for (int slot : { 16, 20, 24, 40, 41, 42, 43, 44, 45, 48, 57 })
            texts["txtExpense"][slot] = "Dummy";
        for (int slot : { 3, 4, 6, 7, 10, 11 })
            texts["txtOther"][slot] = "Dummy";
        pickers["dtHusbandDOB"] = QDate(1965, 11, 4);
        pickers["dtWifeDOB"] = std::nullopt;
    }

    QString fieldText(const QString& array, int index) const override
    {
        if (!texts.contains(array) || index < 0 || index >= texts[array].size())
            throw AppError(
                QStringLiteral("Control array element %1(%2) doesn't exist").arg(array).arg(index));
        return texts[array].at(index);
    }
    std::optional<QDate> pickerValue(const QString& picker) const override
    {
        if (!pickers.contains(picker))
            throw AppError(QStringLiteral("No picker %1").arg(picker));
        return pickers.value(picker);
    }
    void setUpdatesLocked(bool locked) override
    {
        mRecord << QStringLiteral("host:updatesLocked %1").arg(locked);
        updatesLocked = locked;
    }
    void setBusyPointer(bool busy) override
    {
        mRecord << QStringLiteral("host:busy %1").arg(busy);
        this->busy = busy;
    }
    void ensurePreview() override
    {
        mRecord << "host:ensurePreview";
        previewExists = true;
    }
    void setPreviewPicture(const QImage& picture) override
    {
        QVERIFY(previewExists);
        mRecord << QStringLiteral("host:picture %1x%2").arg(picture.width()).arg(picture.height());
        this->picture = picture;
    }
    void setPreviewExcelFile(const QString& path) override
    {
        mRecord << "host:excelFile " + path;
        excelFile = path;
    }
    void showPreview() override
    {
        mRecord << "host:showPreview";
        previewShown = true;
    }
    void hideMainWindow() override
    {
        mRecord << "host:hideMainWindow";
        mainHidden = true;
    }

    QMap<QString, QStringList> texts;
    QMap<QString, std::optional<QDate>> pickers;
    bool updatesLocked = false;
    bool busy = false;
    bool previewExists = false;
    bool previewShown = false;
    bool mainHidden = false;
    QImage picture;
    QString excelFile;

private:
    QStringList& mRecord;
};

// "Form1.PushButton22_Click 164" for every report shown.
QStringList reportedAt(const ScriptedDialogs& dialogs)
{
    static const QRegularExpression stamp(
        QStringLiteral("Ferrowynd2021/08/31\\.(\\S+) at line (\\d+)"));
    QStringList result;
    for (const QString& text : dialogs.texts()) {
        const QRegularExpressionMatch match = stamp.match(text);
        result << (match.hasMatch() ? match.captured(1) + ' ' + match.captured(2) : text);
    }
    return result;
}

QStringList runLines(std::initializer_list<int> lines)
{
    QStringList result;
    for (int line : lines)
        result << QStringLiteral("Form1.PushButton22_Click %1").arg(line);
    return result;
}

// One report per cell that the run writes, at its map row's line: the 88 cells of the template's
// input area less its placeholder rows.
QStringList cellRowReports()
{
    const QList<QPair<int, int>> writtenPerLine { { 114, 7 }, { 124, 50 }, { 134, 16 }, { 138, 1 },
        { 140, 1 }, { 142, 1 }, { 148, 8 }, { 154, 1 }, { 156, 1 }, { 158, 1 }, { 160, 1 } };
    QStringList result;
    for (const auto& [line, cells] : writtenPerLine) {
        for (int cell = 0; cell < cells; ++cell)
            result << QStringLiteral("Form1.PushButton22_Click %1").arg(line);
    }
    return result;
}

} // namespace

class TestGenerationRun : public QObject {
    Q_OBJECT

    QTemporaryDir mTemp;
    QTemporaryDir mResourceDir;
    QString mResource;
    std::unique_ptr<FixedClock> mClock;

    // The run's own folder inside TEMP.
    static QString tempFile(const QString& name) { return temporaryFile(name); }

    static QStringList tempEntries()
    {
        QStringList entries
            = QDir(temporaryFolder()).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
        // The lock that marks the folder as this program's.
        entries.removeAll("owner.lock");
        return entries;
    }

    std::unique_ptr<GenerationRun> makeRun(FakeHost& host, FakeSpreadsheet::Office& office) const
    {
        auto run = std::make_unique<GenerationRun>(host, office);
        run->setTemplateResource(mResource);
        return run;
    }

    static QStringList withoutCells(const QStringList& calls)
    {
        QStringList result;
        for (const QString& call : calls) {
            if (!call.contains(":setCell ") && !call.contains(":setColumnCells "))
                result << call;
        }
        return result;
    }

    static QString resultPathIn(const QStringList& calls)
    {
        for (const QString& call : calls) {
            if (call.startsWith("1:saveAs 1 "))
                return call.section(' ', 2, 2);
        }
        return QString();
    }

    void checkRunEndedCleanly(const FakeSpreadsheet::Office& office, const FakeHost& host)
    {
        QCOMPARE(office.running, 0);
        QVERIFY(!host.updatesLocked);
        QVERIFY(!host.busy);
        QCOMPARE(office.calls.last(), QStringLiteral("host:updatesLocked 0"));
        QVERIFY(!QFile::exists(tempFile("template.xlt")));
        QVERIFY(!QFile::exists(tempFile("temp.bmp")));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTemp.isValid());
        QVERIFY(mResourceDir.isValid());
        mResource = mResourceDir.filePath("template-resource.xlt");
        QFile resource(mResource);
        QVERIFY(resource.open(QIODevice::WriteOnly));
        resource.write("embedded template bytes");
    }

    void init()
    {
        qputenv("TEMP", QFile::encodeName(mTemp.path()));
        for (const QString& name : tempEntries())
            QVERIFY(QFile::remove(tempFile(name)));
        QGuiApplication::clipboard()->clear();
        mClock = std::make_unique<FixedClock>();
        RunClock::install(mClock.get());
    }

    void cleanup()
    {
        RunClock::install(nullptr);
        mClock.reset();
    }

    void runGoesThroughItsStepsInOrder()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(dialogs.texts(), QStringList());
        const QString result = resultPathIn(office.calls);
        QVERIFY2(QRegularExpression(
                     "^" + QRegularExpression::escape(temporaryFolder()) + "/varnok[1-9]{8}\\.xls$")
                     .match(result)
                     .hasMatch(),
            qPrintable(result));
        const QString templatePath = tempFile("template.xlt");
        const QStringList expected {
            "host:updatesLocked 1",
            "host:busy 1",
            "1:create",
            "1:openWorkbookWithoutView " + templatePath,
            "1:setVisible false",
            "1:selectRange D4",
            "1:version",
            "1:saveAs 1 " + result + " 56",
            "1:setDisplayAlerts false",
            "1:close 1",
            "1:quit",
            "2:create",
            "2:openWorkbook " + result,
            "host:busy 1",
            "2:workbookCount",
            "2:usedRangeLastRow 1",
            "2:usedRangeLastColumn 1",
            "2:copyPicture 1",
            "2:setDisplayAlerts false",
            "2:close 1",
            "2:quit",
            "host:busy 0",
            "host:ensurePreview",
            "host:picture 116x134",
            "host:excelFile " + result,
            "host:showPreview",
            "host:hideMainWindow",
            "host:updatesLocked 0",
        };
        QCOMPARE(withoutCells(office.calls), expected);
        // The cells are written between opening the template and hiding the instance, each run
        // of neighbouring cells of a map row in one call: sheet, first row, column, cells.
        const int firstCell = office.calls.indexOf("1:openWorkbookWithoutView " + templatePath) + 1;
        const QStringList blocks { "1 4 4 7", "1 15 4 16", "1 32 4 3", "1 36 4 3", "1 40 4 15",
            "1 61 4 2", "1 64 4 8", "1 73 4 3", "1 39 9 16", "1 1 9 1", "1 3 9 1", "1 4 9 1",
            "1 6 9 3", "1 11 9 1", "1 14 9 2", "1 18 9 2", "1 16 12 1", "1 17 12 1", "1 18 13 1",
            "1 19 13 1" };
        for (int block = 0; block < blocks.size(); ++block)
            QCOMPARE(office.calls.at(firstCell + block), "1:setColumnCells " + blocks.at(block));
        QCOMPARE(
            office.calls.at(firstCell + int(blocks.size())), QStringLiteral("1:setVisible false"));

        QVERIFY(host.previewShown);
        QVERIFY(host.mainHidden);
        QCOMPARE(host.excelFile, result);
        QCOMPARE(host.picture.size(), office.pictureSize);
        QCOMPARE(host.picture.pixelColor(5, 5), QColor(0, 0, 128));
        QCOMPARE(office.openedContents.first(), QByteArray("embedded template bytes"));
        checkRunEndedCleanly(office, host);
        // Only the result workbook stays behind.
        QCOMPARE(tempEntries(), QStringList { QFileInfo(result).fileName() });
    }

    void everyFieldGoesToItsCell()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();
        QCOMPARE(dialogs.texts(), QStringList());

        struct Block {
            QString array;
            int size;
            int firstRow;
            int column;
        };
        const QList<Block> blocks { { "txtIncome", 7, 4, 4 }, { "txtExpense", 61, 15, 4 },
            { "txtSavings", 16, 39, 9 }, { "txtOther", 14, 6, 9 } };
        for (const Block& block : blocks) {
            for (int index = 0; index < block.size; ++index) {
                const QString text = host.texts[block.array].at(index);
                const std::optional<CellValue> cell
                    = office.cell(1, block.firstRow + index, block.column);
                if (text == "Dummy") {
                    QVERIFY2(!cell, qPrintable(block.array + QString::number(index)));
                } else {
                    QVERIFY2(cell, qPrintable(block.array + QString::number(index)));
                    QCOMPARE(FakeSpreadsheet::describe(*cell), text);
                }
            }
        }
        // Rows after a placeholder still line up with their indices.
        QCOMPARE(
            FakeSpreadsheet::describe(*office.cell(1, 32, 4)), QStringLiteral("txtExpense(17)"));
        for (int row : { 31, 35, 39, 55, 56, 57, 58, 59, 60, 63, 72 })
            QVERIFY(!office.cell(1, row, 4));
        for (int row : { 9, 10, 12, 13, 16, 17 })
            QVERIFY(!office.cell(1, row, 9));
        QCOMPARE(FakeSpreadsheet::describe(*office.cell(1, 16, 12)),
            QStringLiteral("txtRetirementIncome(0)"));
        QCOMPARE(FakeSpreadsheet::describe(*office.cell(1, 17, 12)),
            QStringLiteral("txtRetirementIncome(1)"));
        QCOMPARE(FakeSpreadsheet::describe(*office.cell(1, 18, 13)),
            QStringLiteral("txtRetirementIncome(2)"));
        QCOMPARE(FakeSpreadsheet::describe(*office.cell(1, 19, 13)),
            QStringLiteral("txtRetirementIncome(3)"));
        // Dates go as dates; a picker without a date leaves its cell empty.
        QCOMPARE(*office.cell(1, 1, 9), CellValue(today));
        QCOMPARE(*office.cell(1, 3, 9), CellValue(QDate(1965, 11, 4)));
        QCOMPARE(*office.cell(1, 4, 9), CellValue(std::monostate {}));
        // Nothing else is written, and nothing twice.
        QCOMPARE(office.cellWrites.size(), 7 + 50 + 16 + 3 + 8 + 4);
    }

    void fieldTextsArePassedAsTheyStand_data()
    {
        QTest::addColumn<QString>("array");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("written");

        QTest::newRow("currency amount") << "txtIncome" << 0 << "$1,500.00" << 4 << 4 << true;
        QTest::newRow("text the validation never saw")
            << "txtExpense" << 3 << "abc" << 18 << 4 << true;
        QTest::newRow("spaces kept") << "txtSavings" << 2 << " 12 " << 41 << 9 << true;
        QTest::newRow("empty text") << "txtOther" << 0 << "" << 6 << 9 << true;
        QTest::newRow("expense reading Dummy with spaces")
            << "txtExpense" << 5 << " Dummy " << 20 << 4 << false;
        QTest::newRow("expense reading dummy") << "txtExpense" << 5 << "dummy" << 20 << 4 << true;
        QTest::newRow("expense reading DUMMY") << "txtExpense" << 5 << "DUMMY" << 20 << 4 << true;
        QTest::newRow("expense with a tab before Dummy")
            << "txtExpense" << 5 << "\tDummy" << 20 << 4 << true;
        QTest::newRow("other reading Dummy") << "txtOther" << 1 << "Dummy" << 7 << 9 << false;
        QTest::newRow("income is never tested") << "txtIncome" << 2 << "Dummy" << 6 << 4 << true;
        QTest::newRow("savings are never tested")
            << "txtSavings" << 0 << "Dummy" << 39 << 9 << true;
        QTest::newRow("retirement income is never tested")
            << "txtRetirementIncome" << 3 << " Dummy" << 19 << 13 << true;
        QTest::newRow("placeholder slot given a figure")
            << "txtExpense" << 16 << "$75.00" << 31 << 4 << true;
    }

    void fieldTextsArePassedAsTheyStand()
    {
        QFETCH(QString, array);
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(bool, written);

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        host.texts[array][index] = text;
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(dialogs.texts(), QStringList());
        const std::optional<CellValue> cell = office.cell(1, row, column);
        QCOMPARE(bool(cell), written);
        if (written)
            QCOMPARE(*cell, CellValue(text));
    }

    // Only a template left in the program's own folder, never one planted in TEMP.
    void existingTemplateIsUsedUnchanged()
    {
        QFile stale(tempFile("template.xlt"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.write("template left by an earlier run");
        stale.close();

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(office.openedContents.first(), QByteArray("template left by an earlier run"));
        checkRunEndedCleanly(office, host);
    }

    // A picture left by a killed run is never shown as this run's when the capture writes none.
    void oldPictureIsNeverShownAsThisRuns_data()
    {
        QTest::addColumn<bool>("emptySheet");
        QTest::addColumn<QStringList>("reports");
        QTest::newRow("no picture drawn")
            << false << QStringList { "Excel1.saveCellsActivesheet 112" } + runLines({ 208 });
        QTest::newRow("sheet used in row 1 only") << true << runLines({ 208 });
    }

    void oldPictureIsNeverShownAsThisRuns()
    {
        QFETCH(bool, emptySheet);
        QFETCH(QStringList, reports);
        QImage old(7, 7, QImage::Format_RGB32);
        old.fill(Qt::red);
        QVERIFY(old.save(tempFile("temp.bmp"), "BMP"));

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        if (emptySheet)
            office.lastRow = 1;
        else
            office.copyPictureDraws = false;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(reportedAt(dialogs), reports);
        QVERIFY(host.picture.isNull());
        checkRunEndedCleanly(office, host);
    }

    void twoRunsGiveTwoWorkbooks()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        auto run = makeRun(host, office);
        run->PushButton22_Click();
        const QString first = host.excelFile;
        run->PushButton22_Click();
        const QString second = host.excelFile;

        QCOMPARE(dialogs.texts(), QStringList());
        QVERIFY(first != second);
        QVERIFY(QFile::exists(first));
        QVERIFY(QFile::exists(second));
        QCOMPARE(office.created, 4);
        // The first run removed its template copy, so the second wrote it afresh.
        QCOMPARE(office.openedContents.at(2), QByteArray("embedded template bytes"));
        checkRunEndedCleanly(office, host);
    }

    void failingStepIsReportedAndTheRunGoesOn_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QStringList>("reports");
        QTest::addColumn<bool>("preview");

        QTest::newRow("hide the instance") << "1:setVisible" << runLines({ 162 }) << true;
        QTest::newRow("select D4") << "1:selectRange" << runLines({ 164 }) << true;
        QTest::newRow("close the template") << "1:close" << runLines({ 186 }) << true;
        QTest::newRow("quit the first") << "1:quit" << runLines({ 188 }) << true;
        // Without a workbook, or without a picture, what depends on it is skipped unreported.
        QTest::newRow("count the workbooks") << "2:workbookCount"
                                             << runLines({ 196 })
                + QStringList { "Excel1.saveCellsActivesheet 100" } + runLines({ 202, 208 })
                                             << true;
        QTest::newRow("copy the picture")
            << "2:copyPicture"
            << QStringList { "Excel1.saveCellsActivesheet 110" } + runLines({ 208 }) << true;
        QTest::newRow("quit the second") << "2:quit" << runLines({ 204 }) << true;
        // No result workbook: one report, and no preview.
        QTest::newRow("read the version") << "1:version" << runLines({ 182 }) << false;
        QTest::newRow("save the result") << "1:saveAs" << runLines({ 182 }) << false;
        QTest::newRow("start the second office") << "2:create" << runLines({ 192, 208 }) << true;
    }

    void failingStepIsReportedAndTheRunGoesOn()
    {
        QFETCH(QString, failing);
        QFETCH(QStringList, reports);

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        if (failing == "2:create")
            office.failingCreations << 2;
        else
            office.failing << failing;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QFETCH(bool, preview);
        QCOMPARE(reportedAt(dialogs), reports);
        QCOMPARE(dialogs.messages.first().title, QStringLiteral("Application Error"));
        // With a result workbook the preview takes over; the window is unlocked either way.
        QCOMPARE(host.previewShown, preview);
        QCOMPARE(host.mainHidden, preview);
        checkRunEndedCleanly(office, host);
    }

    void failedQuitStillEndsTheOfficeBeforeThePreview()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.failing << "1:quit"
                       << "2:quit";
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(reportedAt(dialogs), runLines({ 188, 204 }));
        const QStringList calls = withoutCells(office.calls);
        QVERIFY(calls.indexOf("1:released") < calls.indexOf("2:create"));
        QVERIFY(calls.indexOf("2:released") < calls.indexOf("host:showPreview"));
        QCOMPARE(office.running, 0);
    }

    void noOfficeIsReportedOnce()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.failingCreations << 1;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(dialogs.texts(),
            QStringList { errorReportText(
                "LibreOffice could not be started (fake 1)", "Form1.PushButton22_Click", 102) });
        QVERIFY(!host.previewShown);
        QVERIFY(!host.mainHidden);
        checkRunEndedCleanly(office, host);
    }

    void officeDyingMidRunLeavesNothingRunning()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.dyingAt << "1:setColumnCells";
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        const QStringList expected = cellRowReports() + runLines({ 162, 164, 182, 184, 186, 188 });
        QCOMPARE(reportedAt(dialogs), expected);
        QVERIFY(!host.previewShown);
        checkRunEndedCleanly(office, host);
    }

    void temporaryFolderThatCannotBeWritten_data()
    {
        QTest::addColumn<bool>("missing");
        QTest::newRow("missing folder") << true;
        QTest::newRow("TEMP names a file") << false;
    }

    void temporaryFolderThatCannotBeWritten()
    {
        QFETCH(bool, missing);
        QString temp = mTemp.filePath("no-such-folder");
        if (!missing) {
            temp = mTemp.filePath("plain-file");
            QFile file(temp);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        qputenv("TEMP", QFile::encodeName(temp));

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        // Nothing to work on after the template could not be written: one report, no preview.
        QCOMPARE(reportedAt(dialogs), runLines({ 106 }));
        QVERIFY(dialogs.texts().first().contains(temp));
        QVERIFY(!host.previewShown);
        QCOMPARE(office.running, 0);
        QVERIFY(!host.updatesLocked);
        QVERIFY(!host.busy);
    }

    void missingTemplateResourceWritesNoEmptyTemplate()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        auto run = makeRun(host, office);
        run->setTemplateResource(tempFile("not-there.xlt"));
        run->PushButton22_Click();

        const QStringList reports = reportedAt(dialogs);
        QCOMPARE(reports, runLines({ 104, 106 }));
        checkRunEndedCleanly(office, host);
        QCOMPARE(tempEntries(), QStringList());
    }

    void existingNameIsDrawnAgainFromThePrefix()
    {
        mClock->script = { 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.5 };
        QFile taken(tempFile("varnok11111111.xls"));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("an earlier result");
        taken.close();

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(host.excelFile, tempFile("varnok55555555.xls"));
        QCOMPARE(mClock->reseeds, 16);
        QVERIFY(taken.open(QIODevice::ReadOnly));
        QCOMPARE(taken.readAll(), QByteArray("an earlier result"));
    }

    void redrawGivesUpInsteadOfHanging()
    {
        mClock->script = { 0.0 };
        QFile taken(tempFile("varnok11111111.xls"));
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("an earlier result");
        taken.close();

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        FakeHost host(office.calls);
        makeRun(host, office)->PushButton22_Click();

        QCOMPARE(mClock->reseeds, GenerationRun::maxNameAttempts * 8);
        QCOMPARE(reportedAt(dialogs).mid(0, 2), runLines({ 180, 182 }));
        QVERIFY(dialogs.texts().first().startsWith(
            "No unused result workbook name found after 1000 attempts"));
        // The earlier result is not saved over.
        QVERIFY(!office.calls.contains(QRegularExpression("^1:saveAs")));
        QVERIFY(taken.open(QIODevice::ReadOnly));
        QCOMPARE(taken.readAll(), QByteArray("an earlier result"));
        checkRunEndedCleanly(office, host);
    }

    // The run folder goes before the temporary home that holds it.
    void cleanupTestCase() { removeTemporaryFolders(); }
};

QTEST_MAIN(TestGenerationRun)
#include "tst_generationrun.moc"
