#include "app/apperror.h"
#include "preview/sheetmaster.h"
#include "workbook/libreoffice/libreofficespreadsheet.h"
#include "workbook/libreoffice/loadedformats.h"
#include "workbook/libreoffice/unoconvert.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include <cerrno>
#include <csignal>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

bool processExists(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

Reference<table::XCellRange> firstSheet(const Reference<frame::XModel>& model)
{
    return Reference<table::XCellRange>(
        Reference<container::XIndexAccess>(
            Reference<sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)->getSheets(),
            UNO_QUERY_THROW)
            ->getByIndex(0),
        UNO_QUERY_THROW);
}

Reference<table::XCell> cellAt(const Reference<frame::XModel>& model, const char* name)
{
    const Reference<table::XCellRange> range
        = firstSheet(model)->getCellRangeByName(rtl::OUString::createFromAscii(name));
    return range->getCellByPosition(0, 0);
}

// The "Default" style of a family such as "CellStyles" or "PageStyles".
Reference<beans::XPropertySet> defaultStyleOf(
    const Reference<frame::XModel>& model, const char* family)
{
    return Reference<beans::XPropertySet>(
        Reference<container::XNameAccess>(
            Reference<style::XStyleFamiliesSupplier>(model, UNO_QUERY_THROW)
                ->getStyleFamilies()
                ->getByName(rtl::OUString::createFromAscii(family)),
            UNO_QUERY_THROW)
            ->getByName(rtl::OUString("Default")),
        UNO_QUERY_THROW);
}

void setFormat(const Reference<frame::XModel>& model, const char* cells, const char* format)
{
    const auto formats
        = Reference<util::XNumberFormatsSupplier>(model, UNO_QUERY_THROW)->getNumberFormats();
    const lang::Locale us(rtl::OUString("en"), rtl::OUString("US"), rtl::OUString());
    const rtl::OUString code = rtl::OUString::createFromAscii(format);
    sal_Int32 key = formats->queryKey(code, us, false);
    if (key < 0)
        key = formats->addNew(code, us);
    Reference<beans::XPropertySet>(
        firstSheet(model)->getCellRangeByName(rtl::OUString::createFromAscii(cells)),
        UNO_QUERY_THROW)
        ->setPropertyValue(rtl::OUString("NumberFormat"), uno::Any(key));
}

// A workbook as the template would be: labels (one longer than its cell), general input cells
// in B, percent cells in C, date cells in D, a formula computing from an input, a filled cell,
// a blank cell whose only content is its format, and a zoom of 93 %. Behind another sheet, an
// empty sheet comes first.
void makeWorkbook(
    OfficeInstance& office, const QString& path, const char* filter, bool behindAnother = false)
{
    uno::Sequence<beans::PropertyValue> hidden(1);
    hidden.getArray()[0] = property("Hidden", uno::Any(true));
    const Reference<frame::XModel> model(
        Reference<frame::XComponentLoader>(office.desktop(), UNO_QUERY_THROW)
            ->loadComponentFromURL(
                rtl::OUString("private:factory/scalc"), rtl::OUString("_blank"), 0, hidden),
        UNO_QUERY_THROW);
    // Arial 10 as the default font, as in the program's template.
    const Reference<beans::XPropertySet> defaultStyle = defaultStyleOf(model, "CellStyles");
    defaultStyle->setPropertyValue(rtl::OUString("CharFontName"), uno::Any(rtl::OUString("Arial")));
    defaultStyle->setPropertyValue(rtl::OUString("CharHeight"), uno::Any(10.0f));
    setFormat(model, "C1:C20", "0.0%");
    setFormat(model, "D1:D20", "m/d/yyyy");
    setFormat(model, "H12", "\"$\"#,##0.00");
    Reference<text::XTextRange>(cellAt(model, "A1"), UNO_QUERY_THROW)
        ->setString(rtl::OUString("Wages"));
    cellAt(model, "E1")->setFormula(rtl::OUString("=B1*12"));
    Reference<text::XTextRange>(cellAt(model, "A5"), UNO_QUERY_THROW)
        ->setString(rtl::OUString("Savings and Retirement Accounts overflowing"));
    Reference<beans::XPropertySet> fill(cellAt(model, "F3"), UNO_QUERY_THROW);
    fill->setPropertyValue(rtl::OUString("CellBackColor"), uno::Any(sal_Int32(0x00FF00)));
    fill->setPropertyValue(rtl::OUString("IsCellBackgroundTransparent"), uno::Any(false));
    // The zoom is saved from a shown view only.
    const Reference<frame::XController> controller = model->getCurrentController();
    controller->getFrame()->getContainerWindow()->setVisible(true);
    Reference<beans::XPropertySet> view(controller, UNO_QUERY_THROW);
    view->setPropertyValue(rtl::OUString("ZoomType"), uno::Any(sal_Int16(3)));
    view->setPropertyValue(rtl::OUString("ZoomValue"), uno::Any(sal_Int16(93)));
    if (behindAnother)
        Reference<sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)
            ->getSheets()
            ->insertNewByName(rtl::OUString("Front"), 0);
    uno::Sequence<beans::PropertyValue> store(2);
    store.getArray()[0] = property("FilterName", uno::Any(rtl::OUString::createFromAscii(filter)));
    store.getArray()[1] = property("Overwrite", uno::Any(true));
    Reference<frame::XStorable>(model, UNO_QUERY_THROW)->storeToURL(fileUrl(path), store);
    Reference<util::XCloseable>(model, UNO_QUERY_THROW)->close(true);
}

