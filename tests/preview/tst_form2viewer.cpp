#include "picturemenu.h"
#include "fakerangepdf.h"
#include "previewhelpers.h"
#include "scripteddialogs.h"

#include "app/settingsstore.h"
#include "app/twips.h"
#include "export/resultoutput.h"
#include "preview/sheetmaster.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <QtTest>
#include <algorithm>

using namespace PreviewHelpers;

namespace {

// The viewport's inner size, and where it starts in the window, in pixels.
constexpr qint32 innerWidth = 9270;
constexpr qint32 innerHeight = 7365;
const QPoint viewportOrigin(10, 8);

QRect thumbRect(const QScrollBar& bar)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar.orientation();
    if (bar.orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    return bar.style()->subControlRect(
        QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar);
}

const QHash<QString, QString> menuEntries { { "menu in", "Zoom &In" }, { "menu out", "Zoom &Out" },
    { "menu actual", "Actual &Size" } };

// The box as the screen shows it, in the screen's pixels.
QImage shown(QWidget& box)
{
    return box.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QByteArray fakeDrawing(QSize picture, bool gridlines)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("range.pdf");
    writeFakeRangePdf(path, picture, gridlines);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The colour of the fake sheet's dark first cell where the box shows it: navy in the picture,
// green in the drawing.
QString firstCellSource(const QImage& shown, float zoom)
{
    const QColor colour
        = shown.pixelColor((QPointF(32, 10) * zoom * shown.devicePixelRatio()).toPoint());
    if (colour.blue() > 100 && colour.green() < 60)
        return "picture";
    if (colour.green() > 100 && colour.blue() < 60)
        return "drawing";
    return colour.name();
}

// What the user does: a zoom button, a key, or an entry of the picture's menu.
void act(Form2& form, const QString& input)
{
    if (input == "in")
        QTest::mouseClick(form.PushButton1, Qt::LeftButton);
    else if (input == "out")
        QTest::mouseClick(form.PushButton2, Qt::LeftButton);
    else if (input == "+")
        QTest::keyClick(&form, Qt::Key_Plus);
    else if (input == "=")
        QTest::keyClick(&form, Qt::Key_Equal);
    else if (input == "-")
        QTest::keyClick(&form, Qt::Key_Minus);
    else if (input == "ctrl+0")
        QTest::keyClick(&form, Qt::Key_0, Qt::ControlModifier);
    else if (QAction* entry = pictureMenuAction(form, menuEntries.value(input)))
        entry->trigger();
    else
        QFAIL(qPrintable("unknown input " + input));
}

// The sheet picture (1305 × 1344 pixels) at each zoom: its size in twips and the bars' maxima
// in the viewport of 9270 × 7365 twips; 0 for a bar that is off.
struct SheetAtZoom {
    float zoom;
    QSize twips;
    int hMaximum;
    int vMaximum;
};
const SheetAtZoom sheetAtZoom[] = {
    { 0.25f, { 4893, 5039 }, 0, 0 },
    { 0.5f, { 9786, 10079 }, 516, 2714 },
    { 0.75f, { 14679, 15118 }, 5409, 7753 },
    { 1.0f, { 19573, 20158 }, 10303, 12793 },
    { 1.25f, { 24466, 25197 }, 15196, 17832 },
    { 1.5f, { 29359, 30237 }, 20089, 22872 },
    { 1.75f, { 34252, 35276 }, 24982, 27911 },
    { 2.0f, { 39146, 40316 }, 29876, 32951 },
    { 2.25f, { 44039, 45355 }, 34769, 37990 },
};

// The sheet has its size at the zoom, the bars cover exactly its overflow of the viewport and
// stand where it stands.
void checkBarsFollowThePicture(const Form2& form)
{
    const auto expected = std::find_if(std::begin(sheetAtZoom), std::end(sheetAtZoom),
        [&](const SheetAtZoom& row) { return row.zoom == form.mZoom; });
    QVERIFY(expected != std::end(sheetAtZoom));
    QCOMPARE(QSize(form.Picture1->twipsWidth(), form.Picture1->twipsHeight()), expected->twips);
    QCOMPARE(form.HScroll1->isEnabled(), expected->hMaximum > 0);
    QCOMPARE(form.HScroll1->maximum(), expected->hMaximum);
    QCOMPARE(form.HScroll1->value(), -form.Picture1->twipsLeft());
    QCOMPARE(form.VScroll1->isEnabled(), expected->vMaximum > 0);
    QCOMPARE(form.VScroll1->maximum(), expected->vMaximum);
    QCOMPARE(form.VScroll1->value(), -form.Picture1->twipsTop());
}

// The bars cover the picture's overflow of the viewport at whatever size it has now, and a
// picture larger than the viewport leaves no empty space beside it.
void checkNoEmptySpace(const Form2& form)
{
    auto check = [](const QScrollBar* bar, qint32 position, qint32 length, qint32 viewport) {
        QCOMPARE(bar->isEnabled(), length > viewport);
        QCOMPARE(bar->maximum(), qMax(0, length - viewport));
        QCOMPARE(-position, bar->isEnabled() ? bar->value() : 0);
        QVERIFY(position <= 0 && position + length >= qMin(length, viewport));
    };
    check(form.HScroll1, form.Picture1->twipsLeft(), form.Picture1->twipsWidth(),
        form.Picture2->innerWidth());
    check(form.VScroll1, form.Picture1->twipsTop(), form.Picture1->twipsHeight(),
        form.Picture2->innerHeight());
}

// A resized window must not hand its size to the windows of the later tests.
struct ForgetPlaces {
    ~ForgetPlaces()
    {
        QSettings(SettingsStore::fileName(), QSettings::IniFormat)
            .remove(QStringLiteral("Windows"));
    }
};

// The share of the picture at a place of the viewport, in twips.
QPointF shareAt(const Form2& form, QPointF place)
{
    return QPointF((place.x() - form.Picture1->twipsLeft()) / form.Picture1->twipsWidth(),
        (place.y() - form.Picture1->twipsTop()) / form.Picture1->twipsHeight());
}

void wheel(Form2& form, QPoint windowPoint, int turn, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = form.childAt(windowPoint);
    QVERIFY(target);
    const QPoint local = target->mapFrom(&form, windowPoint);
    QWheelEvent event(local, target->mapToGlobal(local), QPoint(), QPoint(0, turn), Qt::NoButton,
        modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// Records which of the office's ways out the preview asked for.
class RecordingOutput final : public ResultOutput {
public:
    RecordingOutput() { ResultOutput::install(this); }
    ~RecordingOutput() override { ResultOutput::install(nullptr); }
    void exportPdf(QWidget*, const QString&) override { commands << "pdf"; }
    void print(QWidget*, const QString&) override { commands << "print"; }
    QStringList commands;
};

} // namespace

class TestForm2Viewer : public QObject {
    Q_OBJECT

private slots:
    void setUpOnFirstShowingOfAPicture()
    {
        ScriptedDialogs dialogs;
        const QPixmap sheet = sheetPicture();
        Form2 form;
        form.setPicture(sheet);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QVERIFY(!form.mFirstActivate);
        QCOMPARE(form.mZoom, 1.0f);
        QCOMPARE(form.mOrigWidth, 1305 * 15 - 2);
        QCOMPARE(form.mOrigHeight, 1344 * 15 - 2);
        QVERIFY(form.Zoom_Ori->isHidden());
        QCOMPARE(picturePosition(form), QPoint(0, 0));
        // Natural size on a plain screen is a 1:1 copy.
        QCOMPARE(form.picture().toImage(), sheet.toImage());
        checkBarsFollowThePicture(form);
        QCOMPARE(form.HScroll1->maximum(), 10303);
        QCOMPARE(form.VScroll1->maximum(), 12793);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void everyZoomWorksOnTheSheet_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QList<float>>("zooms");
        QTest::newRow("five steps in reach 2.25, a sixth is refused") << QStringList { "in", "in",
            "in", "in", "in", "in" } << QList<float> { 1.25f, 1.5f, 1.75f, 2.0f, 2.25f, 2.25f };
        QTest::newRow("out and back in reaches natural size again") << QStringList { "out", "in",
            "in", "out" } << QList<float> { 0.75f, 1.0f, 1.25f, 1.0f };
        QTest::newRow("three steps out reach 0.25, a fourth is refused") << QStringList { "out",
            "out", "out", "out", "in" } << QList<float> { 0.75f, 0.5f, 0.25f, 0.25f, 0.5f };
        QTest::newRow("keys") << QStringList { "+", "=", "-", "ctrl+0", "-", "-", "ctrl+0" }
                              << QList<float> { 1.25f, 1.5f, 1.25f, 1.0f, 0.75f, 0.5f, 1.0f };
        QTest::newRow("picture menu") << QStringList { "menu in", "menu in", "menu actual",
            "menu out" } << QList<float> { 1.25f, 1.5f, 1.0f, 0.75f };
    }
    void everyZoomWorksOnTheSheet()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QList<float>, zooms);
        ScriptedDialogs dialogs;
        auto form = showPreview(sheetPicture());
        for (int step = 0; step < inputs.size(); ++step) {
            act(*form, inputs[step]);
            QCOMPARE(form->mZoom, zooms[step]);
            QCOMPARE(form->picture().size(), form->Picture1->size());
            checkBarsFollowThePicture(*form);
        }
        QVERIFY(dialogs.messages.isEmpty());
    }

    void zoomKeepsTheCentre_data()
    {
        QTest::addColumn<QPoint>("bars");
        QTest::addColumn<QStringList>("inputs");
        QTest::newRow("in from 1.0") << QPoint(3000, 4000) << QStringList { "in" };
        QTest::newRow("out from 1.0") << QPoint(3000, 4000) << QStringList { "out" };
        QTest::newRow("up to 2.25")
            << QPoint(5000, 6000) << QStringList { "in", "in", "in", "in", "in" };
        QTest::newRow("back to 1.0 by key")
            << QPoint(3000, 4000) << QStringList { "in", "in", "ctrl+0" };
    }
    void zoomKeepsTheCentre()
    {
        QFETCH(QPoint, bars);
        QFETCH(QStringList, inputs);
        auto form = showPreview(sheetPicture());
        form->HScroll1->setValue(bars.x());
        form->VScroll1->setValue(bars.y());
        const QPointF centre(innerWidth / 2.0, innerHeight / 2.0);
        for (const QString& input : inputs) {
            const QPointF before = shareAt(*form, centre);
            act(*form, input);
            const QPointF after = shareAt(*form, centre);
            // Within a twip of the zoomed picture.
            QVERIFY2(qAbs(after.x() - before.x()) * form->mZoomWidth <= 1.0
                    && qAbs(after.y() - before.y()) * form->mZoomHeight <= 1.0,
                qPrintable(QStringLiteral("%1, %2 became %3, %4")
                               .arg(before.x())
                               .arg(before.y())
                               .arg(after.x())
                               .arg(after.y())));
            checkBarsFollowThePicture(*form);
        }
    }

    void zoomFromAFittingPictureKeepsItsCentre()
    {
        auto form = showPreview(sheetPicture());
        for (int step = 0; step < 3; ++step)
            act(*form, "out");
        const QPointF middle(form->mZoomWidth / 2.0, form->mZoomHeight / 2.0);
        act(*form, "ctrl+0");
        const QPointF share = shareAt(*form, middle);
        QVERIFY2(qAbs(share.x() - 0.5) * form->mZoomWidth <= 1.0
                && qAbs(share.y() - 0.5) * form->mZoomHeight <= 1.0,
            qPrintable(QStringLiteral("%1, %2").arg(share.x()).arg(share.y())));
        checkBarsFollowThePicture(*form);
    }

    void zoomOutAtTheFarEndsKeepsTheFarEnds()
    {
        auto form = showPreview(sheetPicture());
        form->HScroll1->setValue(form->HScroll1->maximum());
        form->VScroll1->setValue(form->VScroll1->maximum());
        act(*form, "out");
        QCOMPARE(form->Picture1->twipsLeft() + form->Picture1->twipsWidth(), innerWidth);
        QCOMPARE(form->Picture1->twipsTop() + form->Picture1->twipsHeight(), innerHeight);
        checkBarsFollowThePicture(*form);
    }

    void barsAtTheirEndsShowNoEmptySpace_data()
    {
        QTest::addColumn<int>("stepsIn");
        QTest::newRow("0.5") << -2;
        QTest::newRow("0.75") << -1;
        QTest::newRow("1.0") << 0;
        QTest::newRow("2.25") << 5;
    }
    void barsAtTheirEndsShowNoEmptySpace()
    {
        QFETCH(int, stepsIn);
        auto form = showPreview(sheetPicture());
        for (int step = 0; step < qAbs(stepsIn); ++step)
            act(*form, stepsIn > 0 ? "in" : "out");
        for (QScrollBar* bar : { form->HScroll1, form->VScroll1 }) {
            QVERIFY(bar->isEnabled());
            const QRect thumb = thumbRect(*bar);
            const QPoint far = bar->orientation() == Qt::Horizontal
                ? QPoint(bar->width() - 1, thumb.center().y())
                : QPoint(thumb.center().x(), bar->height() - 1);
            QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
            QTest::mouseMove(bar, far);
            QTest::mouseRelease(bar, Qt::LeftButton, {}, far);
            QCOMPARE(bar->value(), bar->maximum());
        }
        QCOMPARE(form->Picture1->twipsLeft() + form->Picture1->twipsWidth(), innerWidth);
        QCOMPARE(form->Picture1->twipsTop() + form->Picture1->twipsHeight(), innerHeight);
    }

    void resizedWindowKeepsTheCentreAndFillsTheViewport_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<int>("stepsIn");
        QTest::addColumn<QPoint>("bars");
        QTest::addColumn<QSize>("inner");
        QTest::addColumn<bool>("centreKept");
        QTest::newRow("maximised at 1.0: the whole width")
            << QSize(1920, 1026) << 0 << QPoint(5000, 4000) << QSize(28230, 13395) << true;
        QTest::newRow("maximised at 2.25")
            << QSize(1920, 1026) << 5 << QPoint(15000, 20000) << QSize(28230, 13395) << true;
        QTest::newRow("smallest at 1.0")
            << QSize(560, 400) << 0 << QPoint(3000, 4000) << QSize(7830, 4005) << true;
        QTest::newRow("wider at 0.5: the picture fits")
            << QSize(900, 624) << -2 << QPoint(400, 100) << QSize(12930, 7365) << false;
        QTest::newRow("far ends stay at the far ends")
            << QSize(700, 700) << 0 << QPoint(10303, 12793) << QSize(9930, 8505) << false;
    }
    // While the window is dragged to its new size, the bars keep to the picture's overflow of the
    // viewport, a larger picture leaves no empty space, and the middle of the view stays.
    void resizedWindowKeepsTheCentreAndFillsTheViewport()
    {
        QFETCH(QSize, window);
        QFETCH(int, stepsIn);
        QFETCH(QPoint, bars);
        QFETCH(QSize, inner);
        QFETCH(bool, centreKept);
        const ForgetPlaces forget;
        auto form = showPreview(sheetPicture());
        for (int step = 0; step < qAbs(stepsIn); ++step)
            act(*form, stepsIn > 0 ? "in" : "out");
        form->HScroll1->setValue(bars.x());
        form->VScroll1->setValue(bars.y());
        const QSize designed = form->size();
        for (int step = 1; step <= 3; ++step) {
            const QPointF before = shareAt(*form,
                QPointF(form->Picture2->innerWidth() / 2.0, form->Picture2->innerHeight() / 2.0));
            form->resize(designed + (window - designed) * step / 3);
            const QPointF middle(
                form->Picture2->innerWidth() / 2.0, form->Picture2->innerHeight() / 2.0);
            const QPointF after = shareAt(*form, middle);
            // Along an axis where the picture now fits, it stands at the origin instead.
            const bool wider = form->mZoomWidth > form->Picture2->innerWidth();
            const bool taller = form->mZoomHeight > form->Picture2->innerHeight();
            if (centreKept) {
                QVERIFY2((!wider || qAbs(after.x() - before.x()) * form->mZoomWidth <= 1.0)
                        && (!taller || qAbs(after.y() - before.y()) * form->mZoomHeight <= 1.0),
                    qPrintable(QStringLiteral("step %1: %2, %3 became %4, %5")
                                   .arg(step)
                                   .arg(before.x())
                                   .arg(before.y())
                                   .arg(after.x())
                                   .arg(after.y())));
            }
            checkNoEmptySpace(*form);
        }
        QCOMPARE(QSize(form->Picture2->innerWidth(), form->Picture2->innerHeight()), inner);
        QCOMPARE(form->Frame1->geometry().bottom(), window.height() - 1 - 43);
        QCOMPARE(form->PushButton6->geometry().right(), window.width() - 1 - 8);
    }

