#include "app/apperror.h"
#include "app/filehelpers.h"
#include "templatefixture.h"
#include "workbook/template/biffpatcher.h"
#include "workbook/template/biffrecords.h"
#include "workbook/template/compoundfile.h"
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

    // Read from the file's bytes alone, a stream is the one the office reads, held in the file's
    // own sectors or, when small, in the mini stream; anything that is not whole reads as unknown.
    void readWithoutTheOffice_data()
    {
        QTest::addColumn<int>("keptBytes");
        QTest::addColumn<QString>("damage");
        QTest::newRow("the template") << -1 << "";
        QTest::newRow("a small stream") << 1000 << "";
        QTest::newRow("cut short") << -1 << "cut";
        QTest::newRow("its last sector cut off") << -1 << "last sector";
        QTest::newRow("not a compound file") << -1 << "text";
        QTest::newRow("another stream's name") << -1 << "name";
    }

    void readWithoutTheOffice()
    {
        QFETCH(int, keptBytes);
        QFETCH(QString, damage);
        const QString path = copyOfTemplate("read alone.xlt");
        const auto context = mFixture->office().context();
        if (keptBytes > 0)
            rewriteWorkbookStream(
                context, path, [&](const QByteArray& stream) { return stream.left(keptBytes); });
        const QByteArray stream = readWorkbookStream(context, path);
        QByteArray file = fileBytes(path);
        if (damage == "cut")
            file.truncate(file.size() / 2);
        // Whatever the last sector held, a chain that needs it now leaves the file.
        if (damage == "last sector")
            file.chop(512);
        if (damage == "text")
            file = "D0CF11E0 is not enough\n";
        const QString name = damage == "name" ? "Book" : "Workbook";
        QCOMPARE(compoundFileStream(file, name), damage.isEmpty() ? stream : QByteArray());
        if (damage.isEmpty())
            QCOMPARE(BiffPatcher::openingCursor(stream).has_value(), keptBytes < 0);
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
