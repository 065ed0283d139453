// The preview's sharper master on a result workbook made by a real generation run, with the
// program's warm office: the time to fetch it after the preview shows and the longest the event
// loop waited meanwhile; its memory; and the sharpness of the viewport (mean gradient) at zoom 1.0
// and 2.25 on a screen of device pixel ratio 2, drawn from the master, from the stretched
// 96-dpi picture as before, and by the office's PDF rendered with pdftoppm at the same size.
// Run with QT_SCALE_FACTOR=2 (bench/sharpness.sh does).
#include "entry/form1.h"
#include "preview/form2.h"
#include "preview/picturebox.h"
#include "preview/sheetmaster.h"
#include "privatefolders.h"
#include "workbook/generationwiring.h"
#include "workbook/sheetmasterfetch.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void report(const char* kind, std::vector<double> values, const char* unit)
{
    std::sort(values.begin(), values.end());
    std::printf("%-52s median %8.1f %s  min %8.1f  max %8.1f  (%zu rounds)\n", kind,
        values[values.size() / 2], unit, values.front(), values.back(), values.size());
}

qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Mean of |horizontal| + |vertical| grey-level steps: higher is sharper.
double meanGradient(const QImage& picture)
{
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0;
    for (int y = 0; y + 1 < grey.height(); ++y) {
        const uchar* line = grey.constScanLine(y);
        const uchar* below = grey.constScanLine(y + 1);
        for (int x = 0; x + 1 < grey.width(); ++x)
            sum += std::abs(line[x + 1] - line[x]) + std::abs(below[x] - line[x]);
    }
    return sum / (double(grey.width() - 1) * (grey.height() - 1));
}

double meanDifference(const QImage& a, const QImage& b)
{
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8);
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8);
    const int width = std::min(ga.width(), gb.width());
    const int height = std::min(ga.height(), gb.height());
    double sum = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            sum += std::abs(ga.constScanLine(y)[x] - gb.constScanLine(y)[x]);
    return sum / (double(width) * height);
}

// The viewport as the screen shows it, once every sharp tile has come.
QImage settledViewport(Form2& form)
{
    QImage shown;
    for (int attempt = 0; attempt < 200; ++attempt) {
        const QImage now = form.Picture2->client()->grab().toImage();
        if (now == shown)
            break;
        shown = now;
        QTest::qWait(20);
    }
    return shown;
}

