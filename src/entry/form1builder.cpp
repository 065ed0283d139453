#include "form1builder.h"

#include "bracketline.h"
#include "fielddescription.h"
#include "form1.h"
#include "formlayout.h"
#include "typinghidestooltip.h"

#include "app/twips.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <algorithm>
#include <limits>

using namespace FormLayout;
using FieldCatalogue::Column;
using FieldCatalogue::Group;

namespace {

const QRegularExpression threeCharacters(QStringLiteral(".{0,3}"));

QFont arialBold(double pointSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(pointSize);
    font.setBold(true);
    return font;
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::toPixels(left, top, width, height));
}

void place(QWidget* widget, const QRect& twips)
{
    place(widget, twips.x(), twips.y(), twips.width(), twips.height());
}

QPushButton* pushButton(Form1& form, const QString& caption, const QRect& twips)
{
    auto* button = new QPushButton(caption, &form);
    button->setFont(arialBold(buttonPointSize));
    place(button, twips);
    return button;
}

int boxLeft(const FieldCatalogue::Field& field)
{
    if (field.left != 0)
        return field.left;
    if (field.column == Column::Right)
        return rightColumn;
    return FieldCatalogue::frame(FieldCatalogue::rules(field.group).frame).leftColumn;
}

int labelColumn(const FieldCatalogue::Frame& frame, Column column)
{
    return column == Column::Left ? leftLabelColumn : frame.rightLabels;
}

QFrame* line(QWidget* parent, Qt::Orientation orientation, int left, int top, int width, int height)
{
    auto* line = new BracketLine(orientation, parent);
    line->setLine(Twips::toPixels(left, top, width, height));
    return line;
}

} // namespace

Form1Builder::Form1Builder(Form1& form)
    : mForm(form)
{
}

void Form1Builder::build()
{
    window();
    frames();
    fields();
    headings();
    placeholders();
    tabOrder();
}

void Form1Builder::window()
{
    mForm.resize(Twips::toPixels(QSize(clientWidth, clientHeight)));
    mForm.setMinimumSize(Twips::toPixels(QSize(clientWidth, minimumClientHeight)));
    mForm.setFont(arialBold(fieldPointSize));
    // The white is forced, so is the text drawn on it: a dark colour scheme's light text would
    // vanish. Text boxes, buttons and menus keep the scheme's colours.
    QPalette palette = mForm.palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::WindowText, Qt::black);
    mForm.setPalette(palette);
    mForm.setAutoFillBackground(true);

    mForm.PushButton22
        = pushButton(mForm, QStringLiteral("Start Creating Template"), pushButton22.twips);
    mForm.PushButton6 = pushButton(mForm, QStringLiteral("Help"), pushButton6.twips);
    mForm.PushButton7
        = pushButton(mForm, QStringLiteral("Load Sample/Example Data"), pushButton7.twips);

    mForm.Picture2 = new QWidget(&mForm);
    place(mForm.Picture2, viewport.twips);
    mForm.Picture1 = new QWidget(mForm.Picture2);
    place(mForm.Picture1, panelLeft, 0, panelWidth, panelHeight);

    mForm.VScroll1 = new QScrollBar(Qt::Vertical, mForm.Picture2);
    place(mForm.VScroll1, scrollBar.twips);
    mForm.VScroll1->setRange(0, scrollMaximum);
    mForm.VScroll1->setSingleStep(scrollArrowStep);
    mForm.VScroll1->setPageStep(scrollPageStep);
    mForm.VScroll1->setTracking(true);
    // A keyboard stop after the fields; a click on it leaves the focus where it is.
    mForm.VScroll1->setFocusPolicy(Qt::TabFocus);
    mForm.VScroll1->raise();
}

void Form1Builder::frames()
{
    for (const FieldCatalogue::Frame& frame : FieldCatalogue::frames()) {
        auto* box = new QGroupBox(frame.title, mForm.Picture1);
        place(box, frameLeft, frame.top, frameWidth, frame.height);
        mForm.Frame1.insert(frame.index, box);
    }
}

void Form1Builder::fields()
{
    auto* typing = new TypingHidesToolTip(&mForm);
    for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
        const int frameIndex = FieldCatalogue::rules(field.group).frame;
        QWidget* frame = mForm.Frame1(frameIndex);
        const int top = field.top - FieldCatalogue::frame(frameIndex).top;
        const int left = boxLeft(field);
        if (FieldCatalogue::isTextArray(field.group)) {
            auto* box = new QLineEdit(frame);
            // Before the text: a new limit lays the text out again.
            box->setMaxLength(std::numeric_limits<int>::max());
            box->setText(QStringLiteral("0"));
            // Rates, a share and ages take three typed characters; a longer text set by the
            // program is shown whole. Amounts have no limit.
            if (field.group == Group::Other)
                box->setValidator(new QRegularExpressionValidator(threeCharacters, box));
            place(box, left, top, textBoxWidth, textBoxHeight);
            box->setAccessibleName(FieldDescription::accessibleName(field));
            box->setAccessibleDescription(FieldDescription::accessibleDescription(field));
            box->setToolTip(FieldDescription::toolTip(field));
            box->installEventFilter(typing);
            mForm.textArray(field.group).insert(field.index, box);
        } else {
            auto* picker = new DatePicker(frame);
            place(picker, left, top, textBoxWidth, pickerHeight);
            picker->describe(FieldDescription::accessibleName(field),
                FieldDescription::accessibleDescription(field));
            picker->setToolTip(FieldDescription::toolTip(field));
            for (QWidget* part : picker->findChildren<QWidget*>())
                part->installEventFilter(typing);
            (field.group == Group::HusbandDOB ? mForm.dtHusbandDOB : mForm.dtWifeDOB) = picker;
        }
        const int labelLeft = labelColumn(FieldCatalogue::frame(frameIndex), field.column)
            + (field.heading.isEmpty() ? 0 : memberIndent);
        auto* label = new QLabel(field.label, frame);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        place(label, labelLeft, top, left - labelGap - labelLeft, textBoxHeight);
        mForm.Label4.insert(mForm.Label4.count(), label);
    }
}

