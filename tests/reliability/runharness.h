#pragma once

#include "entry/form1.h"
#include "scripteddialogs.h"

#include <QPushButton>

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class Form2;
class GenerationWiring;
class WarmOffice;

// What the reliability tests share: a private home for the settings and temporary files, the
// real main window wired to its generation run, and the traces a run leaves behind.
namespace Reliability {

// A standard error report as the user saw it.
struct Report {
    QString description;
    QString procedure;
    int line = 0;
};

// Before the first settings use: settings, profiles and temporary files go under home.
void setUpProcess(const QTemporaryDir& home);
QString temporaryFolder(const QTemporaryDir& home);

QList<Report> reports(const ScriptedDialogs& dialogs);
// The distinct lines reported under one procedure, in order of first report.
QList<int> reportedLines(const QList<Report>& reports, const QString& procedure);
QString describe(const QList<Report>& reports);

// soffice.bin processes whose parent is this process, zombies included.
QList<qint64> officeChildren();
// Waits up to the limit for a killed process to be gone or a zombie; true when it is.
bool waitUntilDead(qint64 pid, int limitMs);

// Resident set of this process, and the bytes its heap holds for live allocations.
qint64 residentKilobytes();
qint64 heapInUseBytes();

// Files and folders in it, hidden ones included; not the lock that marks a live program's folder.
QStringList filesIn(const QString& folder);

} // namespace Reliability

// The main window loaded, shown and active, with "Start Creating Template" wired to the run on
// an office of its own, as the program has it (idle time from FERROWYND_OFFICE_IDLE_S).
class RunHarness final {
public:
    RunHarness();
    ~RunHarness();

    Form1& form() { return *mForm; }
    WarmOffice& office() { return *mOffice; }
    GenerationWiring& wiring() { return *mWiring; }
    Form2* preview() const;

    static void click(QWidget* button);
    // "Start Creating Template".
    void startRun();
    // "< Back" on the preview, when it is shown.
    void back();

private:
    // Goes after the window and its runs.
    std::unique_ptr<WarmOffice> mOffice;
    std::unique_ptr<Form1> mForm;
    GenerationWiring* mWiring = nullptr;
};