    void ctrlWheelZoomsAroundThePointer_data()
    {
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<int>("turn");
        QTest::addColumn<float>("zoom");
        QTest::newRow("in near the top left") << QPoint(60, 50) << 120 << 1.25f;
        QTest::newRow("in near the bottom right") << QPoint(560, 450) << 120 << 1.25f;
        QTest::newRow("two notches in") << QPoint(400, 300) << 240 << 1.5f;
        QTest::newRow("one notch out") << QPoint(400, 300) << -120 << 0.75f;
    }
    void ctrlWheelZoomsAroundThePointer()
    {
        QFETCH(QPoint, pointer);
        QFETCH(int, turn);
        QFETCH(float, zoom);
        auto form = showPreview(sheetPicture());
        form->HScroll1->setValue(2000);
        form->VScroll1->setValue(3000);
        const QPointF place((pointer - viewportOrigin) * Twips::perPixel);
        const QPointF before = shareAt(*form, place);
        wheel(*form, pointer, turn, Qt::ControlModifier);
        QCOMPARE(form->mZoom, zoom);
        const QPointF after = shareAt(*form, place);
        QVERIFY(qAbs(after.x() - before.x()) * form->mZoomWidth <= 1.0);
        QVERIFY(qAbs(after.y() - before.y()) * form->mZoomHeight <= 1.0);
        checkBarsFollowThePicture(*form);
    }

