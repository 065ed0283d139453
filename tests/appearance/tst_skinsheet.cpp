#include "app/apperror.h"
#include "appearance/skinsheet.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QString writeFile(const QTemporaryDir& folder, const QByteArray& bytes)
{
    const QString path = folder.filePath(QStringLiteral("o.cjs"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

QString faultOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const AppError& error) {
        return error.description();
    }
    return QString();
}

} // namespace

class TestSkinSheet : public QObject {
    Q_OBJECT

private slots:
    void wellFormedSheetsPass_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("one rule") << QStringLiteral("QLabel { color: navy; }");
        QTest::newRow("rules over lines") << QStringLiteral(
            "Form1 {\n  background: #d4d0c8;\n}\r\nQGroupBox { border: 1px solid gray; }\n");
        QTest::newRow("brace inside a comment")
            << QStringLiteral("/* { unmatched in a comment */ QLabel { color: red; }");
        QTest::newRow("brace inside quotes")
            << QStringLiteral("QLabel { font-family: \"Odd } Name\"; image: url('a{b.png'); }");
        QTest::newRow("escaped quote")
            << QStringLiteral("QLabel { qproperty-text: \"say \\\"hi\\\"\"; }");
        QTest::newRow("tabs and form feeds") << QStringLiteral("QLabel\t{\fcolor: red; }");
        QTest::newRow("accented comment") << QStringLiteral("/* Café crème */ QLabel { }");
    }

    void wellFormedSheetsPass()
    {
        QFETCH(QString, text);
        QCOMPARE(SkinSheet::structuralFault(text), QString());
    }

    void structuralFaultsNameTheirLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fault");
        QTest::newRow("block left open")
            << QStringLiteral("QLabel { color: red; }\nQFrame {\n color: blue;\n")
            << QStringLiteral("a brace that does not close at line 2");
        QTest::newRow("stray closing brace") << QStringLiteral(
            "QLabel { }\n}\n") << QStringLiteral("a closing brace with no opening one at line 2");
        QTest::newRow("comment left open")
            << QStringLiteral("QLabel { }\n\n/* never ends { }")
            << QStringLiteral("a comment that does not end at line 3");
        QTest::newRow("quote left open at the end")
            << QStringLiteral("QLabel { font-family: \"Arial }")
            << QStringLiteral("a quoted text that does not end at line 1");
        QTest::newRow("quote running past its line")
            << QStringLiteral("QLabel {\n font-family: 'Arial;\n}\n'")
            << QStringLiteral("a quoted text that does not end at line 2");
        QTest::newRow("control character") << QStringLiteral("QLabel { }\n\x01\x02")
                                           << QStringLiteral("a control character at line 2");
        QTest::newRow("nul character") << QString(QStringLiteral("QLabel { }") + QChar(0))
                                       << QStringLiteral("a control character at line 1");
    }

    void structuralFaultsNameTheirLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, fault);
        QCOMPARE(SkinSheet::structuralFault(text), fault);
    }

    void readGivesTheFileText()
    {
        QTemporaryDir folder;
        const QByteArray bytes = QByteArrayLiteral("/* Caf\xc3\xa9 */\nQLabel { color: navy; }\n");
        const QString path = writeFile(folder, bytes);
        QVERIFY(!path.isEmpty());
        QCOMPARE(SkinSheet::read(path), QString::fromUtf8(bytes));
    }

    void readRefusesWhatIsNoSheet_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("fault");
        QTest::newRow("binary bytes")
            << QByteArray("\xff\xfe\x89PNG\r\n\x1a\n", 10) << QStringLiteral("is not UTF-8 text");
        QTest::newRow("latin-1 text") << QByteArray("QLabel { font-family: \"Caf\xe9\"; }")
                                      << QStringLiteral("is not UTF-8 text");
        QTest::newRow("valid UTF-8 with NULs")
            << QByteArray("QLabel {}\0\0\0", 12) << QStringLiteral("a control character");
        QTest::newRow("truncated sheet")
            << QByteArray("QLabel { color: re") << QStringLiteral("a brace that does not close");
        QTest::newRow("one byte too large")
            << QByteArray(SkinSheet::maximumBytes + 1, ' ') << QStringLiteral("is larger than");
    }

    void readRefusesWhatIsNoSheet()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, fault);
        QTemporaryDir folder;
        const QString path = writeFile(folder, bytes);
        QVERIFY(!path.isEmpty());
        const QString description = faultOf([&] { SkinSheet::read(path); });
        QVERIFY2(description.contains(fault), qPrintable(description));
        QVERIFY2(description.contains(path), qPrintable(description));
    }

    void largestAllowedSheetIsRead()
    {
        QTemporaryDir folder;
        const QString path = writeFile(folder, QByteArray(SkinSheet::maximumBytes, ' '));
        QCOMPARE(SkinSheet::read(path).size(), SkinSheet::maximumBytes);
    }

    void missingOrUnreadableFileFails()
    {
        QTemporaryDir folder;
        const QString missing = folder.filePath(QStringLiteral("absent.cjs"));
        QVERIFY(faultOf([&] {
            SkinSheet::read(missing);
        }).contains(QStringLiteral("could not be opened")));
        // A folder opens but cannot be read as a file.
        QVERIFY(!faultOf([&] { SkinSheet::read(folder.path()); }).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSkinSheet)
#include "tst_skinsheet.moc"
