#include "comparewindow.h"

#include "app/apperror.h"
#include "app/applicationtitle.h"
#include "app/dialogs.h"
#include "app/errortrap.h"
#include "comparechoice.h"
#include "compareprogress.h"
#include "comparerunner.h"
#include "comparisonfiles.h"
#include "comparisonpdf.h"
#include "comparisontable.h"
#include "export/overwritequestion.h"
#include "export/savefolder.h"
#include "workbook/generationwiring.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The path the user chose, with the suffix added when the name has none.
QString withSuffix(const QString& path, const QString& suffix)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + suffix : path;
}

// Asks where to write the comparison; empty when the user cancelled or would not replace.
QString askTarget(
    QWidget* parent, const QString& title, const QString& filter, const QString& suffix)
{
    const QString proposed
        = QDir(lastSaveFolder())
              .filePath(QCoreApplication::translate("CompareWindow", "Plan comparison.") + suffix);
    const QString chosen = Dialogs::current().saveFileNameAt(parent, title, filter, proposed);
    if (chosen.isEmpty())
        return QString();
    const QString target = withSuffix(chosen, suffix);
    return mayWriteTo(parent, target) ? target : QString();
}

} // namespace

void openCompareWindow(QWidget& mainWindow, SpreadsheetOffice& office, GenerationWiring& wiring)
{
    if (wiring.officeInUse()) {
        Dialogs::current().message(&mainWindow, applicationTitle(),
            QCoreApplication::translate(
                "CompareWindow", "A run is using the office; compare plans when it has finished."),
            Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
        return;
    }
    const std::optional<QVector<PlanToCompare>> plans = choosePlansToCompare(&mainWindow);
    if (!plans)
        return;
    auto* runner = new CompareRunner(office, *plans, &mainWindow);
    auto* progress = new CompareProgress(mainWindow, *runner);
    progress->setAttribute(Qt::WA_DeleteOnClose);
    // "Start Creating Template" waits, even after a cancel lets the main window go.
    wiring.setRunsHeld(true);
    QObject::connect(
        runner, &CompareRunner::finished, progress, [&mainWindow, &wiring, runner, progress] {
            wiring.setRunsHeld(false);
            progress->accept();
            if (runner->compared().isEmpty()) {
                runner->deleteLater();
                return;
            }
            auto* window = new CompareWindow(mainWindow, wiring, runner);
            window->show();
            window->raise();
            window->activateWindow();
        });
    progress->show();
    runner->start();
}

CompareWindow::CompareWindow(QWidget& mainWindow, GenerationWiring& wiring, CompareRunner* runner)
    : QWidget(&mainWindow, Qt::Window)
    , mWiring(wiring)
    , mRunner(runner)
    , mComparison(runner->compared())
    , mTable(new QTableWidget(this))
    , mFailures(new QLabel(this))
    , mCopy(new QPushButton(tr("&Copy"), this))
    , mSaveCsv(new QPushButton(tr("&Save as CSV…"), this))
    , mExportPdf(new QPushButton(tr("&Export PDF…"), this))
    , mOpenPreview(new QPushButton(tr("Open &Preview"), this))
    , mClose(new QPushButton(tr("Close"), this))
{
    runner->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Plan Comparison — %1").arg(applicationTitle()));

    mTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setWordWrap(false);
    mTable->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    ComparisonTable::fill(*mTable, mComparison, runner->compared());
    QStringList failed;
    for (const ComparedPlan& plan : runner->compared()) {
        if (!plan.result.succeeded)
            failed << ComparisonTable::failure(plan);
    }
    mFailures->setText(failed.join(QLatin1Char('\n')));
    mFailures->setWordWrap(true);
    mFailures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    mFailures->setVisible(!failed.isEmpty());

    // Ctrl+C copies the whole table wherever the focus is in the window.
    auto* copy = new QAction(this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WindowShortcut);
    addAction(copy);
    connect(copy, &QAction::triggered, this, &CompareWindow::copyTable);
    connect(mCopy, &QPushButton::clicked, this, &CompareWindow::copyTable);
    connect(mSaveCsv, &QPushButton::clicked, this, &CompareWindow::saveCsv);
    connect(mExportPdf, &QPushButton::clicked, this, &CompareWindow::exportPdf);
    connect(mOpenPreview, &QPushButton::clicked, this, &CompareWindow::openPreview);
    connect(mClose, &QPushButton::clicked, this, &QWidget::close);
    auto* closeKey = new QAction(this);
    closeKey->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(closeKey);
    connect(closeKey, &QAction::triggered, this, &QWidget::close);
    connect(mTable, &QTableWidget::currentCellChanged, this, &CompareWindow::updateButtons);
    // The table would copy its current cell only.
    mTable->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(mCopy);
    buttons->addWidget(mSaveCsv);
    buttons->addWidget(mExportPdf);
    buttons->addWidget(mOpenPreview);
    buttons->addStretch();
    buttons->addWidget(mClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mTable, 1);
    layout->addWidget(mFailures);
    layout->addLayout(buttons);

    if (mTable->rowCount() > 0)
        mTable->setCurrentCell(0, 0);
    updateButtons();
    mTable->setFocus();
    fitAndPlace(mainWindow);
}

void CompareWindow::fitAndPlace(const QWidget& mainWindow)
{
    // The whole table where the screen allows, centred over the main window; measured in the
    // fonts and style the window shows with.
    ensurePolished();
    mTable->resizeColumnsToContents();
    mTable->resizeRowsToContents();
    const QRect screen = mainWindow.screen()->availableGeometry();
    // The sheet's longest labels would leave the plans little room: they are cut short.
    mTable->verticalHeader()->setMaximumWidth(screen.width() * 2 / 5);
    const int frame = 2 * mTable->frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QSize table(std::min(mTable->verticalHeader()->sizeHint().width(),
                          mTable->verticalHeader()->maximumWidth())
            + mTable->horizontalHeader()->length() + frame + bar,
        mTable->horizontalHeader()->sizeHint().height() + mTable->verticalHeader()->length()
            + frame);
    const QSize around = layout()->sizeHint() - mTable->sizeHint();
    const QSize largest = screen.size() * 9 / 10;
    QSize wanted = table + around;
    // Too wide for the screen: the horizontal bar takes a line of its own.
    if (wanted.width() > largest.width())
        wanted.rheight() += bar;
    const QSize size = wanted.boundedTo(largest).expandedTo(QSize(480, 320));
    resize(size);
    QRect placed(QPoint(), size);
    placed.moveCenter(mainWindow.frameGeometry().center());
    placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() - size.width()));
    placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() - size.height()));
    move(placed.topLeft());
}

