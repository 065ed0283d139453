#include "entry/form1.h"
#include "plans/compareprogress.h"
#include "plans/comparerunner.h"
#include "plans/comparewindow.h"
#include "plans/planfile.h"
#include "preview/form2.h"
#include "scripteddialogs.h"
#include "workbook/generationwiring.h"
#include "workbook/sheetmasterfetch.h"
#include "workbook/spreadsheetoffice.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPdfDocument>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

// Three plans compared for real on the office, from the choice to the window: the table, its
// copy, CSV and PDF, and a plan's preview.
class TestCompareWindow : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;
    std::unique_ptr<Form1> mForm;
    std::unique_ptr<SpreadsheetOffice> mOffice;
    GenerationWiring* mWiring = nullptr;
    QPointer<CompareWindow> mWindow;

    QString planFile(const QString& name, const QString& wages) const
    {
        const QString path = mHome.filePath(name + ".ferrowynd");
        QFile file(path);
        const QByteArray text
            = QStringLiteral("[Plan]\nFormatVersion=1\n[Ferrowynd]\ntxtIncome0=%1\n"
                             "txtExpense0=1200\ndtHusbandDOB=11/4/1965\n")
                  .arg(wages)
                  .toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QString readAll(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mHome.filePath("config")));
        qputenv("HOME", QFile::encodeName(mHome.path()));
        qputenv("TEMP", QFile::encodeName(mHome.filePath("temp")));
        QVERIFY(QDir().mkpath(mHome.filePath("temp")));
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        mForm = std::make_unique<Form1>();
        QVERIFY(mForm->Form_Load());
        mForm->show();
        mOffice = createSpreadsheetOffice();
        mWiring = connectGenerationRun(*mForm, *mOffice);
    }

    void cleanupTestCase()
    {
        delete mWindow.data();
        mForm.reset();
        mOffice.reset();
    }

    // The progress is modal to the main window and names the plan; "Start Creating Template"
    // starts nothing meanwhile.
    void runsThePlansWhileTheMainWindowWaits()
    {
        ScriptedDialogs dialogs;
        dialogs.openPaths << QStringList { planFile("Retire at 62", "5000"),
            planFile("Retire at 67", "6000"), planFile("Retire at 62 again", "5000") };
        dialogs.answers = { Dialogs::Answer::No };
        openCompareWindow(*mForm, *mOffice, *mWiring);
        auto* progress = mForm->findChild<CompareProgress*>();
        QVERIFY(progress && progress->isVisible());
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        QCOMPARE(progress->label()->text(), QStringLiteral("Running Retire at 62 (1 of 3)…"));
        QCOMPARE(progress->bar()->maximum(), 3);
        QVERIFY(mWiring->officeInUse());
        mWiring->PushButton22_Click();
        QVERIFY(!mWiring->preview());
        QTRY_VERIFY_WITH_TIMEOUT(mWindow = mForm->findChild<CompareWindow*>(), 180000);
        QVERIFY(!mWiring->officeInUse());
        QTRY_VERIFY(!mForm->findChild<CompareProgress*>());
        QCOMPARE(dialogs.texts(),
            QStringList { "Compare the current fields with the chosen plans as well?" });
        QVERIFY(mWindow->isVisible());
        QVERIFY(mWindow->isWindow());
    }

    // A column per plan, each after the first followed by its difference to the first: the one
    // input that differs, then the sheet's ten results.
    void showsOneColumnPerPlan()
    {
        QVERIFY(mWindow);
        QTableWidget* table = mWindow->table();
        QStringList headers;
        for (int column = 0; column < table->columnCount(); ++column)
            headers << table->horizontalHeaderItem(column)->text();
        QCOMPARE(headers,
            QStringList({ "Retire at 62", "Retire at 67", "Δ Retire at 67", "Retire at 62 again",
                "Δ Retire at 62 again" }));
        QCOMPARE(table->rowCount(), 11);
        QVERIFY(table->verticalHeaderItem(0)->text().contains("Wages"));
        QStringList wages;
        for (int column = 0; column < 5; ++column)
            wages << table->item(0, column)->text();
        QCOMPARE(wages, QStringList({ "5000", "6000", "+1,000.00", "5000", "0.00" }));
        for (int row = 1; row < 11; ++row) {
            QVERIFY(mWindow->comparison().rows().at(row).fromSheet);
            QVERIFY2(!table->item(row, 0)->text().isEmpty(),
                qPrintable(table->verticalHeaderItem(row)->text()));
            QCOMPARE(table->item(row, 3)->text(), table->item(row, 0)->text());
        }
        // A thousand more wages a month: twelve thousand more income a year.
        QCOMPARE(table->verticalHeaderItem(1)->text(), QStringLiteral("Total Income"));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("+12,000.00"));
        QCOMPARE(table->item(1, 4)->text(), QStringLiteral("0.00"));
        for (int row = 1; row < 11; ++row)
            QCOMPARE(table->item(row, 1)->textAlignment() & Qt::AlignHorizontal_Mask,
                int(Qt::AlignRight));
        QVERIFY(mWindow->failures()->isHidden());
    }

    void copiesSavesAndExports()
    {
        QVERIFY(mWindow);
        ScriptedDialogs dialogs;
        QGuiApplication::clipboard()->clear();
        mWindow->table()->setFocus();
        QTest::keyClick(mWindow->table(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), mWindow->comparison().toTsv());
        QVERIFY(mWindow->comparison().toTsv().contains("Retire at 67"));

        dialogs.savePaths << mHome.filePath("table") << mHome.filePath("table.pdf");
        QTest::mouseClick(mWindow->saveCsvButton(), Qt::LeftButton);
        QCOMPARE(readAll(mHome.filePath("table.csv")), mWindow->comparison().toCsv());
        QTest::mouseClick(mWindow->exportPdfButton(), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList());
        QVERIFY(readAll(mHome.filePath("table.pdf")).startsWith("%PDF"));
        QPdfDocument pdf;
        QCOMPARE(pdf.load(mHome.filePath("table.pdf")), QPdfDocument::Error::None);
        QCOMPARE(pdf.pageCount(), 1);
    }

    // The preview shows a copy of the plan's result: going back removes the copy, not the
    // result the window keeps.
    void opensAPlansPreview()
    {
        QVERIFY(mWindow);
        ScriptedDialogs dialogs;
        const QString kept
            = mWindow->findChild<CompareRunner*>()->compared().at(1).result.resultWorkbook;
        QVERIFY(QFile::exists(kept));
        mWindow->table()->setCurrentCell(3, 1);
        QVERIFY(mWindow->openPreviewButton()->isEnabled());
        QTest::mouseClick(mWindow->openPreviewButton(), Qt::LeftButton);
        QCOMPARE(dialogs.texts(), QStringList());
        Form2* preview = mWiring->preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!preview->picture().isNull());
        QVERIFY(preview->mExcelFile != kept);
        QVERIFY(QFile::exists(preview->mExcelFile));
        QVERIFY(mForm->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(mWiring->masterFetch()->finished(), 60000);
        QTest::mouseClick(preview->PushButton8, Qt::LeftButton);
        QVERIFY(!QFile::exists(preview->mExcelFile));
        QVERIFY(QFile::exists(kept));

        // Closing the window lets its results go.
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
