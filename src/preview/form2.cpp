#include "form2.h"

#include "app/appicon.h"

#include "form2layout.h"
#include "picturebox.h"
#include "picturemenu.h"
#include "previewcontrols.h"
#include "previewkeys.h"
#include "sheetmaster.h"
#include "viewermath.h"

#include "app/apperror.h"
#include "app/applicationtitle.h"
#include "app/cursorloader.h"
#include "app/errortrap.h"
#include "app/filehelpers.h"
#include "app/folders.h"
#include "app/product.h"
#include "app/twips.h"
#include "app/windowplacement.h"
#include "appearance/recolourform.h"
#include "export/workbooksave.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

using namespace Form2Layout;
using namespace PreviewControls;

const QString placementName = QStringLiteral("Form2");
// Room for the viewport, the zoom buttons and the captions of the buttons under it.
constexpr QSize minimumClientSize(8400, 6000);

} // namespace

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    buildControls();
    Form_Load();
}

void Form2::buildControls()
{
    resize(Twips::toPixels(QSize(clientWidth, clientHeight)));
    setMinimumSize(Twips::toPixels(minimumClientSize));
    QFont font(QStringLiteral("Arial"), 9);
    font.setBold(true);
    setFont(font);
    // A forced background comes with its text colour.
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    setPalette(white);
    setAutoFillBackground(true);
    setMouseTracking(true);

    Picture2 = new PictureBox(this, viewportBorder);
    const QRect view = viewport.twips;
    Picture2->setTwipsGeometry(view.x(), view.y(), view.width(), view.height());
    Picture1 = new PictureBox(Picture2->client());
    Picture1->setAutoSize(true);
    Zoom_Ori = new PictureBox(this);
    const QRect original = zoomOriginal.twips;
    Zoom_Ori->setTwipsGeometry(original.x(), original.y(), original.width(), original.height());

    VScroll1 = makeScrollBar(Qt::Vertical, this, vScroll1.twips);
    HScroll1 = makeScrollBar(Qt::Horizontal, this, hScroll1.twips);

    Frame1 = new QGroupBox(QStringLiteral("Zoom:"), this);
    Frame1->setGeometry(toPixels(frame1.twips));
    Frame1->setMouseTracking(true);
    PushButton1 = makeButton(QStringLiteral("Zoom In"), Frame1, pushButton1.twips);
    PushButton2 = makeButton(QStringLiteral("Zoom Out"), Frame1, pushButton2.twips);
    PushButton8 = makeButton(QStringLiteral("< Back"), this, pushButton8.twips);
    PushButton6 = makeButton(QStringLiteral("Save Results To Excel File"), this, pushButton6.twips);
    // "< Back" deletes the result, so it has no key.
    PushButton6->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    buildPictureMenu(*this,
        { [this] { PushButton1_Click(); }, [this] { PushButton2_Click(); },
            [this] { mnuActualSize_Click(); }, [this] { mnuCopyPicture_Click(); },
            [this] { mnuSavePictureAs_Click(); } });
    addPreviewKeys(*this);

    const std::initializer_list<QWidget*> pointerRuled { Frame1, PushButton1, PushButton2,
        PushButton8, PushButton6 };
    for (QWidget* watched : pointerRuled)
        watched->installEventFilter(this);
    for (QWidget* wheeled :
        std::initializer_list<QWidget*> { Picture1, Picture2, Picture2->client() })
        wheeled->installEventFilter(this);

    connect(PushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(PushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    connect(PushButton8, &QPushButton::clicked, this, &Form2::PushButton8_Click);
    connect(PushButton6, &QPushButton::clicked, this, &Form2::PushButton6_Click);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form2::HScroll1_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form2::VScroll1_Change);
    connect(Picture1, &PictureBox::mouseDown, this, &Form2::Picture1_MouseDown);
    connect(Picture1, &PictureBox::mouseMove, this, &Form2::picture1_MouseMove);
    connect(Picture1, &PictureBox::mouseUp, this, &Form2::Picture1_MouseUp);
}

void Form2::setPicture(const QPixmap& picture)
{
    Picture1->setSharperMaster(nullptr);
    Picture1->setPicture(picture);
}

void Form2::setSheetMaster(std::shared_ptr<const SheetMaster> master)
{
    if (master && master->pictureSize() != sheetPicture().size())
        master.reset();
    Picture1->setSharperMaster(std::move(master));
}

void Form2::setSheetDrawings(const QByteArray& lined, const QByteArray& plain)
{
    setSheetMaster(SheetMaster::fromPdf(lined, plain, sheetPicture().size()));
}

const SheetMaster* Form2::sheetMaster() const
{
    return Picture1->sharperMaster();
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

void Form2::arrange()
{
    const QSize growth = Twips::fromPixels(size()) - QSize(clientWidth, clientHeight);
    const qint32 oldWidth = Picture2->innerWidth();
    const qint32 oldHeight = Picture2->innerHeight();
    const QRect view = viewport.at(growth);
    Picture2->setTwipsGeometry(view.x(), view.y(), view.width(), view.height());
    // Zoom_Ori stays hidden; it only holds the master copy.
    const QRect original = zoomOriginal.at(growth);
    Zoom_Ori->moveTwips(original.x(), original.y());
    VScroll1->setGeometry(toPixels(vScroll1.at(growth)));
    HScroll1->setGeometry(toPixels(hScroll1.at(growth)));
    Frame1->setGeometry(toPixels(frame1.at(growth)));
    const QSize frameGrowth(growth.width(), 0);
    PushButton1->setGeometry(toPixels(pushButton1.at(frameGrowth)));
    PushButton2->setGeometry(toPixels(pushButton2.at(frameGrowth)));
    PushButton8->setGeometry(toPixels(pushButton8.at(growth)));
    PushButton6->setGeometry(toPixels(pushButton6.at(growth)));
    // The middle of what was shown stays in the middle; the bars take the new overflow.
    fitScrollBars(ViewerMath::resizedPosition(Picture1->twipsLeft(), Picture1->twipsWidth(),
                      oldWidth, Picture2->innerWidth()),
        ViewerMath::resizedPosition(
            Picture1->twipsTop(), Picture1->twipsHeight(), oldHeight, Picture2->innerHeight()));
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
    saveWorkbookAs(trap, this, mExcelFile);
}

void Form2::mnuCopyPicture_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.mnuCopyPicture_Click"));
    trap.step(100, [&] {
        const QPixmap sheet = sheetPicture();
        if (sheet.isNull())
            throw AppError(QStringLiteral("There is no picture to copy."));
        QGuiApplication::clipboard()->setImage(sheetImage());
    });
}

void Form2::mnuSavePictureAs_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.mnuSavePictureAs_Click"));
    savePictureAs(trap, this, [this] { return sheetImage(); });
}

