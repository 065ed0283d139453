#pragma once

#include <QString>
#include <functional>
#include <memory>

class SpreadsheetApplication;

// The office process that serves the program's spreadsheet instances: started ahead of need,
// kept warm between runs, ended after a time without use and together with its owner. Each
// instance made from it is a session that closes what it opened when it quits.
class SpreadsheetOffice {
public:
    virtual ~SpreadsheetOffice() = default;

    // Starts the office unless it runs or is coming up, without waiting for it to answer.
    // AppError when it cannot even be started.
    virtual void startAhead() = 0;
    // A new instance on the office; an office that is missing, ended or dead is replaced first.
    // AppError when none can be had.
    virtual std::unique_ptr<SpreadsheetApplication> newInstance() = 0;
    // Runs once, on the user-interface thread, when the office started ahead fails to come up
    // before it has answered for the first time.
    virtual void setStartFailureHandler(std::function<void()> handler) = 0;
    // Waits for an office started ahead to answer. False when it failed to come up and the
    // start failure handler ran.
    virtual bool awaitStart() = 0;
    // A run has ended and no session of it is left: the office may be renewed now, never while
    // a run uses it.
    virtual void runEnded() { }
    // The office's start takes both processors for a while. From holdStart() to releaseStart(),
    // startAhead() only makes sure that an office can be started (AppError when it cannot) and
    // leaves the start to releaseStart(), which reports a failure to the start failure handler.
    // awaitStart() and newInstance() start it at once.
    virtual void holdStart() { }
    virtual void releaseStart() { }
};

// Made by the office library (workbook/libreoffice), which the program, the tests with the real
// office and the benchmarks link; the workbook library does not, so tests of the run with a fake
// office build without LibreOffice.

// The program's office: LibreOffice, idle for FERROWYND_OFFICE_IDLE_S seconds (600 when unset)
// before it ends. warmUpWorkbook, when given, is opened by the office as it starts so that the
// first workbook of a run opens as quickly as later ones.
std::unique_ptr<SpreadsheetOffice> createSpreadsheetOffice(const QString& warmUpWorkbook = {});

// Where the program's office is looked for, whether it is there or not.
QString spreadsheetOfficeProgram();

// An instance with a LibreOffice of its own, which its Quit ends. Unlike
// createSpreadsheetApplication() it ignores a factory the tests installed.
std::unique_ptr<SpreadsheetApplication> createOwnOfficeInstance();
