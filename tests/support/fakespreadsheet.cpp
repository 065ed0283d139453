#include "fakespreadsheet.h"
#include "fakerangepdf.h"

#include "app/apperror.h"

#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

FakeSpreadsheet::Office::Office()
{
    setSpreadsheetFactory([this] { return newInstance(); });
}

std::unique_ptr<SpreadsheetApplication> FakeSpreadsheet::Office::newInstance()
{
    const int number = ++created;
    if (failingCreations.contains(number)) {
        calls.append(QStringLiteral("%1:create failed").arg(number));
        throw AppError(QStringLiteral("LibreOffice could not be started (fake %1)").arg(number));
    }
    calls.append(QStringLiteral("%1:create").arg(number));
    ++running;
    return std::make_unique<FakeSpreadsheet>(*this, number);
}

void FakeSpreadsheet::Office::startAhead()
{
    calls.append(QStringLiteral("office:startAhead"));
    if (startFails)
        throw AppError(QStringLiteral("LibreOffice could not be started (fake)"));
}

void FakeSpreadsheet::Office::setStartFailureHandler(std::function<void()> handler)
{
    startFailureHandler = std::move(handler);
}

bool FakeSpreadsheet::Office::awaitStart()
{
    calls.append(QStringLiteral("office:awaitStart"));
    if (!failsToComeUp || !startFailureHandler)
        return true;
    const std::function<void()> handler = std::move(startFailureHandler);
    startFailureHandler = nullptr;
    handler();
    return false;
}

FakeSpreadsheet::Office::~Office()
{
    setSpreadsheetFactory({});
}

QStringList FakeSpreadsheet::Office::callsOf(int instance) const
{
    const QString prefix = QString::number(instance) + QLatin1Char(':');
    QStringList result;
    for (const QString& entry : calls) {
        if (entry.startsWith(prefix))
            result.append(entry.mid(prefix.size()));
    }
    return result;
}

std::optional<CellValue> FakeSpreadsheet::Office::cell(int instance, int row, int column) const
{
    for (auto write = cellWrites.crbegin(); write != cellWrites.crend(); ++write) {
        if (write->instance == instance && write->sheet == 1 && write->row == row
            && write->column == column)
            return write->value;
    }
    return std::nullopt;
}

FakeSpreadsheet::FakeSpreadsheet(Office& office, int number)
    : mOffice(office)
    , mNumber(number)
{
}

FakeSpreadsheet::~FakeSpreadsheet()
{
    if (mEnded)
        return;
    // As the real instance does: letting go of a running office ends it.
    mOffice.calls.append(QStringLiteral("%1:released").arg(mNumber));
    end();
}

void FakeSpreadsheet::call(const QString& name, const QString& arguments)
{
    const QString numbered = QStringLiteral("%1:%2").arg(mNumber).arg(name);
    mOffice.calls.append(arguments.isEmpty() ? numbered : numbered + QLatin1Char(' ') + arguments);
    if (mEnded)
        throw AppError(QStringLiteral("The office has ended (fake %1)").arg(mNumber));
    if (mOffice.dyingAt.contains(name) || mOffice.dyingAt.contains(numbered)) {
        end();
        throw AppError(
            QStringLiteral("The office died during %1 (fake %2)").arg(name).arg(mNumber));
    }
    if (mOffice.failing.contains(name) || mOffice.failing.contains(numbered))
        throw AppError(QStringLiteral("%1 failed (fake %2)").arg(name).arg(mNumber));
}

void FakeSpreadsheet::needWorkbook(int workbook) const
{
    if (workbook < 1 || workbook > mOpen.size() || mOpen.at(workbook - 1).isEmpty())
        throw AppError(QStringLiteral("Subscript out of range: no workbook %1").arg(workbook));
}

void FakeSpreadsheet::needActiveWorkbook() const
{
    for (const QString& path : mOpen) {
        if (!path.isEmpty())
            return;
    }
    throw AppError(QStringLiteral("No workbook is open"));
}

void FakeSpreadsheet::end()
{
    mEnded = true;
    --mOffice.running;
}

int FakeSpreadsheet::openWorkbookWithoutView(const QString& path)
{
    call(QStringLiteral("openWorkbookWithoutView"), path);
    return open(path);
}

int FakeSpreadsheet::openWorkbook(const QString& path)
{
    call(QStringLiteral("openWorkbook"), path);
    return open(path);
}

int FakeSpreadsheet::open(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("%1 could not be found").arg(path));
    mOffice.openedContents.append(file.readAll());
    mOpen.append(path);
    return int(mOpen.size());
}

int FakeSpreadsheet::workbookCount()
{
    call(QStringLiteral("workbookCount"));
    return int(mOpen.size());
}

void FakeSpreadsheet::setCell(int sheet, int row, int column, const CellValue& value)
{
    call(QStringLiteral("setCell"),
        QStringLiteral("%1 %2 %3 %4").arg(sheet).arg(row).arg(column).arg(describe(value)));
    needActiveWorkbook();
    mOffice.cellWrites.append({ mNumber, sheet, row, column, value });
}

