#pragma once

#include <QProcess>
#include <QString>
#include <memory>

class OwnedTemporaryFolder;

// One soffice.bin process on a private profile, listening on a pipe of its own. It runs in its
// own process group and is killed by the system when the thread that started it ends, so start
// it from the main thread. Its temporary folder is a private scratch folder, removed once the
// process has ended: a killed office cannot clear up its scratch files itself.
class OfficeProcess final {
public:
    // warmUpDocument, when given, is copied into the scratch folder and opened by the office as
    // it starts.
    OfficeProcess(const QString& program, const QString& profileFolder,
        const QString& warmUpDocument = QString());
    // Stops the process at once.
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // Starts it, or starts it again; AppError when it cannot be started.
    void launch();
    QString pipeName() const { return mPipeName; }
    qint64 processId() const { return mProcessId; }
    bool hasEnded();
    // Ended asking to be started again, as it does once on a new profile.
    bool askedForRestart();
    // How it ended: "exit code 3" or "it crashed".
    QString endReason() const;
    // The last line it wrote on its error stream.
    QString lastErrorLine() const;
    // Sleeps up to the time given, waking when the process ends.
    void wait(int ms);
    // Waits up to graceMs for the process to end by itself, then ends its group with SIGTERM and
    // at last SIGKILL. Its scratch folder and its pipe's socket go once it has ended.
    void stop(int graceMs);

    // Removes this user's pipe sockets left by the offices of programs that have ended (an
    // office killed outright leaves its socket behind); never a live program's. How many went.
    static int removeAbandonedPipes();

private:
    QString mProgram;
    QString mProfileFolder;
    QString mWarmUpDocument;
    QString mPipeName;
    std::unique_ptr<OwnedTemporaryFolder> mScratch;
    std::unique_ptr<QProcess> mProcess;
    qint64 mProcessId = 0;
};
