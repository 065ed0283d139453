#include "app/apperror.h"
#include "app/filehelpers.h"
#include "filesizelimit.h"

#include <QtTest>

class TestFileHelpers : public QObject {
    Q_OBJECT

    QTemporaryDir mDir;

    QString makeFile(const QString& name, const QByteArray& content = "x")
    {
        const QString path = QDir(mDir.path()).filePath(name); // an absolute name stays
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(content);
        return path;
    }

private slots:
    void fileExists()
    {
        QVERIFY(FileExists(makeFile("present.xls")));
        QVERIFY(!FileExists(mDir.filePath("absent.xls")));
        QVERIFY(!FileExists(QString()));
        QVERIFY(!FileExists(mDir.path()));
    }

    void killFileRemovesPlainAndReadOnlyFiles()
    {
        const QString plain = makeFile("plain.xls");
        KillFile(plain);
        QVERIFY(!QFile::exists(plain));

        const QString readOnly = makeFile("readonly.xls");
        QVERIFY(QFile::setPermissions(readOnly, QFileDevice::ReadOwner));
        KillFile(readOnly);
        QVERIFY(!QFile::exists(readOnly));
    }

    void killFileNeverThrows()
    {
        KillFile(mDir.filePath("missing.xls"));
        KillFile(QString());
        KillFile(mDir.path()); // a folder is not a file: left alone
        QVERIFY(QDir(mDir.path()).exists());
    }

    void forceDeleteReportsMissingFile()
    {
        QVERIFY_THROWS_EXCEPTION(AppError, ForceDeleteFile(mDir.filePath("missing.xls")));
    }

    void writeBytesReplacesContent()
    {
        const QString path = makeFile("template.xlt", "old content that is longer");
        WriteBytesToFile(QByteArray("\xD0\xCF\x11\xE0", 4), path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xD0\xCF\x11\xE0", 4));
    }

    void writeBytesIntoMissingFolderThrows()
    {
        QVERIFY_THROWS_EXCEPTION(
            AppError, WriteBytesToFile("x", mDir.filePath("no/such/folder/template.xlt")));
    }

    // As a full disk: the write fails halfway with the system's reason; the old file stays.
    void writeBytesPastTheFileSizeLimitKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = makeFile(dir.filePath("template.xlt"), "old");
        QString thrown;
        try {
            const FileSizeLimit limit(4096);
            WriteBytesToFile(QByteArray(10000, 'x'), path); // less than a write buffer
        } catch (const AppError& failure) {
            thrown = failure.description();
        }
        QCOMPARE(thrown, "Disk error writing " + path + " (File too large)");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({ "template.xlt" }));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old"));
    }
};

QTEST_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
