// Times the generation run from the click on "Start Creating Template" until the preview window
// is shown, and a bare `soffice --headless --convert-to xls` of the same template with a private
// profile seeded the same way, one after the other in each round so that both see the same load
// on the machine, and prints both medians and their ratio. It also prints the peak memory of
// this process and of each office process the runs started.
#include "app/dialogs.h"
#include "entry/form1.h"
#include "preview/form2.h"
#include "privatefolders.h"
#include "workbook/generationwiring.h"
#include "workbook/libreoffice/libreofficespreadsheet.h"
#include "workbook/libreoffice/officeprofile.h"
#include "workbook/libreoffice/officeprogram.h"
#ifdef FERROWYND_BENCH_WARM_OFFICE
#include "workbook/spreadsheetoffice.h"
#endif
// The program's start makes the process-wide settings; earlier trees made them with the run.
#if __has_include("app/processsettings.h")
#include "app/processsettings.h"
#define FERROWYND_BENCH_PROCESS_SETTINGS
#endif

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Every message shown counts as a failed measurement.
class CountingDialogs final : public Dialogs {
public:
    Answer message(QWidget*, const QString&, const QString& text, Icon, Buttons) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++count;
        return Answer::Ok;
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    int count = 0;
};

// Notes when a preview window is shown.
class ShowWatcher final : public QObject {
public:
    explicit ShowWatcher(QElapsedTimer& clock)
        : mClock(clock)
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && qobject_cast<Form2*>(watched) && shownAt < 0)
            shownAt = mClock.nsecsElapsed();
        return false;
    }
    qint64 shownAt = -1;

private:
    QElapsedTimer& mClock;
};

// Wraps the real instances and prints how long each call takes.
class TimedSpreadsheet final : public SpreadsheetApplication {
    static QElapsedTimer started()
    {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }
    template <typename Body> auto timed(const char* what, Body&& body)
    {
        const QElapsedTimer timer = started();
        auto result = body();
        std::printf("  %-20s %7.1f ms\n", what, timer.nsecsElapsed() / 1e6);
        return result;
    }

public:
    template <typename Create> explicit TimedSpreadsheet(Create create)
    {
        mReal = timed("create", create);
    }
    ~TimedSpreadsheet() override
    {
        timed("release", [this] {
            mReal.reset();
            return 0;
        });
    }

    int openWorkbook(const QString& path) override
    {
        return timed("openWorkbook", [&] { return mReal->openWorkbook(path); });
    }
    int workbookCount() override
    {
        return timed("workbookCount", [&] { return mReal->workbookCount(); });
    }
    void setCell(int sheet, int row, int column, const CellValue& value) override
    {
        const QElapsedTimer timer = started();
        mReal->setCell(sheet, row, column, value);
        mCells += timer.nsecsElapsed();
        if (++mCellCount == 88)
            std::printf("  88 x setCell %.1f ms\n", mCells / 1e6);
    }
#ifdef FERROWYND_BENCH_CELL_BLOCKS
    void setColumnCells(
        int sheet, int firstRow, int column, const QVector<CellValue>& values) override
    {
        const QElapsedTimer timer = started();
        mReal->setColumnCells(sheet, firstRow, column, values);
        mCells += timer.nsecsElapsed();
        mCellCount += int(values.size());
        if (mCellCount == 88)
            std::printf("  88 cells in blocks %.1f ms\n", mCells / 1e6);
    }
#endif
    void setVisible(bool visible) override
    {
        mReal->setVisible(visible);
    }
    void selectRange(const QString& cell) override
    {
        timed("selectRange", [&] {
            mReal->selectRange(cell);
            return 0;
        });
    }
    void saveAs(int workbook, const QString& path, int fileFormat) override
    {
        timed("saveAs", [&] {
            mReal->saveAs(workbook, path, fileFormat);
            return 0;
        });
    }
    void setDisplayAlerts(bool displayAlerts) override
    {
        mReal->setDisplayAlerts(displayAlerts);
    }
    void close(int workbook) override
    {
        timed("close", [&] {
            mReal->close(workbook);
            return 0;
        });
    }
    void quit() override
    {
        timed("quit", [&] {
            mReal->quit();
            return 0;
        });
    }
    QString version() override
    {
        return timed("version", [&] { return mReal->version(); });
    }
    int usedRangeLastRow(int workbook) override
    {
        return timed("usedRangeLastRow", [&] { return mReal->usedRangeLastRow(workbook); });
    }
    int usedRangeLastColumn(int workbook) override
    {
        return timed("usedRangeLastColumn", [&] { return mReal->usedRangeLastColumn(workbook); });
    }
    QImage copyPicture(int workbook) override
    {
        return timed("copyPicture", [&] { return mReal->copyPicture(workbook); });
    }
    void exportPdf(int workbook, const QString& path) override
    {
        timed("exportPdf", [&] {
            mReal->exportPdf(workbook, path);
            return 0;
        });
    }
    void exportRangePdf(int workbook, const QString& path, bool gridlines) override
    {
        timed("exportRangePdf", [&] {
            mReal->exportRangePdf(workbook, path, gridlines);
            return 0;
        });
    }

private:
    std::unique_ptr<SpreadsheetApplication> mReal;
    qint64 mCells = 0;
    int mCellCount = 0;
};

