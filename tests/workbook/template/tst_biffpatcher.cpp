#include "app/apperror.h"
#include "workbook/template/biffpatcher.h"
#include "workbook/template/biffrecords.h"

#include <QtTest>

namespace {

enum : quint16 {
    InterfaceHdr = 0x00E1,
    Sst = 0x00FC,
    DefColWidth = 0x0055,
    Row = 0x0208,
    DbCell = 0x00D7,
};

struct Layout {
    bool writeProtected = false;
    bool encrypted = false;
    bool chartInFirstSheet = false;
    bool firstSheetHasZoom = false;
    bool firstSheetHasSetup = true;
    int padding = 0;
};

QByteArray u16(quint16 value)
{
    QByteArray bytes(2, '\0');
    Biff::writeU16(bytes, 0, value);
    return bytes;
}

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, '\0');
    Biff::writeU32(bytes, 0, value);
    return bytes;
}

QByteArray f64(double value)
{
    QByteArray bytes(8, '\0');
    Biff::writeF64(bytes, 0, value);
    return bytes;
}

// Letter paper, fitted to one page, header and footer margins of 0.3 inch.
QByteArray setupData()
{
    return u16(1) + u16(100) + u16(1) + u16(1) + u16(1) + u16(0x82) + u16(300) + u16(300) + f64(0.3)
        + f64(0.3) + u16(1);
}

QByteArray bof(quint16 kind)
{
    return u16(0x0600) + u16(kind) + QByteArray(12, '\0');
}

// A small workbook stream laid out as real writers lay it out, with every absolute position
// pointing where it should.
class SyntheticWorkbook {
public:
    explicit SyntheticWorkbook(const Layout& layout)
    {
        add("globals", Biff::Bof, bof(0x0005));
        if (layout.writeProtected)
            add("writeprot", Biff::WriteProt, {});
        if (layout.encrypted)
            add("filepass", Biff::FilePass, u16(0) + u16(0x1234) + u16(0x5678));
        add("interfacehdr", InterfaceHdr, u16(0x04B0));
        // Opens on the first sheet, one sheet selected.
        add("window1", Biff::Window1,
            u16(0) + u16(0) + u16(0x4000) + u16(0x2000) + u16(0x38) + u16(0) + u16(0) + u16(1)
                + u16(600));
        add("boundsheet1", Biff::BoundSheet, u32(0) + QByteArray("\0\0\x02\0One", 7));
        add("boundsheet2", Biff::BoundSheet, u32(0) + QByteArray("\0\0\x02\0Two", 7));
        add("sst", Sst, u32(2) + u32(2) + QByteArray("\x01\0\0a\x01\0\0b", 8));
        add("extsst", Biff::ExtSst, u16(8) + u32(0) + u16(12) + u16(0) + u32(0) + u16(16) + u16(0));
        add("globalseof", Biff::Eof, {});
        addSheet(
            "1", layout.chartInFirstSheet, layout.firstSheetHasZoom, layout.firstSheetHasSetup);
        addSheet("2", false, false, true);
        stream += QByteArray(layout.padding, '\0');

        setU32("boundsheet1", 0, offsets["bof1"]);
        setU32("boundsheet2", 0, offsets["bof2"]);
        setU32("extsst", 2, offsets["sst"] + 12);
        setU32("extsst", 10, offsets["sst"] + 16);
        for (const QString sheet : { "1", "2" }) {
            setU32("index" + sheet, 12, offsets["defcolwidth" + sheet]);
            setU32("index" + sheet, 16, offsets["dbcell" + sheet]);
            setU32("dbcell" + sheet, 0, offsets["dbcell" + sheet] - offsets["row" + sheet]);
        }
    }

    QByteArray stream;
    QMap<QString, int> offsets;

private:
    void add(const QString& label, quint16 type, const QByteArray& data)
    {
        offsets[label] = stream.size();
        stream += Biff::record(type, data);
    }

    void setU32(const QString& label, int dataOffset, int value)
    {
        Biff::writeU32(stream, offsets[label] + 4 + dataOffset, quint32(value));
    }

