// The embedded template as a file: the records a 97-2003 reader sees (template mark, zoom, page
// set-up, dimensions, workbook settings) and acceptance by two other readers.

#include "templatefixture.h"
#include "workbook/libreoffice/unoconvert.h"
#include "workbook/template/biffrecords.h"
#include "workbook/template/templateresource.h"
#include "workbook/template/workbookstreamfile.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <cmath>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

enum : quint16 {
    Header = 0x0014,
    Footer = 0x0015,
    Name = 0x0018,
    CalcMode = 0x000D,
    Precision = 0x000E,
    RefMode = 0x000F,
    Iteration = 0x0011,
    Protect = 0x0012,
    DateMode = 0x0022,
    LeftMargin = 0x0026,
    RightMargin = 0x0027,
    TopMargin = 0x0028,
    BottomMargin = 0x0029,
    PrintHeaders = 0x002A,
    PrintGridlines = 0x002B,
    SaveRecalc = 0x005F,
    WsBool = 0x0081,
    Palette = 0x0092,
    Dimensions = 0x0200,
};

// The records of one substream, by type; the first record of each type.
struct Substream {
    QByteArray stream;
    QVector<Biff::Record> records;

    const Biff::Record* find(quint16 type) const
    {
        for (const Biff::Record& record : records) {
            if (record.type == type)
                return &record;
        }
        return nullptr;
    }
    int indexOf(quint16 type) const
    {
        for (int index = 0; index < records.size(); ++index) {
            if (records.at(index).type == type)
                return index;
        }
        return -1;
    }
    quint16 u16(quint16 type, int offset = 0) const
    {
        const Biff::Record* record = find(type);
        return record ? Biff::readU16(stream, record->dataOffset() + offset) : quint16(0xFFFF);
    }
    double f64(quint16 type, int offset = 0) const
    {
        const Biff::Record* record = find(type);
        return record ? Biff::readF64(stream, record->dataOffset() + offset) : -1;
    }
};

QVector<Substream> substreams(const QByteArray& stream)
{
    const QVector<Biff::Record> records = Biff::readRecords(stream);
    QVector<Substream> result;
    int index = 0;
    while (index < records.size() && records.at(index).type == Biff::Bof) {
        const int end = Biff::substreamEnd(records, index);
        result << Substream { stream, records.mid(index, end - index + 1) };
        index = end + 1;
    }
    return result;
}

// Excel's stored column width: 1/256 of a character of the default font, padding included.
int columnUnits(double characters)
{
    return int(std::trunc((characters * 7 + 5) / 7 * 256));
}

QByteArray runProcess(const QString& program, const QStringList& arguments, int* exitCode)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        *exitCode = -1;
        return process.readAllStandardError();
    }
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput() + process.readAllStandardError();
}

} // namespace

class TestTemplateFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TemplateFixture> mFixture;
    QVector<Substream> mSubstreams;

    void checkWidths(const QJsonArray& stored, const QVector<double>& characters)
    {
        QCOMPARE(stored.size(), characters.size());
        for (int column = 0; column < characters.size(); ++column) {
            const int units = stored.at(column).toInt();
            const QString message = QStringLiteral("column %1 is %2/256").arg(column).arg(units);
            QVERIFY2(
                std::abs(units - columnUnits(characters.at(column))) <= 3, qPrintable(message));
        }
    }