    void wheelAndKeysScroll_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QPoint>("moved");
        const int wheelRows = 255 * QApplication::wheelScrollLines();
        QTest::newRow("wheel down") << "wheel" << QPoint(0, -wheelRows);
        QTest::newRow("shift+wheel") << "shift+wheel" << QPoint(-wheelRows, 0);
        QTest::newRow("down arrow") << "down" << QPoint(0, -255);
        QTest::newRow("right arrow") << "right" << QPoint(-255, 0);
        QTest::newRow("page down") << "pagedown" << QPoint(0, -innerHeight);
        QTest::newRow("page up") << "pageup" << QPoint(0, 0);
        QTest::newRow("bar's arrow") << "arrow click" << QPoint(0, -255);
        QTest::newRow("bar's track") << "track click" << QPoint(0, -innerHeight);
    }
    void wheelAndKeysScroll()
    {
        QFETCH(QString, input);
        QFETCH(QPoint, moved);
        auto form = showPreview(sheetPicture());
        // The buttons keep the keyboard focus: the keys still scroll the picture.
        form->PushButton1->setFocus();
        if (input == "wheel" || input == "shift+wheel")
            wheel(*form, QPoint(300, 250), -120,
                input == "wheel" ? Qt::NoModifier : Qt::ShiftModifier);
        else if (input == "down")
            QTest::keyClick(form->PushButton1, Qt::Key_Down);
        else if (input == "right")
            QTest::keyClick(form->PushButton1, Qt::Key_Right);
        else if (input == "pagedown")
            QTest::keyClick(form->PushButton1, Qt::Key_PageDown);
        else if (input == "arrow click")
            QTest::mouseClick(form->VScroll1, Qt::LeftButton, {},
                QPoint(form->VScroll1->width() / 2, form->VScroll1->height() - 4));
        else if (input == "track click")
            QTest::mouseClick(form->VScroll1, Qt::LeftButton, {},
                thumbRect(*form->VScroll1).center()
                    + QPoint(0, thumbRect(*form->VScroll1).height()));
        else
            QTest::keyClick(form->PushButton1, Qt::Key_PageUp);
        QCOMPARE(picturePosition(*form), moved);
        checkBarsFollowThePicture(*form);
    }

    void thumbMovesThePictureOnlyWhenReleased()
    {
        auto form = showPreview(sheetPicture());
        QScrollBar* bar = form->VScroll1;
        const QPoint grab = thumbRect(*bar).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, grab);
        QTest::mouseMove(bar, grab + QPoint(0, 120));
        QVERIFY(bar->sliderPosition() > 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(form->Picture1->twipsTop(), 0);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, grab + QPoint(0, 120));
        QVERIFY(bar->value() > 0);
        QCOMPARE(form->Picture1->twipsTop(), -bar->value());
    }

    void dragStopsAtBothEdges()
    {
        ScriptedDialogs dialogs;
        auto form = showPreview(sheetPicture());
        QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
        QTest::mouseMove(form->windowHandle(), QPoint(400, 350));
        QCOMPARE(picturePosition(*form), QPoint(0, 0));
        QTest::mouseMove(form->windowHandle(), QPoint(-600, -750));
        QCOMPARE(picturePosition(*form), QPoint(innerWidth - 19573, innerHeight - 20158));
        QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, QPoint(-600, -750));
        QCOMPARE(picturePosition(*form), QPoint(innerWidth - 19573, innerHeight - 20158));
        checkBarsFollowThePicture(*form);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void droppedPictureStaysWhereItWasDragged_data()
    {
        QTest::addColumn<int>("stepsIn");
        QTest::addColumn<QPoint>("dragged");
        QTest::newRow("0.25, fits the viewport") << -3 << QPoint(0, 0);
        QTest::newRow("0.5") << -2 << QPoint(-516, -2250);
        QTest::newRow("1.0") << 0 << QPoint(-3000, -2250);
        QTest::newRow("2.25") << 5 << QPoint(-3000, -2250);
    }
    void droppedPictureStaysWhereItWasDragged()
    {
        QFETCH(int, stepsIn);
        QFETCH(QPoint, dragged);
        ScriptedDialogs dialogs;
        auto form = showPreview(sheetPicture());
        for (int step = 0; step < qAbs(stepsIn); ++step)
            act(*form, stepsIn > 0 ? "in" : "out");
        const QPoint start = picturePosition(*form);
        QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
        QTest::mouseMove(form->windowHandle(), QPoint(270, 230));
        QTest::mouseMove(form->windowHandle(), QPoint(100, 100));
        const QPoint moved = picturePosition(*form);
        if (stepsIn >= 0)
            QCOMPARE(moved, start + dragged);
        else
            QCOMPARE(moved, dragged);
        QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
        QCOMPARE(picturePosition(*form), moved);
        checkBarsFollowThePicture(*form);
        // A plain click afterwards moves nothing either.
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(200, 200));
        QCOMPARE(picturePosition(*form), moved);
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Every grid line of the sheet still shows when the picture is drawn smaller: a plain
    // stretch drops the lines that fall between the pixels it keeps.
    void reductionKeepsEveryGridLine_data()
    {
        QTest::addColumn<int>("stepsOut");
        QTest::newRow("0.75") << 1;
        QTest::newRow("0.5") << 2;
        QTest::newRow("0.25") << 3;
    }
    void reductionKeepsEveryGridLine()
    {
        QFETCH(int, stepsOut);
        QPixmap grid(realSheetSize());
        grid.fill(Qt::white);
        {
            QPainter painter(&grid);
            painter.setPen(QColor(0xc0, 0xc0, 0xc0));
            for (int x : gridColumns(grid.width()))
                painter.drawLine(x, 0, x, grid.height());
        }
        auto form = showPreview(grid);
        for (int step = 0; step < stepsOut; ++step)
            act(*form, "out");
        const QImage shown = form->picture().toImage();
        const double zoom = form->mZoom;
        for (int x : gridColumns(grid.width())) {
            const int column = qMin(int(x * zoom), shown.width() - 1);
            int darkest = 255;
            for (int near = qMax(0, column - 1); near <= qMin(shown.width() - 1, column + 1);
                 ++near)
                darkest = qMin(darkest, qGray(shown.pixel(near, shown.height() / 2)));
            // A plain stretch leaves pure white where it skipped a line.
            QVERIFY2(darkest < 252, qPrintable(QStringLiteral("line at %1 lost").arg(x)));
        }
    }

    // Where the screen has more pixels than the picture (zoom times device pixel ratio above 1)
    // the sheet is drawn from its vector drawing as its tiles come; at natural size on a plain
    // screen it stays the picture's exact copy; without a drawing the picture is stretched.
    // Rows for other device pixel ratios run under QT_SCALE_FACTOR (see CMakeLists.txt).
    void drawingWhereTheScreenHasMorePixels_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<bool>("drawing");
        QTest::addColumn<QString>("source");
        QTest::newRow("1.0, ratio 1: the exact picture") << 0 << 1.0 << true << "picture";
        QTest::newRow("1.0, ratio 2") << 0 << 2.0 << true << "drawing";
        QTest::newRow("1.0, ratio 1.5") << 0 << 1.5 << true << "drawing";
        QTest::newRow("1.25, ratio 1") << 1 << 1.0 << true << "drawing";
        QTest::newRow("2.25, ratio 2") << 5 << 2.0 << true << "drawing";
        QTest::newRow("0.5, ratio 2: one pixel each") << -2 << 2.0 << true << "picture";
        QTest::newRow("0.75, ratio 1: reduced") << -1 << 1.0 << true << "picture";
        QTest::newRow("2.25, ratio 2, no drawing: stretched") << 5 << 2.0 << false << "picture";
    }
    void drawingWhereTheScreenHasMorePixels()
    {
        QFETCH(int, steps);
        QFETCH(qreal, ratio);
        QFETCH(bool, drawing);
        QFETCH(QString, source);
        const QSize size(116, 134);
        if (!qFuzzyCompare(qApp->devicePixelRatio(), ratio))
            QSKIP("a row for another device pixel ratio");
        const QImage picture = fakeSheetPicture(size);
        auto form = showPreview(QPixmap::fromImage(picture));
        if (drawing)
            form->setSheetDrawings(fakeDrawing(size, true), fakeDrawing(size, false));
        QCOMPARE(form->sheetMaster() != nullptr, drawing);
        for (int step = 0; step < qAbs(steps); ++step)
            act(*form, steps > 0 ? "in" : "out");
        QCOMPARE(form->mZoom, 1.0f + steps * 0.25f);
        if (source == "drawing") {
            // The stretched picture shows until the tiles have come.
            QTRY_COMPARE(firstCellSource(shown(*form->Picture1), form->mZoom), source);
        } else {
            QTest::qWait(50);
            QCOMPARE(firstCellSource(shown(*form->Picture1), form->mZoom), source);
        }
        if (steps == 0 && ratio == 1.0)
            QCOMPARE(shown(*form->Picture1), picture);
    }

    void drawingOfAnotherPictureIsIgnored()
    {
        auto form = showPreview(QPixmap::fromImage(fakeSheetPicture(QSize(116, 134))));
        form->setSheetMaster(SheetMaster::fromPdf(
            fakeDrawing(QSize(116, 135), true), fakeDrawing(QSize(116, 135), false), { 116, 135 }));
        QVERIFY(!form->sheetMaster());
        form->setSheetDrawings(QByteArray("%PDF-1.4 broken"), QByteArray());
        QVERIFY(!form->sheetMaster());
        form->setSheetDrawings(
            fakeDrawing(QSize(116, 134), true), fakeDrawing(QSize(116, 134), false));
        QVERIFY(form->sheetMaster());
        // A new picture drops it.
        form->setPicture(QPixmap::fromImage(fakeSheetPicture(QSize(116, 134))));
        QVERIFY(!form->sheetMaster());
    }

    void sizeLimitKeepsLastPaintingAndRestartsAtOne()
    {
        ScriptedDialogs dialogs;
        // 44998 twips wide at 1.0, 56247 at 1.25: 1.5 would pass the width limit.
        auto form = showPreview(QSize(3000, 600));
        act(*form, "in");
        QCOMPARE(form->mZoom, 1.25f);
        QCOMPARE(form->picture().width(), 3750);
        act(*form, "in");
        QCOMPARE(form->mZoom, 1.0f);
        QCOMPARE(form->mZoomWidth, 44998);
        QCOMPARE(form->Picture1->twipsWidth(), 56247);
        QCOMPARE(form->picture().width(), 3750);
        act(*form, "in");
        QCOMPARE(form->mZoom, 1.25f);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void pictureTooLargeAtNaturalSizeKeepsItsSize()
    {
        ScriptedDialogs dialogs;
        auto form = showPreview(QSize(4000, 300));
        QCOMPARE(form->mZoom, 1.0f);
        QCOMPARE(form->Picture1->twipsWidth(), 4000 * 15);
        QCOMPARE(form->picture().width(), 4000);
        // The bars are computed from the picture as it stands.
        QCOMPARE(form->HScroll1->maximum(), 4000 * 15 - innerWidth);
        QVERIFY(dialogs.messages.isEmpty());
    }

    // The keys on the picture, which has the focus, with the picture scrolled to the middle:
    // where the picture stands after the key, and what else happened.
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("command");
        const QPoint middle(-5000, -6000);
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Home") << int(Qt::Key_Home) << 0 << QPoint(0, -6000) << "";
        QTest::newRow("End") << int(Qt::Key_End) << 0 << QPoint(-10303, -6000) << "";
        QTest::newRow("Ctrl+Home") << int(Qt::Key_Home) << ctrl << QPoint(0, 0) << "";
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << ctrl << QPoint(-10303, -12793) << "";
        QTest::newRow("Space") << int(Qt::Key_Space) << 0 << middle << "";
        QTest::newRow("Shift+F10")
            << int(Qt::Key_F10) << int(Qt::ShiftModifier) << middle << "menu";
        QTest::newRow("Menu") << int(Qt::Key_Menu) << 0 << middle << "menu";
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << ctrl << middle << "clipboard";
        QTest::newRow("Ctrl+Shift+S")
            << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier) << middle
            << "Save Picture";
        QTest::newRow("Ctrl+E") << int(Qt::Key_E) << ctrl << middle << "pdf";
        QTest::newRow("Ctrl+P") << int(Qt::Key_P) << ctrl << middle << "print";
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QPoint, position);
        QFETCH(QString, command);
        ScriptedDialogs dialogs;
        RecordingOutput output;
        QGuiApplication::clipboard()->clear();
        auto form = showPreview(sheetPicture());
        QCOMPARE(QApplication::focusWidget(), form->Picture2);
        form->HScroll1->setValue(5000);
        form->VScroll1->setValue(6000);
        QTest::keyClick(form->Picture2, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

        QCOMPARE(picturePosition(*form), position);
        QStringList happened = output.commands + dialogs.saveTitles;
        if (form->PictureMenu->isVisible()) {
            happened << "menu";
            // At the viewport's centre.
            QCOMPARE(form->PictureMenu->pos(),
                form->Picture2->mapToGlobal(form->Picture2->rect().center()));
            form->PictureMenu->hide();
        }
        if (!QGuiApplication::clipboard()->image().isNull()) {
            happened << "clipboard";
            QCOMPARE(QGuiApplication::clipboard()->image().size(), realSheetSize());
        }
        QCOMPARE(happened, command.isEmpty() ? QStringList() : QStringList { command });
        QVERIFY(dialogs.messages.isEmpty());
    }

    // No key of the window does two things, so none is lost to an ambiguous shortcut.
    void everyKeyOnce()
    {
        auto form = showPreview(sheetPicture());
        QStringList keys { form->PushButton6->shortcut().toString() };
        for (const QAction* action : form->actions()) {
            for (const QKeySequence& key : action->shortcuts())
                keys << key.toString();
        }
        QVERIFY(keys.size() >= 20);
        QStringList once = keys;
        once.removeDuplicates();
        QCOMPARE(keys.size(), once.size());
        QVERIFY(form->PushButton8->shortcut().isEmpty());
    }

    void rightClickOpensThePictureMenu()
    {
        auto form = showPreview(sheetPicture());
        QStringList texts;
        for (const QAction* action : form->PictureMenu->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(texts,
            QStringList({ "Zoom &In", "Zoom &Out", "Actual &Size", "-", "&Copy Picture",
                QStringLiteral("Save Picture &As\u2026"), "-",
                QStringLiteral("&Export as PDF\u2026"), QStringLiteral("&Print\u2026") }));
        // The keys the menu shows beside its entries.
        QStringList keys;
        for (const QAction* action : form->PictureMenu->actions())
            keys << action->shortcut().toString();
        QCOMPARE(keys,
            QStringList(
                { "+", "-", "Ctrl+0", "", "Ctrl+C", "Ctrl+Shift+S", "", "Ctrl+E", "Ctrl+P" }));
        QVERIFY(!form->PictureMenu->isVisible());
        QTest::mouseClick(form->windowHandle(), Qt::RightButton, {}, QPoint(300, 250));
        QTRY_VERIFY(form->PictureMenu->isVisible());
        form->PictureMenu->hide();
        QCOMPARE(picturePosition(*form), QPoint(0, 0));
    }
};

QTEST_MAIN(TestForm2Viewer)
#include "tst_form2viewer.moc"
