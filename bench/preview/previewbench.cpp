// Measures the preview window on a generated sheet-like picture of the captured sheet's size: the
// repaint of one zoom step to the largest zoom, the repaint of every zoom step, the cost of one
// drag move of the picture, and the memory the preview holds at the largest zoom.
#include "preview/form2.h"
#include "preview/picturebox.h"
#include "previewhelpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Figures {
    double median;
    double mean;
    double minimum;
    double maximum;
};

Figures summarise(std::vector<double> milliseconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    double sum = 0;
    for (double value : milliseconds)
        sum += value;
    return { milliseconds[milliseconds.size() / 2], sum / milliseconds.size(), milliseconds.front(),
        milliseconds.back() };
}

void print(const char* what, const std::vector<double>& milliseconds)
{
    const Figures figures = summarise(milliseconds);
    std::printf("%-58s median %7.3f ms  mean %7.3f  min %7.3f  max %7.3f  (n=%zu)\n", what,
        figures.median, figures.mean, figures.minimum, figures.maximum, milliseconds.size());
}

double timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// Zooms out one step untimed, then times the step back in to the largest zoom, painted.
std::vector<double> zoomSteps(QSize pixels, int stepsIn, int rounds)
{
    Form2 form;
    form.setPicture(PreviewHelpers::sheetPicture(pixels));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("preview window not exposed");
    for (int step = 0; step < stepsIn; ++step)
        form.PushButton1->click();
    const float largest = form.mZoom;
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        form.PushButton2->click();
        form.repaint();
        times.push_back(timed([&] {
            form.PushButton1->click();
            form.repaint();
        }));
        if (form.mZoom != largest)
            qFatal("zoom did not return to %.2f", largest);
    }
    return times;
}

// The first step below natural size on a new picture, when the master is averaged down.
std::vector<double> firstReductions(QSize pixels, int rounds)
{
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        Form2 form;
        form.setPicture(PreviewHelpers::sheetPicture(pixels));
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("preview window not exposed");
        form.repaint();
        times.push_back(timed([&] {
            form.PushButton2->click();
            form.repaint();
        }));
    }
    return times;
}

// Every zoom step from the largest zoom down to the smallest and back up, each painted; the
// median of the rounds for every step.
void everyZoomStep(QSize pixels, int rounds)
{
    Form2 form;
    form.setPicture(PreviewHelpers::sheetPicture(pixels));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("preview window not exposed");
    auto walk = [&](QPushButton* button, const char* direction) {
        std::vector<std::pair<QString, std::vector<double>>> steps;
        for (int round = 0; round < rounds; ++round) {
            for (size_t step = 0;; ++step) {
                const float before = form.mZoom;
                const double time = timed([&] {
                    button->click();
                    form.repaint();
                });
                if (form.mZoom == before)
                    break;
                if (steps.size() <= step)
                    steps.push_back({ QStringLiteral("zoom %1 %2 -> %3, repaint")
                                          .arg(QString::fromLatin1(direction))
                                          .arg(before, 0, 'f', 2)
                                          .arg(form.mZoom, 0, 'f', 2),
                        {} });
                steps[step].second.push_back(time);
            }
            // Back to where this walk started, untimed.
            QPushButton* back = button == form.PushButton1 ? form.PushButton2 : form.PushButton1;
            for (size_t step = 0; step < steps.size(); ++step)
                back->click();
        }
        for (const auto& step : steps)
            print(qPrintable(step.first), step.second);
    };
    while (true) {
        const float before = form.mZoom;
        form.PushButton1->click();
        if (form.mZoom == before)
            break;
    }
    walk(form.PushButton2, "out");
    while (true) {
        const float before = form.mZoom;
        form.PushButton2->click();
        if (form.mZoom == before)
            break;
    }
    walk(form.PushButton1, "in");
}

// One drag move through the window system: delivery, clamps and the picture's move; with the
// window's repaint when painted is true.
std::vector<double> dragMoves(QSize pixels, int stepsIn, int moves, bool painted)
{
    Form2 form;
    form.setPicture(PreviewHelpers::sheetPicture(pixels));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("preview window not exposed");
    for (int step = 0; step < stepsIn; ++step)
        form.PushButton1->click();
    QWindow* window = form.windowHandle();
    const QPoint start(300, 250);
    QTest::mousePress(window, Qt::LeftButton, {}, start);
    std::vector<double> times;
    for (int move = 0; move < moves; ++move) {
        const QPoint to = start - QPoint(3 * (move % 40), 2 * (move % 40));
        times.push_back(timed([&] {
            QTest::mouseMove(window, to);
            if (painted)
                form.repaint();
        }));
    }
    QTest::mouseRelease(window, Qt::LeftButton, {}, start);
    return times;
}

// The process's resident memory and its peak, in MiB.
std::pair<double, double> residentMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return { 0, 0 };
    double resident = 0;
    double peak = 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 2 && fields[0] == "VmRSS:")
            resident = fields[1].toDouble() / 1024;
        if (fields.size() >= 2 && fields[0] == "VmHWM:")
            peak = fields[1].toDouble() / 1024;
    }
    return { resident, peak };
}

// What the preview holds with the sheet at the largest zoom, against the process before it.
void memoryAtLargestZoom(QSize pixels)
{
    const QPixmap sheet = PreviewHelpers::sheetPicture(pixels);
    const auto before = residentMemory();
    Form2 form;
    form.setPicture(sheet);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("preview window not exposed");
    form.repaint();
    const auto natural = residentMemory();
    for (int step = 0; step < 5; ++step) {
        form.PushButton1->click();
        form.repaint();
    }
    // Pan across the whole picture, so every part of it has been drawn once.
    for (int value = 0; value <= form.VScroll1->maximum(); value += form.VScroll1->pageStep()) {
        form.VScroll1->setValue(value);
        form.repaint();
    }
    const auto largest = residentMemory();
    std::printf("memory: resident %.1f MiB before the preview, %.1f MiB at 1.00, %.1f MiB at %.2f "
                "(peak %.1f MiB); the sheet picture itself is %.1f MiB\n",
        before.first, natural.first, largest.first, form.mZoom, largest.second,
        pixels.width() * pixels.height() * 4 / 1048576.0);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QSize sheet = PreviewHelpers::realSheetSize();
    std::printf("sheet picture %dx%d px; platform %s\n", sheet.width(), sheet.height(),
        qPrintable(QGuiApplication::platformName()));
    memoryAtLargestZoom(sheet);
    print("zoom in 2.00 -> 2.25, repaint, sheet", zoomSteps(sheet, 5, 50));
    print("zoom in 0.75 -> 1.00, repaint, sheet", zoomSteps(sheet, 0, 50));
    print("zoom out 1.00 -> 0.75 on a new picture, repaint", firstReductions(sheet, 15));
    everyZoomStep(sheet, 9);
    print("drag move at 1.00, no repaint", dragMoves(sheet, 0, 400, false));
    print("drag move at 1.00, with window repaint", dragMoves(sheet, 0, 400, true));
    print("drag move at 2.25, no repaint", dragMoves(sheet, 5, 400, false));
    print("drag move at 2.25, with window repaint", dragMoves(sheet, 5, 400, true));
    return 0;
}
