#include "fielddescription.h"

#include "template/templatedescription.h"

#include <QHash>
#include <algorithm>

using FieldCatalogue::Field;
using FieldCatalogue::Figure;

namespace {

const QString separator = QStringLiteral(" — ");
// How a date picker takes the keyboard.
const QString dateKeys = QStringLiteral(
    "Type the date as it is shown, such as 04-Nov-1965: the day, the month as a number or a name, "
    "then the year; - or / moves on. Space empties the date or brings it back.");
constexpr int toolTipColumns = 70;

QString figureText(Figure figure)
{
    switch (figure) {
    case Figure::MonthlyAmount:
        return QStringLiteral("A monthly amount in dollars.");
    case Figure::YearlyAmount:
        return QStringLiteral("A yearly amount in dollars.");
    case Figure::Rate:
        return QStringLiteral("A yearly rate in percent: type 7 for 7 %.");
    case Figure::Share:
        return QStringLiteral("A share of today's expenses in percent: type 80 for 80 %.");
    case Figure::Age:
        return QStringLiteral("An age in years.");
    case Figure::Balance:
        return QStringLiteral("A balance in dollars: what the account holds today.");
    case Figure::Date:
        return QStringLiteral("A date of birth, shown as day-month-year. ") + dateKeys;
    }
    return QString();
}

QString frameTitle(const Field& field)
{
    QString title = FieldCatalogue::frame(FieldCatalogue::rules(field.group).frame).title;
    return title.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

// How many fields carry each label, as the labels read without their leading spaces.
QHash<QString, int> labelUses()
{
    QHash<QString, int> uses;
    for (const Field& field : FieldCatalogue::fields())
        uses[field.label.trimmed()] += 1;
    return uses;
}

QString qualifiedName(const Field& field, const QHash<QString, int>& labels)
{
    const QString label = field.label.trimmed();
    if (!field.heading.isEmpty())
        return field.heading + separator + label;
    if (labels.value(label) > 1)
        return frameTitle(field) + separator + label;
    return label;
}

// The names of every field by its settings key, numbered in catalogue order where two fields
// still share one.
QHash<QString, QString> namesOfAllFields()
{
    const QHash<QString, int> labels = labelUses();
    QHash<QString, QString> names;
    QHash<QString, int> uses;
    for (const Field& field : FieldCatalogue::fields())
        uses[qualifiedName(field, labels)] += 1;
    QHash<QString, int> numbered;
    for (const Field& field : FieldCatalogue::fields()) {
        QString name = qualifiedName(field, labels);
        if (uses.value(name) > 1)
            name += QLatin1Char(' ') + QString::number(++numbered[name]);
        names.insert(FieldCatalogue::settingsKey(field.group, field.index), name);
    }
    return names;
}

// A tooltip shows a long line whole, wider than the screen: break lines at spaces.
QString wrapped(const QString& text)
{
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        QString current;
        for (const QString& word : line.split(QLatin1Char(' '))) {
            if (!current.isEmpty() && current.size() + 1 + word.size() > toolTipColumns) {
                lines << current;
                current = word;
            } else {
                current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
            }
        }
        lines << current;
    }
    return lines.join(QLatin1Char('\n'));
}

// The template's comments: describing the whole sheet once is enough for both of their uses.
const QVector<CellComment>& templateComments()
{
    static const QVector<CellComment> comments = estimateSheet().comments;
    return comments;
}

// The template's comments by cell, each shaped by the function given.
QHash<QString, QString> commentsByCell(QString (*shape)(const QString&))
{
    QHash<QString, QString> byCell;
    for (const CellComment& comment : templateComments())
        byCell.insert(comment.address, shape(comment.text));
    return byCell;
}

} // namespace

namespace FieldDescription {

QString accessibleName(const Field& field)
{
    static const QHash<QString, QString> names = namesOfAllFields();
    return names.value(FieldCatalogue::settingsKey(field.group, field.index));
}

QString accessibleDescription(const Field& field)
{
    const FieldCatalogue::Meaning& meaning = FieldCatalogue::meaning(field);
    const QString text = guidance(meaning.guidanceCell);
    const QString figure = figureText(meaning.figure);
    return text.isEmpty() ? figure : figure + QStringLiteral("\n\n") + text;
}

QString toolTip(const Field& field)
{
    static const QHash<QString, QString> tips = commentsByCell(wrapped);
    const FieldCatalogue::Meaning& meaning = FieldCatalogue::meaning(field);
    const QString tip = tips.value(meaning.guidanceCell);
    if (meaning.figure != Figure::Date)
        return tip;
    return tip.isEmpty() ? wrapped(dateKeys) : tip + QStringLiteral("\n\n") + wrapped(dateKeys);
}

QString guidance(const QString& cell)
{
    static const QHash<QString, QString> texts
        = commentsByCell([](const QString& text) { return text; });
    return texts.value(cell);
}

} // namespace FieldDescription