QPixmap Form2::sheetPicture() const
{
    // Until the set-up, the picture handed over is still in Picture1.
    return mFirstActivate ? Picture1->picture() : Zoom_Ori->picture();
}

QImage Form2::sheetImage() const
{
    const QPixmap sheet = sheetPicture();
    const qreal ratio = devicePixelRatioF();
    const SheetMaster* master = sheetMaster();
    if (ratio <= 1 || !master || master->pictureSize() != sheet.size())
        return sheet.toImage();
    QImage image = master->whole(ratio);
    // Image viewers then show it at the sheet's natural size.
    const int dotsPerMetre = qRound(96 * ratio / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
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
    // The window manager's activation can come after "< Back" hid the window again: it must not
    // set up the picture the repaint already cleared.
    if (event->type() == QEvent::WindowActivate && isVisible())
        Form_Activate();
    return QWidget::event(event);
}

void Form2::resizeEvent(QResizeEvent* event)
{
    arrange();
    QWidget::resizeEvent(event);
}

void Form2::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())
        WindowPlacement::remember(*this, placementName);
    QWidget::hideEvent(event);
}

void Form2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!mCentred) {
        mCentred = true;
        if (!WindowPlacement::restore(*this, placementName))
            WindowPlacement::centre(*this);
    }
    // Some window systems never activate a window without a window manager; a new picture is
    // set up when the window shows, and the activation that may follow finds nothing to do.
    Form_Activate();
    // Each new picture opens with the keyboard on it, never on a button that a stray Space
    // would press, and the focus shows from the start.
    if (!event->spontaneous()) {
        setAttribute(Qt::WA_KeyboardFocusChange);
        Picture2->setFocus(Qt::OtherFocusReason);
    }
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
    if (event->type() == QEvent::Wheel
        && (watched == Picture1 || watched == Picture2 || watched == Picture2->client())) {
        viewportWheel(watched, static_cast<QWheelEvent*>(event));
        return true;
    }
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
