#include "app/apperror.h"
#include "fakespreadsheet.h"

#include <QtTest>

// Where the workbook side's instances come from: a factory a test installed comes first, then the
// given office or, without one, the office library's own instance. This test links the stand-in
// for that library, which throws.
class TestSpreadsheetFactory : public QObject {
    Q_OBJECT

private slots:
    void anInstalledFactoryComesFirst_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("ownOffice");
        QTest::addColumn<QString>("madeBy");
        QTest::newRow("session, factory installed") << true << false << "factory 1, office 0";
        QTest::newRow("session on the office") << false << false << "factory 0, office 1";
        QTest::newRow("own office, factory installed") << true << true << "factory 1, office 0";
        QTest::newRow("own office") << false << true << "the office library";
    }
    void anInstalledFactoryComesFirst()
    {
        QFETCH(bool, installed);
        QFETCH(bool, ownOffice);
        QFETCH(QString, madeBy);
        FakeSpreadsheet::Office office;
        int fromFactory = 0;
        // In place of the one the fake office installed, or none.
        SpreadsheetFactory factory;
        if (installed)
            factory = [&] {
                ++fromFactory;
                return std::unique_ptr<SpreadsheetApplication>();
            };
        setSpreadsheetFactory(factory);
        QString made;
        try {
            const std::unique_ptr<SpreadsheetApplication> app
                = ownOffice ? createSpreadsheetApplication() : createSpreadsheetApplication(office);
            made = QStringLiteral("factory %1, office %2").arg(fromFactory).arg(office.created);
        } catch (const AppError&) {
            made = QStringLiteral("the office library");
        }
        QCOMPARE(made, madeBy);
    }
};

QTEST_MAIN(TestSpreadsheetFactory)
#include "tst_spreadsheetfactory.moc"
