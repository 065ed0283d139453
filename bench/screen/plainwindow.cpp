// The yardstick for the program's start: a plain Qt Widgets window of the main window's size
// (752 x 631) with as many line edits (87) on a scrolling panel, each holding "0", and nothing
// else: no settings, no office, no skin.
#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QScrollArea>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Plain window"));
    window.setFixedSize(752, 631);
    auto* scroll = new QScrollArea(&window);
    scroll->setGeometry(window.rect());
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    constexpr int fields = 87;
    for (int index = 0; index < fields; ++index)
        grid->addWidget(new QLineEdit(QStringLiteral("0")), index / 3, index % 3);
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    window.show();
    return QApplication::exec();
}
