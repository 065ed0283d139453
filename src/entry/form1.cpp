#include "form1.h"

#include "fieldvalidation.h"
#include "form1builder.h"
#include "formlayout.h"
#include "sampledata.h"
#include "scrollrule.h"
#include "storeddate.h"

#include "app/appicon.h"
#include "app/applicationtitle.h"
#include "app/cursorloader.h"
#include "app/dialogs.h"
#include "app/errortrap.h"
#include "app/filehelpers.h"
#include "app/folders.h"
#include "app/product.h"
#include "app/twips.h"
#include "app/windowplacement.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

using FieldCatalogue::Group;

namespace {

const QString handPointerFile = QStringLiteral("HAND-M.CUR");
const QString placementName = QStringLiteral("Form1");

// Focus that the user moves inside the window, as opposed to the window losing activation
// or a popup or message box taking the focus for a while.
bool isFocusMove(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
        || reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason
        || reason == Qt::OtherFocusReason;
}

// The reasons for which a line edit selects its whole text as it takes the focus.
bool isKeyboardFocus(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
        || reason == Qt::ShortcutFocusReason;
}

} // namespace

Form1::Form1(StartUpHooks hooks, QWidget* parent)
    : QWidget(parent)
    , mHooks(std::move(hooks))
{
    Form1Builder(*this).build();
    connectFields();

    for (QPushButton* button : { PushButton22, PushButton6, PushButton7 }) {
        button->setMouseTracking(true);
        button->setAttribute(Qt::WA_NoMousePropagation);
        button->installEventFilter(this);
    }
    for (const int index : Frame1.indices()) {
        QGroupBox* frame = Frame1(index);
        frame->setMouseTracking(true);
        frame->setAttribute(Qt::WA_NoMousePropagation);
        frame->installEventFilter(this);
    }
    // The viewport and the panel have no pointer handling; moves over them stop there.
    Picture1->setAttribute(Qt::WA_NoMousePropagation);
    Picture2->setAttribute(Qt::WA_NoMousePropagation);
    setMouseTracking(true);
    // The wheel anywhere over the panel scrolls it: what the fields and labels leave reaches
    // a frame, the panel or the viewport; the scroll bar takes the same steps.
    for (QWidget* wheeled : { Picture1, Picture2, static_cast<QWidget*>(VScroll1) })
        wheeled->installEventFilter(this);
    // Return presses the focused button, as Space does.
    for (QPushButton* button : { PushButton22, PushButton6, PushButton7 })
        button->setAutoDefault(true);

    // Connected ahead of the generation run's handler: the run starts with every input on disk.
    connect(PushButton22, &QPushButton::clicked, this, [this] { mSavedInputs.flush(); });
    connect(PushButton6, &QPushButton::clicked, this, &Form1::PushButton6_Click);
    connect(PushButton7, &QPushButton::clicked, this, &Form1::PushButton7_Click);
    connect(VScroll1, &QScrollBar::valueChanged, this, &Form1::VScroll1_Change);
    connect(VScroll1, &QScrollBar::sliderMoved, this, &Form1::VScroll1_Scroll);

    txtIncome(0)->setFocus();
    mPlacementRestored = WindowPlacement::restore(*this, placementName);
    if (!mPlacementRestored)
        WindowPlacement::centre(*this);
}

void Form1::connectFields()
{
    for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
        const Group group = field.group;
        if (FieldCatalogue::isTextArray(group)) {
            QLineEdit* box = textArray(group)(field.index);
            mFields.insert(box, { group, field.index });
            box->installEventFilter(this);
            const int index = field.index;
            connect(box, &QLineEdit::textChanged, this,
                [this, group, index] { fieldChange(group, index); });
        } else {
            DatePicker* datePicker = picker(group);
            mFields.insert(datePicker, { group, 0 });
            for (QWidget* part : datePicker->findChildren<QWidget*>())
                part->installEventFilter(this);
            connect(datePicker, &DatePicker::valueChanged, this,
                [this, group] { pickerChange(group); });
        }
    }
}

