#pragma once

#include "export/resultexport.h"
#include "generationhost.h"
#include "generationrun.h"
#include "officepdfdrawer.h"
#include "preview/form2.h"

#include <QObject>
#include <QPointer>
#include <memory>

class Form1;
class SheetMasterFetch;
class SpreadsheetOffice;

// Binds the generation run to the real windows: Form1's fields, pointer and "Start Creating
// Template" button, and the preview window, made on first use. Typing in the main window starts
// the office ahead again once it has ended for want of use.
class GenerationWiring final : public QObject, public GenerationHost {
    Q_OBJECT

public:
    // Lives as a child of the main window.
    GenerationWiring(Form1& form1, SpreadsheetOffice& office);
    ~GenerationWiring() override;

    void PushButton22_Click();
    // While held, a click on "Start Creating Template" starts no run: someone else uses the
    // office step by step from the event loop.
    void setRunsHeld(bool held) { mRunsHeld = held; }
    // A run, a shown result or a holder uses the office now.
    bool officeInUse() const { return mRunning || mRunsHeld; }
    // Shows a result workbook that was computed elsewhere in the preview, as the run shows its
    // own: the sheet's picture captured on a session of the office and the preview handed a
    // copy of the workbook (the preview removes its workbook when it is done with it). The main
    // window stays. Throws AppError when the office is in use or the workbook cannot be shown.
    void showResultWorkbook(const QString& xlsPath);
    GenerationRun& run() { return mRun; }
    // The preview window, once a run has made it.
    Form2* preview() const { return mForm2; }
    // The fetch of the shown picture's vector drawing; null before the first preview.
    const SheetMasterFetch* masterFetch() const { return mMasterFetch.get(); }

    QString fieldText(const QString& array, int index) const override;
    std::optional<QDate> pickerValue(const QString& picker) const override;
    void setUpdatesLocked(bool locked) override;
    void setBusyPointer(bool busy) override;
    void ensurePreview() override;
    void setPreviewPicture(const QImage& picture) override;
    void setPreviewExcelFile(const QString& path) override;
    void showPreview() override;
    void hideMainWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1& mForm1;
    SpreadsheetOffice& mOffice;
    QPointer<Form2> mForm2;
    GenerationRun mRun;
    // Export and printing of the preview, installed while the wiring lives.
    OfficePdfDrawer mPdfDrawer;
    ResultExport mResultExport;
    bool mRunning = false;
    bool mRunsHeld = false;
    // The shown picture's vector drawing, fetched from the office after the preview shows.
    std::unique_ptr<SheetMasterFetch> mMasterFetch;
};

// Makes "Start Creating Template" start the generation run on the office; the wiring belongs to
// the window.
GenerationWiring* connectGenerationRun(Form1& form1, SpreadsheetOffice& office);