CompareWindow::~CompareWindow() = default;

bool CompareWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mTable && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copyTable();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CompareWindow::copyTable()
{
    QGuiApplication::clipboard()->setText(mComparison.toTsv());
}

void CompareWindow::saveCsv()
{
    saveAs(QStringLiteral("CompareWindow.saveCsv"), tr("Save Comparison as CSV"),
        tr("CSV Files (*.csv)"), QStringLiteral("csv"),
        [this](const QString& target) { writeTextFile(target, mComparison.toCsv()); });
}

void CompareWindow::exportPdf()
{
    saveAs(QStringLiteral("CompareWindow.exportPdf"), tr("Export Comparison as PDF"),
        tr("PDF Files (*.pdf)"), QStringLiteral("pdf"), [this](const QString& target) {
            writeComparisonPdf(
                target, mComparison, mRunner->compared(), QDateTime::currentDateTime());
        });
}

void CompareWindow::saveAs(const QString& procedure, const QString& caption, const QString& filter,
    const QString& suffix, const std::function<void(const QString&)>& write)
{
    ErrorTrap trap(procedure);
    QString target;
    trap.step(100, [&] { target = askTarget(this, caption, filter, suffix); });
    if (!target.isEmpty() && trap.step(102, [&] { write(target); }))
        rememberSaveFolder(target);
}

void CompareWindow::openPreview()
{
    const int plan = currentPlan();
    if (plan < 0)
        return;
    ErrorTrap trap(QStringLiteral("CompareWindow.openPreview"));
    trap.step(100, [&] {
        const PlanRunResult& result = mRunner->compared().at(plan).result;
        if (result.resultWorkbook.isEmpty())
            throw AppError(
                tr("%1 has no result to preview.").arg(mRunner->compared().at(plan).name));
        mWiring.showResultWorkbook(result.resultWorkbook);
    });
}

int CompareWindow::currentPlan() const
{
    const int column = mTable->currentColumn();
    if (column < 0)
        return -1;
    const int plan = ComparisonTable::planOfColumn(column);
    return plan < mRunner->compared().size() ? plan : -1;
}

void CompareWindow::updateButtons()
{
    const int plan = currentPlan();
    mOpenPreview->setEnabled(
        plan >= 0 && !mRunner->compared().at(plan).result.resultWorkbook.isEmpty());
}
