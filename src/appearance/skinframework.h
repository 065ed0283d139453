#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QWidget;

// SkinFramework1, the skin component of the main window. Start-up reaches its members by their
// dispatch numbers: 2 loads a skin file, 1 reads and writes the apply options, 5 and 10 are
// switches, 3 applies the skin to a window. A skin file's text is a Qt style sheet.
//
// The options choose which parts of the window the sheet may dress. Applying publishes them on
// the window as dynamic properties that the sheet's rules select on:
//   apply option bit 0  ->  skinControls      e.g. QWidget[skinControls="true"] QLabel { ... }
//   switch 5            ->  skinScrollBars    e.g. QWidget[skinScrollBars="true"] QScrollBar
//   switch 10           ->  skinMessageBoxes  (message boxes opened over the window)
// A rule with no such selector dresses what it names whatever the options say.
class SkinFramework final : public QObject {
    Q_OBJECT

public:
    enum class Access { Method, Get, Put };
    struct Call {
        int dispatchId;
        Access access;
        bool operator==(const Call& other) const
        {
            return dispatchId == other.dispatchId && access == other.access;
        }
    };

    static const QString nameOnWindow;
    static const int controlsOption = 1;

    explicit SkinFramework(QObject* parent = nullptr);

    // The window's SkinFramework1, placed on the window first when it has none.
    static SkinFramework& of(QWidget& window);

    // Dispatch 2. A skin file holds one sheet, named by the empty part name. Throws AppError
    // when the file is not a readable sheet or another part is asked for; the skin loaded
    // before stays loaded.
    void loadSkin(const QString& path, const QString& part);
    // Dispatch 1.
    int applyOptions();
    void setApplyOptions(int options);
    // Dispatch 5.
    void setSkinScrollBars(bool on);
    // Dispatch 10.
    void setSkinMessageBoxes(bool on);
    // Dispatch 3. Throws AppError when no skin is loaded.
    void applyToWindow(QWidget& window);

    QString styleSheet() const { return mSheet; }
    QString loadedPath() const { return mPath; }
    // Every member call in order, failed ones included.
    QList<Call> calls() const { return mCalls; }

private:
    void record(int dispatchId, Access access);

    QList<Call> mCalls;
    QString mSheet;
    QString mPath;
    bool mLoaded = false;
    int mOptions = 0;
    bool mSkinScrollBars = false;
    bool mSkinMessageBoxes = false;
};
