#include "form1fixture.h"

#include "app/twips.h"
#include "entry/bracketline.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

using namespace Form1Fixture;
using FieldCatalogue::Group;

namespace {

// qt6ct's "darker" scheme, as a desktop with a dark colour scheme hands it to the program: its
// colours are listed in the order of the palette's roles.
QPalette darkScheme()
{
    const QStringList colours
        = QSettings(QStringLiteral("/usr/share/qt6ct/colors/darker.conf"), QSettings::IniFormat)
              .value(QStringLiteral("ColorScheme/active_colors"))
              .toStringList();
    QPalette palette;
    for (int role = 0; role < qMin<int>(colours.size(), QPalette::NColorRoles); ++role)
        palette.setColor(QPalette::ColorRole(role), QColor(colours[role].trimmed()));
    return palette;
}

double luminance(QColor colour)
{
    auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
        + 0.0722 * channel(colour.blueF());
}

double contrast(QColor a, QColor b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (qMax(first, second) + 0.05) / (qMin(first, second) + 0.05);
}

// The contrast of what is drawn in an area against its background, the area's commonest colour:
// the pixel that stands out most is the text's own colour, the edges of letters being blends.
double drawnContrast(const QImage& image, const QRect& area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    const QColor background(std::max_element(
        counts.keyValueBegin(), counts.keyValueEnd(), [](const auto& a, const auto& b) {
            return a.second < b.second;
        })->first);
    double best = 1;
    for (auto count = counts.cbegin(); count != counts.cend(); ++count)
        best = qMax(best, contrast(QColor(count.key()), background));
    return best;
}

} // namespace