void Form1Builder::headings()
{
    for (const FieldCatalogue::Heading& heading : FieldCatalogue::headings()) {
        QWidget* frame = mForm.Frame1(heading.frame);
        const FieldCatalogue::Frame& design = FieldCatalogue::frame(heading.frame);
        const int top = heading.top - design.top;
        auto* label = new QLabel(heading.text, frame);
        label->setTextFormat(Qt::PlainText);
        if (heading.bracket) {
            const int left = labelColumn(design, heading.column);
            label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
            // A group heading's row has no box, so its text may run across its own column, but
            // not into the other one: a skin paints a label's whole background.
            const int columnEnd
                = (heading.column == Column::Left ? design.leftColumn : rightColumn) + textBoxWidth;
            place(label, left, top, columnEnd - left, headingHeight);
            // Its text stands at the bottom; the top may reach into the row above, under it.
            label->lower();
            bracket(frame, design, heading, left, top);
        } else {
            const int left = heading.column == Column::Left ? design.leftColumn : rightColumn;
            label->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            place(label, left, top, textBoxWidth, headingHeight);
        }
        mForm.Other________________.insert(mForm.Other________________.count(), label);
    }
}

void Form1Builder::bracket(QWidget* frame, const FieldCatalogue::Frame& design,
    const FieldCatalogue::Heading& heading, int headingLeft, int headingTop)
{
    std::vector<int> rows;
    for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
        if (field.heading == heading.text && field.column == heading.column
            && FieldCatalogue::rules(field.group).frame == heading.frame)
            rows.push_back(field.top - design.top + textBoxHeight / 2);
    }
    if (rows.empty())
        return;
    const int x = headingLeft + bracketOffset;
    const int first = headingTop + headingHeight;
    const int last = *std::max_element(rows.begin(), rows.end());
    mForm.Line1.insert(mForm.Line1.count(),
        line(frame, Qt::Vertical, x, first, Twips::perPixel, last - first + Twips::perPixel));
    for (const int row : rows) {
        mForm.Line2.insert(
            mForm.Line2.count(), line(frame, Qt::Horizontal, x, row, tickLength, Twips::perPixel));
    }
}

void Form1Builder::arrange()
{
    // The client area starts below the menu bar, if the window has one.
    const int top = mForm.clientTop();
    if (QMenuBar* bar = mForm.menuBar())
        bar->setGeometry(0, 0, mForm.width(), top);
    const QSize growth
        = Twips::fromPixels(mForm.size() - QSize(0, top)) - QSize(clientWidth, clientHeight);
    const std::pair<QWidget*, Placement> placements[]
        = { { mForm.PushButton22, pushButton22 }, { mForm.PushButton6, pushButton6 },
              { mForm.PushButton7, pushButton7 }, { mForm.Picture2, viewport } };
    for (const auto& [widget, placement] : placements) {
        place(widget, placement.at(growth));
        widget->move(widget->x(), widget->y() + top);
    }
    // Inside the viewport the growth is its own.
    const QSize viewportGrowth = viewport.at(growth).size() - viewport.twips.size();
    place(mForm.VScroll1, scrollBar.at(viewportGrowth));
    // A bar value is the panel's top, as before; the range loses what the viewport gained.
    mForm.VScroll1->setMaximum(qMax(0, scrollMaximum - viewportGrowth.height()));
}

void Form1Builder::placeholders()
{
    // Never shown, and only read by a run: each is made when first asked for, not in front of the
    // window's first paint.
    Form1* form = &mForm;
    for (const FieldCatalogue::Slot& slot : FieldCatalogue::placeholders()) {
        mForm.textArray(slot.group).insertMadeOnUse(slot.index, [form] {
            auto* box = new QLineEdit(FieldCatalogue::placeholderText, form);
            place(box, placeholderLeft, 0, textBoxWidth, textBoxHeight);
            box->hide();
            return box;
        });
    }
}

void Form1Builder::tabOrder()
{
    std::vector<FieldCatalogue::Field> byTab = FieldCatalogue::fields();
    std::sort(
        byTab.begin(), byTab.end(), [](const auto& a, const auto& b) { return a.tab < b.tab; });
    std::vector<QWidget*> stops;
    for (const FieldCatalogue::Field& field : byTab) {
        // A picker goes in whole, its check box and date edit with it: a picker left behind
        // would still pass the focus on to its date edit from there.
        if (FieldCatalogue::isTextArray(field.group))
            stops.push_back(mForm.textArray(field.group)(field.index));
        else
            stops.push_back(mForm.picker(field.group));
    }
    stops.push_back(mForm.VScroll1);
    stops.push_back(mForm.PushButton22);
    stops.push_back(mForm.PushButton6);
    stops.push_back(mForm.PushButton7);
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1], stops[i]);
}
