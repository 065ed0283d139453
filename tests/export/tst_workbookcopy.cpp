#include "app/apperror.h"
#include "export/workbookcopy.h"
#include "filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Saving copies the result workbook onto the file the user chose.
class TestWorkbookCopy : public QObject {
    Q_OBJECT

private slots:
    void copyFileReplacing_data()
    {
        QTest::addColumn<QByteArray>("old"); // empty: no file there before
        QTest::addColumn<int>("sizeLimit"); // 0: none
        QTest::addColumn<QString>("error"); // empty: the copy put in place
        QTest::newRow("new file") << QByteArray() << 0 << QString();
        QTest::newRow("over a saved workbook") << QByteArray("saved workbook") << 0 << QString();
        // As a full disk, met in the copy's second chunk: the saved workbook stays as it was.
        QTest::newRow("past the file size limit")
            << QByteArray("saved workbook") << 100000 << "Disk error writing %1 (File too large)";
    }
    void copyFileReplacing()
    {
        QFETCH(QByteArray, old);
        QFETCH(int, sizeLimit);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString source = dir.filePath("FW20211234.xls");
        const QString target = dir.filePath("mine.xls");
        QByteArray computed(200000, '\0');
        for (int at = 0; at < computed.size(); ++at)
            computed[at] = char(at % 251);
        for (const auto& [path, bytes] : { std::pair(source, computed), std::pair(target, old) }) {
            QFile file(path);
            if (!bytes.isEmpty())
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        QString thrown;
        try {
            const FileSizeLimit limit(sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY);
            ::copyFileReplacing(source, target);
        } catch (const AppError& failure) {
            thrown = failure.description();
        }
        QCOMPARE(thrown, error.isEmpty() ? QString() : error.arg(target));
        QFile copy(target);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), error.isEmpty() ? computed : old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({ "FW20211234.xls", "mine.xls" }));
    }
};

QTEST_MAIN(TestWorkbookCopy)
#include "tst_workbookcopy.moc"
