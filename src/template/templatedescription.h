#pragma once

#include <QDate>
#include <QString>
#include <QVector>

// What the retirement estimate template holds, cell by cell, as the authoring tool builds it.
// Formulas are kept as a user types them (arguments separated by ","); the tool converts them.

enum class CellFill { None, Green, Blue, Yellow };
enum class FontStyle { Regular, Bold, BoldItalic };
enum class Alignment { Standard, Centred, Right };

struct CellDescription {
    enum class Kind { Blank, Text, Number, Date, Formula };

    QString address;
    Kind kind = Kind::Blank;
    QString text; // the text, or the formula as written
    double number = 0;
    QDate date;
    QString format; // empty: the General format
    CellFill fill = CellFill::None;
    FontStyle font = FontStyle::Regular;
    Alignment alignment = Alignment::Standard;

    CellDescription& withFormat(const QString& numberFormat);
    CellDescription& green() { return withFill(CellFill::Green); }
    CellDescription& blue() { return withFill(CellFill::Blue); }
    CellDescription& yellow() { return withFill(CellFill::Yellow); }
    CellDescription& withFill(CellFill cellFill);
    CellDescription& bold();
    CellDescription& boldItalic();
    CellDescription& centred();
    CellDescription& rightAligned();
};

CellDescription blankCell(const QString& address);
CellDescription textCell(const QString& address, const QString& text);
CellDescription numberCell(const QString& address, double number);
CellDescription dateCell(const QString& address, const QDate& date);
CellDescription formulaCell(const QString& address, const QString& formula);

struct ColumnWidth {
    QString column;
    double characters;
};

struct CellComment {
    QString address;
    QString text; // lines separated by "\n"
};

// Printing of a sheet; lengths in inches.
struct PageSetup {
    bool letterPaper = true;
    bool landscape = false;
    int pagesWide = 1;
    int pagesTall = 1;
    double margin = 0.25;
    double headerMargin = 0.5;
    double footerMargin = 0.5;
    bool printGridlines = false;
    bool printHeadings = false;
};

struct SheetDescription {
    QString name;
    QVector<CellDescription> cells;
    QVector<ColumnWidth> widths;
    // Every column not in widths; 8.43 is the format's standard width of 8 characters.
    double defaultColumnWidth = 8.43;
    QVector<CellComment> comments;
    bool hasPageSetup = false;
    PageSetup pageSetup;
    int zoomPercent = 100;
    // The cell selected when the workbook is opened, counted from 0.
    int cursorRow = 0;
    int cursorColumn = 0;
};

struct TemplateDescription {
    QVector<SheetDescription> sheets;
    QString defaultFontName;
    double defaultFontHeight = 10;
};

namespace NumberFormat {
extern const QString Amount;
extern const QString Rate;
extern const QString FineRate;
extern const QString Share;
extern const QString RunDate;
extern const QString ShortDate;
extern const QString WholeNumber;
extern const QString Dollars;
} // namespace NumberFormat

SheetDescription estimateSheet();
SheetDescription savingsGoalSheet();
TemplateDescription retirementTemplate();