// Watches the office processes this process starts and keeps each one's peak resident size.
class OfficeMemory final {
public:
    OfficeMemory()
        : mThread([this] { watch(); })
    {
    }
    ~OfficeMemory()
    {
        mStop = true;
        mThread.join();
    }
    // Resident size of each office process of ours that still runs.
    std::vector<long> residentKb()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        std::vector<long> sizes;
        for (const auto& entry : mPeakKb) {
            const long size
                = statusField("/proc/" + std::to_string(entry.first) + "/status", "VmRSS:");
            if (size > 0)
                sizes.push_back(size);
        }
        return sizes;
    }
    std::vector<long> peaksKb()
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        std::vector<long> peaks;
        for (const auto& entry : mPeakKb)
            peaks.push_back(entry.second);
        return peaks;
    }

private:
    static long statusField(const std::string& path, const std::string& field)
    {
        std::ifstream status(path);
        std::string line;
        while (std::getline(status, line))
            if (line.compare(0, field.size(), field) == 0)
                return std::stol(line.substr(field.size()));
        return -1;
    }
    void watch()
    {
        const long self = ::getpid();
        while (!mStop) {
            const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
            for (const QString& entry : entries) {
                bool number = false;
                const long pid = entry.toLong(&number);
                if (!number)
                    continue;
                const std::string base = "/proc/" + entry.toStdString();
                std::ifstream comm(base + "/comm");
                std::string name;
                std::getline(comm, name);
                if (name != "soffice.bin" || statusField(base + "/status", "PPid:") != self)
                    continue;
                const long peak = statusField(base + "/status", "VmHWM:");
                const std::lock_guard<std::mutex> lock(mMutex);
                if (peak > mPeakKb[pid])
                    mPeakKb[pid] = peak;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    std::atomic_bool mStop { false };
    std::mutex mMutex;
    std::map<long, long> mPeakKb;
    std::thread mThread;
};

long ownPeakKb()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void printSeries(const char* what, const std::vector<double>& values)
{
    std::printf("%s:", what);
    for (double value : values)
        std::printf(" %.0f", value);
    std::printf(" ms; median %.0f ms\n", median(values));
}

// One bare conversion; its time in milliseconds, or -1 when it failed.
double convertOnce(const QString& templatePath, const QString& profile, const QString& outDir)
{
    QDir(outDir).removeRecursively();
    QProcess soffice;
    QElapsedTimer timer;
    timer.start();
    soffice.start(QStringLiteral("soffice"),
        { QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
            QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xls"),
            QStringLiteral("--outdir"), outDir, templatePath });
    if (!soffice.waitForFinished(120000)) {
        soffice.kill();
        soffice.waitForFinished(5000);
        return -1;
    }
    const double elapsed = timer.nsecsElapsed() / 1e6;
    return QFile::exists(outDir + QStringLiteral("/template.xls")) ? elapsed : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir work;
    usePrivateFolders(work);
#ifdef FERROWYND_BENCH_PROCESS_SETTINGS
    applyProcessSettings();
#endif
    QApplication application(argc, argv);
    // FERROWYND_BENCH_ROUNDS asks for more rounds on a machine whose load varies.
    const int runs = std::max(7, qEnvironmentVariableIntValue("FERROWYND_BENCH_ROUNDS"));

    CountingDialogs dialogs;
    Dialogs::install(&dialogs);
    Form1 form1;
    form1.Form_Load();
    form1.PushButton7->click();
#ifdef FERROWYND_BENCH_WARM_OFFICE
    // As the program has it: started ahead at start, kept between runs.
    const std::unique_ptr<SpreadsheetOffice> office
        = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    office->startAhead();
    GenerationWiring* wiring = connectGenerationRun(form1, *office);
    const auto createTimed = [&office] { return office->newInstance(); };
#else
    GenerationWiring* wiring = connectGenerationRun(form1);
    const auto createTimed = [] { return std::make_unique<LibreOfficeSpreadsheet>(); };
#endif
    form1.show();
    QCoreApplication::processEvents();

    QElapsedTimer clock;
    clock.start();
    ShowWatcher watcher(clock);
    application.installEventFilter(&watcher);

    const QString templatePath = work.filePath(QStringLiteral("template.xlt"));
    QFile::copy(QStringLiteral(":/CUSTOM/101"), templatePath);
    const QString profile = work.filePath(QStringLiteral("profile"));
    OfficeProfile::seed(profile, installedOfficeVersion(officeProgramPath()));

    // Round 0 seeds the office profiles of both sides; it is shown but not counted.
    OfficeMemory officeMemory;
    std::vector<double> toPreview;
    std::vector<double> conversions;
    long peakAfterFirstRunKb = 0;
    for (int run = 0; run <= runs; ++run) {
        watcher.shownAt = -1;
        const qint64 clicked = clock.nsecsElapsed();
        form1.PushButton22->click();
        const double shown = (watcher.shownAt - clicked) / 1e6;
        if (watcher.shownAt < 0 || dialogs.count > 0) {
            std::fprintf(stderr, "run %d did not reach the preview cleanly\n", run);
            return 1;
        }
        QCoreApplication::processEvents();
        wiring->preview()->PushButton8->click();
        QCoreApplication::processEvents();
        if (run == 0)
            peakAfterFirstRunKb = ownPeakKb();

        const double converted
            = convertOnce(templatePath, profile, work.filePath(QStringLiteral("converted")));
        if (converted < 0) {
            std::fprintf(stderr, "the bare conversion failed\n");
            return 1;
        }
        if (run == 0) {
            std::printf(
                "round 0 (profiles seeded): run %.0f ms, conversion %.0f ms\n", shown, converted);
            continue;
        }
        toPreview.push_back(shown);
        conversions.push_back(converted);
    }
    printSeries("(a) click to preview shown", toPreview);
    printSeries("(b) bare soffice --convert-to xls", conversions);
    std::printf("ratio a/b: %.2f\n", median(toPreview) / median(conversions));

    std::vector<long> peaks = officeMemory.peaksKb();
    std::sort(peaks.begin(), peaks.end());
    if (!peaks.empty())
        std::printf("office processes: %zu, peak resident each: min %ld MB, median %ld MB, max %ld "
                    "MB\n",
            peaks.size(), peaks.front() / 1024, peaks[peaks.size() / 2] / 1024,
            peaks.back() / 1024);
    for (const long size : officeMemory.residentKb())
        std::printf("office still running after the runs: resident %ld MB\n", size / 1024);
    std::printf("this process: peak resident %ld MB after the first run, %ld MB after %d runs\n",
        peakAfterFirstRunKb / 1024, ownPeakKb() / 1024, runs + 1);

    if (application.arguments().contains(QStringLiteral("--calls"))) {
        std::printf("one more run, call by call:\n");
        setSpreadsheetFactory([&] { return std::make_unique<TimedSpreadsheet>(createTimed); });
        const qint64 clicked = clock.nsecsElapsed();
        watcher.shownAt = -1;
        form1.PushButton22->click();
        std::printf("  click to preview shown %.0f ms\n", (watcher.shownAt - clicked) / 1e6);
        setSpreadsheetFactory({});
        QCoreApplication::processEvents();
        wiring->preview()->PushButton8->click();
    }
    Dialogs::install(nullptr);
    return 0;
}
