#include "previewhelpers.h"
#include "scripteddialogs.h"

#include "app/twips.h"

#include <QGroupBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QtTest>

using namespace PreviewHelpers;

namespace {

const QSize sheetSize(1160, 1348);

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

// Mouse events at window positions reach whichever control is under them, as a user's do.
void drag(Form2& form, QPoint from, QPoint to)
{
    QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, from);
    QTest::mouseMove(form.windowHandle(), to);
    QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, to);
}

} // namespace

class TestForm2Viewer : public QObject {
    Q_OBJECT

private slots:
    void setUpOnFirstShowingOfAPicture()
    {
        ScriptedDialogs dialogs;
        const QPixmap sheet = patternedPicture(sheetSize);
        Form2 form;
        form.setPicture(sheet);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QVERIFY(!form.mFirstActivate);
        QCOMPARE(form.mZoom, 1.0f);
        QCOMPARE(form.mOrigWidth, 1160 * 15 - 2);
        QCOMPARE(form.mOrigHeight, 1348 * 15 - 2);
        QCOMPARE(form.mZoomWidth, form.mOrigWidth);
        QCOMPARE(form.mZoomHeight, form.mOrigHeight);
        QVERIFY(form.Zoom_Ori->isHidden());
        QCOMPARE(picturePosition(form), QPoint(0, 0));
        QCOMPARE(form.picture().toImage(), sheet.toImage());
        // Overflow of the viewport's outer size: 8068 and 12793 twips.
        QVERIFY(form.HScroll1->isEnabled());
        QCOMPARE(form.HScroll1->maximum(), 807);
        QCOMPARE(form.mHStep, qint16(10));
        QVERIFY(form.VScroll1->isEnabled());
        QCOMPARE(form.VScroll1->maximum(), 1279);
        QCOMPARE(form.mVStep, qint16(10));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void zoomStopsAtItsLimits_data()
    {
        QTest::addColumn<bool>("in");
        QTest::addColumn<QList<float>>("zooms");
        QTest::newRow("five steps in") << true << QList<float> { 1.25f, 1.5f, 1.75f, 2.0f, 2.25f };
        QTest::newRow("three steps out") << false << QList<float> { 0.75f, 0.5f, 0.25f };
    }
    void zoomStopsAtItsLimits()
    {
        QFETCH(bool, in);
        QFETCH(QList<float>, zooms);
        ScriptedDialogs dialogs;
        auto form = showPreview(QSize(200, 150));
        QPushButton* button = in ? form->PushButton1 : form->PushButton2;
        for (float zoom : zooms) {
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(form->mZoom, zoom);
            QCOMPARE(form->mZoomWidth, qint32(2998 * zoom));
            QCOMPARE(form->picture().width(), Twips::toPixels(form->mZoomWidth));
            QCOMPARE(form->picture().height(), Twips::toPixels(form->mZoomHeight));
        }
        const qint64 painted = form->picture().cacheKey();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(form->mZoom, zooms.constLast());
        QCOMPARE(form->picture().cacheKey(), painted);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void zoomStretchesTheMasterCopy()
    {
        auto form = showPreview(QSize(200, 150));
        const QImage original = patternedPicture(QSize(200, 150)).toImage();
        for (int press = 0; press < 4; ++press)
            QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(form->mZoom, 2.0f);
        const QImage shown = form->picture().toImage();
        QCOMPARE(shown.size(), QSize(400, 300));
        for (const QPoint source : { QPoint(0, 0), QPoint(37, 90), QPoint(199, 149) })
            QCOMPARE(shown.pixel(source * 2 + QPoint(1, 1)), original.pixel(source));
        // And back to natural size from the master copy, not from the enlarged painting.
        for (int press = 0; press < 4; ++press)
            QTest::mouseClick(form->PushButton2, Qt::LeftButton);
        QCOMPARE(form->picture().toImage(), original);
    }

    void sizeLimitKeepsLastPaintingAndRestartsAtOne()
    {
        ScriptedDialogs dialogs;
        auto form = showPreview(QSize(800, 600));
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(form->mZoom, 1.5f);
        const QPixmap atOneAndAHalf = form->picture();
        QCOMPARE(atOneAndAHalf.width(), 1200);

        // 11998 twips at 1.75 would be 20996 wide.
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(form->mZoom, 1.0f);
        QCOMPARE(form->mZoomWidth, 11998);
        QCOMPARE(form->mZoomHeight, 8998);
        QCOMPARE(form->picture().cacheKey(), atOneAndAHalf.cacheKey());
        QCOMPARE(form->Picture1->twipsWidth(), 17997);

        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(form->mZoom, 1.25f);
        QCOMPARE(form->picture().width(), 1000);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void pictureTooLargeAtNaturalSizeKeepsItsSize()
    {
        ScriptedDialogs dialogs;
        auto form = showPreview(QSize(1300, 400));
        QCOMPARE(form->mZoom, 1.0f);
        QCOMPARE(form->Picture1->twipsWidth(), 1300 * 15);
        QCOMPARE(form->picture().width(), 1300);
        // The bars are computed from the picture as it stands.
        QCOMPARE(form->HScroll1->maximum(), 1017);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void scrollRanges_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        QTest::newRow("narrow picture") << QSize(600, 900) << false << 0 << 0;
        QTest::newRow("88 twips over") << QSize(628, 900) << true << 88 << 1;
        QTest::newRow("2728 twips over") << QSize(804, 900) << true << 273 << 10;
        QTest::newRow("low picture") << QSize(900, 400) << true << 417 << 10;
    }
    void scrollRanges()
    {
        QFETCH(QSize, pixels);
        QFETCH(bool, horizontal);
        QFETCH(int, maximum);
        QFETCH(int, step);
        auto form = showPreview(pixels);
        QCOMPARE(form->HScroll1->isEnabled(), horizontal);
        QCOMPARE(int(form->mHStep), step);
        if (horizontal)
            QCOMPARE(form->HScroll1->maximum(), maximum);
        QCOMPARE(form->VScroll1->isEnabled(), pixels.height() * 15 - 2 > 7425);
        if (!horizontal)
            return;
        // One page click right of the thumb moves one position of `step` twips.
        const QRect thumb = thumbRect(*form->HScroll1);
        QTest::mouseClick(
            form->HScroll1, Qt::LeftButton, {}, thumb.center() + QPoint(thumb.width(), 0));
        QCOMPARE(form->HScroll1->value(), 1);
        QCOMPARE(form->Picture1->twipsLeft(), -step);
    }

    void thumbMovesThePictureOnlyWhenReleased()
    {
        auto form = showPreview(sheetSize);
        QScrollBar* bar = form->VScroll1;
        const QPoint grab = thumbRect(*bar).center();
        QTest::mousePress(bar, Qt::LeftButton, {}, grab);
        QTest::mouseMove(bar, grab + QPoint(0, 120));
        QVERIFY(bar->sliderPosition() > 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(form->Picture1->twipsTop(), 0);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, grab + QPoint(0, 120));
        QVERIFY(bar->value() > 0);
        QCOMPARE(form->Picture1->twipsTop(), -10 * bar->value());
    }

    void dragStopsAtBothEdgesAndHandsOverToTheBars()
    {
        ScriptedDialogs dialogs;
        auto form = showPreview(sheetSize);
        QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
        QTest::mouseMove(form->windowHandle(), QPoint(400, 350));
        QCOMPARE(picturePosition(*form), QPoint(0, 0));
        QTest::mouseMove(form->windowHandle(), QPoint(-400, -750));
        // The far edges meet the viewport's inner edges (9270 × 7365 twips).
        QCOMPARE(picturePosition(*form), QPoint(9270 - 17398, 7365 - 20218));
        QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, QPoint(-400, -750));
        // 8128 of 8068 twips is 101 %: that bar stays, the picture stays where it was dropped.
        QCOMPARE(form->HScroll1->value(), 0);
        QCOMPARE(form->Picture1->twipsLeft(), -8128);
        // 12853 of 12793 twips rounds to 100 %: the picture settles on the bar's grid.
        QCOMPARE(form->VScroll1->value(), 1279);
        QCOMPARE(form->Picture1->twipsTop(), -12790);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void dropSettlesOnTheBarGrid()
    {
        auto form = showPreview(sheetSize);
        drag(*form, QPoint(300, 250), QPoint(218, 250));
        // Dropped at -1230 twips: 15 % of 807 positions is 121, ten twips each.
        QCOMPARE(form->HScroll1->value(), 121);
        QCOMPARE(picturePosition(*form), QPoint(-1210, 0));
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
        QCOMPARE(picturePosition(*form), QPoint(-1210, 0));
    }

    void plainClickRunsTheHandOver()
    {
        auto form = showPreview(QSize(800, 1000));
        QCOMPARE(form->HScroll1->maximum(), 267);
        drag(*form, QPoint(300, 250), QPoint(-400, 250));
        // Beyond 100 %: the bar stays at 0 and the picture off its grid.
        QCOMPARE(form->Picture1->twipsLeft(), 9270 - 11998);
        QCOMPARE(form->HScroll1->value(), 0);
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(form->Picture1->twipsLeft(), -2728);
        // Now 2728 of 5667 twips: 48 % of the bar's 267 positions.
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
        QCOMPARE(form->HScroll1->value(), 128);
        QCOMPARE(form->Picture1->twipsLeft(), -1280);
    }

    void zoomedPictureKeepsRangesButDragReachesEverything()
    {
        auto form = showPreview(QSize(800, 600));
        QCOMPARE(form->HScroll1->maximum(), 267);
        QCOMPARE(form->VScroll1->maximum(), 157);
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(form->HScroll1->maximum(), 267);
        QCOMPARE(form->VScroll1->maximum(), 157);
        QCOMPARE(form->mHStep, qint16(10));
        QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, QPoint(600, 450));
        QTest::mouseMove(form->windowHandle(), QPoint(-600, -450));
        QCOMPARE(picturePosition(*form), QPoint(9270 - 17997, 7365 - 13497));
        QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, QPoint(-600, -450));
    }

    void clickOnPictureExactlyAsHighAsTheViewportTakesZero()
    {
        ScriptedDialogs dialogs;
        // 283 pixels: 4243 twips, 7425 at 1.75, the viewport's outer height.
        auto form = showPreview(QSize(700, 283));
        for (int press = 0; press < 3; ++press)
            QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(form->mZoom, 1.75f);
        QCOMPARE(form->Picture1->twipsHeight(), form->Picture2->twipsHeight());
        drag(*form, QPoint(300, 100), QPoint(240, 100));
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.texts().join('\n')));
        // The horizontal hand-over still ran: 900 of 9041 twips is 10 % of 117 positions.
        QCOMPARE(form->HScroll1->value(), 12);
        QCOMPARE(picturePosition(*form), QPoint(-120, 0));
    }
};

QTEST_MAIN(TestForm2Viewer)
#include "tst_form2viewer.moc"
