#include "app/apperror.h"
#include "app/folders.h"
#include "scripteddialogs.h"
#include "workbook/generationhost.h"
#include "workbook/generationrun.h"
#include "workbook/spreadsheetoffice.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <unistd.h>

// The main road against a real office: a household's texts through the run into the embedded
// template, the result read back with a reader of its own.
namespace {

class Household final : public GenerationHost {
public:
    Household()
    {
        texts["txtIncome"] = QStringList { "$4,500.00", "$1,500.00", "25", "0", "0", "0", "0" };
        QStringList expenses;
        for (int index = 0; index < 61; ++index)
            expenses << QString::number(5 * (index + 1));
        for (int slot : { 16, 20, 24, 40, 41, 42, 43, 44, 45, 48, 57 })
            expenses[slot] = "Dummy";
        expenses[12] = "$1,250.00";
        texts["txtExpense"] = expenses;
        texts["txtOther"] = QStringList { "11", "5", "3", "Dummy", "Dummy", "90", "Dummy", "Dummy",
            "67", "65", "Dummy", "Dummy", "90", "92" };
        QStringList savings;
        for (int index = 0; index < 16; ++index)
            savings << QStringLiteral("$%1,000.00").arg(index + 1);
        texts["txtSavings"] = savings;
        texts["txtRetirementIncome"] = QStringList { "1800", "1200", "$6,000.00", "0" };
        pickers["dtHusbandDOB"] = QDate(1965, 11, 4);
        pickers["dtWifeDOB"] = QDate(1966, 1, 24);
    }

    QString fieldText(const QString& array, int index) const override
    {
        if (!texts.contains(array) || index < 0 || index >= texts[array].size())
            throw AppError(QStringLiteral("No field %1(%2)").arg(array).arg(index));
        return texts[array].at(index);
    }
    std::optional<QDate> pickerValue(const QString& picker) const override
    {
        return pickers.value(picker);
    }
    void setUpdatesLocked(bool locked) override { updatesLocked = locked; }
    void setBusyPointer(bool) override { }
    void ensurePreview() override { }
    void setPreviewPicture(const QImage& picture) override { this->picture = picture; }
    void setPreviewExcelFile(const QString& path) override { excelFile = path; }
    void showPreview() override { previewShown = true; }
    void hideMainWindow() override { mainHidden = true; }

    QMap<QString, QStringList> texts;
    QMap<QString, std::optional<QDate>> pickers;
    bool updatesLocked = false;
    bool previewShown = false;
    bool mainHidden = false;
    QImage picture;
    QString excelFile;
};

// A cell as the reader saw it: its kind (0 empty, 1 text, 2 number, 3 date) and value.
struct ReadCell {
    int kind = -1;
    double number = 0;
    QString text;
};

const char* readerScript = R"(
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_index(0)
print("sheets", book.nsheets)
for row in range(sheet.nrows):
    for column in range(sheet.ncols):
        cell = sheet.cell(row, column)
        if cell.ctype in (1, 2, 3):
            print(row + 1, column + 1, cell.ctype, repr(cell.value))
)";

QHash<QPair<int, int>, ReadCell> readFirstSheet(const QString& path)
{
    QProcess reader;
    reader.start("/usr/bin/python3", { "-c", readerScript, path });
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        reader.kill();
        reader.waitForFinished(5000);
        qWarning() << reader.readAllStandardError();
        return {};
    }
    QHash<QPair<int, int>, ReadCell> cells;
    const QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).split('\n');
    for (const QString& line : lines) {
        const QStringList parts = line.split(' ');
        if (parts.size() < 4 || parts.first() == "sheets")
            continue;
        ReadCell cell;
        cell.kind = parts.at(2).toInt();
        const QString value = parts.mid(3).join(' ');
        if (cell.kind == 1)
            cell.text = value.mid(1, value.size() - 2);
        else
            cell.number = value.toDouble();
        cells.insert({ parts.at(0).toInt(), parts.at(1).toInt() }, cell);
    }
    return cells;
}

// Our own children called soffice.bin, zombies included.
QList<qint64> officeChildren()
{
    QList<qint64> found;
    const QStringList entries = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        QFile stat("/proc/" + entry + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString line = QString::fromLatin1(stat.readAll());
        const int close = line.lastIndexOf(')');
        const QString name = line.mid(line.indexOf('(') + 1, close - line.indexOf('(') - 1);
        const QStringList rest = line.mid(close + 2).split(' ');
        if (name == "soffice.bin" && rest.size() > 1 && rest.at(1).toLongLong() == ::getpid())
            found << entry.toLongLong();
    }
    return found;
}

