#pragma once

#include <QDate>
#include <QWidget>
#include <optional>

class QCheckBox;
class QDateEdit;

// A date or no date: a date edit showing "dd-MMM-yyyy" with a check box in front that turns
// the date on and off; Space in the edit does the same. With no date the edit is blank and
// read-only.
class DatePicker final : public QWidget {
    Q_OBJECT

public:
    static const QDate firstDate; // 1 January 1601
    static const QDate lastDate; // 31 December 9999

    explicit DatePicker(QWidget* parent = nullptr);

    std::optional<QDate> value() const;
    // Emits valueChanged when the value differs. Throws AppError for a date outside the range.
    void setValue(std::optional<QDate> value);
    // Throws the AppError that setValue would throw for the value.
    static void checkValue(const std::optional<QDate>& value);

    // Names the parts a screen reader meets: the date edit by the picker's name, the check box
    // as the switch that gives the picker a date or none.
    void describe(const QString& name, const QString& description);

    QCheckBox* checkBox() const { return mCheckBox; }
    QDateEdit* dateEdit() const { return mDateEdit; }

signals:
    void valueChanged();

private:
    void showValue();
    void checkToggled(bool checked);
    void dateEdited();

    QCheckBox* mCheckBox;
    QDateEdit* mDateEdit;
    std::optional<QDate> mValue;
    bool mUpdating = false;
};