void Form1::setStartUpHooks(StartUpHooks hooks)
{
    mHooks = std::move(hooks);
}

ControlArray<QLineEdit>& Form1::textArray(Group group)
{
    switch (group) {
    case Group::Income:
        return txtIncome;
    case Group::Expense:
        return txtExpense;
    case Group::Other:
        return txtOther;
    case Group::Savings:
        return txtSavings;
    case Group::RetirementIncome:
    case Group::HusbandDOB:
    case Group::WifeDOB:
        break;
    }
    return txtRetirementIncome;
}

DatePicker* Form1::picker(Group group) const
{
    return group == Group::WifeDOB ? dtWifeDOB : dtHusbandDOB;
}

QHash<QString, QString> Form1::inputs() const
{
    QHash<QString, QString> values;
    for (auto field = mFields.constBegin(); field != mFields.constEnd(); ++field) {
        const QString key = FieldCatalogue::settingsKey(field->group, field->index);
        if (const auto* box = qobject_cast<const QLineEdit*>(field.key()))
            values.insert(key, box->text());
        else
            values.insert(key, StoredDate::toText(picker(field->group)->value()));
    }
    return values;
}

void Form1::setInputs(const QHash<QString, QString>& values)
{
    // Every date is read before anything changes: a text that is no date leaves all as it was.
    QHash<Group, std::optional<QDate>> dates;
    for (const Group group : { Group::HusbandDOB, Group::WifeDOB }) {
        const auto value = values.constFind(FieldCatalogue::settingsKey(group, 0));
        if (value == values.constEnd())
            continue;
        const std::optional<QDate> date = StoredDate::fromText(*value);
        DatePicker::checkValue(date);
        dates.insert(group, date);
    }
    for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
        if (!FieldCatalogue::isTextArray(field.group))
            continue;
        const auto value = values.constFind(FieldCatalogue::settingsKey(field.group, field.index));
        if (value != values.constEnd())
            textArray(field.group)(field.index)->setText(value->isEmpty() ? "0" : *value);
    }
    for (auto date = dates.constBegin(); date != dates.constEnd(); ++date)
        picker(date.key())->setValue(date.value());
}

bool Form1::acceptFocusedField()
{
    const auto field = fieldOf(focusWidget());
    if (!field || !FieldCatalogue::isTextArray(field->group))
        return true;
    // Its refusal is already on the way.
    if (mRefusedField)
        return false;
    QLineEdit* box = textArray(field->group)(field->index);
    const FieldValidation outcome = validateFieldText(field->group, box->text());
    if (!outcome.accepted) {
        refuseLeaving(box, outcome.message);
        return false;
    }
    if (outcome.text != box->text())
        box->setText(outcome.text);
    return true;
}

void Form1::setMenuBar(QMenuBar* bar)
{
    delete mMenuBar;
    mMenuBar = bar;
    if (bar) {
        bar->setParent(this);
        // The window's own bold field font is not a menu's. Every property of the desktop's menu
        // font is set, or the bar would still take the window's weight.
        QFont menuFont = QApplication::font(bar);
        menuFont.setResolveMask(QFont::AllPropertiesResolved);
        bar->setFont(menuFont);
        colourMenuBar();
        bar->show();
    }
    const QSize barRoom(0, clientTop());
    setMinimumSize(
        Twips::toPixels(QSize(FormLayout::clientWidth, FormLayout::minimumClientHeight)) + barRoom);
    // A place the user left already held the bar; the designed size is the client area's.
    if (!mPlacementRestored) {
        resize(Twips::toPixels(QSize(FormLayout::clientWidth, FormLayout::clientHeight)) + barRoom);
        WindowPlacement::centre(*this);
    }
    Form1Builder(*this).arrange();
}

void Form1::colourMenuBar()
{
    if (!mMenuBar)
        return;
    const QPalette scheme = QApplication::palette(mMenuBar);
    QPalette palette = mMenuBar->palette();
    for (const QPalette::ColorGroup group :
        { QPalette::Active, QPalette::Inactive, QPalette::Disabled })
        for (const QPalette::ColorRole role : { QPalette::Window, QPalette::WindowText })
            palette.setBrush(group, role, scheme.brush(group, role));
    mMenuBar->setPalette(palette);
}

