#include "appearance/recolourform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

namespace {

const QColor buttonFace(0xd4, 0xd0, 0xc8);
const QColor buttonText(0x10, 0x10, 0x10);
const QColor designWindow(Qt::white);

// A plain white box standing in for a picture box.
QWidget* pictureBox(QWidget* parent)
{
    auto* box = new QWidget(parent);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, Qt::white);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    box->setGeometry(150, 10, 40, 40);
    return box;
}

QColor shownAt(QWidget& window, QWidget* control, QPoint inside)
{
    return window.grab().toImage().pixelColor(control->mapTo(&window, inside));
}

} // namespace

class TestRecolourForm : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, buttonFace);
        palette.setColor(QPalette::Window, designWindow);
        // A scheme whose window text is meant for a dark window, not for the button face.
        palette.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
        palette.setColor(QPalette::ButtonText, buttonText);
        QApplication::setPalette(palette);
    }

    void plainControlsTakeButtonFace()
    {
        QWidget form;
        form.resize(300, 200);
        auto* label = new QLabel(QString(), &form);
        label->setGeometry(10, 10, 60, 20);
        // A designed colour of its own, which the button face must replace.
        QPalette red = label->palette();
        red.setColor(QPalette::Window, Qt::red);
        label->setPalette(red);
        label->setAutoFillBackground(true);
        auto* frame = new QGroupBox(QStringLiteral("Zoom:"), &form);
        frame->setGeometry(10, 40, 130, 120);
        auto* inner = new QLabel(QString(), frame);
        inner->setGeometry(10, 25, 50, 20);
        auto* check = new QCheckBox(frame);
        check->setGeometry(10, 50, 20, 20);
        auto* option = new QRadioButton(frame);
        option->setGeometry(10, 80, 20, 20);

        RecolourForm(form);

        for (QWidget* control : { &form, static_cast<QWidget*>(label), static_cast<QWidget*>(frame),
                 static_cast<QWidget*>(inner), static_cast<QWidget*>(check),
                 static_cast<QWidget*>(option) }) {
            QCOMPARE(control->palette().color(QPalette::Window), buttonFace);
            QCOMPARE(control->palette().color(QPalette::WindowText), buttonText);
            QVERIFY(control->autoFillBackground());
        }
        QCOMPARE(shownAt(form, label, QPoint(30, 10)), buttonFace);
        QCOMPARE(shownAt(form, &form, QPoint(250, 180)), buttonFace);
    }

    void otherControlsAndPictureBoxesKeepTheirColours()
    {
        QWidget form;
        form.resize(300, 200);
        auto* edit = new QLineEdit(&form);
        edit->setGeometry(10, 10, 100, 24);
        auto* button = new QPushButton(QStringLiteral("Zoom In"), &form);
        button->setGeometry(10, 40, 100, 24);
        auto* bar = new QScrollBar(Qt::Horizontal, &form);
        bar->setGeometry(10, 70, 100, 17);
        QWidget* picture = pictureBox(&form);
        const QColor editBase = edit->palette().color(QPalette::Base);
        const QColor buttonColour = button->palette().color(QPalette::Button);

        RecolourForm(form);

        QCOMPARE(edit->palette().color(QPalette::Base), editBase);
        QCOMPARE(shownAt(form, edit, QPoint(50, 12)), editBase);
        QCOMPARE(button->palette().color(QPalette::Button), buttonColour);
        QVERIFY(!edit->autoFillBackground());
        QVERIFY(!bar->autoFillBackground());
        QCOMPARE(picture->palette().color(QPalette::Window), designWindow);
        QCOMPARE(shownAt(form, picture, QPoint(20, 20)), designWindow);
    }
};

QTEST_MAIN(TestRecolourForm)
#include "tst_recolourform.moc"
