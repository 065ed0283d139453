#pragma once

#include "spreadsheetapplication.h"

#include <QString>
#include <QVector>
#include <memory>
#include <optional>

class ErrorTrap;
class GenerationHost;
class SpreadsheetOffice;

// The run behind "Start Creating Template": fills the template with the main window's figures,
// saves the result workbook, captures its sheet and hands both to the preview window.
class GenerationRun final {
public:
    // The instances are sessions on the given office.
    GenerationRun(GenerationHost& host, SpreadsheetOffice& office);
    ~GenerationRun();
    GenerationRun(const GenerationRun&) = delete;
    GenerationRun& operator=(const GenerationRun&) = delete;

    void PushButton22_Click();

    // Where the embedded template is read from; tests point it at a file of their own.
    void setTemplateResource(const QString& path) { mTemplateResource = path; }

    // The redraw of an existing result name gives up after this many names.
    static constexpr int maxNameAttempts = 1000;

private:
    void CreateExcelApp();
    void ReleaseExcelApp();
    SpreadsheetApplication& excelApp() const;
    void writeCells(ErrorTrap& trap);
    void drawResultPath(ErrorTrap& trap);

    GenerationHost& mHost;
    SpreadsheetOffice& mOffice;
    QString mTemplateResource;
    std::unique_ptr<SpreadsheetApplication> mExcelApp;
    int mWorkbook = 0;
    QString mResultPath;
};

// A further instance on the office with the file opened in it. Throws AppError, leaving no
// instance behind, when either fails.
std::unique_ptr<SpreadsheetApplication> OpenInNewExcel(
    SpreadsheetOffice& office, const QString& path);
