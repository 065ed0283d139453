#include "datetyping.h"

#include <algorithm>

namespace {

constexpr int firstYear = 1601;
constexpr int lastYear = 9999;

bool allDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

DateTyping::DateTyping(const QLocale& locale, int thisYear)
    : mLocale(locale)
    , mThisYear(thisYear)
{
}

bool DateTyping::isSeparator(QChar character)
{
    return character == QLatin1Char('-') || character == QLatin1Char('/')
        || character == QLatin1Char('.');
}

void DateTyping::start(const QDate& date, Section section)
{
    mDate = date;
    mSection = section;
    mTyped.clear();
    mPending = false;
    mAdvanced = false;
    mDay = date.day();
}

bool DateTyping::type(QChar character)
{
    if (isSeparator(character)) {
        // Right after a section completed by itself, the separator is the one that follows it.
        if (!mTyped.isEmpty() || !mAdvanced)
            advance();
        mAdvanced = false;
        return true;
    }
    if (character.isDigit()) {
        mAdvanced = false;
        typeDigit(character.digitValue());
        return true;
    }
    if (character.isLetter() && mSection == Section::Month) {
        typeLetter(character);
        return true;
    }
    return false;
}

void DateTyping::typeDigit(int digit)
{
    if (!allDigits(mTyped))
        mTyped.clear();
    if (mSection == Section::Year) {
        if (mTyped.size() >= 4)
            mTyped.clear();
        mTyped += QChar('0' + digit);
        mPending = true;
        if (mTyped.size() == 4)
            takeYear(true);
        return;
    }
    mTyped += QChar('0' + digit);
    const int maximum = mSection == Section::Day ? 31 : 12;
    if (takeNumber(maximum))
        advance();
}

bool DateTyping::takeNumber(int maximum)
{
    int value = mTyped.toInt();
    // A digit that cannot continue the number starts a new one.
    if (mTyped.size() > 2 || value > maximum || (mTyped.size() == 2 && value == 0)) {
        mTyped = mTyped.right(1);
        value = mTyped.toInt();
    }
    mPending = value == 0;
    if (mPending)
        return false;
    if (mSection == Section::Day) {
        mDay = value;
        setDate(mDate.year(), mDate.month());
    } else {
        setDate(mDate.year(), value);
    }
    return mTyped.size() == 2 || value * 10 > maximum;
}

void DateTyping::typeLetter(QChar letter)
{
    if (allDigits(mTyped))
        mTyped.clear();
    mPending = false;
    for (const QString& typed : { mTyped + letter, QString(letter) }) {
        for (int month = 1; month <= 12; ++month) {
            QString name = mLocale.monthName(month, QLocale::ShortFormat);
            if (name.endsWith(QLatin1Char('.')))
                name.chop(1);
            if (!name.startsWith(typed, Qt::CaseInsensitive))
                continue;
            mTyped = typed;
            setDate(mDate.year(), month);
            if (typed.size() >= name.size())
                advance();
            return;
        }
    }
}

bool DateTyping::takeYear(bool whole)
{
    int year = mTyped.toInt();
    // Two digits or fewer, once the user moves on, are a year of the last hundred.
    if (!whole && mTyped.size() <= 2) {
        year += mThisYear - mThisYear % 100;
        if (year > mThisYear)
            year -= 100;
    }
    mTyped.clear();
    mPending = false;
    if (year < firstYear || year > lastYear)
        return false;
    setDate(year, mDate.month());
    return true;
}

bool DateTyping::backspace()
{
    if (mTyped.isEmpty())
        return false;
    mTyped.chop(1);
    if (mTyped.isEmpty()) {
        mPending = false;
        return true;
    }
    if (mSection == Section::Year) {
        mPending = true;
    } else if (allDigits(mTyped)) {
        takeNumber(mSection == Section::Day ? 31 : 12);
    } else {
        const QString rest = mTyped;
        mTyped.chop(1);
        typeLetter(rest.back());
    }
    return true;
}

void DateTyping::moveTo(Section section)
{
    settle();
    mSection = section;
    mAdvanced = false;
}

void DateTyping::settle()
{
    if (mSection == Section::Year && mPending)
        takeYear(false);
    mTyped.clear();
    mPending = false;
}

void DateTyping::advance()
{
    settle();
    if (mSection == Section::Year) {
        mAdvanced = false;
        return;
    }
    mSection = mSection == Section::Day ? Section::Month : Section::Year;
    mAdvanced = true;
}

void DateTyping::setDate(int year, int month)
{
    const int day = std::min(mDay, QDate(year, month, 1).daysInMonth());
    mDate = QDate(year, month, day);
}
