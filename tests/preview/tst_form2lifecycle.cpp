#include "previewhelpers.h"
#include "scripteddialogs.h"

#include "app/errorreport.h"
#include "preview/focusmark.h"

#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace PreviewHelpers;

namespace {

QString writeResult(
    const QTemporaryDir& dir, const QString& name = QStringLiteral("FW12345678.xls"))
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write("workbook bytes") != 14)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Answers every report and then activates the window again, as closing a message box does.
class ReactivatingDialogs final : public Dialogs {
public:
    ReactivatingDialogs() { Dialogs::install(this); }
    ~ReactivatingDialogs() override { Dialogs::install(nullptr); }

    Answer message(QWidget*, const QString&, const QString& text, Icon, Buttons) override
    {
        texts.append(text);
        if (window) {
            QEvent activate(QEvent::WindowActivate);
            QApplication::sendEvent(window, &activate);
        }
        return Answer::Ok;
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return QString(); }

    QWidget* window = nullptr;
    QStringList texts;
};

} // namespace

class TestForm2Lifecycle : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }

    void loadGivesCaptionSizeAndColours()
    {
        ScriptedDialogs dialogs;
        Form2 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Ferrowynd"));
        QCOMPARE(form.size(), QSize(656, 624));
        QCOMPARE(form.minimumSize(), QSize(560, 400));
        QCOMPARE(form.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QCOMPARE(form.font().family(), QStringLiteral("Arial"));
        QVERIFY(form.font().bold());
        QCOMPARE(form.PushButton6->font().pointSizeF(), 11.25);
        QVERIFY(form.PushButton6->font().bold());
        QCOMPARE(form.Frame1->title(), QStringLiteral("Zoom:"));

        const QColor buttonFace = form.palette().color(QPalette::Button);
        QCOMPARE(form.palette().color(QPalette::Window), buttonFace);
        QCOMPARE(form.Frame1->palette().color(QPalette::Window), buttonFace);
        QVERIFY(form.Frame1->autoFillBackground());
        form.setPicture(patternedPicture(QSize(50, 50)));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage shown = form.grab().toImage();
        QCOMPARE(shown.pixelColor(300, 300), QColor(Qt::white));
        QCOMPARE(shown.pixelColor(650, 610), buttonFace);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void centredOnlyWhenFirstShown()
    {
        auto form = showPreview(QSize(300, 200));
        const QPoint screenCentre = form->screen()->availableGeometry().center();
        QVERIFY((form->geometry().center() - screenCentre).manhattanLength() <= 2);
        form->move(form->pos() + QPoint(-40, -30));
        const QPoint moved = form->pos();
        form->hide();
        form->show();
        QCOMPARE(form->pos(), moved);
    }

    void laterActivationsKeepZoomAndPosition()
    {
        auto form = showPreview(QSize(800, 600));
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QTest::mouseClick(form->HScroll1, Qt::LeftButton, {},
            QPoint(form->HScroll1->width() - 40, form->HScroll1->height() / 2));
        const QPoint position = picturePosition(*form);
        QVERIFY(position.x() < 0);

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(form->mZoom, 1.25f);
        QCOMPARE(picturePosition(*form), position);
    }

    void failingSetUpIsReportedOnce()
    {
        ReactivatingDialogs dialogs;
        Form2 form;
        dialogs.window = &form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // Without a picture the master copy is empty: the repaint reports its failing steps, and
        // the activation each closed report hands back starts no second set-up.
        QCOMPARE(dialogs.texts,
            QStringList({ errorReportText("Invalid property value", "Form2.RedrawImage", 108),
                errorReportText("Invalid picture", "Form2.RedrawImage", 110) }));
        QVERIFY(!form.mFirstActivate);
    }

    void backDeletesTheResult_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("writable") << false;
        QTest::newRow("read-only") << true;
    }
    void backDeletesTheResult()
    {
        QFETCH(bool, readOnly);
        ScriptedDialogs dialogs;
        const QString result = writeResult(mDir);
        if (readOnly)
            QVERIFY(QFile::setPermissions(result, QFileDevice::ReadOwner));
        QWidget mainWindow;
        auto form = showPreview(QSize(300, 200), result);
        form->setMainWindow(&mainWindow);

        QTest::mouseClick(form->PushButton8, Qt::LeftButton);
        // The window manager's activation of the preview, late, after the window went.
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(form.get(), &activate);
        QVERIFY(!QFile::exists(result));
        QVERIFY(mainWindow.isVisible());
        QVERIFY(!form->isVisible());
        QVERIFY(form->mFirstActivate);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void backWithoutMainWindowStaysVisible()
    {
        ScriptedDialogs dialogs;
        auto form = showPreview(QSize(300, 200), writeResult(mDir));
        QTest::mouseClick(form->PushButton8, Qt::LeftButton);
        QVERIFY(!QFile::exists(form->mExcelFile));
        QVERIFY(form->isVisible());
        QCOMPARE(dialogs.texts(),
            QStringList({ errorReportText(
                "The main window is not available.", "Form2.PushButton8_Click", 102) }));
    }

    void nextPictureAfterBackStartsAtOneTopLeft()
    {
        QWidget mainWindow;
        auto form = showPreview(sheetPicture(), writeResult(mDir));
        form->setMainWindow(&mainWindow);
        QTest::mouseClick(form->PushButton2, Qt::LeftButton);
        QTest::mousePress(form->windowHandle(), Qt::LeftButton, {}, QPoint(300, 250));
        QTest::mouseMove(form->windowHandle(), QPoint(100, 100));
        QTest::mouseRelease(form->windowHandle(), Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(picturePosition(*form) != QPoint(0, 0));
        QTest::mouseClick(form->PushButton8, Qt::LeftButton);

        const QPixmap next = patternedPicture(QSize(900, 700));
        form->setPicture(next);
        form->mExcelFile = writeResult(mDir, QStringLiteral("FW87654321.xls"));
        form->show();
        mainWindow.hide();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->mZoom, 1.0f);
        QCOMPARE(picturePosition(*form), QPoint(0, 0));
        QCOMPARE(form->Picture1->twipsWidth(), 13498);
        QCOMPARE(form->picture().toImage(), next.toImage());
        QCOMPARE(form->HScroll1->value(), 0);
        QCOMPARE(form->HScroll1->maximum(), 13498 - 9270);
        QCOMPARE(form->VScroll1->value(), 0);
        QCOMPARE(form->VScroll1->maximum(), 10498 - 7365);
    }

    // The window is reused for the next run, whose sheet has the same size: its reduction must
    // not be the earlier sheet's.
    void sameSizedPictureAfterBackIsReducedAfresh()
    {
        QWidget mainWindow;
        auto form = showPreview(sheetPicture(), writeResult(mDir));
        form->setMainWindow(&mainWindow);
        form->ZoomBy(1);
        QVERIFY(form->Picture1->image().toImage().pixelColor(200, 200) != QColor(0, 0, 160));
        QTest::mouseClick(form->PushButton8, Qt::LeftButton);

        QPixmap next(realSheetSize());
        next.fill(QColor(0, 0, 160));
        form->setPicture(next);
        form->mExcelFile = writeResult(mDir, QStringLiteral("FW87654321.xls"));
        form->show();
        mainWindow.hide();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->ZoomBy(1);
        QCOMPARE(form->mZoom, 0.75f);
        QCOMPARE(form->Picture1->image().toImage().pixelColor(200, 200), QColor(0, 0, 160));
    }

    // Each picture opens with the keyboard on it, marked, also after the mouse last used
    // "< Back": Space there presses nothing. Return presses the focused button.
    void opensWithTheKeyboardOnThePicture()
    {
        ScriptedDialogs dialogs;
        QWidget mainWindow;
        auto form = showPreview(sheetPicture(), writeResult(mDir));
        form->setMainWindow(&mainWindow);
        const FocusMark* mark = form->Picture2->findChild<FocusMark*>();
        QVERIFY(mark);
        for (int round = 0; round < 2; ++round) {
            QApplication::setActiveWindow(form.get());
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
            QCOMPARE(QApplication::focusWidget(), form->Picture2);
            QVERIFY(mark->isVisible());
            QVERIFY(form->testAttribute(Qt::WA_KeyboardFocusChange));
            QTest::keyClick(form->Picture2, Qt::Key_Space);
            QVERIFY(form->isVisible());
            QVERIFY(QFile::exists(form->mExcelFile));
            QCOMPARE(picturePosition(*form), QPoint(0, 0));
            QTest::mouseClick(form->PushButton8, Qt::LeftButton);
            QVERIFY(!form->isVisible());
            form->setPicture(sheetPicture());
            form->mExcelFile = writeResult(mDir, QStringLiteral("FW87654321.xls"));
            form->show();
            QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        }

        form->PushButton1->setFocus(Qt::TabFocusReason);
        QVERIFY(!mark->isVisible());
        QTest::keyClick(form->PushButton1, Qt::Key_Return);
        QTest::keyClick(form->PushButton1, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form->mZoom, 1.5f);
        QVERIFY2(dialogs.messages.isEmpty(), qPrintable(dialogs.texts().join("|")));
    }

    void closingDeletesTheResultAndEndsTheProgram()
    {
        ScriptedDialogs dialogs;
        const QString result = writeResult(mDir);
        auto form = showPreview(QSize(300, 200), result);
        // Only an explicit request may end the loop below, not the last window closing.
        QApplication::setQuitOnLastWindowClosed(false);
        QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
        QTimer::singleShot(0, form.get(), &QWidget::close);
        QTimer bound;
        bound.setSingleShot(true);
        connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        bound.start(10000);
        QCOMPARE(QCoreApplication::exec(), 0);
        bound.stop();
        QCOMPARE(aboutToQuit.count(), 1);
        QVERIFY(!QFile::exists(result));
        QVERIFY(!form->isVisible());
        QVERIFY(dialogs.messages.isEmpty());
    }

private:
    QTemporaryDir mDir;
};

QTEST_MAIN(TestForm2Lifecycle)
#include "tst_form2lifecycle.moc"
