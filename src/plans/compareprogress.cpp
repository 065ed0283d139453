#include "compareprogress.h"

#include "app/applicationtitle.h"
#include "comparerunner.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CompareProgress::CompareProgress(QWidget& mainWindow, CompareRunner& runner)
    : QDialog(&mainWindow)
    , mRunner(runner)
    , mLabel(new QLabel(this))
    , mBar(new QProgressBar(this))
    , mCancel(new QPushButton(tr("Cancel"), this))
{
    setWindowTitle(applicationTitle());
    setWindowModality(Qt::WindowModal);
    mLabel->setMinimumWidth(360);
    mBar->setRange(0, runner.planCount());
    mBar->setValue(0);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(mCancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &CompareProgress::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mLabel);
    layout->addWidget(mBar);
    layout->addWidget(buttons);
    connect(&runner, &CompareRunner::planStarted, this, &CompareProgress::showPlan);
    showPlan(0);
}

void CompareProgress::reject()
{
    if (mRunner.isCancelled())
        return;
    mRunner.cancel();
    mCancel->setEnabled(false);
    mLabel->setText(tr("Stopping after the plan that runs now…"));
}

void CompareProgress::showPlan(int index)
{
    mBar->setValue(index);
    if (!mRunner.isCancelled())
        mLabel->setText(mRunner.progressText());
}
