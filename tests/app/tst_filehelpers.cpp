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

    void writeBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("sizeLimit"); // 0: none
        QTest::addColumn<QString>("error"); // empty: the bytes written
        const QByteArray big(100000, 'x');
        QTest::newRow("replaces content")
            << "template.xlt" << QByteArray("\xD0\xCF\x11\xE0", 4) << 0 << QString();
        QTest::newRow("into a missing folder")
            << "no/such/folder/template.xlt" << big << 0 << "Path/File access error: %1 (";
        // As a full disk: the write fails halfway, and the old file stays as it was.
        QTest::newRow("past the file size limit")
            << "template.xlt" << big << 4096 << "Disk error writing %1 (File too large)";
    }
    void writeBytes()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, sizeLimit);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const QByteArray old = "old content that is longer";
        makeFile(path, old);
        QString thrown;
        try {
            const FileSizeLimit limit(sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY);
            WriteBytesToFile(bytes, path);
        } catch (const AppError& failure) {
            thrown = failure.description();
        }
        QFile file(path);
        if (error.isEmpty()) {
            QCOMPARE(thrown, QString());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), bytes);
            return;
        }
        QVERIFY2(thrown.startsWith(error.arg(path)), qPrintable(thrown));
        QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
            name.contains('/') ? QByteArray() : old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            name.contains('/') ? QStringList() : QStringList({ name }));
    }
};

QTEST_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
