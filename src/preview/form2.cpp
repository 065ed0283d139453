#include "form2.h"

#include "app/appicon.h"

#include "exportactions.h"
#include "picturebox.h"
#include "savefolder.h"
#include "viewermath.h"
#include "workbookcopy.h"

#include "app/apperror.h"
#include "app/applicationtitle.h"
#include "app/cursorloader.h"
#include "app/dialogs.h"
#include "app/errortrap.h"
#include "app/filehelpers.h"
#include "app/folders.h"
#include "app/product.h"
#include "app/twips.h"
#include "appearance/recolourform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace {

constexpr qint32 clientWidth = 9840;
constexpr qint32 clientHeight = 9360;
// The viewport's sunken border: two pixels on each side.
constexpr qint32 viewportBorder = 30;

QFont buttonFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    return font;
}

QPushButton* makeButton(
    const QString& caption, QWidget* parent, int left, int top, int width, int height)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(Twips::toPixels(left, top, width, height));
    button->setFont(buttonFont());
    button->setMouseTracking(true);
    return button;
}

QScrollBar* makeScrollBar(Qt::Orientation orientation, QWidget* parent, const QRect& twips)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setGeometry(Twips::toPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    bar->setRange(0, 0);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    // The picture follows a released thumb, not a dragged one.
    bar->setTracking(false);
    return bar;
}

void setBarByPercent(QScrollBar& bar, qint16 percent)
{
    const int value = ViewerMath::barValueForPercent(percent, bar.maximum());
    if (value >= 0)
        bar.setValue(value);
}

void applyScrollRange(QScrollBar& bar, qint16& step, const ViewerMath::ScrollRange& range)
{
    if (!range.enabled) {
        bar.setEnabled(false);
        step = 0;
        return;
    }
    bar.setEnabled(true);
    bar.setMaximum(range.maximum);
    step = range.step;
    bar.setValue(0);
}

qint32 toWholeTwips(double position)
{
    return static_cast<qint32>(ViewerMath::roundHalfEven(position));
}

} // namespace

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    buildControls();
    Form_Load();
}

void Form2::buildControls()
{
    setFixedSize(Twips::toPixels(QSize(clientWidth, clientHeight)));
    QFont font(QStringLiteral("Arial"), 9);
    font.setBold(true);
    setFont(font);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setMouseTracking(true);

    Picture2 = new PictureBox(this, viewportBorder);
    Picture2->setTwipsGeometry(120, 90, 9330, 7425);
    Picture1 = new PictureBox(Picture2->client());
    Picture1->setAutoSize(true);
    Zoom_Ori = new PictureBox(this);
    Zoom_Ori->setTwipsGeometry(10320, 480, 735, 375);

    VScroll1 = makeScrollBar(Qt::Vertical, this, QRect(9450, 120, 255, 7425));
    HScroll1 = makeScrollBar(Qt::Horizontal, this, QRect(120, 7545, 9330, 255));

    Frame1 = new QGroupBox(QStringLiteral("Zoom:"), this);
    Frame1->setGeometry(Twips::toPixels(120, 7860, 9600, 855));
    Frame1->setMouseTracking(true);
    PushButton1 = makeButton(QStringLiteral("Zoom In"), Frame1, 240, 300, 4440, 405);
    PushButton2 = makeButton(QStringLiteral("Zoom Out"), Frame1, 4800, 300, 4560, 405);
    PushButton8 = makeButton(QStringLiteral("< Back"), this, 120, 8850, 4680, 405);
    PushButton6
        = makeButton(QStringLiteral("Save Results To Excel File"), this, 4920, 8850, 4800, 405);

    const std::initializer_list<QWidget*> pointerRuled { Frame1, PushButton1, PushButton2,
        PushButton8, PushButton6 };
    for (QWidget* watched : pointerRuled)
        watched->installEventFilter(this);

    connect(PushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form2::PushButton8_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form2::PushButton6_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form2::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form2::VScroll1_Change);
    connect(Picture1, &PictureBox::mouseDown, this, &Form2::Picture1_MouseDown);
    connect(Picture1, &PictureBox::mouseMove, this, &Form2::picture1_MouseMove);
    connect(Picture1, &PictureBox::mouseUp, this, &Form2::Picture1_MouseUp);

    PictureMenu = new QMenu(this);
    Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Picture1, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& at) { PictureMenu->popup(Picture1->mapToGlobal(at)); });
    addExportActions(*this);
}