void Form1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ApplicationPaletteChange || event->type() == QEvent::PaletteChange)
        colourMenuBar();
    QWidget::changeEvent(event);
}

int Form1::clientTop() const
{
    return mMenuBar && !mMenuBar->isHidden() ? mMenuBar->sizeHint().height() : 0;
}

void Form1::setCloseGuard(std::function<bool()> mayClose)
{
    mMayClose = std::move(mayClose);
}

void Form1::showHelp()
{
    PushButton6_Click();
}

std::optional<Form1::FieldRef> Form1::fieldOf(const QObject* object) const
{
    // A picker's focus lands on one of its parts.
    for (; object && object != this; object = object->parent()) {
        const auto found = mFields.constFind(object);
        if (found != mFields.constEnd())
            return *found;
    }
    return std::nullopt;
}

bool Form1::Form_Load()
{
    ErrorTrap trap(QStringLiteral("Form1.Form_Load"));
    trap.step(102, [&] { setWindowTitle(Product::name); });
    trap.step(102, [&] { setWindowIcon(programIcon()); });
    trap.step(102, [&] { setApplicationTitle(applicationTitleFor(Product::name)); });
    if (mHooks.applySkin)
        trap.step(104, [&] { mHooks.applySkin(*this); });

    bool handPointerPresent = false;
    trap.step(124, [&] { handPointerPresent = FileExists(installationFile(handPointerFile)); });
    if (handPointerPresent) {
        trap.step(126, [&] {
            mHandCursor = loadCursorFile(installationFile(handPointerFile));
            showPointer();
        });
    }

    {
        // The stored inputs are read in a row, through one opening of the settings file.
        const SavedInputs::ReadBatch storedInputs;
        restoreTextFields(trap);

        // Emptying the pickers first must not wipe the dates stored under their keys.
        mRestoringPickers = true;
        trap.step(136, [&] { dtHusbandDOB->setValue(std::nullopt); });
        trap.step(138, [&] { dtWifeDOB->setValue(std::nullopt); });
        trap.step(140, [&] {
            dtHusbandDOB->setValue(StoredDate::fromText(
                mSavedInputs.read(FieldCatalogue::settingsKey(Group::HusbandDOB, 0))));
        });
        trap.step(142, [&] {
            dtWifeDOB->setValue(StoredDate::fromText(
                mSavedInputs.read(FieldCatalogue::settingsKey(Group::WifeDOB, 0))));
        });
        mRestoringPickers = false;
    }

    trap.step(144, [&] { Picture1->move(Picture1->x(), 0); });

    bool spreadsheetAvailable = true;
    if (mHooks.checkSpreadsheet)
        trap.step(146, [&] { spreadsheetAvailable = mHooks.checkSpreadsheet(); });
    return spreadsheetAvailable;
}

void Form1::restoreTextFields(ErrorTrap& trap)
{
    for (const Group group :
        { Group::Income, Group::Expense, Group::Other, Group::Savings, Group::RetirementIncome }) {
        ControlArray<QLineEdit>& boxes = textArray(group);
        for (const int index : boxes.indices()) {
            // Placeholders are known by their slot, not by their text: a visible field whose
            // stored text happens to be "Dummy" comes back like any other entry.
            if (FieldCatalogue::isPlaceholder(group, index))
                continue;
            QString stored;
            if (!trap.step(132,
                    [&] { stored = mSavedInputs.read(FieldCatalogue::settingsKey(group, index)); }))
                continue;
            // Writing back the text just read would only write the file again once per field.
            mRestoringTextFields = true;
            trap.step(134, [&] { boxes(index)->setText(stored.isEmpty() ? "0" : stored); });
            mRestoringTextFields = false;
        }
    }
}

void Form1::fieldChange(Group group, int index)
{
    if (mRestoringTextFields || FieldCatalogue::isPlaceholder(group, index))
        return;
    mSavedInputs.store(FieldCatalogue::settingsKey(group, index), textArray(group)(index)->text(),
        QStringLiteral("Form1.%1_Change").arg(FieldCatalogue::controlName(group)));
    emit inputChanged();
}

