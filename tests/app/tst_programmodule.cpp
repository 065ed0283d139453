#include "app/apperror.h"
#include "app/printmodule.h"
#include "app/programmodule.h"
#include "workbook/libreoffice/officemodule.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QtTest>
#include <dlfcn.h>

// The modules the program loads when first needed, found as a test finds them: through its
// library search path into the build tree's module folder.
class TestProgramModule : public QObject {
    Q_OBJECT

    static bool isLoaded(const char* fileName)
    {
        void* handle = dlopen(fileName, RTLD_NOW | RTLD_NOLOAD);
        if (handle)
            dlclose(handle);
        return handle != nullptr;
    }

private slots:
    void unloadableModuleIsToldByName_data()
    {
        QTest::addColumn<QByteArray>("module");
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no such module")
            << QByteArray("ferrowynd_absent") << QByteArray("ferrowynd_absent_module")
            << "libferrowynd_absent.so: cannot open shared object file";
        QTest::newRow("no such entry")
            << QByteArray("ferrowynd_print") << QByteArray("ferrowynd_pdf_module")
            << "it has no ferrowynd_pdf_module";
    }

    void unloadableModuleIsToldByName()
    {
        QFETCH(QByteArray, module);
        QFETCH(QByteArray, entry);
        QFETCH(QString, reason);
        try {
            programModuleEntry(module.constData(), entry.constData());
            QFAIL("the module was loaded");
        } catch (const AppError& error) {
            QVERIFY2(error.description().startsWith(
                         "Ferrowynd could not load its part lib" + module + ".so ("),
                qPrintable(error.description()));
            QVERIFY2(error.description().contains(reason), qPrintable(error.description()));
        }
    }

    void printModuleComesWhole()
    {
        const PrintModule& module = printModule();
        QVERIFY(module.choosePrint);
        QVERIFY(module.submitJob);
        QVERIFY(isLoaded("libferrowynd_print.so"));
        // The printing system's refusal comes back as the program's error.
        QVERIFY_THROWS_EXCEPTION(AppError,
            module.submitJob(QStringLiteral("ferrowynd-no-such-printer"),
                QStringLiteral("/nonexistent.pdf"), 1, QStringLiteral("test")));
    }

    // The start check with the start held answers without the office module; the module comes
    // when the office is first needed.
    void heldStartCheckLoadsNoOfficeModule_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("answers");
        QTest::newRow("office missing") << "/nonexistent/soffice.bin" << false;
        QTest::newRow("office present") << "/bin/true" << true;
    }

    void heldStartCheckLoadsNoOfficeModule()
    {
        QFETCH(QString, program);
        QFETCH(bool, answers);
        qputenv("FERROWYND_SOFFICE", QFile::encodeName(program));
        const std::unique_ptr<SpreadsheetOffice> office = createSpreadsheetOffice();
        office->holdStart();
        bool answered = true;
        try {
            office->startAhead();
        } catch (const AppError& error) {
            answered = false;
            QVERIFY2(error.description().contains(program), qPrintable(error.description()));
        }
        QCOMPARE(answered, answers);
        QVERIFY(!isLoaded("libferrowynd_office.so"));
        qunsetenv("FERROWYND_SOFFICE");
    }

    void officeModuleMakesOffices()
    {
        const OfficeModule& module = loadOfficeModule();
        QVERIFY(isLoaded("libferrowynd_office.so"));
        QVERIFY(module.createOffice);
        QVERIFY(module.createOwnInstance);
    }
};

QTEST_GUILESS_MAIN(TestProgramModule)
#include "tst_programmodule.moc"
