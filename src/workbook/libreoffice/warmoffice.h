#pragma once

#include "idleend.h"
#include "officeinstance.h"
#include "officememory.h"
#include "workbook/spreadsheetoffice.h"

#include <QTimer>
#include <memory>

// The one office process of the program, owned here: started ahead and connected in the
// background, shared by the sessions newInstance() makes, replaced when it died, ended after a
// time without use and when this object goes.
class WarmOffice final : public SpreadsheetOffice {
public:
    explicit WarmOffice(const OfficeOptions& options = OfficeOptions(), int idleMs = idleTimeMs());
    ~WarmOffice() override;
    WarmOffice(const WarmOffice&) = delete;
    WarmOffice& operator=(const WarmOffice&) = delete;

    void startAhead() override;
    std::unique_ptr<SpreadsheetApplication> newInstance() override;
    void setStartFailureHandler(std::function<void()> handler) override;
    bool awaitStart() override;
    // Replaces an office grown past the memory limit with a fresh one started ahead.
    void runEnded() override;
    // The resident memory above which an office is replaced between runs.
    void setMemoryLimit(qint64 bytes) { mMemoryLimit = bytes; }
    void holdStart() override;
    void releaseStart() override;

    // The office process, while one runs or comes up; 0 otherwise.
    qint64 processId() const;
    // FERROWYND_OFFICE_IDLE_S in milliseconds, 600 seconds when unset or not a positive number.
    static int idleTimeMs();

private:
    void poll();
    void cameUp();
    void startFailed();
    void dropDeadOffice();
    bool startHeld();
    void removeLeftovers();

    OfficeOptions mOptions;
    std::shared_ptr<OfficeInstance> mOffice;
    std::function<void()> mStartFailure;
    QTimer mConnectPoll;
    IdleEnd mIdle;
    qint64 mMemoryLimit = officeMemoryLimit;
    bool mStartHeld = false;
    bool mStartAsked = false;
    bool mLeftoversWaiting = false;
};
