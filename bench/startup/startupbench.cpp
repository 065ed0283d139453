// Measures the main window: how long start-up takes until the window is painted, how long one
// keystroke takes with and without waiting for its settings write, and takes screenshots at chosen
// scroll positions.
#include "app/product.h"
#include "app/settingsstore.h"
#include "app/settingswriter.h"
#include "entry/form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !mSeen) {
            mSeen = true;
            // Epoch nanoseconds: the script subtracts the moment it started the process.
            std::printf("shown %lld\n",
                static_cast<long long>(QDateTime::currentMSecsSinceEpoch()) * 1000000LL);
            std::fflush(stdout);
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool mSeen = false;
};

struct Times {
    std::vector<qint64> nanoseconds;

    void print(const char* what)
    {
        std::sort(nanoseconds.begin(), nanoseconds.end());
        const auto at = [&](std::size_t permille) {
            return nanoseconds[std::min(
                       nanoseconds.size() - 1, nanoseconds.size() * permille / 1000)]
                / 1000.0;
        };
        std::printf("%s: %zu keystrokes, median %.1f us, 90th %.1f us, 99th %.1f us, max %.1f us\n",
            what, nanoseconds.size(), at(500), at(900), at(990), nanoseconds.back() / 1000.0);
    }
};

// The window's thread handling one keystroke into box; with waitForDisk it also waits until the
// keystroke's text is on disk, as every keystroke did while the window wrote the store itself.
qint64 keystroke(QLineEdit* box, int key, bool waitForDisk)
{
    if (box->text().size() > 8)
        box->clear();
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(box, key);
    if (waitForDisk)
        SettingsStore::flush();
    return timer.nsecsElapsed();
}

// Alternates three keystrokes: one into a plain line edit that stores nothing (what any
// keystroke costs), one that waits for its write to be on disk, and one that leaves the write to
// the writer, each after a pause like a fast typist's. Then types on without a pause while the
// writer keeps up behind.
int keystrokes(Form1& form, int count)
{
    constexpr int pauseMs = 25;
    form.show();
    QLineEdit plain;
    plain.setFont(form.txtExpense(12)->font());
    plain.show();
    QLineEdit* box = form.txtExpense(12);
    box->setFocus();
    box->clear();
    Times floor;
    Times waiting;
    Times handedOver;
    for (int i = 0; i < count; ++i) {
        const int key = Qt::Key_0 + i % 10;
        SettingsStore::flush();
        QTest::qWait(pauseMs);
        floor.nanoseconds.push_back(keystroke(&plain, key, false));
        QTest::qWait(pauseMs);
        waiting.nanoseconds.push_back(keystroke(box, key, true));
        QTest::qWait(pauseMs);
        handedOver.nanoseconds.push_back(keystroke(box, key, false));
    }
    SettingsStore::flush();
    Times typing;
    const quint64 before = SettingsStore::writer().handedIn();
    QElapsedTimer spell;
    spell.start();
    for (int i = 0; i < count; ++i)
        typing.nanoseconds.push_back(keystroke(box, Qt::Key_0 + i % 10, false));
    const qint64 typed = spell.nsecsElapsed();
    SettingsStore::flush();
    floor.print("keystroke into a line edit that stores nothing");
    waiting.print("keystroke waiting for its write (before)");
    handedOver.print("keystroke, write left to the writer (after)");
    typing.print("keystrokes in a row, writer behind (after)");
    std::printf("in a row: %llu values handed in over %.1f ms, all on disk %.1f ms after the "
                "first keystroke\n",
        static_cast<unsigned long long>(SettingsStore::writer().handedIn() - before), typed / 1e6,
        spell.nsecsElapsed() / 1e6);
    return 0;
}

// A store as a household leaves it: every field and both dates filled.
int fill(Form1& form)
{
    form.PushButton7->click();
    for (const int index : { 2, 3, 4, 5, 6 })
        form.txtIncome(index)->setText(QStringLiteral("$1,250.00"));
    form.txtOther(12)->setText(QStringLiteral("90"));
    form.txtOther(13)->setText(QStringLiteral("92"));
    return 0;
}

int screenshot(Form1& form, const QString& path, int scroll, bool sample)
{
    form.show();
    if (sample)
        form.PushButton7->click();
    form.VScroll1->setValue(scroll);
    QCoreApplication::processEvents();
    return form.grab().save(path) ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(Product::name);
    QCommandLineParser parser;
    parser.addOption({ "shot", "Save a screenshot.", "file" });
    parser.addOption({ "scroll", "Scroll value for the screenshot.", "value", "0" });
    parser.addOption({ "sample", "Load the sample data first." });
    parser.addOption({ "keystrokes", "Time this many keystrokes.", "count" });
    parser.addOption({ "fill", "Fill every field and store it." });
    parser.process(application);

    Form1 form;
    if (!form.Form_Load())
        return 1;
    if (parser.isSet("shot"))
        return screenshot(
            form, parser.value("shot"), parser.value("scroll").toInt(), parser.isSet("sample"));
    if (parser.isSet("fill"))
        return fill(form);
    if (parser.isSet("keystrokes"))
        return keystrokes(form, parser.value("keystrokes").toInt());

    FirstPaint firstPaint;
    form.installEventFilter(&firstPaint);
    form.show();
    return QApplication::exec();
}