void Form1::pickerChange(Group group)
{
    if (mRestoringPickers)
        return;
    mSavedInputs.store(FieldCatalogue::settingsKey(group, 0),
        StoredDate::toText(picker(group)->value()),
        QStringLiteral("Form1.%1_Change").arg(FieldCatalogue::controlName(group)));
    emit inputChanged();
}

void Form1::PushButton6_Click()
{
    ErrorTrap trap(QStringLiteral("Form1.PushButton6_Click"));
    trap.step(100, [&] {
        showPlainMessage(this,
            QStringLiteral("Questions? Please contact Team Ostrivane at ") + Product::contactPage);
    });
}

void Form1::PushButton7_Click()
{
    ErrorTrap trap(QStringLiteral("Form1.PushButton7_Click"));
    for (const SampleData::Step& step : SampleData::steps()) {
        trap.step(step.line, [&] {
            if (FieldCatalogue::isTextArray(step.group))
                textArray(step.group)(step.index)->setText(step.text);
            else
                picker(step.group)->setValue(step.date);
        });
    }
}

void Form1::VScroll1_Change()
{
    Picture1->move(Picture1->x(), -Twips::toPixels(VScroll1->value()));
}

void Form1::VScroll1_Scroll(int position)
{
    Picture1->move(Picture1->x(), -Twips::toPixels(position));
}

void Form1::fieldGotFocus(const FieldRef& field)
{
    if (FieldCatalogue::isTextArray(field.group)
        && FieldCatalogue::rules(field.group).selectOnFocus)
        selectAllText(textArray(field.group)(field.index));
    scrollIntoView(field);
}

void Form1::scrollIntoView(const FieldRef& field)
{
    const QWidget* control = FieldCatalogue::isTextArray(field.group)
        ? static_cast<QWidget*>(textArray(field.group)(field.index))
        : picker(field.group);
    const int frameTop = Frame1(FieldCatalogue::rules(field.group).frame)->y();
    const int position = Twips::fromPixels(frameTop + control->y());
    VScroll1->setValue(ScrollRule::targetFor(position, VScroll1->maximum(),
        Twips::fromPixels(Picture2->height()), Twips::fromPixels(control->height())));
}

void Form1::fieldValidate(const FieldRef& field, QWidget* next, Qt::FocusReason reason)
{
    QLineEdit* box = textArray(field.group)(field.index);
    const FieldValidation outcome = validateFieldText(field.group, box->text());
    if (outcome.accepted) {
        if (outcome.text != box->text())
            box->setText(outcome.text);
        return;
    }
    // The focus has already moved on; the answer to the message brings it back. Until then
    // the control that took it does not act: a pressed button does not click, and a field
    // does not scroll the refused one out of view.
    mRefusedField = box;
    if (reason == Qt::MouseFocusReason)
        mRefusedClick = qobject_cast<QAbstractButton*>(next);
    QMetaObject::invokeMethod(
        this,
        [this, box = QPointer<QLineEdit>(box), message = outcome.message] {
            refuseLeaving(box, message);
        },
        Qt::QueuedConnection);
}

void Form1::refuseLeaving(QPointer<QLineEdit> box, const QString& message)
{
    const auto field = fieldOf(box);
    if (!field)
        return;
    scrollIntoView(*field);
    showPlainMessage(this, message);
    mRefusedClick.clear();
    if (!box)
        return;
    box->setText(QStringLiteral("0"));
    mReturningFocus = true;
    box->setFocus(Qt::OtherFocusReason);
    mReturningFocus = false;
    mRefusedField.clear();
    // The message's window may still hold the activation, so the field gets no focus event of
    // its own: the panel goes back to where the field stands.
    scrollIntoView(*field);
    selectAllText(box);
}

