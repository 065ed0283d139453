#include "app/apperror.h"
#include "libreofficespreadsheet.h"
#include "workbook/spreadsheetapplication.h"

namespace {

SpreadsheetFactory& installedFactory()
{
    static SpreadsheetFactory factory;
    return factory;
}

class OfficeHeadStart;
OfficeHeadStart* pendingHeadStart = nullptr;

class OfficeHeadStart final : public SpreadsheetHeadStart {
public:
    explicit OfficeHeadStart(std::unique_ptr<OfficeInstance> office)
        : mOffice(std::move(office))
    {
        pendingHeadStart = this;
    }
    ~OfficeHeadStart() override
    {
        if (pendingHeadStart == this)
            pendingHeadStart = nullptr;
    }
    std::unique_ptr<OfficeInstance> take()
    {
        pendingHeadStart = nullptr;
        return std::move(mOffice);
    }

private:
    std::unique_ptr<OfficeInstance> mOffice;
};

} // namespace

std::unique_ptr<SpreadsheetApplication> createSpreadsheetApplication()
{
    if (installedFactory())
        return installedFactory()();
    if (pendingHeadStart) {
        try {
            return std::make_unique<LibreOfficeSpreadsheet>(pendingHeadStart->take());
        } catch (const AppError&) {
            // An office that died while waiting is no reason to fail: a new one is tried.
        }
    }
    return std::make_unique<LibreOfficeSpreadsheet>();
}

void setSpreadsheetFactory(SpreadsheetFactory factory)
{
    installedFactory() = std::move(factory);
}

std::unique_ptr<SpreadsheetHeadStart> startNextSpreadsheetAhead(const QString& warmUpWorkbook)
{
    if (installedFactory())
        return nullptr;
    try {
        OfficeOptions options;
        options.warmUpDocument = warmUpWorkbook;
        return std::make_unique<OfficeHeadStart>(OfficeInstance::launchAhead(options));
    } catch (...) {
        return nullptr;
    }
}

void waitForQuitSpreadsheets()
{
    OfficeInstance::waitForEndingOffices();
}
