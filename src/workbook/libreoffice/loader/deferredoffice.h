#pragma once

#include "workbook/spreadsheetoffice.h"

// The program's office before the office module is loaded: it stands for the office the module
// makes, loads the module when the office is first needed (at the latest when a held start is
// released, see SpreadsheetOffice::holdStart) and then hands every call on to it. While the start
// is held, the start check needs no module: whether there is an office to start is known at once.
class DeferredOffice final : public SpreadsheetOffice {
public:
    explicit DeferredOffice(const QString& warmUpWorkbook);
    ~DeferredOffice() override;

    void startAhead() override;
    std::unique_ptr<SpreadsheetApplication> newInstance() override;
    void setStartFailureHandler(std::function<void()> handler) override;
    bool awaitStart() override;
    void runEnded() override;
    void holdStart() override;
    // A module that cannot be loaded is told on stderr here, and by every later use of the
    // office, which fails with AppError.
    void releaseStart() override;

private:
    SpreadsheetOffice& office();

    QString mWarmUpWorkbook;
    std::unique_ptr<SpreadsheetOffice> mOffice;
    std::function<void()> mStartFailure;
    bool mHeld = false;
    bool mStartAsked = false;
};
