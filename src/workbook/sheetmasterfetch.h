#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class SpreadsheetApplication;
class SpreadsheetOffice;

// Fetches the vector drawing of a result workbook's sheet picture (its range as PDF, with and
// without gridlines) from the office after the preview shows, one office call per turn of the
// event loop, and hands both drawings over. A failure only ends the fetch: the preview keeps its
// picture, and nothing is shown to the user. The session goes with this object at the latest.
class SheetMasterFetch final : public QObject {
    Q_OBJECT

public:
    using Delivery = std::function<void(const QByteArray& lined, const QByteArray& plain)>;

    SheetMasterFetch(SpreadsheetOffice& office, const QString& workbook, Delivery deliver);
    ~SheetMasterFetch() override;

    // Delivered, failed or ended.
    bool finished() const { return mStep < 0; }
    // Why it failed; empty while it has not.
    QString failure() const { return mFailure; }

private:
    void next();
    void runStep();
    void end();
    // The range's drawing, through a scratch folder that goes before this returns.
    QByteArray exportedRange(bool gridlines);

    SpreadsheetOffice& mOffice;
    QString mWorkbookPath;
    Delivery mDeliver;
    std::unique_ptr<SpreadsheetApplication> mApp;
    QByteArray mLined;
    int mWorkbook = 0;
    int mStep = 0;
    QString mFailure;
};
