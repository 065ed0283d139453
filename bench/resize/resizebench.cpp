// Measures the relayout and repaint of a window resize: the preview with a sheet-like picture of
// the captured sheet's size at its largest zoom, and the main window, at sizes between the designed
// one and a window maximised on a 1920 x 1080 screen. "show preview|main [zoom] [max]" shows a
// window instead and waits until it is closed.
#include "entry/form1.h"
#include "preview/form2.h"
#include "preview/picturebox.h"
#include "previewhelpers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

void print(const char* what, std::vector<double> milliseconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    double sum = 0;
    for (double value : milliseconds)
        sum += value;
    std::printf("%-58s median %7.3f ms  mean %7.3f  min %7.3f  max %7.3f  (n=%zu)\n", what,
        milliseconds[milliseconds.size() / 2], sum / milliseconds.size(), milliseconds.front(),
        milliseconds.back(), milliseconds.size());
}

// The client sizes a resize passes through: a drag from the designed size to a window maximised
// on a 1920 x 1080 screen (a title bar and a panel taken off), and back.
std::vector<QSize> dragSizes(QSize designed, int steps)
{
    const QSize maximised(1920, 1080 - 30 - 24);
    std::vector<QSize> sizes;
    for (int step = 0; step <= steps; ++step) {
        const double share = step / static_cast<double>(steps);
        sizes.push_back(designed + (maximised - designed) * share);
    }
    for (int step = steps - 1; step > 0; --step)
        sizes.push_back(sizes[step]);
    return sizes;
}

std::vector<double> resizes(QWidget& window, const std::vector<QSize>& sizes, int rounds)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int round = 0; round < rounds; ++round) {
        for (const QSize& size : sizes) {
            timer.start();
            window.resize(size);
            window.repaint();
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    return times;
}

std::unique_ptr<Form2> preview(float zoom)
{
    auto form = std::make_unique<Form2>();
    form->setPicture(PreviewHelpers::sheetPicture());
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qFatal("preview window not exposed");
    while (form->mZoom < zoom - 0.01f) {
        const float before = form->mZoom;
        form->PushButton1->click();
        if (form->mZoom == before)
            break;
    }
    return form;
}

int show(const QStringList& arguments)
{
    const bool main = arguments.value(2) == QStringLiteral("main");
    const float zoom = arguments.value(3, QStringLiteral("1")).toFloat();
    const bool maximised = arguments.contains(QStringLiteral("max"));
    std::unique_ptr<QWidget> window;
    if (main) {
        auto form = std::make_unique<Form1>();
        form->Form_Load();
        window = std::move(form);
    } else {
        window = preview(zoom);
    }
    window->show();
    if (maximised)
        window->showMaximized();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The windows remember their places and the main window its inputs: never in the user's file.
    // The colour scheme's own settings stay where they are.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    const QStringList arguments = QApplication::arguments();
    if (arguments.value(1) == QStringLiteral("show"))
        return show(arguments);
    std::printf("platform %s, device pixel ratio %.2f\n", qPrintable(QApplication::platformName()),
        application.devicePixelRatio());

    {
        auto form = preview(2.25f);
        std::printf("preview at zoom %.2f, picture %d x %d twips\n", form->mZoom, form->mZoomWidth,
            form->mZoomHeight);
        resizes(*form, dragSizes(form->size(), 10), 1);
        print("preview resize at 2.25, relayout + repaint",
            resizes(*form, dragSizes(form->size(), 20), 5));
        form->resize(1920, 1026);
        form->repaint();
        print("preview 1920 x 1026 at 2.25, repaint only", resizes(*form, { form->size() }, 40));
    }
    {
        Form1 form;
        form.Form_Load();
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qFatal("main window not exposed");
        resizes(form, dragSizes(form.size(), 10), 1);
        print(
            "main window resize, relayout + repaint", resizes(form, dragSizes(form.size(), 20), 5));
    }
    return 0;
}
