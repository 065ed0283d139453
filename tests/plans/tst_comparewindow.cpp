#include "entry/form1.h"
#include "plans/compareprogress.h"
#include "plans/comparerunner.h"
#include "plans/comparewindow.h"
#include "preview/form2.h"
#include "scripteddialogs.h"
#include "workbook/generationwiring.h"
#include "workbook/sheetmasterfetch.h"
#include "workbook/spreadsheetoffice.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPdfDocument>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

// Three plans compared for real on the office, from the choice to the window: the table, its
// copy, CSV and PDF, and a plan's preview.
class TestCompareWindow : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;
    std::unique_ptr<SpreadsheetOffice> mOffice;
    std::unique_ptr<Form1> mForm;
    GenerationWiring* mWiring = nullptr;
    QPointer<CompareWindow> mWindow;

    QString planFile(const QString& name, const QString& wages) const
    {
        QFile file(mHome.filePath(name + ".ferrowynd"));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(QStringLiteral("[Ferrowynd]\ntxtIncome0=%1\ntxtExpense0=1200\n"
                                  "dtHusbandDOB=11/4/1965\n")
                       .arg(wages)
                       .toUtf8());
        return file.fileName();
    }

    QString readAll(const QString& name) const
    {
        QFile file(mHome.filePath(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mHome.filePath("config")));
        qputenv("HOME", QFile::encodeName(mHome.path()));
        qputenv("TEMP", QFile::encodeName(mHome.filePath("temp")));
        QVERIFY(QDir().mkpath(mHome.filePath("temp")));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mOffice = createSpreadsheetOffice();
        mForm = std::make_unique<Form1>();
        QVERIFY(mForm->Form_Load());
        mForm->show();
        mWiring = connectGenerationRun(*mForm, *mOffice);
    }

    void cleanupTestCase() { delete mWindow.data(); }

    // The progress is modal to the main window and names the plan; "Start Creating Template"
    // starts nothing meanwhile.
    void runsThePlansWhileTheMainWindowWaits()
    {
        ScriptedDialogs dialogs;
        dialogs.openPaths << QStringList { planFile("Retire at 62", "5000"),
            planFile("Retire at 67", "6000"), planFile("Retire at 62 again", "5000") };
        openCompareWindow(*mForm, *mOffice, *mWiring);
        auto* progress = mForm->findChild<CompareProgress*>();
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QCOMPARE(progress->label()->text(), QStringLiteral("Running Retire at 62 (1 of 3)…"));
        mWiring->PushButton22_Click();
        QVERIFY(!mWiring->preview());
        QTRY_VERIFY_WITH_TIMEOUT(mWindow = mForm->findChild<CompareWindow*>(), 180000);
        QVERIFY(!mWiring->officeInUse());
        QTRY_VERIFY(!mForm->findChild<CompareProgress*>());
        QCOMPARE(dialogs.texts(),
            QStringList { "Compare the current fields with the chosen plans as well?" });
        QVERIFY(mWindow->isVisible() && mWindow->isWindow());
    }

    // The one input that differs, then the sheet's ten results, as the sheet formats them.
    void showsOneColumnPerPlan()
    {
        QVERIFY(mWindow);
        QTableWidget* table = mWindow->table();
        QCOMPARE(table->columnCount(), 5);
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Δ Retire at 67"));
        QCOMPARE(table->rowCount(), 11);
        QVERIFY(table->verticalHeaderItem(0)->text().contains("Wages"));
        for (int row = 1; row < 11; ++row) {
            QVERIFY(!table->item(row, 0)->text().isEmpty());
            QCOMPARE(table->item(row, 3)->text(), table->item(row, 0)->text());
            QVERIFY(table->item(row, 1)->textAlignment() & Qt::AlignRight);
        }
        // A thousand more wages a month: twelve thousand more income a year.
        QCOMPARE(table->verticalHeaderItem(1)->text(), QStringLiteral("Total Income"));
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral(" 60,000 "));
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral(" 72,000 "));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("+12,000.00"));
        QVERIFY(mWindow->failures()->isHidden());
    }

    void copiesSavesAndExports()
    {
        QVERIFY(mWindow);
        ScriptedDialogs dialogs;
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(mWindow->table(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), mWindow->comparison().toTsv());
        dialogs.savePaths << mHome.filePath("table") << mHome.filePath("table.pdf");
        QTest::mouseClick(mWindow->saveCsvButton(), Qt::LeftButton);
        QCOMPARE(readAll("table.csv"), mWindow->comparison().toCsv());
        QTest::mouseClick(mWindow->exportPdfButton(), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList());
        QPdfDocument pdf;
        QCOMPARE(pdf.load(mHome.filePath("table.pdf")), QPdfDocument::Error::None);
        QCOMPARE(pdf.pageCount(), 1);
    }

    // The preview shows a copy of the plan's result: going back removes the copy, not the
    // result the window keeps until it closes.
    void opensAPlansPreview()
    {
        QVERIFY(mWindow);
        ScriptedDialogs dialogs;
        const QString kept
            = mWindow->findChild<CompareRunner*>()->compared().at(1).result.resultWorkbook;
        QVERIFY(QFile::exists(kept));
        mWindow->table()->setCurrentCell(3, 2);
        QTest::mouseClick(mWindow->openPreviewButton(), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList());
        Form2* preview = mWiring->preview();
        QVERIFY(preview && preview->isVisible() && mForm->isVisible());
        QVERIFY(preview->mExcelFile != kept && QFile::exists(preview->mExcelFile));
        QVERIFY(!preview->picture().isNull());
        QTRY_VERIFY_WITH_TIMEOUT(mWiring->masterFetch()->finished(), 60000);
        QTest::mouseClick(preview->PushButton8, Qt::LeftButton);
        QVERIFY(!QFile::exists(preview->mExcelFile) && QFile::exists(kept));
        QTest::mouseClick(mWindow->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(!mWindow);
        QVERIFY(!QFile::exists(kept));
    }
};

int main(int argc, char** argv)
{
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication application(argc, argv);
    TestCompareWindow test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_comparewindow.moc"