void FakeSpreadsheet::setColumnCells(
    int sheet, int firstRow, int column, const QVector<CellValue>& values)
{
    call(QStringLiteral("setColumnCells"),
        QStringLiteral("%1 %2 %3 %4").arg(sheet).arg(firstRow).arg(column).arg(values.size()));
    needActiveWorkbook();
    for (int index = 0; index < values.size(); ++index)
        mOffice.cellWrites.append({ mNumber, sheet, firstRow + index, column, values.at(index) });
}

void FakeSpreadsheet::setVisible(bool visible)
{
    call(QStringLiteral("setVisible"), visible ? QStringLiteral("true") : QStringLiteral("false"));
}

void FakeSpreadsheet::selectRange(const QString& cell)
{
    call(QStringLiteral("selectRange"), cell);
    needActiveWorkbook();
}

void FakeSpreadsheet::saveAs(int workbook, const QString& path, int fileFormat)
{
    call(QStringLiteral("saveAs"),
        QStringLiteral("%1 %2 %3").arg(workbook).arg(path).arg(fileFormat));
    needWorkbook(workbook);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(QStringLiteral("%1 could not be saved: %2").arg(path, file.errorString()));
    file.write("fake workbook saved from " + QFile::encodeName(mOpen.at(workbook - 1)));
}

void FakeSpreadsheet::setDisplayAlerts(bool displayAlerts)
{
    call(QStringLiteral("setDisplayAlerts"),
        displayAlerts ? QStringLiteral("true") : QStringLiteral("false"));
}

void FakeSpreadsheet::close(int workbook)
{
    call(QStringLiteral("close"), QString::number(workbook));
    needWorkbook(workbook);
    mOpen[workbook - 1].clear();
}

void FakeSpreadsheet::quit()
{
    call(QStringLiteral("quit"));
    end();
}

QString FakeSpreadsheet::version()
{
    call(QStringLiteral("version"));
    return mOffice.version;
}

int FakeSpreadsheet::usedRangeLastRow(int workbook)
{
    call(QStringLiteral("usedRangeLastRow"), QString::number(workbook));
    needWorkbook(workbook);
    return mOffice.lastRow;
}

int FakeSpreadsheet::usedRangeLastColumn(int workbook)
{
    call(QStringLiteral("usedRangeLastColumn"), QString::number(workbook));
    needWorkbook(workbook);
    return mOffice.lastColumn;
}

QImage FakeSpreadsheet::copyPicture(int workbook)
{
    call(QStringLiteral("copyPicture"), QString::number(workbook));
    needWorkbook(workbook);
    if (!mOffice.copyPictureDraws)
        return QImage();
    QImage picture = fakeSheetPicture(mOffice.pictureSize);
    QGuiApplication::clipboard()->setImage(picture);
    return picture;
}

QString FakeSpreadsheet::describe(const CellValue& value)
{
    if (const QString* text = std::get_if<QString>(&value))
        return *text;
    if (const QDate* date = std::get_if<QDate>(&value))
        return QStringLiteral("date ") + date->toString(Qt::ISODate);
    return QStringLiteral("empty");
}

void FakeSpreadsheet::exportPdf(int workbook, const QString& path)
{
    call(QStringLiteral("exportPdf"), QStringLiteral("%1 %2").arg(workbook).arg(path));
    needWorkbook(workbook);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(
            QStringLiteral("%1 could not be exported: %2").arg(path, file.errorString()));
    file.write("%PDF-1.4 fake first sheet of " + QFile::encodeName(mOpen.at(workbook - 1)));
}

void FakeSpreadsheet::exportRangePdf(int workbook, const QString& path, bool gridlines)
{
    call(QStringLiteral("exportRangePdf"),
        QStringLiteral("%1 %2 %3").arg(workbook).arg(path).arg(gridlines ? "lined" : "plain"));
    needWorkbook(workbook);
    writeFakeRangePdf(path, mOffice.pictureSize, gridlines);
}

QImage FakeSpreadsheet::sheetPicture(int workbook)
{
    call(QStringLiteral("sheetPicture"), QString::number(workbook));
    needWorkbook(workbook);
    return mOffice.copyPictureDraws ? fakeSheetPicture(mOffice.pictureSize) : QImage();
}

QString FakeSpreadsheet::address(int sheet, int row, int column)
{
    QString letters;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return QStringLiteral("%1!%2%3").arg(sheet).arg(letters).arg(row);
}

QString FakeSpreadsheet::cellText(int workbook, int sheet, int row, int column)
{
    const QString cell = address(sheet, row, column);
    call(QStringLiteral("cellText"), QStringLiteral("%1 %2").arg(workbook).arg(cell));
    needWorkbook(workbook);
    return mOffice.shownTexts.value(cell);
}

std::optional<double> FakeSpreadsheet::cellNumber(int workbook, int sheet, int row, int column)
{
    const QString cell = address(sheet, row, column);
    call(QStringLiteral("cellNumber"), QStringLiteral("%1 %2").arg(workbook).arg(cell));
    needWorkbook(workbook);
    if (!mOffice.numbers.contains(cell))
        return std::nullopt;
    return mOffice.numbers.value(cell);
}
