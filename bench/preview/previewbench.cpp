// Measures the preview window on a generated sheet-like picture: the repaint of one zoom step at
// the largest zoom the picture allows, the repaint of every zoom step, and the cost of one drag
// move of the picture.
#include "preview/form2.h"
#include "preview/picturebox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// A computed sheet as the capture gives it: white cells, grey grid lines, figures in Arial.
QPixmap sheetPicture(QSize pixels)
{
    QPixmap picture(pixels);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QColor(0xc0, 0xc0, 0xc0));
    for (int x = 0; x < pixels.width(); x += 72)
        painter.drawLine(x, 0, x, pixels.height());
    for (int y = 0; y < pixels.height(); y += 17)
        painter.drawLine(0, y, pixels.width(), y);
    painter.setPen(Qt::black);
    painter.setFont(QFont(QStringLiteral("Arial"), 8));
    int figure = 1234;
    for (int y = 0; y + 17 <= pixels.height(); y += 17)
        for (int x = 0; x + 72 <= pixels.width(); x += 72) {
            figure = (figure * 37 + 11) % 99991;
            painter.drawText(QRect(x + 2, y, 68, 17), Qt::AlignRight | Qt::AlignVCenter,
                QStringLiteral("$%1.00").arg(figure));
        }
    return picture;
}

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
    form.setPicture(sheetPicture(pixels));
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

// Every zoom step from the largest zoom down to the smallest and back up, each painted; the
// median of the rounds for every step.
void everyZoomStep(QSize pixels, int rounds)
{
    Form2 form;
    form.setPicture(sheetPicture(pixels));
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
std::vector<double> dragMoves(QSize pixels, int moves, bool painted)
{
    Form2 form;
    form.setPicture(sheetPicture(pixels));
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        qFatal("preview window not exposed");
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

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QSize sheet(1160, 1348);
    std::printf("sheet picture %dx%d px; platform %s\n", sheet.width(), sheet.height(),
        qPrintable(QGuiApplication::platformName()));
    // A sheet this size is at its largest at 1.0: at 1.25 it would be 21747 twips wide.
    print("zoom in 0.75 -> 1.00, repaint, sheet 1160x1348", zoomSteps(sheet, 0, 50));
    // The largest surface the limits allow: 560x650 px at 2.25 is 18895 x 21933 twips.
    print("zoom in 2.00 -> 2.25, repaint, picture 560x650", zoomSteps(QSize(560, 650), 5, 50));
    everyZoomStep(sheet, 9);
    print("drag move, sheet 1160x1348, no repaint", dragMoves(sheet, 400, false));
    print("drag move, sheet 1160x1348, with window repaint", dragMoves(sheet, 400, true));
    return 0;
}
