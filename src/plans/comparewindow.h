#pragma once

#include "comparison.h"

#include <QWidget>
#include <functional>
#include <memory>

class CompareRunner;
class GenerationWiring;
class QLabel;
class QPushButton;
class QTableWidget;
class SpreadsheetOffice;

// Asks for 2 to 6 plans (the current fields may be one), runs them one step per event-loop turn
// on the warm office, and shows the comparison. The window belongs to mainWindow.
void openCompareWindow(QWidget& mainWindow, SpreadsheetOffice& office, GenerationWiring& wiring);

// The comparison of the plans a runner ran: one column per plan, copied as tab-separated text,
// saved as CSV, exported as a one-page PDF; a plan's column opens its result in the preview.
// It keeps the runner, and so the plans' result workbooks, while it lives.
class CompareWindow final : public QWidget {
    Q_OBJECT

public:
    // Takes the runner over.
    CompareWindow(QWidget& mainWindow, GenerationWiring& wiring, CompareRunner* runner);
    ~CompareWindow() override;

    const Comparison& comparison() const { return mComparison; }
    QTableWidget* table() const { return mTable; }
    QLabel* failures() const { return mFailures; }
    QPushButton* copyButton() const { return mCopy; }
    QPushButton* saveCsvButton() const { return mSaveCsv; }
    QPushButton* exportPdfButton() const { return mExportPdf; }
    QPushButton* openPreviewButton() const { return mOpenPreview; }
    QPushButton* closeButton() const { return mClose; }

    void copyTable();
    void saveCsv();
    void exportPdf();
    // Asks for the target through the dialog seam and writes it, each step reported under the
    // procedure's name; the folder is remembered once the file is written.
    void saveAs(const QString& procedure, const QString& caption, const QString& filter,
        const QString& suffix, const std::function<void(const QString&)>& write);
    void openPreview();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The plan whose column holds the current cell; -1 when none.
    int currentPlan() const;
    void updateButtons();
    void fitAndPlace(const QWidget& mainWindow);

    GenerationWiring& mWiring;
    CompareRunner* mRunner;
    Comparison mComparison;
    QTableWidget* mTable;
    QLabel* mFailures;
    QPushButton* mCopy;
    QPushButton* mSaveCsv;
    QPushButton* mExportPdf;
    QPushButton* mOpenPreview;
    QPushButton* mClose;
};