void Form2::setPicture(const QPixmap& picture)
{
    Picture1->setPicture(picture);
}

QPixmap Form2::picture() const
{
    return Picture1->image();
}

void Form2::setMainWindow(QWidget* window)
{
    mMainWindow = window;
}

void Form2::Form_Load()
{
    ErrorTrap trap(QStringLiteral("Form2.Form_Load"));
    trap.step(100, [&] { mFirstActivate = true; });
    trap.step(102, [&] { RecolourForm(*this); });
    trap.step(104, [&] { setWindowTitle(Product::name); });
    trap.step(106, [&] { setWindowIcon(programIcon()); });
    trap.step(108, [&] {
        const QString path = installationFile(QStringLiteral("HAND-M.CUR"));
        if (FileExists(path))
            mMouseIcon = loadCursorFile(path);
    });
}

void Form2::Form_Activate()
{
    // A report shown during the set-up hands activation back when it closes; that is no new
    // activation of the window.
    if (mActivating)
        return;
    const QScopedValueRollback<bool> activating(mActivating, true);
    ErrorTrap trap(QStringLiteral("Form2.Form_Activate"));
    if (mFirstActivate) {
        trap.step(102, [&] { Picture1->setAutoSize(true); });
        trap.step(104, [&] { Picture1->setBackColor(Qt::white); });
        trap.step(106, [&] { Zoom_Ori->hide(); });
        trap.step(
            108, [&] { Zoom_Ori->setTwipsSize(Picture1->twipsWidth(), Picture1->twipsHeight()); });
        trap.step(110, [&] { Zoom_Ori->setPicture(Picture1->picture()); });
        trap.step(112, [&] { mZoom = 1.0f; });
        trap.step(114, [&] { mOrigWidth = ViewerMath::originalLength(Zoom_Ori->innerWidth()); });
        trap.step(116, [&] { mOrigHeight = ViewerMath::originalLength(Zoom_Ori->innerHeight()); });
        trap.step(118, [&] { mZoomWidth = ViewerMath::zoomedLength(mOrigWidth, 1.0f); });
        trap.step(120, [&] { mZoomHeight = ViewerMath::zoomedLength(mOrigHeight, 1.0f); });
        trap.step(122, [&] { RedrawImage(); });
        trap.step(124, [&] { InitScrollBars(); });
    }
    mFirstActivate = false;
}

void Form2::RedrawImage()
{
    ErrorTrap trap(QStringLiteral("Form2.RedrawImage"));
    bool fits = false;
    trap.step(100, [&] { mZoomWidth = ViewerMath::zoomedLength(mOrigWidth, mZoom); });
    trap.step(102, [&] { mZoomHeight = ViewerMath::zoomedLength(mOrigHeight, mZoom); });
    trap.step(104, [&] { fits = ViewerMath::fitsLimits(mZoomWidth, mZoomHeight); });
    if (fits) {
        trap.step(106, [&] { Picture1->clearPicture(); });
        trap.step(108, [&] { Picture1->setTwipsSize(mZoomWidth, mZoomHeight); });
        trap.step(110, [&] {
            Picture1->paintPicture(Zoom_Ori->picture(), QRect(0, 0, mZoomWidth, mZoomHeight),
                QRect(0, 0, mOrigWidth, mOrigHeight));
        });
        trap.step(112, [&] { setCursor(Qt::ArrowCursor); });
        trap.step(114, [&] { HScroll1->setValue(0); });
        trap.step(116, [&] { VScroll1->setValue(0); });
        trap.step(118, [&] { HScroll1->setEnabled(Picture2->innerWidth() < mZoomWidth); });
        trap.step(120, [&] { VScroll1->setEnabled(Picture2->innerHeight() < mZoomHeight); });
        return;
    }
    // Too large to paint: the picture stays as it was and the next step starts from 1.0.
    trap.step(124, [&] { mZoom = 1.0f; });
    trap.step(126, [&] { mOrigWidth = ViewerMath::originalLength(Zoom_Ori->innerWidth()); });
    trap.step(128, [&] { mOrigHeight = ViewerMath::originalLength(Zoom_Ori->innerHeight()); });
    trap.step(130, [&] { mZoomWidth = ViewerMath::zoomedLength(mOrigWidth, 1.0f); });
    trap.step(132, [&] { mZoomHeight = ViewerMath::zoomedLength(mOrigHeight, 1.0f); });
}