private slots:
    void initTestCase()
    {
        mFixture = std::make_unique<TemplateFixture>();
        mSubstreams = substreams(
            readWorkbookStream(mFixture->office().context(), mFixture->templatePath()));
        QCOMPARE(mSubstreams.size(), 3);
    }

    void cleanupTestCase() { mFixture.reset(); }

    void embeddedAsACompoundFile()
    {
        QFile resource(templateResourcePath);
        QVERIFY(resource.open(QIODevice::ReadOnly));
        const QByteArray bytes = resource.readAll();
        QVERIFY(bytes.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
        QCOMPARE(bytes.size() % 512, 0);
        QCOMPARE(templateWorkbookBytes(), bytes);
    }

    void markedAsTemplate()
    {
        const Substream& globals = mSubstreams.at(0);
        QCOMPARE(globals.records.at(1).type, quint16(Biff::Template));
        QCOMPARE(globals.records.at(1).length, 0);
    }

    void firstSheetShowsAt93PercentWithGridAndHeadings()
    {
        const Substream& sheet = mSubstreams.at(1);
        const int window = sheet.indexOf(Biff::Window2);
        QVERIFY(window > 0);
        QCOMPARE(sheet.records.at(window + 1).type, quint16(Biff::Scl));
        QCOMPARE(sheet.u16(Biff::Scl, 0), quint16(93));
        QCOMPARE(sheet.u16(Biff::Scl, 2), quint16(100));
        const quint16 options = sheet.u16(Biff::Window2);
        QVERIFY2(options & 0x0002, "gridlines hidden");
        QVERIFY2(options & 0x0004, "headings hidden");
        QVERIFY2(options & 0x0200, "the first sheet is not selected");
        // It opens with D4, the first input, as the only selected cell.
        QCOMPARE(sheet.u16(Biff::Selection, 1), quint16(3));
        QCOMPARE(sheet.u16(Biff::Selection, 3), quint16(3));
        QCOMPARE(sheet.u16(Biff::Selection, 7), quint16(1));
        QCOMPARE(sheet.u16(Biff::Selection, 9), quint16(3));
        QCOMPARE(sheet.u16(Biff::Selection, 11), quint16(3));
        QCOMPARE(mSubstreams.at(2).find(Biff::Scl), nullptr);
    }

    void firstSheetPrintsOnOneLetterPage()
    {
        const Substream& sheet = mSubstreams.at(1);
        QCOMPARE(sheet.u16(Biff::Setup, 0), quint16(1)); // letter
        QCOMPARE(sheet.u16(Biff::Setup, 6), quint16(1)); // pages wide
        QCOMPARE(sheet.u16(Biff::Setup, 8), quint16(1)); // pages tall
        const quint16 setup = sheet.u16(Biff::Setup, 10);
        QVERIFY2(setup & 0x0002, "not portrait");
        QVERIFY2(!(setup & 0x0004), "no printer settings");
        QCOMPARE(sheet.f64(Biff::Setup, 16), 0.5);
        QCOMPARE(sheet.f64(Biff::Setup, 24), 0.5);
        QVERIFY2(sheet.u16(WsBool) & 0x0100, "not fitted to pages");
        for (quint16 margin : { LeftMargin, RightMargin, TopMargin, BottomMargin })
            QCOMPARE(sheet.f64(margin), 0.25);
        QCOMPARE(sheet.u16(PrintGridlines), quint16(0));
        QCOMPARE(sheet.u16(PrintHeaders), quint16(0));
    }

    void noSheetPrintsAHeaderOrFooter()
    {
        for (int sheet = 1; sheet <= 2; ++sheet) {
            for (quint16 headerOrFooter : { Header, Footer }) {
                const Biff::Record* record = mSubstreams.at(sheet).find(headerOrFooter);
                QVERIFY(!record || record->length == 0
                    || mSubstreams.at(sheet).u16(headerOrFooter) == 0);
            }
        }
    }

    void firstSheetDimensionsAreA1ToO79()
    {
        const Substream& sheet = mSubstreams.at(1);
        const Biff::Record* dimensions = sheet.find(Dimensions);
        QVERIFY(dimensions);
        QCOMPARE(Biff::readU32(sheet.stream, dimensions->dataOffset()), 0u);
        QCOMPARE(Biff::readU32(sheet.stream, dimensions->dataOffset() + 4), 79u);
        QCOMPARE(sheet.u16(Dimensions, 8), quint16(0));
        QCOMPARE(sheet.u16(Dimensions, 10), quint16(15));
    }

    void workbookSettings()
    {
        const Substream& globals = mSubstreams.at(0);
        QCOMPARE(globals.u16(DateMode), quint16(0));
        QCOMPARE(globals.u16(Precision), quint16(1));
        for (quint16 absent :
            { quint16(Name), quint16(Biff::FilePass), quint16(Biff::WriteProt), quint16(Palette) })
            QVERIFY2(!globals.find(absent), qPrintable(QString::number(absent, 16)));
        for (int index = 0; index < 3; ++index) {
            const Substream& part = mSubstreams.at(index);
            QVERIFY(!part.find(Protect) || part.u16(Protect) == 0);
            if (index == 0)
                continue;
            // No CALCMODE record means automatic calculation.
            QVERIFY(!part.find(CalcMode) || part.u16(CalcMode) == 1);
            QCOMPARE(part.u16(Iteration), quint16(0));
            QCOMPARE(part.u16(RefMode), quint16(1));
            QCOMPARE(part.u16(SaveRecalc), quint16(1));
        }
    }

    void strictReaderAccepts()
    {
        int exitCode = 0;
        const QString script = QFINDTESTDATA("readtemplate.py");
        QVERIFY(!script.isEmpty());
        const QByteArray output = runProcess(
            QStringLiteral("/usr/bin/python3"), { script, mFixture->templatePath() }, &exitCode);
        QVERIFY2(exitCode == 0, output.constData());
        const QJsonObject read = QJsonDocument::fromJson(output).object();
        QCOMPARE(read.value("sheets").toArray(),
            QJsonArray({ "Annual dep to Retire. Savings", "Savings Goal Template" }));
        QCOMPARE(read.value("datemode").toInt(), 0);
        QCOMPARE(read.value("zoom").toInt(), 93);
        QCOMPARE(read.value("grid").toInt(), 1);
        QCOMPARE(read.value("headings").toInt(), 1);
        QCOMPARE(read.value("rows").toInt(), 79);
        QCOMPARE(read.value("columns").toInt(), 15);
        QCOMPARE(read.value("runDate").toDouble(), 39716.0);

        const QVector<double> first = { 4.43, 23.57, 6.29, 9.29, 11.29, 3.00, 16.14, 5.00, 12.43,
            2.57, 17.86, 20.29, 12.29, 8.43, 14.00 };
        const QVector<double> second
            = { 4.57, 9.29, 9.29, 9.29, 9.71, 9.29, 9.29, 9.29, 8.43, 8.43, 9.29 };
        checkWidths(read.value("widths1").toArray(), first);
        checkWidths(read.value("widths2").toArray(), second);

        const auto fill
            = [&](const char* cell) { return read.value(cell).toObject().value("fill").toArray(); };
        const auto format = [&](const char* cell) {
            return read.value(cell).toObject().value("format").toString();
        };
        QCOMPARE(fill("D4"), QJsonArray({ 0xCC, 0xFF, 0xCC }));
        QCOMPARE(fill("E4"), QJsonArray({ 0x99, 0xCC, 0xFF }));
        QCOMPARE(fill("M34"), QJsonArray({ 0xFF, 0xFF, 0x99 }));
        QCOMPARE(fill("O26"), QJsonArray());
        // The office writes the quoted "-" of the amount format as \- and the dollar format's
        // quotes its own way; the meaning is the same.
        const QString amount = QStringLiteral("_(* #,##0_);_(* \\(#,##0\\);_(* \\-??_);_(@_)");
        const QString runDate = QStringLiteral("[$-409]dd\\-mmm\\-yy;@");
        const QString dollars = QStringLiteral("\\$#,##0.00_);[RED]\"($\"#,##0.00\\)");
        QCOMPARE(format("D4"), amount);
        QCOMPARE(format("I1"), runDate);
        QCOMPARE(format("I3"), QStringLiteral("m/d/yyyy"));
        QCOMPARE(format("I22"), QStringLiteral("0"));
        QCOMPARE(format("O26"), dollars);
    }

    void gnumericAccepts()
    {
        const QString csv = mFixture->folder() + QStringLiteral("/first.csv");
        int exitCode = 0;
        const QByteArray output
            = runProcess(QStringLiteral("ssconvert"), { mFixture->templatePath(), csv }, &exitCode);
        QVERIFY2(exitCode == 0, output.constData());
        QFile converted(csv);
        QVERIFY(converted.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = converted.readAll().split('\n');
        QVERIFY(rows.size() >= 78);
        QVERIFY(rows.at(0).startsWith("\"Retirement Savings\",,,editable,\"do not edit\""));
        QVERIFY(rows.at(3).startsWith("\"Wages - Husband\""));
    }

    // A1:O79 rendered as the preview shows it: the three fills come out in their colours.
    void firstSheetRendersWithItsColours()
    {
        const auto document = mFixture->open(false);
        const Reference<frame::XModel> model(document, UNO_QUERY_THROW);
        const auto controller = model->getCurrentController();
        Reference<view::XSelectionSupplier>(controller, UNO_QUERY_THROW)
            ->select(uno::Any(mFixture->sheet(0)->getCellRangeByName(rtl::OUString("A1:O79"))));
        const auto transferable
            = Reference<datatransfer::XTransferableSupplier>(controller, UNO_QUERY_THROW)
                  ->getTransferable();
        datatransfer::DataFlavor png;
        png.MimeType = "image/png";
        png.DataType = cppu::UnoType<uno::Sequence<sal_Int8>>::get();
        uno::Sequence<sal_Int8> bytes;
        QVERIFY(transferable->getTransferData(png) >>= bytes);
        const QByteArray data(
            reinterpret_cast<const char*>(bytes.getConstArray()), bytes.getLength());
        const QString keep = qEnvironmentVariable("FERROWYND_TEMPLATE_PICTURE");
        if (!keep.isEmpty()) {
            QFile file(keep);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        }
        const QImage picture = QImage::fromData(data, "PNG");
        QVERIFY(!picture.isNull());
        // Exactly the range: its columns' and rows' extent at 96 dots per inch.
        const auto extent = [&](const Reference<container::XIndexAccess>& lines, int count,
                                const char* name) {
            double total = 0;
            for (int index = 0; index < count; ++index)
                total += Reference<beans::XPropertySet>(lines->getByIndex(index), UNO_QUERY_THROW)
                             ->getPropertyValue(rtl::OUString::createFromAscii(name))
                             .get<sal_Int32>();
            return total / 2540 * 96;
        };
        const Reference<table::XColumnRowRange> range(mFixture->sheet(0), UNO_QUERY_THROW);
        const double width = extent(
            Reference<container::XIndexAccess>(range->getColumns(), UNO_QUERY_THROW), 15, "Width");
        const double height = extent(
            Reference<container::XIndexAccess>(range->getRows(), UNO_QUERY_THROW), 79, "Height");
        QVERIFY2(std::abs(picture.width() - width) < 8,
            qPrintable(QStringLiteral("%1 against %2").arg(picture.width()).arg(width)));
        QVERIFY2(std::abs(picture.height() - height) < 8,
            qPrintable(QStringLiteral("%1 against %2").arg(picture.height()).arg(height)));
        QHash<QRgb, int> counts;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                ++counts[picture.pixel(x, y) & 0xFFFFFF];
        }
        // Green on 87 input cells, blue on the computed ones, yellow on the conclusions.
        QVERIFY(counts.value(0xCCFFCC) > 80 * 70 * 15);
        QVERIFY(counts.value(0x99CCFF) > 60 * 70 * 15);
        QVERIFY(counts.value(0xFFFF99) > 8 * 80 * 15);
    }
};

QTEST_GUILESS_MAIN(TestTemplateFile)
#include "tst_templatefile.moc"
