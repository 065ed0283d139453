#pragma once

#include <QDialog>

class CompareRunner;
class QLabel;
class QProgressBar;
class QPushButton;

// The progress of a comparison's runs, modal to the main window so that no other run starts on
// the office meanwhile. Cancel (or Escape) stops after the plan that runs now.
class CompareProgress final : public QDialog {
    Q_OBJECT

public:
    CompareProgress(QWidget& mainWindow, CompareRunner& runner);

    QLabel* label() const { return mLabel; }
    QProgressBar* bar() const { return mBar; }
    QPushButton* cancelButton() const { return mCancel; }

public slots:
    // Escape and the window's close button cancel instead of closing.
    void reject() override;

private:
    void showPlan(int index);

    CompareRunner& mRunner;
    QLabel* mLabel;
    QProgressBar* mBar;
    QPushButton* mCancel;
};
