#pragma once

#include "controlarray.h"
#include "datepicker.h"
#include "fieldcatalogue.h"
#include "savedinputs.h"

#include <QCursor>
#include <QHash>
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

    QHash<const QObject*, FieldRef> mFields;
    StartUpHooks mHooks;
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
