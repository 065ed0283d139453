// Measures the main window: how long start-up takes until the window is painted, how long one
// keystroke's settings write takes, and takes screenshots at chosen scroll positions.
#include "app/product.h"
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

int keystrokes(Form1& form, int count)
{
    form.show();
    QLineEdit* box = form.txtExpense(12);
    box->setFocus();
    box->clear();
    std::vector<qint64> times;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        if (box->text().size() > 8)
            box->clear();
        timer.start();
        QTest::keyClick(box, Qt::Key_0 + i % 10);
        times.push_back(timer.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    std::printf("keystroke+write: %d keystrokes, median %.1f us, 90th %.1f us, max %.1f us\n",
        count, times[times.size() / 2] / 1000.0, times[times.size() * 9 / 10] / 1000.0,
        times.back() / 1000.0);
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