class TestForm1Window : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
    }

    void init()
    {
        mStore = std::make_unique<QTemporaryDir>();
        useStoreIn(mStore->path());
        mDialogs = std::make_unique<ScriptedDialogs>();
    }

    void cleanup()
    {
        mDialogs.reset();
        QApplication::setPalette(QPalette());
    }

    void resizedWindowGivesTheRoomToThePanel_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<QRect>("viewport");
        QTest::addColumn<int>("scrollMaximum");
        // Where the panel scrolls for a field 7920 twips down: 7000 twips above it, unless the
        // range or the viewport's height says otherwise.
        QTest::addColumn<int>("focusScroll");
        QTest::newRow("designed size") << QSize(752, 631) << QRect(8, 79, 736, 544) << 14500 << 920;
        QTest::newRow("taller shows more rows")
            << QSize(752, 900) << QRect(8, 79, 736, 813) << 10465 << 920;
        QTest::newRow("wider goes to the margins")
            << QSize(1200, 631) << QRect(232, 79, 736, 544) << 14500 << 920;
        QTest::newRow("smallest: the field at the bottom edge")
            << QSize(752, 480) << QRect(8, 79, 736, 393) << 16765 << 2385;
        QTest::newRow("taller than the panel")
            << QSize(752, 2000) << QRect(8, 79, 736, 1913) << 0 << 0;
        QTest::newRow("maximised on 1920 x 1080")
            << QSize(1920, 1026) << QRect(592, 79, 736, 939) << 8575 << 920;
    }
    void resizedWindowGivesTheRoomToThePanel()
    {
        QFETCH(QSize, window);
        QFETCH(QRect, viewport);
        QFETCH(int, scrollMaximum);
        QFETCH(int, focusScroll);
        auto form = shownForm();
        form->resize(window);
        QCOMPARE(form->size(), window);
        QCOMPARE(form->Picture2->geometry(), viewport);
        const int shift = viewport.x() - 8;
        QCOMPARE(form->PushButton22->geometry(), QRect(8 + shift, 8, 736, 27));
        QCOMPARE(form->PushButton6->geometry(), QRect(8 + shift, 42, 360, 27));
        QCOMPARE(form->PushButton7->geometry(), QRect(384 + shift, 42, 360, 27));
        QCOMPARE(form->VScroll1->geometry(), QRect(713, 0, 19, viewport.height() - 4));
        QCOMPARE(form->VScroll1->maximum(), scrollMaximum);
        QCOMPARE(form->Picture1->size(), QSize(711, 1504));
        // The panel's top stands at the bar's value, within the new range.
        form->VScroll1->setValue(20000);
        QCOMPARE(form->Picture1->y(), -Twips::toPixels(scrollMaximum));
        QLineEdit* field = form->txtExpense(12);
        field->setFocus(Qt::TabFocusReason);
        settle();
        QCOMPARE(form->VScroll1->value(), focusScroll);
        QVERIFY(form->Picture2->rect().contains(
            QRect(field->mapTo(form->Picture2, QPoint()), field->size())));
    }

    void placeIsKeptApartFromTheInputs()
    {
        {
            auto form = shownForm();
            form->setGeometry(30, 40, 770, 520);
            form->hide();
        }
        QSettings file(SettingsStore::fileName(), QSettings::IniFormat);
        QCOMPARE(file.value("Windows/Form1").toString(), QStringLiteral("30,40,770,520"));
        QCOMPARE(file.value("Windows/Form1Maximized").toString(), QStringLiteral("false"));
        file.beginGroup("Ferrowynd");
        for (const QString& key : file.childKeys())
            QVERIFY2(!key.startsWith("Form1"), qPrintable(key));
        file.endGroup();
        Form1 again;
        QCOMPARE(again.geometry(), QRect(30, 40, 770, 520));
    }

    // The bar is dressed in the desktop's menu font, not in the window's bold field font.
    void menuBarTakesTheDesktopsMenuFont()
    {
        auto form = shownForm();
        auto* bar = new QMenuBar;
        bar->addMenu("&File");
        form->setMenuBar(bar);
        const QFont desktop = QApplication::font(bar);
        QVERIFY(form->font().bold());
        QCOMPARE(bar->font().family(), desktop.family());
        QCOMPARE(bar->font().weight(), desktop.weight());
        QCOMPARE(bar->font().pointSizeF(), desktop.pointSizeF());
    }

    // Under a dark colour scheme the white area keeps dark text: every label, heading, frame title
    // and bracket line is read against what is behind it.
    void readableUnderADarkScheme()
    {
        const QPalette dark = darkScheme();
        QCOMPARE(dark.color(QPalette::WindowText), QColor(Qt::white));
        QApplication::setPalette(dark);
        auto form = shownForm();
        // A menu bar keeps the scheme's own colours above the white area.
        auto* bar = new QMenuBar;
        const QList<QAction*> menus { bar->addMenu("&File")->menuAction(),
            bar->addMenu("&Help")->menuAction() };
        form->setMenuBar(bar);
        form->resize(752, 2000);
        const QImage shown = form->grab().toImage();
        QList<QWidget*> drawn;
        for (const int index : form->Label4.indices())
            drawn << form->Label4(index);
        for (const int index : form->Other________________.indices())
            drawn << form->Other________________(index);
        for (const int index : form->Line1.indices())
            drawn << form->Line1(index);
        for (const int index : form->Line2.indices())
            drawn << form->Line2(index);
        QCOMPARE(drawn.size(), 87 + 15 + 10 + 31);
        for (QWidget* widget : drawn) {
            const QRect area(widget->mapTo(form.get(), QPoint()), widget->size());
            const double measured = drawnContrast(shown, area);
            QVERIFY2(measured >= 4.5,
                qPrintable(
                    QStringLiteral("%1 %2: %3")
                        .arg(widget->metaObject()->className(), widget->property("text").toString())
                        .arg(measured)));
        }
        for (const int index : form->Frame1.indices()) {
            QGroupBox* frame = form->Frame1(index);
            const QRect title(frame->mapTo(form.get(), QPoint()),
                QSize(frame->fontMetrics().horizontalAdvance(frame->title()) + 16,
                    frame->fontMetrics().height()));
            QVERIFY2(drawnContrast(shown, title) >= 4.5, qPrintable(frame->title()));
        }
        for (QAction* menu : menus)
            QVERIFY2(
                drawnContrast(shown, bar->actionGeometry(menu)) >= 4.5, qPrintable(menu->text()));
    }

    void bracketLinesWholeAtEveryScale_data()
    {
        QTest::addColumn<qreal>("ratio");
        for (const qreal ratio : { 1.0, 1.25, 1.5, 1.75, 2.0 })
            QTest::newRow(qPrintable(QString::number(ratio))) << ratio;
    }
    // Each bracket is a whole upright with one tick per member: counted on a drawing of the
    // frame at the scale factor.
    void bracketLinesWholeAtEveryScale()
    {
        QFETCH(qreal, ratio);
        auto form = shownForm();
        QList<int> ticks;
        for (const int index : form->Line1.indices()) {
            QFrame* upright = form->Line1(index);
            QWidget* frame = upright->parentWidget();
            QImage drawing(frame->size() * ratio, QImage::Format_RGB32);
            drawing.setDevicePixelRatio(ratio);
            drawing.fill(Qt::white);
            frame->render(&drawing);
            auto* bracket = qobject_cast<BracketLine*>(upright);
            QVERIFY(bracket);
            ticks << countTicks(drawing, bracket->line(), ratio);
        }
        // Ten groups: Utilities has eight members, Auto four, three groups three, five groups two.
        std::sort(ticks.begin(), ticks.end());
        QCOMPARE(ticks, (QList<int> { 2, 2, 2, 2, 2, 3, 3, 3, 4, 8 }));
    }

private:
    // The ticks along an upright drawn at a line's place (in logical pixels), after checking that
    // the upright is whole; -1 when it is not.
    static int countTicks(const QImage& drawing, const QRect& line, qreal ratio)
    {
        auto dark = [&](int x, int y) { return qGray(drawing.pixel(x, y)) < 128; };
        const int top = qCeil(line.top() * ratio);
        const int bottom = qFloor((line.bottom() + 1) * ratio) - 1;
        int column = -1;
        for (int x = qFloor(line.left() * ratio) - 1; x <= qCeil((line.right() + 1) * ratio); ++x) {
            if (dark(x, (top + bottom) / 2))
                column = x;
        }
        if (column < 0)
            return -1;
        for (int y = top; y <= bottom; ++y) {
            if (!dark(column, y))
                return -1;
        }
        const int probe = column + qCeil(4 * ratio);
        int count = 0;
        bool inTick = false;
        for (int y = top; y <= bottom + 1; ++y) {
            const bool on = dark(probe, y);
            count += on && !inTick ? 1 : 0;
            inTick = on;
        }
        return count;
    }

    QTemporaryDir mHome;
    std::unique_ptr<QTemporaryDir> mStore;
    std::unique_ptr<ScriptedDialogs> mDialogs;
};

QTEST_MAIN(TestForm1Window)
#include "tst_form1window.moc"
