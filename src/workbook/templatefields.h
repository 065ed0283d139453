#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Where the template's figures come from: the texts of the field arrays and the date pickers'
// values, by the names the cell map uses.
class TemplateFields {
public:
    virtual ~TemplateFields() = default;

    // The text of array(index) exactly as displayed; throws AppError when there is no such
    // element.
    virtual QString fieldText(const QString& array, int index) const = 0;
    // A date picker's value; no value when it holds no date. Throws AppError for an unknown name.
    virtual std::optional<QDate> pickerValue(const QString& picker) const = 0;
};
