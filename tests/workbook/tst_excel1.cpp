#include "app/errorreport.h"
#include "fakespreadsheet.h"
#include "filesizelimit.h"
#include "scripteddialogs.h"
#include "workbook/excel1.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QtTest>

namespace {

QString report(int line, const QString& description)
{
    return errorReportText(description, QStringLiteral("Excel1.saveCellsActivesheet"), line);
}

} // namespace

class TestExcel1 : public QObject {
    Q_OBJECT

    QTemporaryDir mTemp;
    QString mWorkbookPath;

    QString picturePath() const { return mTemp.filePath("temp.bmp"); }

    // A fake office with a workbook open, as the run's second instance has it.
    std::unique_ptr<SpreadsheetApplication> openedOffice()
    {
        std::unique_ptr<SpreadsheetApplication> app = createSpreadsheetApplication();
        app->openWorkbook(mWorkbookPath);
        return app;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTemp.isValid());
        mWorkbookPath = mTemp.filePath("varnok12345678.xls");
        QFile workbook(mWorkbookPath);
        QVERIFY(workbook.open(QIODevice::WriteOnly));
        workbook.write("result workbook");
    }

    void init()
    {
        QFile::remove(picturePath());
        QGuiApplication::clipboard()->clear();
    }

    void sheetPictureIsWrittenAndStaysOnTheClipboard()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.pictureSize = QSize(233, 97);
        auto app = openedOffice();
        const QImage returned = Excel1::saveCellsActivesheet(app.get(), 1, picturePath());

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(office.callsOf(1).mid(2),
            QStringList({ "usedRangeLastRow 1", "usedRangeLastColumn 1", "copyPicture 1" }));
        QImageReader reader(picturePath());
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        const QImage written = reader.read();
        QCOMPARE(written.size(), QSize(233, 97));
        QCOMPARE(written.pixelColor(3, 3), QColor(0, 0, 128));
        // What the run shows without reading the file back is what the file holds.
        QCOMPARE(returned.convertToFormat(QImage::Format_RGB32),
            written.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(233, 97));
        QCOMPARE(QFile::permissions(picturePath()) & 0x0077, QFileDevice::Permissions());
    }

    void existingFileIsReplaced()
    {
        QFile old(picturePath());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x'));
        old.close();
        QVERIFY(QFile::setPermissions(picturePath(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther));

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        auto app = openedOffice();
        Excel1::saveCellsActivesheet(app.get(), 1, picturePath());

        QCOMPARE(dialogs.texts(), QStringList());
        QImage written;
        QVERIFY(written.load(picturePath()));
        QCOMPARE(written.size(), office.pictureSize);
        QCOMPARE(QFile::permissions(picturePath()) & 0x0077, QFileDevice::Permissions());
    }

    void usedRangeOfOneRowOrColumnGivesNothing_data()
    {
        QTest::addColumn<int>("lastRow");
        QTest::addColumn<int>("lastColumn");
        QTest::addColumn<bool>("captured");
        QTest::newRow("row 1") << 1 << 15 << false;
        QTest::newRow("column 1") << 79 << 1 << false;
        QTest::newRow("A1 only") << 1 << 1 << false;
        QTest::newRow("B2") << 2 << 2 << true;
    }

    void usedRangeOfOneRowOrColumnGivesNothing()
    {
        QFETCH(int, lastRow);
        QFETCH(int, lastColumn);
        QFETCH(bool, captured);

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.lastRow = lastRow;
        office.lastColumn = lastColumn;
        auto app = openedOffice();
        const QImage returned = Excel1::saveCellsActivesheet(app.get(), 1, picturePath());

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(office.callsOf(1).contains("copyPicture 1"), captured);
        QCOMPARE(QFile::exists(picturePath()), captured);
        QCOMPARE(!returned.isNull(), captured);
    }

    void failingBoundReadCountsAsZero_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("line");
        QTest::newRow("last row") << "usedRangeLastRow" << 102;
        QTest::newRow("last column") << "usedRangeLastColumn" << 104;
    }

    void failingBoundReadCountsAsZero()
    {
        QFETCH(QString, failing);
        QFETCH(int, line);

        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.failing << failing;
        auto app = openedOffice();
        Excel1::saveCellsActivesheet(app.get(), 1, picturePath());

        QCOMPARE(dialogs.texts(), QStringList({ report(line, failing + " failed (fake 1)") }));
        QVERIFY(!office.callsOf(1).contains("copyPicture 1"));
        QVERIFY(!QFile::exists(picturePath()));
    }

    void noPictureDrawnGivesOneReport()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.copyPictureDraws = false;
        auto app = openedOffice();
        Excel1::saveCellsActivesheet(app.get(), 1, picturePath());

        QCOMPARE(dialogs.texts(),
            QStringList({ report(112, "The office drew no picture of the sheet") }));
        QVERIFY(!QFile::exists(picturePath()));
    }

    // Another program, or the user copying something, takes the clipboard right after the
    // office's picture lands there: the run's picture is still the office's.
    void clipboardTakenMeanwhileChangesNothing()
    {
        QImage other(40, 30, QImage::Format_RGB32);
        other.fill(Qt::red);
        QClipboard* clipboard = QGuiApplication::clipboard();
        bool taken = false;
        const QMetaObject::Connection takeOver
            = connect(clipboard, &QClipboard::dataChanged, this, [&] {
                  if (!taken && !clipboard->image().isNull() && clipboard->image() != other) {
                      taken = true;
                      clipboard->setImage(other);
                  }
              });
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.pictureSize = QSize(233, 97);
        auto app = openedOffice();
        Excel1::saveCellsActivesheet(app.get(), 1, picturePath());
        disconnect(takeOver);

        QVERIFY(taken);
        QCOMPARE(dialogs.texts(), QStringList());
        QImage written;
        QVERIFY(written.load(picturePath()));
        QCOMPARE(written.size(), QSize(233, 97));
        QCOMPARE(written.pixelColor(3, 3), QColor(0, 0, 128));
    }

    void failedCopyNeverShowsAnOlderPicture()
    {
        QImage older(40, 40, QImage::Format_RGB32);
        older.fill(Qt::blue);
        QGuiApplication::clipboard()->setImage(older);
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.failing << "copyPicture";
        auto app = openedOffice();
        Excel1::saveCellsActivesheet(app.get(), 1, picturePath());

        // Without a picture there is nothing to write: one report.
        QCOMPARE(dialogs.texts(), QStringList({ report(110, "copyPicture failed (fake 1)") }));
        QVERIFY(!QFile::exists(picturePath()));
    }

    void noWorkbookIsReportedOnce()
    {
        ScriptedDialogs dialogs;
        Excel1::saveCellsActivesheet(nullptr, 0, picturePath());
        const QString notSet = QStringLiteral("Object variable or With block variable not set");
        QCOMPARE(dialogs.texts(), QStringList({ report(100, notSet) }));
        QVERIFY(!QFile::exists(picturePath()));
    }

    void unwritablePathIsReportedAtTheWrite()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        auto app = openedOffice();
        const QString path = mTemp.filePath("no-such-folder/temp.bmp");
        const QImage returned = Excel1::saveCellsActivesheet(app.get(), 1, path);

        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.texts().first().contains("at line 112"));
        QVERIFY(dialogs.texts().first().contains(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(returned.isNull());
    }

    // As a full disk met halfway: reported at the write, and no picture cut short stays.
    void writeFailingHalfwayLeavesNoPicture()
    {
        ScriptedDialogs dialogs;
        FakeSpreadsheet::Office office;
        office.pictureSize = QSize(233, 97);
        auto app = openedOffice();
        QImage returned;
        {
            const FileSizeLimit limit(4096);
            returned = Excel1::saveCellsActivesheet(app.get(), 1, picturePath());
        }
        QCOMPARE(dialogs.texts(),
            QStringList({ report(112,
                QStringLiteral("Disk error writing %1 (File too large)").arg(picturePath())) }));
        QVERIFY(!QFile::exists(picturePath()));
        QVERIFY(returned.isNull());
    }
};

QTEST_MAIN(TestExcel1)
#include "tst_excel1.moc"
