#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// How keys typed into a date shown as "dd-MMM-yyyy" fill it, the way desktop date fields take
// typing: digits and month names fill the day, the month and the year in turn, a section moves
// on by itself once nothing more can follow, and "-" or "/" moves on at once. The date stays
// valid and in range at every key; a year is taken once it is whole or the section is left.
class DateTyping final {
public:
    enum class Section { Day, Month, Year };

    // A two-digit year falls in the hundred years that end with `thisYear`'s century year.
    explicit DateTyping(
        const QLocale& locale = QLocale(), int thisYear = QDate::currentDate().year());

    // Starts over on a date as shown, at a section.
    void start(const QDate& date, Section section);
    // One typed character; false when it means nothing here.
    bool type(QChar character);
    // Takes back the last character typed into the section; false when there is none.
    bool backspace();
    // Takes what is typed in the section and goes to another.
    void moveTo(Section section);
    // Takes what is typed in the section.
    void settle();

    QDate date() const { return mDate; }
    Section section() const { return mSection; }
    // Typed characters the date does not show yet (a year being typed, a leading zero).
    QString pending() const { return mPending ? mTyped : QString(); }

    static bool isSeparator(QChar character);

private:
    void typeDigit(int digit);
    void typeLetter(QChar letter);
    // Applies the digits typed into the day or the month; true when the section is complete.
    bool takeNumber(int maximum);
    bool takeYear(bool whole);
    void advance();
    void setDate(int year, int month);

    QLocale mLocale;
    int mThisYear;
    QDate mDate;
    Section mSection = Section::Day;
    QString mTyped;
    bool mPending = false;
    // The section was entered because the one before was complete: a separator typed now
    // belongs to the section before, not to this one.
    bool mAdvanced = false;
    // The day as typed, kept while a shorter month shows a smaller one.
    int mDay = 1;
};