void Form1::selectAllText(QLineEdit* box)
{
    // Like typing Home and Shift+End once the focus handling has finished.
    QMetaObject::invokeMethod(
        this,
        [box = QPointer<QLineEdit>(box)] {
            // The window's focus field, even while a message box still holds the activation.
            if (!box || box->window()->focusWidget() != box)
                return;
            box->home(false);
            box->end(true);
        },
        Qt::QueuedConnection);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const auto field = fieldOf(watched);
        if (!field)
            break;
        if (!mReturningFocus && !mRefusedField && isFocusMove(reason))
            fieldGotFocus(*field);
        // A line edit selects its whole text when the keyboard brings the focus; a group that
        // does not select on focus gets the focus without that, so typing adds to the text.
        if (isKeyboardFocus(reason) && FieldCatalogue::isTextArray(field->group)
            && !FieldCatalogue::rules(field->group).selectOnFocus) {
            QFocusEvent withoutSelection(QEvent::FocusIn, Qt::OtherFocusReason);
            static_cast<QObject*>(watched)->event(&withoutSelection);
            return true;
        }
        break;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* next = QApplication::focusWidget();
        const auto field = fieldOf(watched);
        if (!mReturningFocus && isFocusMove(reason) && field
            && FieldCatalogue::isTextArray(field->group) && next && next != watched
            && next->window() == this)
            fieldValidate(*field, next, reason);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == mRefusedClick) {
            mRefusedClick.clear();
            return true;
        }
        break;
    case QEvent::Wheel:
        if (watched == Picture1 || watched == Picture2 || watched == VScroll1
            || qobject_cast<QGroupBox*>(watched)) {
            panelWheel(static_cast<QWheelEvent*>(event));
            return true;
        }
        break;
    case QEvent::MouseMove:
        if (watched == PushButton22 || watched == PushButton6 || watched == PushButton7)
            pointerOverButton();
        else if (qobject_cast<QGroupBox*>(watched))
            pointerOverBackground();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::panelWheel(QWheelEvent* event)
{
    VScroll1->setValue(ScrollRule::wheelTarget(VScroll1->value(), event->angleDelta().y(),
        QApplication::wheelScrollLines(), VScroll1->maximum()));
    event->accept();
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    pointerOverBackground();
    QWidget::mouseMoveEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    Form1Builder(*this).arrange();
    QWidget::resizeEvent(event);
}

void Form1::hideEvent(QHideEvent* event)
{
    // Hidden for the preview, or closing: either way the place the user left it is taken down.
    if (!event->spontaneous())
        WindowPlacement::remember(*this, placementName);
    QWidget::hideEvent(event);
}

void Form1::closeEvent(QCloseEvent* event)
{
    // Everything was stored as it changed; the close waits until it is on disk, or tells which
    // file could not be written and why before the inputs go with the program. No other
    // window's close handling runs. A guard that says no keeps the window and all of that.
    if (mMayClose && !mMayClose()) {
        event->ignore();
        return;
    }
    int status = 0;
    if (!mSavedInputs.flush()) {
        if (const std::optional<QString> reason = mSavedInputs.unsavedReason()) {
            Dialogs::current().message(this, applicationTitle(),
                QStringLiteral("Your inputs could not be saved and are lost when %1 ends.\n\n%2")
                    .arg(Product::name, *reason),
                Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
            status = exitInputsUnsaved;
        }
    }
    event->accept();
    QCoreApplication::exit(status);
}

void Form1::setMousePointer(MousePointer pointer)
{
    mPointer = pointer;
    showPointer();
}

void Form1::pointerOverButton()
{
    if (mPointer != MousePointer::Busy)
        setMousePointer(MousePointer::Custom);
}

void Form1::pointerOverBackground()
{
    if (mPointer != MousePointer::Busy)
        setMousePointer(MousePointer::Default);
}

void Form1::showPointer()
{
    switch (mPointer) {
    case MousePointer::Busy:
        setCursor(Qt::WaitCursor);
        break;
    case MousePointer::Custom:
        setCursor(mHandCursor ? *mHandCursor : QCursor(Qt::ArrowCursor));
        break;
    case MousePointer::Default:
        setCursor(Qt::ArrowCursor);
        break;
    }
}