    void addSheet(const QString& n, bool chart, bool zoom, bool setup)
    {
        add("bof" + n, Biff::Bof, bof(0x0010));
        add("index" + n, Biff::Index, u32(0) + u32(0) + u32(1) + u32(0) + u32(0));
        if (setup)
            add("setup" + n, Biff::Setup, setupData());
        add("defcolwidth" + n, DefColWidth, u16(8));
        add("row" + n, Row, QByteArray(16, '\0'));
        add("dbcell" + n, DbCell, u32(0) + u16(0));
        if (chart) {
            add("chartbof" + n, Biff::Bof, bof(0x0020));
            add("chartsetup" + n, Biff::Setup, setupData());
            add("chartscl" + n, Biff::Scl, u16(1) + u16(2));
            add("charteof" + n, Biff::Eof, {});
        }
        add("window2" + n, Biff::Window2, u16(0x06B6) + QByteArray(16, '\0'));
        if (zoom)
            add("scl" + n, Biff::Scl, u16(3) + u16(4));
        // A1 as the active cell and the one selected range.
        add("selection" + n, Biff::Selection,
            QByteArray(1, '\3') + u16(0) + u16(0) + u16(0) + u16(1) + QByteArray(6, '\0'));
        add("eof" + n, Biff::Eof, {});
    }
};

QVector<quint16> types(const QByteArray& stream)
{
    QVector<quint16> result;
    for (const Biff::Record& record : Biff::readRecords(stream))
        result << record.type;
    return result;
}

int offsetOf(const QVector<Biff::Record>& records, quint16 type, int occurrence)
{
    for (const Biff::Record& record : records) {
        if (record.type == type && occurrence-- == 0)
            return record.offset;
    }
    return -1;
}

QVector<Biff::Record> recordsOfType(const QVector<Biff::Record>& records, quint16 type)
{
    QVector<Biff::Record> found;
    for (const Biff::Record& record : records) {
        if (record.type == type)
            found << record;
    }
    return found;
}

// Checks that every absolute position the stream keeps still lands on the record it names.
void verifyPositions(const QByteArray& stream)
{
    const QVector<Biff::Record> records = Biff::readRecords(stream);
    const auto sheets = recordsOfType(records, Biff::BoundSheet);
    QCOMPARE(sheets.size(), 2);
    const auto sheetBofs = recordsOfType(records, Biff::Bof);
    QCOMPARE(Biff::readU32(stream, sheets.at(0).dataOffset()), quint32(sheetBofs.at(1).offset));
    QCOMPARE(Biff::readU32(stream, sheets.at(1).dataOffset()), quint32(sheetBofs.last().offset));

    const int sst = offsetOf(records, Sst, 0);
    const Biff::Record extsst = recordsOfType(records, Biff::ExtSst).first();
    QCOMPARE(Biff::readU32(stream, extsst.dataOffset() + 2), quint32(sst + 12));
    QCOMPARE(Biff::readU16(stream, extsst.dataOffset() + 6), quint16(12));
    QCOMPARE(Biff::readU32(stream, extsst.dataOffset() + 10), quint32(sst + 16));

    const auto indexes = recordsOfType(records, Biff::Index);
    QCOMPARE(indexes.size(), 2);
    for (int sheet = 0; sheet < 2; ++sheet) {
        const int data = indexes.at(sheet).dataOffset();
        QCOMPARE(Biff::readU32(stream, data + 12), quint32(offsetOf(records, DefColWidth, sheet)));
        const int dbcell = offsetOf(records, DbCell, sheet);
        QCOMPARE(Biff::readU32(stream, data + 16), quint32(dbcell));
        QCOMPARE(dbcell - int(Biff::readU32(stream, dbcell + 4)), offsetOf(records, Row, sheet));
    }
}

Layout layoutFromRow(bool writeProtected, bool chart, bool zoom, int padding)
{
    Layout layout;
    layout.writeProtected = writeProtected;
    layout.chartInFirstSheet = chart;
    layout.firstSheetHasZoom = zoom;
    layout.padding = padding;
    return layout;
}

void addLayoutColumns()
{
    QTest::addColumn<bool>("writeProtected");
    QTest::addColumn<bool>("chart");
    QTest::addColumn<int>("padding");
    QTest::newRow("plain") << false << false << 0;
    QTest::newRow("write protected") << true << false << 0;
    QTest::newRow("chart in sheet") << false << true << 0;
    QTest::newRow("padded stream") << false << false << 512;
    QTest::newRow("everything") << true << true << 100;
}

} // namespace

class TestBiffPatcher : public QObject {
    Q_OBJECT

private slots:
    void syntheticStreamIsSound()
    {
        SyntheticWorkbook workbook(layoutFromRow(true, true, true, 64));
        verifyPositions(workbook.stream);
    }

