#include "datepicker.h"

#include "app/apperror.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <functional>

namespace {

// A date edit that can show nothing, that Tab leaves at once instead of walking through day,
// month and year, and where Space turns the date on and off.
class BlankableDateEdit final : public QDateEdit {
public:
    BlankableDateEdit(const QDate& date, QWidget* parent, std::function<void()> toggle)
        : QDateEdit(date, parent)
        , mToggle(std::move(toggle))
    {
    }

    void setBlank(bool blank)
    {
        mBlank = blank;
        lineEdit()->setText(textFromDateTime(dateTime()));
    }

protected:
    QString textFromDateTime(const QDateTime& dateTime) const override
    {
        return mBlank ? QString() : QDateEdit::textFromDateTime(dateTime);
    }

    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
            mToggle();
            return;
        }
        // With no date shown there is no day, month or year to move to or change.
        if (mBlank) {
            event->ignore();
            return;
        }
        QDateEdit::keyPressEvent(event);
    }

    void focusInEvent(QFocusEvent* event) override
    {
        if (mBlank)
            QAbstractSpinBox::focusInEvent(event);
        else
            QDateEdit::focusInEvent(event);
    }

private:
    std::function<void()> mToggle;
    bool mBlank = false;
};

} // namespace

const QDate DatePicker::firstDate(1601, 1, 1);
const QDate DatePicker::lastDate(9999, 12, 31);

DatePicker::DatePicker(QWidget* parent)
    : QWidget(parent)
    , mCheckBox(new QCheckBox(this))
    , mDateEdit(new BlankableDateEdit(QDate::currentDate(), this, [this] { mCheckBox->click(); }))
{
    mDateEdit->setDisplayFormat(QStringLiteral("dd-MMM-yyyy"));
    mDateEdit->setDateRange(firstDate, lastDate);
    mDateEdit->setCalendarPopup(true);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(mCheckBox);
    layout->addWidget(mDateEdit, 1);
    // One place in the tab order: the date, which takes the keys for the check box too.
    mCheckBox->setFocusPolicy(Qt::NoFocus);
    setFocusProxy(mDateEdit);

    connect(mCheckBox, &QCheckBox::toggled, this, &DatePicker::checkToggled);
    connect(mDateEdit, &QDateEdit::dateChanged, this, &DatePicker::dateEdited);
    showValue();
}

std::optional<QDate> DatePicker::value() const
{
    return mValue;
}

void DatePicker::setValue(std::optional<QDate> value)
{
    if (value && (!value->isValid() || *value < firstDate || *value > lastDate))
        throw AppError(QStringLiteral("Invalid property value: %1 lies outside %2 to %3.")
                           .arg(value->toString(Qt::ISODate), firstDate.toString(Qt::ISODate),
                               lastDate.toString(Qt::ISODate)));
    if (value == mValue)
        return;
    mValue = value;
    showValue();
    emit valueChanged();
}

void DatePicker::describe(const QString& name, const QString& description)
{
    mDateEdit->setAccessibleName(name);
    mDateEdit->setAccessibleDescription(description);
    mCheckBox->setAccessibleName(name + QStringLiteral(" — has a date"));
    mCheckBox->setAccessibleDescription(description);
}

void DatePicker::showValue()
{
    mUpdating = true;
    mCheckBox->setChecked(mValue.has_value());
    if (mValue)
        mDateEdit->setDate(*mValue);
    static_cast<BlankableDateEdit*>(mDateEdit)->setBlank(!mValue);
    // Still a tab stop without a date, so that Space can bring one back.
    mDateEdit->setReadOnly(!mValue);
    mUpdating = false;
}

void DatePicker::checkToggled(bool checked)
{
    if (mUpdating)
        return;
    // Turning the date on brings back the date the edit last held.
    setValue(checked ? std::optional<QDate>(mDateEdit->date()) : std::nullopt);
}

void DatePicker::dateEdited()
{
    if (mUpdating || !mValue)
        return;
    setValue(mDateEdit->date());
}
