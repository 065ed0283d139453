#pragma once

#include <QString>
#include <vector>

// Every field of the main window as data: the window builds its frames, labels, headings,
// text boxes, date pickers, placeholders and tab order from these tables. Lengths in twips.
namespace FieldCatalogue {

// The five text-box arrays and the two date pickers.
enum class Group { Income, Expense, Other, Savings, RetirementIncome, HusbandDOB, WifeDOB };
enum class Column { Left, Right };

struct Field {
    Group group;
    int index; // 0 for the date pickers
    QString label;
    QString heading; // the group heading the field stands under, or empty
    Column column;
    int top; // in the scrolling panel
    int tab;
    int left = 0; // in its frame; 0 takes the column's position
};

struct Frame {
    int index; // in Frame1
    QString title;
    int top; // in the scrolling panel
    int height;
    int leftColumn; // left of the left column's boxes, in the frame
    int rightLabels; // left of the right column's labels, in the frame
};

// A label with no field of its own: a group heading (with a bracket to its members) or a
// "Monthly" column heading above a column of boxes.
struct Heading {
    int frame;
    QString text;
    Column column;
    int top; // in the scrolling panel
    bool bracket;
};

// What the window does with a group's fields on focus and on leaving.
struct GroupRules {
    int frame;
    bool selectOnFocus;
    bool validated;
    bool rewriteAsCurrency;
    QString rejection;
};

struct Slot {
    Group group;
    int index;
};

// The kind of figure a field takes, as a screen reader announces it.
enum class Figure { MonthlyAmount, YearlyAmount, Rate, Share, Age, Balance, Date };

// What a set of fields holds, and the template cell whose comment guides the user on them.
struct Meaning {
    Group group;
    std::vector<int> indices; // empty: every field of the group
    Figure figure;
    QString guidanceCell;
};

const std::vector<Frame>& frames(); // in screen order
const std::vector<Field>& fields(); // every visible field
const std::vector<Heading>& headings();
// Hidden elements holding "Dummy": they keep each visible index equal to its template row.
const std::vector<Slot>& placeholders();

const Frame& frame(int index);
const GroupRules& rules(Group group);
const Meaning& meaning(const Field& field);
// The indices that exist in a text-box array, visible and placeholder, ascending.
std::vector<int> indices(Group group);
bool isPlaceholder(Group group, int index);
bool isTextArray(Group group);

// "txtExpense", "dtHusbandDOB"
QString controlName(Group group);
// "txtExpense12" for a text box, "dtHusbandDOB" for a picker: plain decimal, no leading zeros.
QString settingsKey(Group group, int index);

inline const QString placeholderText = QStringLiteral("Dummy");

} // namespace FieldCatalogue