    void templateMarkFollowsBofAndWriteProt_data() { addLayoutColumns(); }
    void templateMarkFollowsBofAndWriteProt()
    {
        QFETCH(bool, writeProtected);
        QFETCH(bool, chart);
        QFETCH(int, padding);
        const SyntheticWorkbook workbook(layoutFromRow(writeProtected, chart, false, padding));

        const QByteArray marked = BiffPatcher::markAsTemplate(workbook.stream);

        QCOMPARE(marked.size(), workbook.stream.size() + 4);
        QVector<quint16> expected = types(workbook.stream);
        expected.insert(writeProtected ? 2 : 1, Biff::Template);
        QCOMPARE(types(marked), expected);
        verifyPositions(marked);
        QCOMPARE(
            marked.right(padding + 4), Biff::record(Biff::Eof, {}) + QByteArray(padding, '\0'));
        // The bytes before the mark are the original ones.
        const int at = workbook.offsets["interfacehdr"];
        QCOMPARE(marked.left(at), workbook.stream.left(at));
        QCOMPARE(marked.mid(at, 4), QByteArray("\x60\0\0\0", 4));
    }

    void markingTwiceMarksOnce()
    {
        const SyntheticWorkbook workbook(Layout {});
        const QByteArray once = BiffPatcher::markAsTemplate(workbook.stream);
        QCOMPARE(BiffPatcher::markAsTemplate(once), once);
    }

    void encryptedWorkbookIsRefused()
    {
        Layout layout;
        layout.encrypted = true;
        const SyntheticWorkbook workbook(layout);
        QVERIFY_THROWS_EXCEPTION(AppError, BiffPatcher::markAsTemplate(workbook.stream));
        QVERIFY_THROWS_EXCEPTION(AppError, BiffPatcher::setSheetZoom(workbook.stream, 0, 93, 100));
    }

    void zoomFollowsTheSheetsWindow2_data() { addLayoutColumns(); }
    void zoomFollowsTheSheetsWindow2()
    {
        QFETCH(bool, writeProtected);
        QFETCH(bool, chart);
        QFETCH(int, padding);
        const SyntheticWorkbook workbook(layoutFromRow(writeProtected, chart, false, padding));

        const QByteArray zoomed = BiffPatcher::setSheetZoom(workbook.stream, 0, 93, 100);

        QCOMPARE(zoomed.size(), workbook.stream.size() + 8);
        verifyPositions(zoomed);
        const int scl = workbook.offsets["selection1"];
        QCOMPARE(zoomed.mid(scl, 8), QByteArray("\xA0\0\x04\0\x5D\0\x64\0", 8));
        QCOMPARE(Biff::readU16(zoomed, workbook.offsets["window21"] + 4 + 12), quint16(93));
        // The globals and the first sheet up to its WINDOW2 are untouched.
        QCOMPARE(zoomed.left(workbook.offsets["boundsheet1"]),
            workbook.stream.left(workbook.offsets["boundsheet1"]));
        QCOMPARE(zoomed.mid(workbook.offsets["bof1"],
                     workbook.offsets["window21"] - workbook.offsets["bof1"]),
            workbook.stream.mid(
                workbook.offsets["bof1"], workbook.offsets["window21"] - workbook.offsets["bof1"]));
        if (chart) {
            const int chartScl = workbook.offsets["chartscl1"];
            QCOMPARE(zoomed.mid(chartScl, 8), workbook.stream.mid(chartScl, 8));
        }
    }

    void zoomOfTheSecondSheetLeavesTheFirstAlone()
    {
        const SyntheticWorkbook workbook(Layout {});
        const QByteArray zoomed = BiffPatcher::setSheetZoom(workbook.stream, 1, 3, 2);
        verifyPositions(zoomed);
        QCOMPARE(zoomed.left(workbook.offsets["window22"]),
            workbook.stream.left(workbook.offsets["window22"]));
        QCOMPARE(zoomed.mid(workbook.offsets["selection2"], 8),
            QByteArray("\xA0\0\x04\0\x03\0\x02\0", 8));
        QCOMPARE(Biff::readU16(zoomed, workbook.offsets["window22"] + 4 + 12), quint16(150));
    }

    void existingZoomIsChangedInPlace()
    {
        Layout layout;
        layout.firstSheetHasZoom = true;
        const SyntheticWorkbook workbook(layout);
        const QByteArray zoomed = BiffPatcher::setSheetZoom(workbook.stream, 0, 93, 100);
        QCOMPARE(zoomed.size(), workbook.stream.size());
        QCOMPARE(types(zoomed), types(workbook.stream));
        QCOMPARE(
            zoomed.mid(workbook.offsets["scl1"], 8), QByteArray("\xA0\0\x04\0\x5D\0\x64\0", 8));
    }