sal_Int16 formatType(const Reference<frame::XModel>& model, const char* cell)
{
    sal_Int32 key = 0;
    Reference<beans::XPropertySet>(cellAt(model, cell), UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString("NumberFormat"))
        >>= key;
    sal_Int16 type = 0;
    Reference<util::XNumberFormatsSupplier>(model, UNO_QUERY_THROW)
        ->getNumberFormats()
        ->getByKey(key)
        ->getPropertyValue(rtl::OUString("Type"))
        >>= type;
    return type;
}

struct Typed {
    const char* cell;
    QString text;
    bool number;
    double value;
};

} // namespace

class TestLibreOfficeSpreadsheet : public QObject {
    Q_OBJECT

private:
    QTemporaryDir mTemp;
    QString mWorkbook;
    QString mTemplate;
    QString mSecondSheetWorkbook;

    std::unique_ptr<LibreOfficeSpreadsheet> open(const QString& path)
    {
        auto excel = std::make_unique<LibreOfficeSpreadsheet>();
        excel->setTypingLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        excel->openWorkbook(path);
        return excel;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTemp.isValid());
        qputenv("XDG_DATA_HOME", mTemp.filePath("data").toUtf8());
        mWorkbook = mTemp.filePath("made by test.xls");
        mTemplate = mTemp.filePath("template.xlt");
        mSecondSheetWorkbook = mTemp.filePath("second sheet active.xls");
        OfficeInstance office;
        makeWorkbook(office, mWorkbook, "MS Excel 97");
        makeWorkbook(office, mSecondSheetWorkbook, "MS Excel 97", true);
        makeWorkbook(office, mTemplate, "MS Excel 97 Vorlage/Template");
    }

    // Written cell by cell or a column's block at once, a text is stored as typing it would;
    // a block may span cells of different formats (C20 is a percent cell, C21 a general one).
    // A later copy of the same workbook is written from the formats the first copy showed.
    void typedTextsSurviveSaveAndReopen_data()
    {
        QTest::addColumn<bool>("inBlocks");
        QTest::addColumn<int>("copies");
        QTest::newRow("cell by cell") << false << 1;
        QTest::newRow("in blocks") << true << 1;
        QTest::newRow("cell by cell, second copy") << false << 2;
        QTest::newRow("in blocks, second copy") << true << 2;
        QTest::newRow("in blocks, third copy") << true << 3;
    }

    void typedTextsSurviveSaveAndReopen()
    {
        QFETCH(bool, inBlocks);
        QFETCH(int, copies);
        const QList<Typed> cases = {
            { "B1", "$4,500.00", true, 4500 },
            { "B2", "(1,500.00)", true, -1500 },
            { "B3", "($1,500.00)", true, -1500 },
            { "B4", "-250", true, -250 },
            { "B5", "7%", true, 0.07 },
            { "B6", "abc", false, 0 },
            { "B7", "Dummy", false, 0 },
            { "B8", "", false, 0 },
            { "C1", "7", true, 0.07 },
            { "C2", "0.5", true, 0.5 },
            { "C3", "5.5%", true, 0.055 },
            { "C4", "1", true, 0.01 },
            { "C20", "7", true, 0.07 },
            { "C21", "7", true, 7 },
            { "D1", "11/4/1965", true, 24050 },
        };
        const QString saved = mTemp.filePath("typed.xls");
        const auto excel = open(mWorkbook);
        for (int copy = 1; copy <= copies; ++copy) {
            if (copy > 1) {
                excel->close(1);
                excel->openWorkbook(mWorkbook);
            }
            excel->setCell(1, 8, 2, QStringLiteral("to be emptied"));
            // Runs of neighbouring cases in one column: column, first row, values.
            QList<std::tuple<int, int, QVector<CellValue>>> blocks;
            for (const Typed& typed : cases) {
                const QString name = QString::fromLatin1(typed.cell);
                const int row = name.mid(1).toInt();
                const int column = name.at(0).unicode() - 'A' + 1;
                if (!inBlocks) {
                    excel->setCell(1, row, column, typed.text);
                    continue;
                }
                if (blocks.isEmpty() || std::get<0>(blocks.last()) != column
                    || std::get<1>(blocks.last()) + std::get<2>(blocks.last()).size() != row)
                    blocks.append({ column, row, {} });
                std::get<2>(blocks.last()).append(typed.text);
            }
            for (const auto& [column, row, values] : blocks)
                excel->setColumnCells(1, row, column, values);
            excel->setColumnCells(1, 2, 4, { QDate(1965, 11, 4), QDate() });
            // A general cell that took on a percent look reads a plain 7 as 7 %.
            excel->setColumnCells(1, 9, 2, { QStringLiteral("5%"), QStringLiteral("$3") });
            excel->setCell(1, 9, 2, QStringLiteral("7"));
            excel->setColumnCells(1, 9, 2, { QStringLiteral("8"), QStringLiteral("9") });
        }
        excel->saveAs(1, saved, 56);
        excel->setDisplayAlerts(false);
        excel->close(1);
        excel->quit();
        const auto second = open(saved);
        const auto model = second->workbook(1);
        for (const Typed& typed : cases) {
            const auto cell = cellAt(model, typed.cell);
            const QString where = QStringLiteral("%1 from \"%2\"").arg(typed.cell, typed.text);
            if (typed.number) {
                QVERIFY2(cell->getType() == table::CellContentType_VALUE, qPrintable(where));
                QVERIFY2(qFuzzyCompare(cell->getValue(), typed.value), qPrintable(where));
            } else if (typed.text.isEmpty()) {
                QVERIFY2(cell->getType() == table::CellContentType_EMPTY, qPrintable(where));
            } else {
                QVERIFY2(cell->getType() == table::CellContentType_TEXT, qPrintable(where));
                QCOMPARE(
                    fromOUString(Reference<text::XTextRange>(cell, UNO_QUERY_THROW)->getString()),
                    typed.text);
            }
        }
        // General cells took on the look of what was typed; formatted cells kept theirs.
        QVERIFY(formatType(model, "B1") & util::NumberFormat::CURRENCY);
        QVERIFY(formatType(model, "B3") & util::NumberFormat::CURRENCY);
        QCOMPARE(cellAt(model, "B9")->getValue(), 0.08);
        QVERIFY(formatType(model, "B9") & util::NumberFormat::PERCENT);
        QCOMPARE(cellAt(model, "B10")->getValue(), 9.0);
        QVERIFY(formatType(model, "B10") & util::NumberFormat::CURRENCY);
        QVERIFY(formatType(model, "B5") & util::NumberFormat::PERCENT);
        QVERIFY(!(formatType(model, "B4")
            & (util::NumberFormat::CURRENCY | util::NumberFormat::PERCENT)));
        QVERIFY(formatType(model, "C3") & util::NumberFormat::PERCENT);
        QVERIFY(!(formatType(model, "C21") & util::NumberFormat::PERCENT));
        QCOMPARE(cellAt(model, "D2")->getValue(), 24050.0);
        QVERIFY(cellAt(model, "D3")->getType() == table::CellContentType_EMPTY);
        // The workbook's own formula computed from the typed amount, and the result was saved.
        QCOMPARE(cellAt(model, "E1")->getValue(), 54000.0);
    }

    // Formats are shared only between workbooks of the same bytes on the same office.
    void loadedFormatsBelongToTheBytesAndTheOffice()
    {
        auto office = std::make_shared<int>(1);
        const auto other = std::make_shared<int>(2);
        const auto formats = LoadedFormats::of(office, "same");
        LoadedFormats::Format percent;
        percent.percent = true;
        formats->remember(1, 4, 4, percent);
        QCOMPARE(LoadedFormats::of(office, "same"), formats);
        QVERIFY(LoadedFormats::of(office, "same")->find(1, 4, 4)->percent);
        QVERIFY(!LoadedFormats::of(office, "same")->find(1, 5, 4));
        QVERIFY(!LoadedFormats::of(office, "changed")->find(1, 4, 4));
        QVERIFY(!LoadedFormats::of(other, "same")->find(1, 4, 4));
        // An office that is gone takes its formats along, even where a new one gets its address.
        office.reset();
        const auto next = std::make_shared<int>(3);
        QVERIFY(!LoadedFormats::of(next, "same")->find(1, 4, 4));
    }

    // The cursor and zoom a saved workbook opens with, as "C3 93".
    QString savedCursorAndZoom(const QString& path)
    {
        // A view takes the saved cursor once it is shown.
        const auto excel = open(path);
        const Reference<frame::XController> controller = excel->workbook(1)->getCurrentController();
        controller->getFrame()->getContainerWindow()->setVisible(true);
        const Reference<view::XSelectionSupplier> selection(controller, UNO_QUERY_THROW);
        const table::CellRangeAddress address
            = Reference<sheet::XCellRangeAddressable>(selection->getSelection(), UNO_QUERY_THROW)
                  ->getRangeAddress();
        sal_Int16 zoom = 0;
        Reference<beans::XPropertySet>(controller, UNO_QUERY_THROW)
            ->getPropertyValue(rtl::OUString("ZoomValue"))
            >>= zoom;
        const auto cell = [](int row, int column) {
            return QString(QChar('A' + column)) + QString::number(row + 1);
        };
        return cell(address.StartRow, address.StartColumn) + ":"
            + cell(address.EndRow, address.EndColumn) + " " + QString::number(zoom);
    }

    void selectionIsSavedWithTheWorkbook()
    {
        const QString saved = mTemp.filePath("selected.xls");
        {
            const auto excel = open(mWorkbook);
            excel->selectRange(QStringLiteral("D4"));
            excel->saveAs(1, saved, -4143);
        }
        // Showing the view to save the cursor kept the workbook's own zoom.
        QCOMPARE(savedCursorAndZoom(saved), QStringLiteral("D4:D4 93"));
    }

    // Opened without a view, a workbook gets one only to select another cell than the one it
    // was saved with, or to be drawn; either way it saves the cursor asked for and its own zoom.
    // A file that is no workbook leaves none open.
    void aWorkbookWithoutAViewGetsOneWhenNeeded_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("drawn");
        QTest::addColumn<bool>("viewGiven");
        QTest::newRow("the cell it was saved with") << "B2"
                                                    << "B2" << false << false;
        QTest::newRow("another cell") << "B2"
                                      << "D4" << false << true;
        QTest::newRow("drawn first") << "B2"
                                     << "B2" << true << true;
        // The office's own save of a cursor it was never shown is not read back.
        QTest::newRow("saved with the second sheet open") << "second"
                                                          << "B2" << false << true;
    }

    void aWorkbookWithoutAViewGetsOneWhenNeeded()
    {
        QFETCH(QString, opened);
        QFETCH(QString, selected);
        QFETCH(bool, drawn);
        QFETCH(bool, viewGiven);
        QString start = mSecondSheetWorkbook;
        if (opened != "second") {
            start = mTemp.filePath("cursor in " + opened + ".xls");
            const auto excel = open(mWorkbook);
            excel->selectRange(opened);
            excel->saveAs(1, start, 56);
        }
        const QString saved = mTemp.filePath("filled without view.xls");
        {
            LibreOfficeSpreadsheet excel;
            excel.setTypingLocale(QLocale(QLocale::English, QLocale::UnitedStates));
            QCOMPARE(excel.openWorkbookWithoutView(start), 1);
            QVERIFY(!excel.workbook(1)->getCurrentController().is());
            excel.setColumnCells(1, 1, 2, { QStringLiteral("$4,500.00"), QStringLiteral("7%") });
            QCOMPARE(excel.cellNumber(1, 1, 2, 2), std::optional<double>(0.07));
            if (drawn)
                QVERIFY(excel.sheetPicture(1).width() > 100);
            excel.selectRange(selected);
            QCOMPARE(excel.workbook(1)->getCurrentController().is(), viewGiven);
            excel.saveAs(1, saved, 56);
            const QString notAWorkbook = mTemp.filePath("not a workbook.xls");
            QFile text(notAWorkbook);
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write("just text\n") > 0);
            text.close();
            QVERIFY_THROWS_EXCEPTION(AppError, excel.openWorkbookWithoutView(notAWorkbook));
            QCOMPARE(excel.workbookCount(), 1);
            excel.close(1);
        }
        if (opened != "second")
            QCOMPARE(savedCursorAndZoom(saved), selected + ':' + selected + " 93");
        const auto reopened = open(saved);
        QCOMPARE(reopened->cellNumber(1, 1, 1, 2), std::optional<double>(4500));
    }

    void templateOpensAsACopyAndStaysUnchanged()
    {
        const QByteArray before = [&] {
            QFile file(mTemplate);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const QString saved = mTemp.filePath("from template.xls");
        {
            const auto excel = open(mTemplate);
            QCOMPARE(excel->workbookCount(), 1);
            excel->setCell(1, 1, 2, QStringLiteral("12"));
            excel->saveAs(1, saved, 56);
            excel->close(1);
            QCOMPARE(excel->workbookCount(), 0);
        }
        QFile file(mTemplate);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        const auto second = open(saved);
        QCOMPARE(cellAt(second->workbook(1), "E1")->getValue(), 144.0);
    }

    void theLastOpenedWorkbookIsActive()
    {
        const auto excel = open(mWorkbook);
        QCOMPARE(excel->openWorkbook(mTemplate), 2);
        QCOMPARE(excel->workbookCount(), 2);
        excel->setCell(1, 1, 2, QStringLiteral("3"));
        QCOMPARE(cellAt(excel->workbook(2), "B1")->getValue(), 3.0);
        QVERIFY(cellAt(excel->workbook(1), "B1")->getType() == table::CellContentType_EMPTY);
        excel->close(2);
        excel->setCell(1, 1, 2, QStringLiteral("4"));
        QCOMPARE(cellAt(excel->workbook(1), "B1")->getValue(), 4.0);
    }

    void usedRangeCountsFormattedBlankCells()
    {
        const auto excel = open(mWorkbook);
        // Content reaches E1 and F3; the blank H12 and C1:D20 carry formats of their own.
        QCOMPARE(excel->usedRangeLastRow(1), 20);
        QCOMPARE(excel->usedRangeLastColumn(1), 8);
    }

    void copyPictureShowsTheUsedRange()
    {
        const auto excel = open(mWorkbook);
        QGuiApplication::clipboard()->setText(QStringLiteral("held before"));
        excel->copyPicture(1);
        const QImage picture = QGuiApplication::clipboard()->image();
        QVERIFY(!picture.isNull());
        QVERIFY(QGuiApplication::clipboard()->text().isEmpty());

        // The range A1:H20 at 96 dots per inch, from the sizes of its columns and rows in
        // 1/100 mm: the gridlines must not make the rows grow.
        const Reference<table::XColumnRowRange> range(
            firstSheet(excel->workbook(1))->getCellRangeByName(rtl::OUString("A1:H20")),
            UNO_QUERY_THROW);
        auto pixels = [](const Reference<container::XIndexAccess>& lines, const char* size) {
            double total = 0;
            for (sal_Int32 i = 0; i < lines->getCount(); ++i) {
                sal_Int32 hundredths = 0;
                Reference<beans::XPropertySet>(lines->getByIndex(i), UNO_QUERY_THROW)
                    ->getPropertyValue(rtl::OUString::createFromAscii(size))
                    >>= hundredths;
                total += hundredths / 2540.0 * 96.0;
            }
            return total;
        };
        const double width = pixels(
            Reference<container::XIndexAccess>(range->getColumns(), UNO_QUERY_THROW), "Width");
        const double height = pixels(
            Reference<container::XIndexAccess>(range->getRows(), UNO_QUERY_THROW), "Height");
        QVERIFY2(qAbs(picture.width() - width) <= 3,
            qPrintable(QStringLiteral("%1 vs %2").arg(picture.width()).arg(width)));
        // The office may draw a row a pixel lower than its height says, never higher.
        QVERIFY2(picture.height() >= height * 0.92 && picture.height() <= height + 3,
            qPrintable(QStringLiteral("%1 vs %2").arg(picture.height()).arg(height)));

        // F3 is filled green.
        const double column = width / 8.0;
        const double row = height / 20.0;
        QCOMPARE(picture.pixelColor(int(column * 5.5), int(row * 2.5)), QColor(0, 255, 0));
        // Its blank neighbours E3 and G3 are parted from it by grey lines, not by green or white.
        QList<QColor> across;
        for (int x = int(column * 4.5); x <= int(column * 6.5); ++x)
            if (across.isEmpty() || across.constLast() != picture.pixelColor(x, int(row * 2.5)))
                across << picture.pixelColor(x, int(row * 2.5));
        const QColor blank(Qt::white), grey(0xC0, 0xC0, 0xC0), green(0, 255, 0);
        QCOMPARE(across, (QList<QColor> { blank, grey, green, grey, blank }));
        // Plain cells show grey gridlines, evenly spaced: rows holding text are no taller.
        QList<int> lines;
        for (int y = 0; y < picture.height(); ++y)
            if (picture.pixelColor(int(column * 6.5), y) == QColor(0xC0, 0xC0, 0xC0))
                lines << y;
        QVERIFY2(lines.size() >= 20, qPrintable(QString::number(lines.size())));
        int lowest = picture.height(), highest = 0;
        for (int i = 1; i < lines.size(); ++i) {
            lowest = std::min(lowest, lines[i] - lines[i - 1]);
            highest = std::max(highest, lines[i] - lines[i - 1]);
        }
        QVERIFY2(
            highest - lowest <= 1, qPrintable(QStringLiteral("%1 to %2").arg(lowest).arg(highest)));
        // No gridline crosses the label that runs on from A5 over the empty cells beside it.
        // (Antialiased letters may hold a stray grey pixel; a gridline fills the row's height.)
        auto greyDown = [&](int rowIndex) {
            int most = 0;
            for (int x = int(column) - 2; x <= int(column) + 2; ++x) {
                int count = 0;
                for (int y = int(row * rowIndex) + 3; y < int(row * (rowIndex + 1)) - 2; ++y)
                    count += picture.pixelColor(x, y) == QColor(0xC0, 0xC0, 0xC0);
                most = std::max(most, count);
            }
            return most;
        };
        QVERIFY2(greyDown(4) <= 4, qPrintable(QString::number(greyDown(4))));
        QVERIFY2(greyDown(0) >= int(row) - 6, qPrintable(QString::number(greyDown(0))));
        QVERIFY2(greyDown(6) >= int(row) - 6, qPrintable(QString::number(greyDown(6))));
        // The range is closed on the right and at the bottom.
        auto greyNear = [&](int x, int y, int dx, int dy) {
            bool found = false;
            for (int step = 0; step < 3; ++step)
                found
                    |= picture.pixelColor(x - step * dx, y - step * dy) == QColor(0xC0, 0xC0, 0xC0);
            return found;
        };
        QVERIFY(greyNear(picture.width() - 1, int(row * 6.5), 1, 0));
        QVERIFY(greyNear(int(column * 6.5), picture.height() - 1, 0, 1));
    }

    // The range's drawings, made the preview's master, have the picture's size and lie on it:
    // at twice the size the green F3's edges are within a pixel of twice the picture's, the far
    // gridlines end where the picture's do, and gridlines are grey as on screen.
    void rangePdfLinesUpWithThePicture()
    {
        const auto excel = open(mWorkbook);
        excel->copyPicture(1);
        const QImage picture
            = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        QVERIFY(!picture.isNull());
        const QString lined = mTemp.filePath("lined.pdf");
        const QString plain = mTemp.filePath("plain.pdf");
        excel->exportRangePdf(1, lined, true);
        excel->exportRangePdf(1, plain, false);
        QVERIFY(!Reference<util::XModifiable>(excel->workbook(1), UNO_QUERY_THROW)->isModified());
        auto bytes = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const auto master = SheetMaster::fromPdf(bytes(lined), bytes(plain), picture.size());
        QVERIFY(master);
        const QImage sharp = master->whole(2.0);
        QCOMPARE(sharp.size(), picture.size() * 2);
        QCOMPARE(sharp.devicePixelRatio(), 2.0);

        auto greenBox = [](const QImage& image) {
            QRect box;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.green() > 200 && c.red() < 60 && c.blue() < 60)
                        box |= QRect(x, y, 1, 1);
                }
            return box;
        };
        const QRect natural = greenBox(picture);
        const QRect doubled = greenBox(sharp);
        const QString boxes = QStringLiteral("%1,%2 %3x%4 against %5,%6 %7x%8")
                                  .arg(doubled.x())
                                  .arg(doubled.y())
                                  .arg(doubled.width())
                                  .arg(doubled.height())
                                  .arg(natural.x())
                                  .arg(natural.y())
                                  .arg(natural.width())
                                  .arg(natural.height());
        QVERIFY2(!natural.isEmpty() && !doubled.isEmpty(), qPrintable(boxes));
        for (const auto& [edge, expected] : { std::pair(doubled.left(), 2 * natural.left()),
                 std::pair(doubled.top(), 2 * natural.top()),
                 std::pair(doubled.right() + 1, 2 * (natural.right() + 1)),
                 std::pair(doubled.bottom() + 1, 2 * (natural.bottom() + 1)) })
            QVERIFY2(qAbs(edge - expected) <= 1, qPrintable(boxes));

        // The range's outer gridlines lie on the picture's last column and row, within a pixel
        // and a half of the picture there (the picture's rows are a little shorter than the
        // office's, and the drawing spreads the difference).
        auto lastLine = [&](bool columns) {
            const int length = columns ? sharp.width() : sharp.height();
            for (int i = length - 1; i >= 0; --i)
                if (qGray(columns ? sharp.pixel(i, sharp.height() * 15 / 40)
                                  : sharp.pixel(sharp.width() * 13 / 16, i))
                    < 230)
                    return i;
            return -1;
        };
        QVERIFY2(lastLine(true) >= sharp.width() - 4, qPrintable(QString::number(lastLine(true))));
        QVERIFY2(
            lastLine(false) >= sharp.height() - 4, qPrintable(QString::number(lastLine(false))));
        // Row 8 is blank: what crosses it are gridlines, grey and never black.
        const int blankRow = sharp.height() * 15 / 40;
        int darkest = 255;
        for (int x = 0; x < sharp.width(); ++x)
            darkest = qMin(darkest, qGray(sharp.pixel(x, blankRow)));
        QVERIFY2(darkest >= 0xA0 && darkest <= 0xD0, qPrintable(QString::number(darkest)));
    }

    void copyPictureLeavesTheWorkbookAsItWas()
    {
        const auto excel = open(mWorkbook);
        const Reference<frame::XModel> model = excel->workbook(1);
        const Reference<view::XSelectionSupplier> view(
            model->getCurrentController(), UNO_QUERY_THROW);
        view->select(uno::Any(firstSheet(model)->getCellRangeByName(rtl::OUString("B2"))));
        excel->copyPicture(1);
        QVERIFY(!Reference<util::XModifiable>(model, UNO_QUERY_THROW)->isModified());
        const table::CellRangeAddress selected
            = Reference<sheet::XCellRangeAddressable>(view->getSelection(), UNO_QUERY_THROW)
                  ->getRangeAddress();
        QCOMPARE(selected.StartColumn, 1);
        QCOMPARE(selected.StartRow, 1);
        QCOMPARE(selected.EndColumn, 1);
        QCOMPARE(selected.EndRow, 1);
        // The default page style asks for printed gridlines only while the picture is drawn.
        bool printsGrid = true;
        defaultStyleOf(model, "PageStyles")->getPropertyValue(rtl::OUString("PrintGrid"))
            >>= printsGrid;
        QVERIFY(!printsGrid);
    }

    void copyPictureOfASecondSheetMatchesTheSameSheetFirst()
    {
        // The sheet shown is drawn, with the same gridlines, not the first.
        const auto first = open(mWorkbook);
        first->copyPicture(1);
        const QImage expected = QGuiApplication::clipboard()->image();
        const auto second = open(mSecondSheetWorkbook);
        const Reference<frame::XModel> model = second->workbook(1);
        Reference<sheet::XSpreadsheetView>(model->getCurrentController(), UNO_QUERY_THROW)
            ->setActiveSheet(Reference<sheet::XSpreadsheet>(
                Reference<container::XIndexAccess>(
                    Reference<sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)->getSheets(),
                    UNO_QUERY_THROW)
                    ->getByIndex(1),
                UNO_QUERY_THROW));
        second->copyPicture(1);
        QCOMPARE(QGuiApplication::clipboard()->image(), expected);
    }

    void copyPictureShowsUnsavedChanges()
    {
        const auto excel = open(mWorkbook);
        excel->setCell(1, 10, 1, QStringLiteral("A label typed just now, wider than its cell"));
        excel->copyPicture(1);
        const QImage withLabel = QGuiApplication::clipboard()->image();
        excel->setCell(1, 10, 1, QString());
        excel->copyPicture(1);
        const QImage without = QGuiApplication::clipboard()->image();
        QCOMPARE(withLabel.size(), without.size());
        // Row 10 differs between the two pictures; row 12 does not.
        auto rowDiffers = [&](int row) {
            const int height = without.height() / 20;
            for (int y = height * row + 2; y < height * (row + 1) - 2; ++y)
                for (int x = 0; x < without.width(); ++x)
                    if (withLabel.pixel(x, y) != without.pixel(x, y))
                        return true;
            return false;
        };
        QVERIFY(rowDiffers(9));
        QVERIFY(!rowDiffers(11));
    }

    void failuresAreAppErrors()
    {
        const auto excel = open(mWorkbook);
        QVERIFY_THROWS_EXCEPTION(AppError, excel->openWorkbook(mTemp.filePath("absent.xls")));
        QVERIFY_THROWS_EXCEPTION(
            AppError, excel->saveAs(1, mTemp.filePath("no folder/result.xls"), 56));
        QVERIFY_THROWS_EXCEPTION(AppError, excel->saveAs(1, mTemp.filePath("result.xls"), 51));
        QVERIFY_THROWS_EXCEPTION(AppError, excel->saveAs(2, mTemp.filePath("result.xls"), 56));
        QVERIFY_THROWS_EXCEPTION(AppError, excel->setCell(2, 1, 1, QStringLiteral("1")));
        excel->close(1);
        QVERIFY_THROWS_EXCEPTION(AppError, excel->setCell(1, 1, 1, QStringLiteral("1")));
        QCOMPARE(excel->version(), excel->office().version());
    }

    void killedOfficeGivesAppError()
    {
        const auto excel = open(mWorkbook);
        const qint64 pid = excel->office().processId();
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
        QVERIFY_THROWS_EXCEPTION(AppError, excel->setCell(1, 1, 2, QStringLiteral("1")));
        QVERIFY_THROWS_EXCEPTION(AppError, excel->saveAs(1, mTemp.filePath("lost.xls"), 56));
        excel->quit();
        QVERIFY(!processExists(pid));
    }

    void stuckOfficeIsEndedNotWaitedFor()
    {
        OfficeOptions options;
        options.callTimeoutMs = 1500;
        LibreOfficeSpreadsheet excel(options);
        excel.openWorkbook(mWorkbook);
        const qint64 pid = excel.office().processId();
        QCOMPARE(::kill(static_cast<pid_t>(pid), SIGSTOP), 0);
        try {
            excel.setCell(1, 1, 2, QStringLiteral("1"));
            QFAIL("a call into a stopped office returned");
        } catch (const AppError& error) {
            QVERIFY2(error.description().contains(QStringLiteral("gave no answer for 1.5 seconds")),
                qPrintable(error.description()));
        }
        QVERIFY(excel.office().wasStuck());
        excel.quit();
        QVERIFY(!processExists(pid));
    }

    void quitAndReleaseLeaveNoOffice()
    {
        qint64 released = 0;
        {
            const auto excel = open(mWorkbook);
            released = excel->office().processId();
        }
        QVERIFY(!processExists(released));
        const auto excel = open(mWorkbook);
        const qint64 pid = excel->office().processId();
        excel->quit();
        QVERIFY(!processExists(pid));
    }

    void factoryMakesRealInstancesUnlessReplaced()
    {
        std::unique_ptr<SpreadsheetApplication> real = createSpreadsheetApplication();
        QVERIFY(dynamic_cast<LibreOfficeSpreadsheet*>(real.get()));
        real->quit();
        int made = 0;
        setSpreadsheetFactory([&]() -> std::unique_ptr<SpreadsheetApplication> {
            ++made;
            return nullptr;
        });
        QVERIFY(!createSpreadsheetApplication());
        QCOMPARE(made, 1);
        setSpreadsheetFactory({});
        real = createSpreadsheetApplication();
        QVERIFY(dynamic_cast<LibreOfficeSpreadsheet*>(real.get()));
    }
};

QTEST_MAIN(TestLibreOfficeSpreadsheet)
#include "tst_libreofficespreadsheet.moc"
