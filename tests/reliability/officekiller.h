#pragma once

#include "workbook/runclock.h"

#include <QObject>

// Kills the offices on the program's own path, however they were started, when the run asks
// its clock or when its picture lands on the clipboard: no stand-in replaces the real spreadsheet
// instances.
namespace OfficeKiller {

// SIGKILLs every soffice.bin this process started and waits until they are gone; how many.
int killOfficeChildren();

} // namespace OfficeKiller

// The system clock, but the offices die when the run takes today's date (while the first
// instance types its cells) or draws a digit of the result name (before it saves).
class KillingClock final : public RunClock {
public:
    enum class At { Today, Digit };

    explicit KillingClock(At at);
    ~KillingClock() override;

    QDate today() override;
    qint64 nsecsSinceMidnight() override;
    void randomize(qint64 seed) override;
    double rnd() override;

    int killed = 0;

private:
    void killAt(At at);

    RunClock& mSystem;
    At mAt;
};

// The offices die when the run's sheet picture lands on the system clipboard: the picture is
// drawn, the workbook still open.
class KillingClipboard final : public QObject {
public:
    KillingClipboard();

    int killed = 0;
};
