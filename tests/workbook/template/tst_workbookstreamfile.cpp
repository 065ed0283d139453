#include "app/apperror.h"
#include "app/filehelpers.h"
#include "templatefixture.h"
#include "workbook/template/biffpatcher.h"
#include "workbook/template/biffrecords.h"
#include "workbook/template/workbookstreamfile.h"

#include <QFile>
#include <QtTest>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray utf16(const char* name)
{
    const QString text = QString::fromLatin1(name);
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

} // namespace

class TestWorkbookStreamFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TemplateFixture> mFixture;

    QString copyOfTemplate(const QString& name)
    {
        const QString path = mFixture->folder() + "/" + name;
        WriteBytesToFile(fileBytes(mFixture->templatePath()), path);
        return path;
    }

private slots:
    void initTestCase() { mFixture = std::make_unique<TemplateFixture>(); }
    void cleanupTestCase() { mFixture.reset(); }

    void readsTheWorkbookStream()
    {
        const QByteArray stream
            = readWorkbookStream(mFixture->office().context(), mFixture->templatePath());
        const auto records = Biff::readRecords(stream);
        QVERIFY(records.size() > 100);
        QCOMPARE(records.first().type, quint16(Biff::Bof));
        QCOMPARE(records.last().type, quint16(Biff::Eof));
    }

    void unchangedStreamLeavesTheFileAlone()
    {
        const QString path = copyOfTemplate("same.xlt");
        const QByteArray before = fileBytes(path);
        int calls = 0;
        rewriteWorkbookStream(mFixture->office().context(), path, [&](const QByteArray& stream) {
            ++calls;
            return stream;
        });
        QCOMPARE(calls, 1);
        QCOMPARE(fileBytes(path), before);
    }

    void changedStreamIsStoredAndTheRestKept()
    {
        const QString path = copyOfTemplate("changed.xlt");
        const auto context = mFixture->office().context();
        const QByteArray original = readWorkbookStream(context, path);
        const QByteArray zoomed = BiffPatcher::setSheetZoom(original, 1, 3, 2);
        QVERIFY(zoomed != original);

        rewriteWorkbookStream(context, path, [&](const QByteArray&) { return zoomed; });

        QCOMPARE(readWorkbookStream(context, path), zoomed);
        const QByteArray file = fileBytes(path);
        QVERIFY(file.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")));
        QVERIFY(file.contains(utf16("SummaryInformation")));
        QVERIFY(file.contains(utf16("DocumentSummaryInformation")));
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing file") << "missing.xlt" << QByteArray();
        QTest::newRow("not a compound file") << "plain.xlt" << QByteArray("just some text\n");
    }

    void failuresAreReported()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const QString path = mFixture->folder() + "/" + name;
        if (!content.isEmpty())
            WriteBytesToFile(content, path);
        const auto context = mFixture->office().context();
        QVERIFY_THROWS_EXCEPTION(AppError, readWorkbookStream(context, path));
        QVERIFY_THROWS_EXCEPTION(AppError,
            rewriteWorkbookStream(context, path, [](const QByteArray& stream) { return stream; }));
        if (!content.isEmpty())
            QCOMPARE(fileBytes(path), content);
    }

    void failingChangeLeavesTheFileAlone()
    {
        const QString path = copyOfTemplate("refused.xlt");
        const QByteArray before = fileBytes(path);
        QVERIFY_THROWS_EXCEPTION(AppError,
            rewriteWorkbookStream(mFixture->office().context(), path,
                [](const QByteArray&) -> QByteArray { throw AppError("refused"); }));
        QCOMPARE(fileBytes(path), before);
    }
};

QTEST_GUILESS_MAIN(TestWorkbookStreamFile)
#include "tst_workbookstreamfile.moc"
