#pragma once

#include "workbook/clipboardpicturesource.h"
#include "workbook/runclock.h"

// Kills the offices on the program's own path, however they were started, when the run asks
// its clock or its clipboard: no stand-in replaces the real spreadsheet instances.
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

// The system clipboard, but the offices die when the capture reads it.
class KillingClipboard final : public ClipboardPictureSource {
public:
    KillingClipboard();
    ~KillingClipboard() override;

    QImage read(int format) override;

    int killed = 0;

private:
    ClipboardPictureSource& mSystem;
};
