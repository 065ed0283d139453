#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <memory>

class OfficeConnection;
class OfficeProcess;
class OfficeProfile;
class OfficeWatchdog;

struct OfficeOptions {
    // soffice.bin to start; empty: officeProgramPath().
    QString program;
    // Folder of the profile pool; empty: the per-user one.
    QString profileBase;
    // Start to connected, restarts included.
    int startTimeoutMs = 30000;
    // The longest a guarded stretch of calls may take before the office is deemed stuck and
    // killed.
    int callTimeoutMs = 120000;
    // A workbook the office opens as it starts (a copy in its scratch folder), so that the
    // libraries for that kind of file are loaded before the first document of our own; it stays
    // open until someone closes it. Empty: none.
    QString warmUpDocument;
};

// One private headless LibreOffice office: its profile, its process (OfficeProcess: start it
// from the main thread), the connection to it and the watchdog over calls into it. quit() (also
// run by the destructor) ends it and waits for it.
class OfficeInstance final {
public:
    using Options = OfficeOptions;

    // Starts and connects; throws AppError when the office is missing, fails or is too slow.
    explicit OfficeInstance(const Options& options = Options());
    ~OfficeInstance();
    OfficeInstance(const OfficeInstance&) = delete;
    OfficeInstance& operator=(const OfficeInstance&) = delete;

    static std::unique_ptr<OfficeInstance> start(const Options& options = Options());
    // The office program the options name; AppError when it is not installed.
    static QString requireProgram(const Options& options);
    // Only starts the process, so that it comes up while the caller does other work;
    // tryConnect() or finishStart() then connect to it. The start time-out counts from here.
    static std::unique_ptr<OfficeInstance> launchAhead(const Options& options = Options());
    // Connects an instance from launchAhead(), waiting for it; nothing for one that is
    // connected. Throws AppError, leaving the process ended, when the office fails to come up.
    void finishStart();
    // One attempt at connecting that does not wait: true once connected, false while the office
    // is still coming up. Throws AppError, leaving the process ended, when it failed to come up.
    bool tryConnect();
    // Started and neither connected nor ended yet.
    bool isStarting();

    // While a Guard lives, calls into the office that take longer than callTimeoutMs in all end
    // the office, so that they fail instead of hanging. Guards may nest.
    class Guard final {
    public:
        explicit Guard(OfficeInstance& office);
        ~Guard();
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        OfficeInstance& mOffice;
    };
    // True once the office was killed for not answering.
    bool wasStuck() const;
    int callTimeoutMs() const;

    // The office's own component context and desktop; AppError once the office has gone.
    css::uno::Reference<css::uno::XComponentContext> context();
    css::uno::Reference<css::frame::XDesktop2> desktop();

    // The office's version text, such as "7.4".
    QString version();

    // Closes every document the office holds, without saving; UNO exceptions pass through.
    void closeDocuments();

    // Closes every document, terminates the office and waits for it; a process that will not
    // end is killed with its group. Safe to call more than once.
    void quit();

    // False once the office has ended, been killed or lost its connection. An office found to
    // have ended has its leftovers removed at once.
    bool isAlive();
    qint64 processId() const;
    QString profileFolder() const;
    // How often the office asked to be started again (a new profile does so once).
    int restarts() const { return mRestarts; }

private:
    OfficeInstance(const Options& options, bool connectNow);
    bool connectOnce();
    void recordVersionInProfile();

    QString mProgram;
    int mStartTimeoutMs = 0;
    QDeadlineTimer mStartDeadline;
    int mRestarts = 0;
    bool mQuit = false;
    QString mVersion;
    // Destroyed in reverse order: the connection goes before the process, the process before
    // its profile.
    std::unique_ptr<OfficeProfile> mProfile;
    std::unique_ptr<OfficeWatchdog> mWatchdog;
    std::unique_ptr<OfficeProcess> mProcess;
    std::unique_ptr<OfficeConnection> mConnection;
};
