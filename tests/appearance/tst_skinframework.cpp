#include "app/apperror.h"
#include "appearance/skinframework.h"

#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Access = SkinFramework::Access;

QString writeSkin(const QTemporaryDir& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

const QByteArray navyLabels = QByteArrayLiteral("QLabel { color: #000080; }");

} // namespace

class TestSkinFramework : public QObject {
    Q_OBJECT

private slots:
    void loadedSheetIsAppliedToTheWindow()
    {
        QTemporaryDir folder;
        const QString path = writeSkin(folder, QStringLiteral("o.cjs"), navyLabels);
        QWidget window;
        auto* label = new QLabel(QStringLiteral("Wages - Husband"), &window);
        SkinFramework skin;

        skin.loadSkin(path, QString());
        QCOMPARE(window.styleSheet(), QString());
        skin.applyToWindow(window);

        QCOMPARE(window.styleSheet(), QString::fromUtf8(navyLabels));
        QCOMPARE(skin.loadedPath(), path);
        label->ensurePolished();
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
    }

    void optionsChooseWhatTheSheetDresses_data()
    {
        QTest::addColumn<int>("options");
        QTest::addColumn<bool>("scrollBars");
        QTest::addColumn<bool>("labelsDressed");
        QTest::addColumn<bool>("barsDressed");
        QTest::newRow("nothing chosen") << 0 << false << false << false;
        QTest::newRow("controls only") << 1 << false << true << false;
        QTest::newRow("other bits do not choose controls") << 6 << false << false << false;
        QTest::newRow("scroll bars only") << 0 << true << false << true;
        QTest::newRow("both") << 3 << true << true << true;
    }

    void optionsChooseWhatTheSheetDresses()
    {
        QFETCH(int, options);
        QFETCH(bool, scrollBars);
        QFETCH(bool, labelsDressed);
        QFETCH(bool, barsDressed);
        QTemporaryDir folder;
        const QString path = writeSkin(folder, QStringLiteral("o.cjs"),
            QByteArrayLiteral("QWidget[skinControls=\"true\"] QLabel { color: #008000; }\n"
                              "QWidget[skinScrollBars=\"true\"] QScrollBar { color: #800000; }\n"
                              "QPushButton { color: #000080; }\n"));
        QWidget window;
        auto* label = new QLabel(QStringLiteral("Savings"), &window);
        auto* bar = new QScrollBar(&window);
        const QColor designedLabel = label->palette().color(QPalette::WindowText);
        const QColor designedBar = bar->palette().color(QPalette::WindowText);
        SkinFramework skin;
        skin.loadSkin(path, QString());
        skin.setApplyOptions(options);
        skin.setSkinScrollBars(scrollBars);

        skin.applyToWindow(window);
        label->ensurePolished();
        bar->ensurePolished();

        QCOMPARE(window.property("skinControls").toBool(), labelsDressed);
        QCOMPARE(window.property("skinScrollBars").toBool(), barsDressed);
        QCOMPARE(label->palette().color(QPalette::WindowText),
            labelsDressed ? QColor(0, 0x80, 0) : designedLabel);
        QCOMPARE(bar->palette().color(QPalette::WindowText),
            barsDressed ? QColor(0x80, 0, 0) : designedBar);
    }

    void failedLoadKeepsTheSkinLoadedBefore_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("part");
        QTest::newRow("garbage bytes") << QByteArray("\x7f"
                                                     "ELF\x02\x01\x01\x00\xff",
            9) << QString();
        QTest::newRow("unclosed rule") << QByteArray("QLabel { color: red;") << QString();
        QTest::newRow("a part the file lacks") << navyLabels << QStringLiteral("Blue");
    }

    void failedLoadKeepsTheSkinLoadedBefore()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, part);
        QTemporaryDir folder;
        const QString good = writeSkin(folder, QStringLiteral("good.cjs"), navyLabels);
        const QString bad = writeSkin(folder, QStringLiteral("bad.cjs"), bytes);
        SkinFramework skin;
        skin.loadSkin(good, QString());

        QVERIFY_THROWS_EXCEPTION(AppError, skin.loadSkin(bad, part));

        QCOMPARE(skin.styleSheet(), QString::fromUtf8(navyLabels));
        QCOMPARE(skin.loadedPath(), good);
        QCOMPARE(skin.calls().size(), 2);
    }

    void applyingWithNoSkinLoadedFailsAndLeavesTheWindow()
    {
        QTemporaryDir folder;
        SkinFramework skin;
        QVERIFY_THROWS_EXCEPTION(
            AppError, skin.loadSkin(folder.filePath(QStringLiteral("absent.cjs")), QString()));
        QWidget window;
        window.setStyleSheet(QStringLiteral("QLabel { color: red; }"));
        QVERIFY_THROWS_EXCEPTION(AppError, skin.applyToWindow(window));
        QCOMPARE(window.styleSheet(), QStringLiteral("QLabel { color: red; }"));
        QVERIFY(!window.property("skinControls").isValid());
    }

    void theWindowKeepsOneComponent()
    {
        QWidget window;
        QVERIFY(!window.findChild<SkinFramework*>());
        SkinFramework& first = SkinFramework::of(window);
        QCOMPARE(first.objectName(), QStringLiteral("SkinFramework1"));
        QCOMPARE(first.parent(), &window);
        QCOMPARE(&SkinFramework::of(window), &first);
        QCOMPARE(window.findChildren<SkinFramework*>().size(), 1);

        QWidget other;
        auto* placed = new SkinFramework(&other);
        QCOMPARE(&SkinFramework::of(other), placed);
    }
};

QTEST_MAIN(TestSkinFramework)
#include "tst_skinframework.moc"