void Form2::InitScrollBars()
{
    Picture1->moveTwips(0, 0);
    applyScrollRange(
        *HScroll1, mHStep, ViewerMath::scrollRange(Picture1->twipsWidth(), Picture2->twipsWidth()));
    applyScrollRange(*VScroll1, mVStep,
        ViewerMath::scrollRange(Picture1->twipsHeight(), Picture2->twipsHeight()));
}

void Form2::ZoomBy(qint32 direction)
{
    SetZoom(ViewerMath::nextZoom(mZoom, direction));
}

void Form2::SetZoom(float factor)
{
    if (!ViewerMath::acceptsZoom(factor))
        return;
    mZoom = factor;
    RedrawImage();
}

void Form2::SetHScrollbarByPercent(QScrollBar& HScrollbar, qint16 percent)
{
    setBarByPercent(HScrollbar, percent);
}

void Form2::SetVScrollbarByPercent(QScrollBar& VScrollbar, qint16 percent)
{
    setBarByPercent(VScrollbar, percent);
}

void Form2::PushButton1_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.PushButton1_Click"));
    trap.step(100, [&] { ZoomBy(0); });
}

void Form2::PushButton2_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.PushButton2_Click"));
    trap.step(100, [&] { ZoomBy(1); });
}

void Form2::HScroll1_Change(int value)
{
    if (HScroll1->isSliderDown())
        return;
    Picture1->moveTwips(ViewerMath::scrolledPosition(mHStep, value), Picture1->twipsTop());
}

void Form2::VScroll1_Change(int value)
{
    if (VScroll1->isSliderDown())
        return;
    Picture1->moveTwips(Picture1->twipsLeft(), ViewerMath::scrolledPosition(mVStep, value));
}

void Form2::Picture1_MouseDown(Qt::MouseButton, float x, float y)
{
    mDragX = x;
    mDragY = y;
}

void Form2::picture1_MouseMove(Qt::MouseButtons buttons, float x, float y)
{
    if (buttons == Qt::NoButton)
        return;
    ErrorTrap trap(QStringLiteral("Form2.picture1_MouseMove"));
    double left = 0;
    double top = 0;
    trap.step(102, [&] { left = static_cast<double>(Picture1->twipsLeft()) - mDragX + x; });
    trap.step(104, [&] {
        left = ViewerMath::clampDragPosition(left, Picture2->innerWidth(), Picture1->twipsWidth());
    });
    trap.step(106, [&] { top = static_cast<double>(Picture1->twipsTop()) - mDragY + y; });
    trap.step(108, [&] {
        top = ViewerMath::clampDragPosition(top, Picture2->innerHeight(), Picture1->twipsHeight());
    });
    // The anchor stays: positions are relative to the moving picture, so the grabbed point
    // stays under the pointer.
    trap.step(110, [&] { Picture1->moveTwips(toWholeTwips(left), toWholeTwips(top)); });
}