// The office's PDF drawn by pdftoppm with the part of the sheet the viewport shows.
QImage officeRendering(
    const QString& pdf, const QRectF& box, QSize scaledSheet, QRect part, const QString& folder)
{
    const double rx = scaledSheet.width() / box.width() * 72;
    const double ry = scaledSheet.height() / box.height() * 72;
    const QString stem = folder + QStringLiteral("/office");
    const QStringList arguments { QStringLiteral("-png"), QStringLiteral("-singlefile"),
        QStringLiteral("-rx"), QString::number(rx, 'f', 4), QStringLiteral("-ry"),
        QString::number(ry, 'f', 4), QStringLiteral("-x"),
        QString::number(qRound(box.left() * rx / 72) + part.x()), QStringLiteral("-y"),
        QString::number(qRound(box.top() * ry / 72) + part.y()), QStringLiteral("-W"),
        QString::number(part.width()), QStringLiteral("-H"), QString::number(part.height()), pdf,
        stem };
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"), arguments);
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        std::fprintf(stderr, "pdftoppm %s failed\n", qPrintable(arguments.join(' ')));
    return QImage(stem + QStringLiteral(".png"));
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir work;
    usePrivateFolders(work);
    QApplication application(argc, argv);
    const int rounds = std::max(7, qEnvironmentVariableIntValue("FERROWYND_BENCH_ROUNDS"));

    const std::unique_ptr<SpreadsheetOffice> office
        = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    office->startAhead();
    Form1 form1;
    form1.Form_Load();
    form1.PushButton7->click();
    GenerationWiring* wiring = connectGenerationRun(form1, *office);
    form1.show();
    form1.PushButton22->click();
    Form2* preview = wiring->preview();
    if (!preview || !QFile::exists(preview->mExcelFile)) {
        std::fprintf(stderr, "the generation run gave no result workbook\n");
        return 1;
    }
    const qreal ratio = preview->devicePixelRatioF();
    std::printf("== sharper master (%d cores, load %s, device pixel ratio %.2f)\n",
        QThread::idealThreadCount(), qPrintable(QString::fromLatin1([] {
            QFile load(QStringLiteral("/proc/loadavg"));
            load.open(QIODevice::ReadOnly);
            return load.readAll().left(14);
        }())),
        ratio);

    // The longest the event loop waited between two turns while a fetch ran.
    QElapsedTimer sinceTurn;
    double longestTurn = 0;
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longestTurn = std::max(longestTurn, sinceTurn.nsecsElapsed() / 1e6);
        sinceTurn.restart();
    });

    std::vector<double> fetchMs, switchMs, longestTurns;
    QByteArray lined, plain;
    // Round 0 is the run's own fetch, started as the preview showed; it is not counted.
    for (int round = 0; round <= rounds; ++round) {
        std::unique_ptr<SheetMasterFetch> fetch;
        QElapsedTimer clock;
        clock.start();
        double deliveredMs = -1;
        double switchedMs = 0;
        const SheetMasterFetch* watched = wiring->masterFetch();
        if (round > 0) {
            fetch = std::make_unique<SheetMasterFetch>(*office, preview->mExcelFile,
                [&](const QByteArray& withLines, const QByteArray& without) {
                    deliveredMs = clock.nsecsElapsed() / 1e6;
                    lined = withLines;
                    plain = without;
                    QElapsedTimer switching;
                    switching.start();
                    preview->setSheetDrawings(withLines, without);
                    switchedMs = switching.nsecsElapsed() / 1e6;
                });
            watched = fetch.get();
        }
        longestTurn = 0;
        sinceTurn.start();
        turns.start();
        while (!watched->finished() && !clock.hasExpired(30000))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        turns.stop();
        if (round == 0)
            continue;
        if (deliveredMs < 0 || !preview->sheetMaster()) {
            std::fprintf(
                stderr, "round %d: no master (%s)\n", round, qPrintable(watched->failure()));
            return 1;
        }
        fetchMs.push_back(deliveredMs + switchedMs);
        switchMs.push_back(switchedMs);
        longestTurns.push_back(longestTurn);
    }
    report("fetch after the preview shows, until drawn from", fetchMs, "ms");
    report("  of it: making the master from the two PDFs", switchMs, "ms");
    report("longest wait of the event loop during a fetch", longestTurns, "ms");

    // The fetch's steps one by one: each blocks the event loop for its time.
    {
        std::vector<double> session, open, lined, plain, end;
        for (int round = 0; round < rounds; ++round) {
            QElapsedTimer step;
            step.start();
            std::unique_ptr<SpreadsheetApplication> app = office->newInstance();
            session.push_back(step.nsecsElapsed() / 1e6);
            step.restart();
            const int book = app->openWorkbook(preview->mExcelFile);
            open.push_back(step.nsecsElapsed() / 1e6);
            step.restart();
            app->exportRangePdf(book, work.filePath(QStringLiteral("step.pdf")), true);
            lined.push_back(step.nsecsElapsed() / 1e6);
            step.restart();
            app->exportRangePdf(book, work.filePath(QStringLiteral("step.pdf")), false);
            plain.push_back(step.nsecsElapsed() / 1e6);
            step.restart();
            app->close(book);
            app->quit();
            end.push_back(step.nsecsElapsed() / 1e6);
        }
        report("  step: a session on the warm office", session, "ms");
        report("  step: open the result", open, "ms");
        report("  step: the range as PDF with gridlines", lined, "ms");
        report("  step: the range as PDF without gridlines", plain, "ms");
        report("  step: close and quit the session", end, "ms");
    }

    // The preview's master, kept here as well: the comparisons below take it away and back.
    const std::shared_ptr<const SheetMaster> reference
        = SheetMaster::fromPdf(lined, plain, preview->sheetMaster()->pictureSize());
    preview->setSheetMaster(reference);
    const SheetMaster& master = *reference;
    const QSize sheet = master.pictureSize();
    std::printf("sheet picture %d x %d px; PDFs %lld + %lld bytes; box %.2f x %.2f pt\n",
        sheet.width(), sheet.height(), qlonglong(lined.size()), qlonglong(plain.size()),
        master.box().width(), master.box().height());

    QFile linedFile(work.filePath(QStringLiteral("lined.pdf")));
    QFile plainFile(work.filePath(QStringLiteral("plain.pdf")));
    if (!linedFile.open(QIODevice::WriteOnly) || !plainFile.open(QIODevice::WriteOnly))
        return 1;
    linedFile.write(lined);
    plainFile.write(plain);
    linedFile.close();
    plainFile.close();

    const qint64 before = residentKb();
    std::vector<std::shared_ptr<const SheetMaster>> kept;
    for (int copy = 0; copy < 5; ++copy)
        kept.push_back(SheetMaster::fromPdf(lined, plain, sheet));
    std::printf("memory of one master (resident, mean of 5): %.1f MB\n",
        (residentKb() - before) / 5.0 / 1024);
    kept.clear();

    for (const float zoom : { 1.0f, 2.25f }) {
        preview->SetZoom(zoom);
        const QSize scaled = (QSizeF(sheet) * zoom * ratio).toSize();
        const QRect part(QPoint(-preview->Picture1->x(), -preview->Picture1->y()) * ratio,
            preview->Picture2->client()->size() * ratio);
        QElapsedTimer clock;
        clock.start();
        const QImage sharp = settledViewport(*preview);
        const double settleMs = clock.nsecsElapsed() / 1e6;
        const qint64 withTiles = residentKb();
        // Without the master the viewport is the stretched picture, as before.
        preview->setSheetMaster(nullptr);
        const QImage stretched = settledViewport(*preview);
        const qint64 withoutTiles = residentKb();
        preview->setSheetMaster(reference);
        const QImage office
            = officeRendering(linedFile.fileName(), master.box(), scaled, part, work.path());
        const QImage officePlain
            = officeRendering(plainFile.fileName(), master.box(), scaled, part, work.path());
        std::printf("zoom %.2f at ratio %.1f: viewport %d x %d device px, sharp after %.0f ms, "
                    "tiles %.1f MB resident\n",
            zoom, ratio, sharp.width(), sharp.height(), settleMs,
            (withTiles - withoutTiles) / 1024.0);
        std::printf("  mean gradient: master %.2f  stretched picture %.2f  office PDF (pdftoppm, "
                    "black grid) %.2f  office PDF without grid %.2f\n",
            meanGradient(sharp), meanGradient(stretched), meanGradient(office),
            meanGradient(officePlain));
        std::printf("  mean grey difference to the office PDF: master %.2f  stretched %.2f\n",
            meanDifference(sharp, office), meanDifference(stretched, office));
        const QString keep = qEnvironmentVariable("FERROWYND_BENCH_KEEP");
        if (!keep.isEmpty()) {
            const QString tag = QString::number(zoom, 'f', 2);
            sharp.save(keep + "/master-" + tag + ".png");
            stretched.save(keep + "/stretched-" + tag + ".png");
            office.save(keep + "/office-" + tag + ".png");
        }
    }
    return 0;
}
