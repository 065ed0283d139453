#pragma once

#include <QCursor>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

class PictureBox;
class SheetMaster;
class QGroupBox;
class QMenu;
class QPushButton;
class QScrollBar;
class QWheelEvent;

// Form2, the preview window: shows the computed sheet's picture with zoom, scrolling and
// drag-to-pan, saves the result workbook, goes back to the main window or ends the program.
class Form2 final : public QWidget {
    Q_OBJECT

public:
    explicit Form2(QWidget* parent = nullptr);

    // The hand-over from the generation run: the picture to show.
    void setPicture(const QPixmap& picture);
    // What Picture1 shows now.
    QPixmap picture() const;
    // The sheet as a vector drawing, which comes after the window shows: whatever is drawn
    // larger than the picture's own pixels is drawn from it. One for a picture of another size
    // is ignored; a new picture drops it.
    void setSheetMaster(std::shared_ptr<const SheetMaster> master);
    const SheetMaster* sheetMaster() const;
    // The office's drawings of the sheet (PDF, with and without gridlines) made the master.
    void setSheetDrawings(const QByteArray& lined, const QByteArray& plain);
    // The window "< Back" shows again.
    void setMainWindow(QWidget* window);

    void RedrawImage();
    void InitScrollBars();
    void ZoomBy(qint32 direction);
    void SetZoom(float factor);
    void SetHScrollbarByPercent(QScrollBar& HScrollbar, double percent);
    void SetVScrollbarByPercent(QScrollBar& VScrollbar, double percent);

    // The result workbook this window owns until it is deleted.
    QString mExcelFile;

    float mZoom = 1.0f;
    qint32 mOrigWidth = 0;
    qint32 mOrigHeight = 0;
    qint32 mZoomWidth = 0;
    qint32 mZoomHeight = 0;
    float mDragX = 0;
    float mDragY = 0;
    bool mFirstActivate = true;

    PictureBox* Picture2;
    PictureBox* Picture1;
    PictureBox* Zoom_Ori;
    QScrollBar* VScroll1;
    QScrollBar* HScroll1;
    QGroupBox* Frame1;
    QPushButton* PushButton1;
    QPushButton* PushButton2;
    QPushButton* PushButton8;
    QPushButton* PushButton6;
    // Opened by a right-click on the picture.
    QMenu* PictureMenu;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void Form_Load();
    void Form_Activate();
    void Form_QueryUnload();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton8_Click();
    void PushButton6_Click();
    void mnuActualSize_Click();
    void mnuCopyPicture_Click();
    void mnuSavePictureAs_Click();
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);
    void Picture1_MouseDown(Qt::MouseButton button, float x, float y);
    void picture1_MouseMove(Qt::MouseButtons buttons, float x, float y);
    void Picture1_MouseUp(Qt::MouseButton button, float x, float y);
    // Fits the controls to the window's present size.
    void arrange();
    // Gives both bars the ranges of the picture as it is drawn now and puts it at left, top.
    void fitScrollBars(qint32 left, qint32 top);
    // One zoom step that keeps the picture's point under the anchor (in the viewport) in place.
    void zoomAround(qint32 direction, const QPointF& anchor);
    // The natural-size sheet picture the viewer shows.
    QPixmap sheetPicture() const;
    // The sheet at the screen's device pixel ratio, as copied and saved: from the vector drawing
    // where the screen has more pixels than the picture, the picture itself otherwise.
    QImage sheetImage() const;
    // The hand over the four push buttons, the arrow over the background and the frame.
    void pointerMovedTo(const QPoint& globalPosition);
    // The wheel over the picture scrolls it; with Ctrl it zooms around the pointer.
    void viewportWheel(QObject* watched, QWheelEvent* event);

    std::optional<QCursor> mMouseIcon;
    QPointer<QWidget> mMainWindow;
    bool mCentred = false;
    bool mActivating = false;
    // Where the next repaint keeps the picture's point; the viewport's centre when not set.
    std::optional<QPointF> mZoomAnchor;
    // Wheel turns not yet amounting to a whole zoom step.
    int mWheelZoom = 0;
};
