#include "app/apperror.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QtTest>

// Built without a library search path into the build tree's module folder, this test cannot
// find the program's modules: what the program does when one is missing.
class TestMissingModule : public QObject {
    Q_OBJECT

private slots:
    void missingOfficeModuleIsToldNotCrashed()
    {
        qputenv("FERROWYND_SOFFICE", "/bin/true");
        const std::unique_ptr<SpreadsheetOffice> office = createSpreadsheetOffice();
        bool startFailed = false;
        office->setStartFailureHandler([&] { startFailed = true; });
        office->holdStart();
        // The start check answers without the module.
        office->startAhead();
        office->releaseStart();
        QVERIFY(!startFailed);
        // The run that needs the office is told which part is missing.
        try {
            office->newInstance();
            QFAIL("an office instance without the office module");
        } catch (const AppError& error) {
            QVERIFY2(error.description().contains("libferrowynd_office.so"),
                qPrintable(error.description()));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, createOwnOfficeInstance());
    }
};

QTEST_GUILESS_MAIN(TestMissingModule)
#include "tst_missingmodule.moc"