// The spreadsheet's day number: days since 1899-12-30.
double serial(const QDate& date)
{
    return QDate(1899, 12, 30).daysTo(date);
}

// YEAR(TODAY()-born)-1900 in the 1900 date system.
int ageToday(const QDate& born)
{
    return QDate(1899, 12, 30).addDays(born.daysTo(QDate::currentDate())).year() - 1900;
}

} // namespace

class TestOfficeRun : public QObject {
    Q_OBJECT

    QTemporaryDir mTemp;
    QHash<QPair<int, int>, ReadCell> mCells;

    double number(int row, int column) const
    {
        const ReadCell cell = mCells.value({ row, column });
        if (cell.kind != 2 && cell.kind != 3)
            qWarning() << "cell" << row << column << "is not a number, kind" << cell.kind
                       << cell.text;
        return cell.number;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mTemp.isValid());
        qputenv("TEMP", QFile::encodeName(mTemp.path()));
        QVERIFY2(QFile::exists(":/CUSTOM/101"), "the program carries no template workbook");
    }

    void runFillsComputesSavesAndCaptures()
    {
        ScriptedDialogs dialogs;
        Household household;
        const auto office = createSpreadsheetOffice();
        GenerationRun run(household, *office);
        run.PushButton22_Click();

        QCOMPARE(dialogs.texts(), QStringList());
        QCOMPARE(officeChildren().size(), 1);
        QVERIFY(household.previewShown);
        QVERIFY(household.mainHidden);
        QVERIFY(!household.updatesLocked);
        QVERIFY(QRegularExpression("/varnok[1-9]{8}\\.xls$").match(household.excelFile).hasMatch());
        QVERIFY(QFile::exists(household.excelFile));
        QVERIFY(!QFile::exists(::temporaryFile("template.xlt")));
        QVERIFY(!QFile::exists(::temporaryFile("temp.bmp")));
        // A1:O79 of the sheet, about 1160 by 1348 pixels at 96 dpi.
        QVERIFY2(household.picture.width() > 1000 && household.picture.width() < 1400,
            qPrintable(QString::number(household.picture.width())));
        QVERIFY2(household.picture.height() > 1150 && household.picture.height() < 1550,
            qPrintable(QString::number(household.picture.height())));

        mCells = readFirstSheet(household.excelFile);
        QVERIFY(!mCells.isEmpty());
    }

    void figuresArriveAsNumbersAndDates()
    {
        QVERIFY(!mCells.isEmpty());
        QCOMPARE(number(4, 4), 4500.0);
        QCOMPARE(number(5, 4), 1500.0);
        QCOMPARE(number(6, 4), 25.0);
        QCOMPARE(number(27, 4), 1250.0); // txtExpense(12)
        QCOMPARE(number(32, 4), 90.0); // txtExpense(17)
        QCOMPARE(number(6, 9), 0.11);
        QCOMPARE(number(11, 9), 0.9);
        QCOMPARE(number(14, 9), 67.0);
        QCOMPARE(number(19, 9), 92.0);
        QCOMPARE(number(39, 9), 1000.0);
        QCOMPARE(number(54, 9), 16000.0);
        QCOMPARE(number(16, 12), 1800.0);
        QCOMPARE(number(18, 13), 6000.0);
        QCOMPARE(mCells.value({ 1, 9 }).kind, 3);
        QCOMPARE(number(1, 9), serial(QDate::currentDate()));
        QCOMPARE(mCells.value({ 3, 9 }).kind, 3);
        QCOMPARE(number(3, 9), 24050.0);
        QCOMPARE(number(4, 9), serial(QDate(1966, 1, 24)));
    }

    void placeholderRowsKeepTheTemplate()
    {
        QVERIFY(!mCells.isEmpty());
        for (int row : { 31, 35, 39, 55, 59, 60, 63, 72 })
            QVERIFY2(!mCells.contains({ row, 4 }), qPrintable(QString::number(row)));
        // The tax lines are still the template's formulas on the total income.
        const double income = 4500 + 1500 + 25;
        QCOMPARE(number(11, 4), income);
        QVERIFY(std::abs(number(56, 4) - 0.135 * income) < 1e-9);
        QVERIFY(std::abs(number(57, 4) - 0.05 * income) < 1e-9);
        QCOMPARE(number(58, 4), 0.0);
        for (int row : { 9, 10, 12, 13, 16, 17 })
            QVERIFY2(!mCells.contains({ row, 9 }), qPrintable(QString::number(row)));
        QCOMPARE(mCells.value({ 10, 7 }).text, QStringLiteral("% of today's "));
    }

    void estimateEqualsTheClosedForms()
    {
        QVERIFY(!mCells.isEmpty());
        double expenses = 0;
        for (int index = 0; index < 61; ++index) {
            if (!QList<int>({ 16, 20, 24, 40, 41, 42, 43, 44, 45, 48, 57 }).contains(index))
                expenses += index == 12 ? 1250 : 5 * (index + 1);
        }
        const double income = 6025;
        expenses += (0.135 + 0.05) * income;
        const double m9 = 12 * income - 12 * expenses;
        const double m13 = 12 * expenses * 0.9;
        const double m22 = m13 - (12 * 1800 + 12 * 1200 + 6000 + 0);
        const int ageFM = ageToday(QDate(1965, 11, 4));
        const int ageLW = ageToday(QDate(1966, 1, 24));
        const int accumulation = std::min(67 - ageFM, 65 - ageLW);
        const int payout = std::max(90 - 67, 92 - 65);
        const double realBefore = 0.11 - 0.03;
        const double realAfter = 0.05 - 0.03;
        const double goal = m22 * (std::pow(1 + realAfter, payout) - 1) / realAfter
            / std::pow(1 + realAfter, accumulation);
        const double savings = 136000;
        const double shortfall = goal - savings * std::pow(1 + realBefore, accumulation);
        const double m34 = shortfall * realBefore / (std::pow(1 + realBefore, accumulation) - 1);

        QCOMPARE(number(22, 9), double(ageFM));
        QCOMPARE(number(56, 9), savings);
        QVERIFY2(std::abs(number(34, 13) - m34) < 1e-6 * std::max(1.0, std::abs(m34)),
            qPrintable(QStringLiteral("M34 %1, expected %2").arg(number(34, 13)).arg(m34)));
        QVERIFY2(std::abs(number(48, 13) - (m9 - m34)) < 1e-6 * std::max(1.0, std::abs(m9 - m34)),
            qPrintable(QStringLiteral("M48 %1, expected %2").arg(number(48, 13)).arg(m9 - m34)));
    }

    // One office serves both runs; the second workbook holds the second run's figures only.
    void twoRunsInOneOfficeGiveTwoSeparateWorkbooks()
    {
        ScriptedDialogs dialogs;
        auto office = createSpreadsheetOffice();
        Household household;
        GenerationRun run(household, *office);
        run.PushButton22_Click();
        const QString first = household.excelFile;
        const QList<qint64> firstOffice = officeChildren();
        household.texts["txtIncome"][0] = "$3,000.00";
        household.texts["txtExpense"][12] = "";
        household.texts["txtSavings"][0] = "none yet";
        household.pickers["dtWifeDOB"] = std::nullopt;
        run.PushButton22_Click();

        QCOMPARE(dialogs.texts(), QStringList());
        QVERIFY(household.excelFile != first);
        QCOMPARE(firstOffice.size(), 1);
        QCOMPARE(officeChildren(), firstOffice);
        QVERIFY(!QFile::exists(::temporaryFile("template.xlt")));
        const auto before = readFirstSheet(first);
        const auto after = readFirstSheet(household.excelFile);
        QCOMPARE(before.value({ 4, 4 }).number, 4500.0);
        QCOMPARE(before.value({ 27, 4 }).number, 1250.0);
        QCOMPARE(before.value({ 39, 9 }).number, 1000.0);
        QCOMPARE(before.value({ 4, 9 }).kind, 3);
        QCOMPARE(after.value({ 4, 4 }).number, 3000.0);
        QCOMPARE(after.value({ 4, 5 }).number, 36000.0);
        QVERIFY(!after.contains({ 27, 4 }));
        QCOMPARE(after.value({ 39, 9 }).text, QStringLiteral("none yet"));
        QVERIFY(!after.contains({ 4, 9 }));
        office.reset();
        QCOMPARE(officeChildren(), QList<qint64>());
    }
};

// The household types in the United States' style; the office reads texts by the system locale.
int main(int argc, char* argv[])
{
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication application(argc, argv);
    TestOfficeRun test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_officerun.moc"
