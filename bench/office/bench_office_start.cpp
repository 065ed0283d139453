// Office start-up figures: our private instance from creation to a connected desktop and on to
// its end, a conversion through it, and a bare `soffice --convert-to xls` of the same file with
// a seeded private profile and with a fresh one. Medians of five runs, in milliseconds.
#include "workbook/libreoffice/officeinstance.h"
#include "workbook/libreoffice/officeprofile.h"
#include "workbook/libreoffice/officeprogram.h"
#include "workbook/libreoffice/unoconvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <csignal>
#include <cstdio>
#include <functional>
#include <vector>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

constexpr int runs = 5;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Reference<util::XCloseable> load(OfficeInstance& office, const QString& path)
{
    uno::Sequence<beans::PropertyValue> hidden(1);
    hidden.getArray()[0] = property("Hidden", uno::Any(true));
    return Reference<util::XCloseable>(
        Reference<frame::XComponentLoader>(office.desktop(), UNO_QUERY_THROW)
            ->loadComponentFromURL(
                path.isEmpty() ? rtl::OUString("private:factory/scalc") : fileUrl(path),
                rtl::OUString("_blank"), 0, hidden),
        UNO_QUERY_THROW);
}

void store(const Reference<util::XCloseable>& document, const QString& path, const char* filter)
{
    uno::Sequence<beans::PropertyValue> arguments(2);
    arguments.getArray()[0]
        = property("FilterName", uno::Any(rtl::OUString::createFromAscii(filter)));
    arguments.getArray()[1] = property("Overwrite", uno::Any(true));
    Reference<frame::XStorable>(document, UNO_QUERY_THROW)->storeToURL(fileUrl(path), arguments);
}

// A template about the size of the estimate sheet: 80 rows of labels, amounts and formulas.
void makeTemplate(const QString& path, const QString& profileBase)
{
    OfficeInstance::Options options;
    options.profileBase = profileBase;
    OfficeInstance office(options);
    const auto document = load(office, QString());
    const Reference<table::XCellRange> sheet(
        Reference<container::XIndexAccess>(
            Reference<sheet::XSpreadsheetDocument>(document, UNO_QUERY_THROW)->getSheets(),
            UNO_QUERY_THROW)
            ->getByIndex(0),
        UNO_QUERY_THROW);
    for (int row = 0; row < 80; ++row) {
        sheet->getCellByPosition(1, row)->setFormula(
            toOUString(QStringLiteral("Line %1").arg(row)));
        sheet->getCellByPosition(3, row)->setValue(row * 10.5);
        sheet->getCellByPosition(4, row)->setFormula(
            toOUString(QStringLiteral("=D%1*12").arg(row + 1)));
    }
    store(document, path, "MS Excel 97 Vorlage/Template");
    document->close(true);
}

double convertWithSoffice(const QString& file, const QString& profile, const QString& outDir)
{
    QProcess soffice;
    soffice.setProgram(QStringLiteral("soffice"));
    soffice.setArguments(
        { QStringLiteral("-env:UserInstallation=") + fromOUString(fileUrl(profile)),
            QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xls"),
            QStringLiteral("--outdir"), outDir, file });
    soffice.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    soffice.start();
    if (!soffice.waitForFinished(120000) || soffice.exitCode() != 0) {
        std::fprintf(stderr, "soffice --convert-to failed: %s\n", soffice.readAll().constData());
        soffice.kill();
        soffice.waitForFinished(5000);
        return -1;
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTemporaryDir work;
    if (!work.isValid())
        return 1;
    const QString version = installedOfficeVersion(officeProgramPath());
    const QString warmBase = work.filePath(QStringLiteral("warm"));
    const QString file = work.filePath(QStringLiteral("bench.xlt"));
    try {
        makeTemplate(file, warmBase);

        std::vector<double> connect, quit, whole, fresh;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            OfficeInstance::Options options;
            options.profileBase = warmBase;
            OfficeInstance office(options);
            connect.push_back(timer.nsecsElapsed() / 1e6);
            const qint64 quitStart = timer.nsecsElapsed();
            office.quit();
            quit.push_back((timer.nsecsElapsed() - quitStart) / 1e6);
            if (::kill(static_cast<pid_t>(office.processId()), 0) == 0 || errno != ESRCH) {
                std::fprintf(stderr, "the office outlived its quit\n");
                return 1;
            }
        }
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            OfficeInstance::Options options;
            options.profileBase = warmBase;
            OfficeInstance office(options);
            const auto document = load(office, file);
            store(document, work.filePath(QStringLiteral("ours.xls")), "MS Excel 97");
            document->close(true);
            office.quit();
            whole.push_back(timer.nsecsElapsed() / 1e6);
        }
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            OfficeInstance::Options options;
            options.profileBase = work.filePath(QStringLiteral("fresh%1").arg(run));
            OfficeInstance office(options);
            fresh.push_back(timer.nsecsElapsed() / 1e6);
        }

        // The bare conversion: a private profile seeded the same way, warmed by one run, and a
        // fresh empty profile every time.
        const QString seeded = work.filePath(QStringLiteral("soffice-seeded"));
        OfficeProfile::seed(seeded, version);
        const QString out = work.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
        convertWithSoffice(file, seeded, out);
        std::vector<double> bareSeeded, bareFresh;
        for (int run = 0; run < runs; ++run) {
            bareSeeded.push_back(convertWithSoffice(file, seeded, out));
            bareFresh.push_back(convertWithSoffice(
                file, work.filePath(QStringLiteral("soffice-fresh%1").arg(run)), out));
        }

        std::printf("LibreOffice %s, medians of %d runs (ms)\n", qPrintable(version), runs);
        std::printf("  instance create -> connected (seeded profile)   %7.1f\n", median(connect));
        std::printf("  instance quit -> process ended                  %7.1f\n", median(quit));
        std::printf("  instance create -> connected (new profile)      %7.1f\n", median(fresh));
        std::printf("  instance start+load+save .xls+quit (seeded)     %7.1f\n", median(whole));
        std::printf(
            "  soffice --headless --convert-to xls (seeded)    %7.1f\n", median(bareSeeded));
        std::printf("  soffice --headless --convert-to xls (empty)     %7.1f\n", median(bareFresh));
    } catch (const AppError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    } catch (const uno::Exception& error) {
        std::fprintf(stderr, "%s\n", qPrintable(fromOUString(error.Message)));
        return 1;
    }
    return 0;
}