void Form2::Picture1_MouseUp(Qt::MouseButton, float, float)
{
    ErrorTrap trap(QStringLiteral("Form2.Picture1_MouseUp"));
    qint16 horizontal = 0;
    qint16 vertical = 0;
    trap.step(100, [&] {
        horizontal = ViewerMath::dropPercent(
            Picture1->twipsLeft(), Picture1->twipsWidth(), Picture2->twipsWidth());
    });
    trap.step(102, [&] {
        vertical = ViewerMath::dropPercent(
            Picture1->twipsTop(), Picture1->twipsHeight(), Picture2->twipsHeight());
    });
    trap.step(104, [&] { SetHScrollbarByPercent(*HScroll1, horizontal); });
    trap.step(106, [&] { SetVScrollbarByPercent(*VScroll1, vertical); });
}

void Form2::PushButton8_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.PushButton8_Click"));
    trap.step(100, [&] { KillFile(mExcelFile); });
    trap.step(102, [&] {
        if (!mMainWindow)
            throw AppError(QStringLiteral("The main window is not available."));
        mMainWindow->show();
    });
    // Without a main window to go back to, hiding would leave the program running unseen.
    trap.step(104, [&] {
        if (mMainWindow)
            hide();
    });
    trap.step(106, [&] { mFirstActivate = true; });
}

void Form2::PushButton6_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.PushButton6_Click"));
    QString target;
    Dialogs::Answer answer = Dialogs::Answer::Ok;
    trap.step(106, [&] {
        target = Dialogs::current().saveFileName(
            this, QStringLiteral("Save File"), QStringLiteral("Excel Files (*.xls)"));
    });
    if (!target.isEmpty()) {
        trap.step(112, [&] {
            if (!FileExists(target)) {
                answer = Dialogs::Answer::Yes;
                return;
            }
            answer = Dialogs::current().message(this, applicationTitle(),
                QStringLiteral("Are you sure you wish to overwrite ") + target
                    + QStringLiteral(" ?"),
                Dialogs::Icon::None, Dialogs::Buttons::YesNo);
        });
    }
    bool copied = true;
    if (answer == Dialogs::Answer::Yes) {
        // The old target is replaced only by a complete copy; the result workbook chosen as its
        // own target is already there.
        copied = trap.step(114, [&] {
            if (!isSameFile(mExcelFile, target))
                copyFileReplacing(mExcelFile, target);
            rememberSaveFolder(target);
        });
    }
    if (copied)
        trap.step(116, [&] { showPlainMessage(this, QStringLiteral("Done.")); });
}

void Form2::Form_QueryUnload()
{
    ErrorTrap trap(QStringLiteral("Form2.Form_QueryUnload"));
    trap.step(100, [&] { KillFile(mExcelFile); });
    trap.step(102, [] { QCoreApplication::processEvents(); });
    trap.step(104, [] { QCoreApplication::processEvents(); });
}

bool Form2::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void Form2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!mCentred) {
        mCentred = true;
        if (const QScreen* screen = this->screen())
            setGeometry(QStyle::alignedRect(
                Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
    }
    // Some window systems never activate a window without a window manager; a new picture is
    // set up when the window shows, and the activation that may follow finds nothing to do.
    Form_Activate();
    activateWindow();
}

void Form2::closeEvent(QCloseEvent* event)
{
    Form_QueryUnload();
    event->accept();
    // Closing the preview ends the program, although the main window is only hidden.
    QCoreApplication::exit(0);
}

void Form2::mouseMoveEvent(QMouseEvent* event)
{
    pointerMovedTo(event->globalPosition().toPoint());
    QWidget::mouseMoveEvent(event);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove)
        pointerMovedTo(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    return QWidget::eventFilter(watched, event);
}

void Form2::pointerMovedTo(const QPoint& globalPosition)
{
    if (cursor().shape() == Qt::WaitCursor)
        return;
    const QWidget* under = childAt(mapFromGlobal(globalPosition));
    if (under == PushButton1 || under == PushButton2 || under == PushButton8
        || under == PushButton6)
        setCursor(mMouseIcon ? *mMouseIcon : QCursor(Qt::ArrowCursor));
    else if (under == nullptr || under == Frame1)
        setCursor(Qt::ArrowCursor);
}
