#include "datepicker.h"

#include "datetyping.h"

#include "app/apperror.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWheelEvent>
#include <functional>

namespace {

using Typed = DateTyping::Section;

QDateTimeEdit::Section editSection(Typed section)
{
    switch (section) {
    case Typed::Day:
        return QDateTimeEdit::DaySection;
    case Typed::Month:
        return QDateTimeEdit::MonthSection;
    case Typed::Year:
        break;
    }
    return QDateTimeEdit::YearSection;
}

Typed typingSection(QDateTimeEdit::Section section)
{
    if (section == QDateTimeEdit::MonthSection)
        return Typed::Month;
    return section == QDateTimeEdit::YearSection ? Typed::Year : Typed::Day;
}

// A date edit that can show nothing, that Tab leaves at once instead of walking through day,
// month and year, where Space turns the date on and off, and that takes the date typed as it
// is shown. The wheel changes the date only while the edit has the focus; otherwise it goes
// on to the panel below.
class BlankableDateEdit final : public QDateEdit {
public:
    BlankableDateEdit(const QDate& date, QWidget* parent, std::function<void()> toggle)
        : QDateEdit(date, parent)
        , mToggle(std::move(toggle))
    {
        // Not focused by the wheel: turning it over the panel scrolls the panel.
        setFocusPolicy(Qt::StrongFocus);
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
            settleTyping();
            mToggle();
            return;
        }
        const bool plain
            = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const QString text = plain ? event->text() : QString();
        if (mBlank) {
            // A digit on an empty picker brings the date back and starts its day.
            if (!text.isEmpty() && text.front().isDigit()) {
                mToggle();
                if (!mBlank) {
                    mTyping.start(date(), Typed::Day);
                    typeText(text);
                }
                return;
            }
            // With no date shown there is no day, month or year to move to or change.
            event->ignore();
            return;
        }
        if (!text.isEmpty() && text.front().isPrint()) {
            typeText(text);
            return;
        }
        if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
            if (mTyping.backspace())
                showTyping();
            return;
        }
        // Arrows, page keys and the calendar's keys work from the section typed into.
        handOver();
        QDateEdit::keyPressEvent(event);
        takeBack();
    }

    void focusInEvent(QFocusEvent* event) override
    {
        if (mBlank) {
            QAbstractSpinBox::focusInEvent(event);
            return;
        }
        QDateEdit::focusInEvent(event);
        // The keyboard always comes in at the day, ready for the date typed in full.
        const bool byKeyboard = event->reason() == Qt::TabFocusReason
            || event->reason() == Qt::BacktabFocusReason
            || event->reason() == Qt::ShortcutFocusReason;
        mTyping.start(date(), byKeyboard ? Typed::Day : typingSection(currentSection()));
        if (byKeyboard)
            showTyping();
    }

    void focusOutEvent(QFocusEvent* event) override
    {
        settleTyping();
        QDateEdit::focusOutEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        settleTyping();
        QDateEdit::mousePressEvent(event);
        takeBack();
    }

    void wheelEvent(QWheelEvent* event) override
    {
        if (mBlank || !hasFocus()) {
            event->ignore();
            return;
        }
        handOver();
        QDateEdit::wheelEvent(event);
        takeBack();
    }

private:
    void typeText(const QString& text)
    {
        // The date may have changed by other means since the last key: start from it.
        if (mTyping.date() != date())
            mTyping.start(date(), mTyping.section());
        for (const QChar character : text)
            mTyping.type(character);
        if (mTyping.date() != date())
            setDate(mTyping.date());
        showTyping();
    }

    void settleTyping()
    {
        if (mBlank || mTyping.date() != date())
            return;
        mTyping.settle();
        if (mTyping.date() != date())
            setDate(mTyping.date());
    }

    // The section typed into, with what is typed but not yet a date, selected.
    void showTyping()
    {
        const QString shown = QDateEdit::textFromDateTime(dateTime());
        const int firstSeparator = shown.indexOf(QLatin1Char('-'));
        const int lastSeparator = shown.lastIndexOf(QLatin1Char('-'));
        int start = 0;
        int length = firstSeparator;
        if (mTyping.section() == Typed::Month) {
            start = firstSeparator + 1;
            length = lastSeparator - start;
        } else if (mTyping.section() == Typed::Year) {
            start = lastSeparator + 1;
            length = shown.size() - start;
        }
        QString text = shown;
        const QString pending = mTyping.pending();
        if (!pending.isEmpty()) {
            text.replace(start, length, pending);
            length = pending.size();
        }
        // The edit's own parsing never sees a half-typed year.
        const QSignalBlocker blocker(lineEdit());
        lineEdit()->setText(text);
        lineEdit()->setSelection(start, length);
    }

    void handOver()
    {
        settleTyping();
        setCurrentSection(editSection(mTyping.section()));
    }

    void takeBack() { mTyping.start(date(), typingSection(currentSection())); }

    std::function<void()> mToggle;
    DateTyping mTyping;
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
    // One place in the tab order: the date, which takes the keys for the check box too. The
    // picker itself is the stop, so that the tab order moves it with its parts.
    mCheckBox->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);
    setFocusProxy(mDateEdit);

    connect(mCheckBox, &QCheckBox::toggled, this, &DatePicker::checkToggled);
    connect(mDateEdit, &QDateEdit::dateChanged, this, &DatePicker::dateEdited);
    showValue();
}

std::optional<QDate> DatePicker::value() const
{
    return mValue;
}

void DatePicker::checkValue(const std::optional<QDate>& value)
{
    if (value && (!value->isValid() || *value < firstDate || *value > lastDate))
        throw AppError(QStringLiteral("Invalid property value: %1 lies outside %2 to %3.")
                           .arg(value->toString(Qt::ISODate), firstDate.toString(Qt::ISODate),
                               lastDate.toString(Qt::ISODate)));
}

void DatePicker::setValue(std::optional<QDate> value)
{
    checkValue(value);
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