    void templateAndZoomTogether()
    {
        const SyntheticWorkbook workbook(layoutFromRow(true, true, false, 16));
        const QByteArray both
            = BiffPatcher::setSheetZoom(BiffPatcher::markAsTemplate(workbook.stream), 0, 93, 100);
        QCOMPARE(both.size(), workbook.stream.size() + 12);
        verifyPositions(both);
        const auto records = Biff::readRecords(both);
        QCOMPARE(records.at(2).type, quint16(Biff::Template));
        const int window2 = offsetOf(records, Biff::Window2, 0);
        QCOMPARE(both.mid(window2 + 22, 8), QByteArray("\xA0\0\x04\0\x5D\0\x64\0", 8));
    }

    void unreadableStreamsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("stream");
        const QByteArray good = SyntheticWorkbook(Layout {}).stream;
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut inside a record") << good.left(good.size() - 3);
        QTest::newRow("cut inside a header") << good.left(2);
        QTest::newRow("no BOF first") << good.mid(20);
        QTest::newRow("no EOF for the globals")
            << Biff::record(Biff::Bof, bof(5)) + Biff::record(InterfaceHdr, u16(0x4B0));
    }

    void unreadableStreamsAreRefused()
    {
        QFETCH(QByteArray, stream);
        QVERIFY_THROWS_EXCEPTION(AppError, BiffPatcher::markAsTemplate(stream));
        QVERIFY_THROWS_EXCEPTION(AppError, BiffPatcher::setSheetZoom(stream, 0, 93, 100));
    }

    void badZoomRequestsAreRefused_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("numerator");
        QTest::addColumn<int>("denominator");
        QTest::newRow("no third sheet") << 2 << 93 << 100;
        QTest::newRow("negative sheet") << -1 << 93 << 100;
        QTest::newRow("zero denominator") << 0 << 93 << 0;
        QTest::newRow("zero numerator") << 0 << 0 << 100;
    }

    void badZoomRequestsAreRefused()
    {
        QFETCH(int, sheet);
        QFETCH(int, numerator);
        QFETCH(int, denominator);
        const SyntheticWorkbook workbook(Layout {});
        QVERIFY_THROWS_EXCEPTION(AppError,
            BiffPatcher::setSheetZoom(
                workbook.stream, sheet, quint16(numerator), quint16(denominator)));
    }

    void insertionRightBeforeAPositionedRecord_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("a sheet's BOF") << "bof2";
        QTest::newRow("a BOUNDSHEET") << "boundsheet1";
        QTest::newRow("a sheet's INDEX") << "index2";
        QTest::newRow("the shared strings") << "sst";
        QTest::newRow("the end of the stream") << "end";
    }

    void insertionRightBeforeAPositionedRecord()
    {
        QFETCH(QString, before);
        const SyntheticWorkbook workbook(Layout {});
        const int at = before == "end" ? workbook.stream.size() : workbook.offsets[before];
        const QByteArray patched
            = BiffPatcher::insertRecord(workbook.stream, at, Biff::record(0x0042, u16(1252)));
        QCOMPARE(patched.size(), workbook.stream.size() + 6);
        verifyPositions(patched);
    }

    void headerAndFooterMarginsAreSetInPlace_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<bool>("chart");
        QTest::newRow("first sheet") << 0 << false;
        QTest::newRow("first sheet beside a chart") << 0 << true;
        QTest::newRow("second sheet") << 1 << false;
    }

    void headerAndFooterMarginsAreSetInPlace()
    {
        QFETCH(int, sheet);
        QFETCH(bool, chart);
        const SyntheticWorkbook workbook(layoutFromRow(false, chart, false, 0));
        const QByteArray patched
            = BiffPatcher::setHeaderFooterMargins(workbook.stream, sheet, 0.5, 0.75);
        QCOMPARE(patched.size(), workbook.stream.size());
        const int setup = workbook.offsets[QStringLiteral("setup%1").arg(sheet + 1)];
        QCOMPARE(Biff::readF64(patched, setup + 4 + 16), 0.5);
        QCOMPARE(Biff::readF64(patched, setup + 4 + 24), 0.75);
        // Only those sixteen bytes change.
        QByteArray restored = patched;
        restored.replace(setup + 4 + 16, 16, workbook.stream.mid(setup + 4 + 16, 16));
        QCOMPARE(restored, workbook.stream);
    }

    void cursorIsMovedInPlace_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<bool>("chart");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("D4 on the first sheet") << 0 << false << 3 << 3;
        QTest::newRow("D4 beside a chart") << 0 << true << 3 << 3;
        QTest::newRow("the last cell of the second sheet") << 1 << false << 65535 << 255;
    }

    void cursorIsMovedInPlace()
    {
        QFETCH(int, sheet);
        QFETCH(bool, chart);
        QFETCH(int, row);
        QFETCH(int, column);
        const SyntheticWorkbook workbook(layoutFromRow(false, chart, false, 0));
        const QByteArray patched = BiffPatcher::setSheetCursor(workbook.stream, sheet, row, column);
        const int data = workbook.offsets[QStringLiteral("selection%1").arg(sheet + 1)] + 4;
        // Pane, active cell, active range 0, one range from the cell to itself.
        const QByteArray expected = QByteArray(1, '\3') + u16(quint16(row)) + u16(quint16(column))
            + u16(0) + u16(1) + u16(quint16(row)) + u16(quint16(row)) + QByteArray(2, char(column));
        QCOMPARE(patched.mid(data, 15).toHex(), expected.toHex());
        QByteArray restored = patched;
        restored.replace(data, 15, workbook.stream.mid(data, 15));
        QCOMPARE(restored, workbook.stream);
    }

    // What the cursor is moved to is read back, when the workbook opens on that sheet with one
    // cell selected in an unsplit window; any other workbook's is unknown.
    void openingCursorIsReadBack_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("known");
        QTest::newRow("moved to C6") << "" << true;
        QTest::newRow("opens on the second sheet") << "active tab" << false;
        QTest::newRow("a range selected") << "range" << false;
        QTest::newRow("two ranges") << "two ranges" << false;
        QTest::newRow("a split window") << "pane" << false;
        QTest::newRow("no WINDOW1") << "no window1" << false;
        QTest::newRow("cut inside a record") << "cut" << false;
    }

    void openingCursorIsReadBack()
    {
        QFETCH(QString, change);
        QFETCH(bool, known);
        const SyntheticWorkbook workbook(Layout {});
        QByteArray stream = BiffPatcher::setSheetCursor(workbook.stream, 0, 5, 2);
        const int selection = workbook.offsets["selection1"] + 4;
        if (change == "active tab")
            Biff::writeU16(stream, workbook.offsets["window1"] + 4 + 10, 1);
        if (change == "range")
            Biff::writeU16(stream, selection + 11, 4);
        if (change == "two ranges")
            Biff::writeU16(stream, selection + 7, 2);
        if (change == "pane")
            stream = BiffPatcher::insertRecord(stream, workbook.offsets["selection1"],
                Biff::record(Biff::Pane, QByteArray(10, '\0')));
        if (change == "no window1")
            Biff::writeU16(stream, workbook.offsets["window1"], 0x0042);
        if (change == "cut")
            stream.chop(3);
        const std::optional<BiffPatcher::Cursor> cursor = BiffPatcher::openingCursor(stream);
        QCOMPARE(cursor.has_value(), known);
        if (known) {
            QCOMPARE(cursor->row, 5);
            QCOMPARE(cursor->column, 2);
        }
    }

    void badCursorRequestsAreRefused_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("ranges");
        QTest::newRow("no third sheet") << 2 << 3 << 3 << 1;
        QTest::newRow("row past the sheet") << 0 << 65536 << 3 << 1;
        QTest::newRow("column past the sheet") << 0 << 3 << 256 << 1;
        QTest::newRow("negative row") << 0 << -1 << 3 << 1;
        QTest::newRow("two ranges selected") << 0 << 3 << 3 << 2;
    }

    void badCursorRequestsAreRefused()
    {
        QFETCH(int, sheet);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, ranges);
        SyntheticWorkbook workbook(Layout {});
        Biff::writeU16(workbook.stream, workbook.offsets["selection1"] + 4 + 7, quint16(ranges));
        QVERIFY_THROWS_EXCEPTION(
            AppError, BiffPatcher::setSheetCursor(workbook.stream, sheet, row, column));
    }

    void marginsOfASheetWithoutSetupAreRefused()
    {
        Layout layout;
        layout.chartInFirstSheet = true;
        layout.firstSheetHasSetup = false;
        const SyntheticWorkbook workbook(layout);
        // The chart's own page set-up is not the sheet's.
        QVERIFY_THROWS_EXCEPTION(
            AppError, BiffPatcher::setHeaderFooterMargins(workbook.stream, 0, 0.5, 0.5));
    }

    void insertionOnlyAtRecordStarts()
    {
        const SyntheticWorkbook workbook(Layout {});
        QVERIFY_THROWS_EXCEPTION(AppError,
            BiffPatcher::insertRecord(
                workbook.stream, workbook.offsets["sst"] + 2, Biff::record(Biff::Template, {})));
    }
};

QTEST_APPLESS_MAIN(TestBiffPatcher)
#include "tst_biffpatcher.moc"
