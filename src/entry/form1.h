#pragma once

#include "controlarray.h"
#include "datepicker.h"
#include "fieldcatalogue.h"
#include "savedinputs.h"

#include <QCursor>
#include <QHash>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class ErrorTrap;
class QAbstractButton;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QWheelEvent;

// Form1: the main window, where the household types its figures.
class Form1 final : public QWidget {
    Q_OBJECT

public:
    enum class MousePointer { Default = 0, Busy = 11, Custom = 99 };
    // The program's exit status after a close that could not put the inputs on disk.
    static constexpr int exitInputsUnsaved = 1;

    // What start-up asks of the rest of the program; an empty hook is skipped.
    struct StartUpHooks {
        std::function<void(QWidget&)> applySkin;
        // False when no spreadsheet application can be had; the program then ends.
        std::function<bool()> checkSpreadsheet;
    };

    explicit Form1(StartUpHooks hooks = {}, QWidget* parent = nullptr);

    void setStartUpHooks(StartUpHooks hooks);
    // The load handler: names the window, applies the skin, prepares the hand pointer,
    // restores every input and checks the spreadsheet application. False when the check
    // failed and the window must not be shown.
    bool Form_Load();

    void setMousePointer(MousePointer pointer);
    MousePointer mousePointer() const { return mPointer; }

    ControlArray<QLineEdit>& textArray(FieldCatalogue::Group group);
    DatePicker* picker(FieldCatalogue::Group group) const;

    // Every input as the store holds it, by its settings key.
    QHash<QString, QString> inputs() const;
    // Puts texts and dates into the fields as typing would, so the store takes each one that
    // changes; keys that name no field are left alone. Throws AppError for a date that is not
    // one, having changed nothing.
    void setInputs(const QHash<QString, QString>& values);
    // Runs the check that leaving the focused field would run: false, after its message, when
    // the field refuses its text.
    bool acceptFocusedField();

    // A menu bar above the client area, which the window takes over: the controls keep their
    // places below it and the window grows by its height.
    void setMenuBar(QMenuBar* bar);
    QMenuBar* menuBar() const { return mMenuBar; }
    // The client area's top in the window, in pixels: below the menu bar, if there is one.
    int clientTop() const;
    // Asked before the window closes; false keeps it open. Not asked when no guard is set.
    void setCloseGuard(std::function<bool()> mayClose);

    // The message the Help button shows.
    void showHelp();

signals:
    // A text or a date changed, by typing or otherwise; not while the window restores them.
    void inputChanged();

public:
    ControlArray<QLineEdit> txtIncome { QStringLiteral("txtIncome") };
    ControlArray<QLineEdit> txtExpense { QStringLiteral("txtExpense") };
    ControlArray<QLineEdit> txtOther { QStringLiteral("txtOther") };
    ControlArray<QLineEdit> txtSavings { QStringLiteral("txtSavings") };
    ControlArray<QLineEdit> txtRetirementIncome { QStringLiteral("txtRetirementIncome") };
    ControlArray<QGroupBox> Frame1 { QStringLiteral("Frame1") };
    // Field labels, and headings with no field of their own.
    ControlArray<QLabel> Label4 { QStringLiteral("Label4") };
    ControlArray<QLabel> Other________________ { QStringLiteral("Other________________") };
    // The brackets joining a group heading to its members: uprights and ticks.
    ControlArray<QFrame> Line1 { QStringLiteral("Line1") };
    ControlArray<QFrame> Line2 { QStringLiteral("Line2") };
    DatePicker* dtHusbandDOB = nullptr;
    DatePicker* dtWifeDOB = nullptr;
    QPushButton* PushButton22 = nullptr;
    QPushButton* PushButton6 = nullptr;
    QPushButton* PushButton7 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QWidget* Picture1 = nullptr;
    QWidget* Picture2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct FieldRef {
        FieldCatalogue::Group group;
        int index;
    };

    void connectFields();
    std::optional<FieldRef> fieldOf(const QObject* object) const;

    void PushButton6_Click();
    void PushButton7_Click();
    void VScroll1_Change();
    void VScroll1_Scroll(int position);
    void fieldChange(FieldCatalogue::Group group, int index);
    void pickerChange(FieldCatalogue::Group group);
    void fieldGotFocus(const FieldRef& field);
    void scrollIntoView(const FieldRef& field);
    void fieldValidate(const FieldRef& field, QWidget* next, Qt::FocusReason reason);
    void refuseLeaving(QPointer<QLineEdit> box, const QString& message);
    void selectAllText(QLineEdit* box);
    void restoreTextFields(ErrorTrap& trap);
    // The wheel over the panel, its frames, fields and labels, or its scroll bar.
    void panelWheel(QWheelEvent* event);
    void pointerOverButton();
    void pointerOverBackground();
    void showPointer();
    // The menu bar draws in the colour scheme's own colours, not the window's forced white.
    void colourMenuBar();

    QHash<const QObject*, FieldRef> mFields;
    StartUpHooks mHooks;
    QPointer<QMenuBar> mMenuBar;
    std::function<bool()> mMayClose;
    // The window's place came from where the user left it, not from its designed size.
    bool mPlacementRestored = false;
    SavedInputs mSavedInputs;
    MousePointer mPointer = MousePointer::Default;
    std::optional<QCursor> mHandCursor;
    bool mRestoringTextFields = false;
    bool mRestoringPickers = false;
    bool mReturningFocus = false;
    // A button clicked while leaving a field that is refused: its click must not happen.
    QPointer<QAbstractButton> mRefusedClick;
    // The field whose entry was refused, until its message is answered.
    QPointer<QLineEdit> mRefusedField;
};
