#include "picturemenu.h"
#include "scripteddialogs.h"

#include "app/applicationtitle.h"
#include "app/errorreport.h"
#include "filesizelimit.h"
#include "preview/form2.h"
#include "previewhelpers.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes of every value, as a workbook has, so a text-mode or truncated copy shows.
QByteArray workbookBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 300000; ++i)
        bytes.append(char((i * 7 + i / 256) % 256));
    return bytes;
}

QString question(const QString& path)
{
    return QStringLiteral("Are you sure you wish to overwrite ") + path + QStringLiteral(" ?");
}

} // namespace

class TestForm2Save : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        mDir = std::make_unique<QTemporaryDir>();
        QVERIFY(mDir->isValid());
        mResult = mDir->filePath(QStringLiteral("FW20210831.xls"));
        writeFile(mResult, workbookBytes());
        mForm = std::make_unique<Form2>();
        mForm->mExcelFile = mResult;
    }
    void cleanup() { mForm.reset(); }

    void cancelWritesNothing()
    {
        ScriptedDialogs dialogs;
        const QStringList before = QDir(mDir->path()).entryList(QDir::Files);
        QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);
        QCOMPARE(dialogs.saveTitles, QStringList({ "Save File" }));
        QCOMPARE(dialogs.saveFilters, QStringList({ "Excel Files (*.xls)" }));
        QCOMPARE(dialogs.texts(), QStringList({ "Done." }));
        QCOMPARE(QDir(mDir->path()).entryList(QDir::Files), before);
    }

    void newTargetGetsAnExactCopyUnderTheTypedName()
    {
        ScriptedDialogs dialogs;
        const QString target = mDir->filePath(QStringLiteral("estimate"));
        dialogs.savePaths << target;
        QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);
        QCOMPARE(readFile(target), workbookBytes());
        QVERIFY(!QFile::exists(target + QStringLiteral(".xls")));
        QCOMPARE(dialogs.texts(), QStringList({ "Done." }));
        const auto shown = dialogs.messages.constFirst();
        QCOMPARE(shown.title, applicationTitle());
        QCOMPARE(shown.icon, Dialogs::Icon::None);
        QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
        // Others may read the saved workbook as they may any new file of the user's.
        QVERIFY(QFile::permissions(target) & QFileDevice::ReadGroup);
    }

    void existingTarget_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<int>("sizeLimit"); // 0: none
        QTest::newRow("yes replaces") << int(Dialogs::Answer::Yes) << true << 0;
        QTest::newRow("no keeps") << int(Dialogs::Answer::No) << false << 0;
        // As a full disk, met in the copy's last chunk: one that a write buffer would hold.
        QTest::newRow("yes, file size limit reached")
            << int(Dialogs::Answer::Yes) << false << 68000;
    }
    void existingTarget()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        QFETCH(int, sizeLimit);
        ScriptedDialogs dialogs;
        const QString target = mDir->filePath(QStringLiteral("old.xls"));
        writeFile(target, "an older estimate");
        dialogs.savePaths << target;
        dialogs.answers << Dialogs::Answer(answer);
        if (sizeLimit)
            writeFile(mResult, workbookBytes().left(70000));
        {
            const FileSizeLimit limit(sizeLimit ? rlim_t(sizeLimit) : RLIM_INFINITY);
            QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);
        }

        const QStringList texts = dialogs.texts();
        if (sizeLimit) {
            QCOMPARE(texts.size(), 2);
            QCOMPARE(texts.at(0), question(target));
            QVERIFY2(texts.at(1).startsWith("Disk error writing " + target + " (File too large)"),
                qPrintable(texts.at(1)));
            QCOMPARE(QDir(mDir->path()).entryList(QDir::Files | QDir::Hidden),
                QStringList({ "FW20210831.xls", "old.xls" }));
        } else {
            QCOMPARE(texts, QStringList({ question(target), "Done." }));
        }
        const auto asked = dialogs.messages.constFirst();
        QCOMPARE(asked.title, applicationTitle());
        QCOMPARE(asked.icon, Dialogs::Icon::None);
        QCOMPARE(asked.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(readFile(target), replaced ? workbookBytes() : QByteArray("an older estimate"));
        QCOMPARE(readFile(mResult), sizeLimit ? workbookBytes().left(70000) : workbookBytes());
    }

    void twoSavesGiveTwoIdenticalFiles()
    {
        ScriptedDialogs dialogs;
        const QString first = mDir->filePath(QStringLiteral("first.xls"));
        const QString second = mDir->filePath(QStringLiteral("second.xls"));
        dialogs.savePaths << first << second;
        QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);
        QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);
        QCOMPARE(readFile(first), workbookBytes());
        QCOMPARE(readFile(second), workbookBytes());
        QVERIFY(QFile::exists(mResult));
        QCOMPARE(dialogs.texts(), QStringList({ "Done.", "Done." }));
    }

    void ownPathKeepsTheResult_data()
    {
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("same path") << false;
        QTest::newRow("link to it") << true;
    }
    void ownPathKeepsTheResult()
    {
        QFETCH(bool, throughLink);
        ScriptedDialogs dialogs;
        QString target = mResult;
        if (throughLink) {
            target = mDir->filePath(QStringLiteral("link.xls"));
            QVERIFY(QFile::link(mResult, target));
        }
        dialogs.savePaths << target;
        dialogs.answers << Dialogs::Answer::Yes;
        QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);
        QCOMPARE(readFile(mResult), workbookBytes());
        QCOMPARE(dialogs.texts(), QStringList({ question(target), "Done." }));
    }

    // Running as root makes read-only folders writable, so the failures here are a vanished
    // result workbook and a folder that does not exist.
    void failedCopyKeepsTheOldTargetAndSaysNoDone()
    {
        ScriptedDialogs dialogs;
        const QString target = mDir->filePath(QStringLiteral("old.xls"));
        writeFile(target, "an older estimate");
        QVERIFY(QFile::remove(mResult));
        dialogs.savePaths << target;
        dialogs.answers << Dialogs::Answer::Yes;
        QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);

        QCOMPARE(readFile(target), QByteArray("an older estimate"));
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.texts().at(0), question(target));
        const QString report = dialogs.texts().at(1);
        QVERIFY2(
            report.startsWith(QStringLiteral("File not found: ") + mResult), qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("Form2.PushButton6_Click at line 114")));
        QCOMPARE(dialogs.messages.at(1).title, QStringLiteral("Application Error"));
        QCOMPARE(QDir(mDir->path()).entryList(QDir::Files), QStringList({ "old.xls" }));
    }

    void targetInMissingFolderIsReportedWithoutDone()
    {
        ScriptedDialogs dialogs;
        const QString target = mDir->filePath(QStringLiteral("no such folder/estimate.xls"));
        dialogs.savePaths << target;
        QTest::mouseClick(mForm->PushButton6, Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.texts().constFirst().startsWith(
            QStringLiteral("Path/File access error: ") + target));
        QVERIFY(!QFile::exists(target));
        QCOMPARE(readFile(mResult), workbookBytes());
    }

    void ctrlSSavesTheResults()
    {
        ScriptedDialogs dialogs;
        mForm->setPicture(PreviewHelpers::sheetPicture());
        mForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
        QTest::keyClick(mForm.get(), Qt::Key_S, Qt::ControlModifier);
        // A button's key shows it pressed for a moment before it clicks.
        QTRY_COMPARE(dialogs.saveTitles, QStringList({ "Save File" }));
        QCOMPARE(dialogs.texts(), QStringList({ "Done." }));
    }

    void copyPicturePutsTheSheetOnTheClipboard()
    {
        ScriptedDialogs dialogs;
        const QImage sheet = PreviewHelpers::sheetPicture().toImage();
        mForm->setPicture(QPixmap::fromImage(sheet));
        mForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
        // Zoomed or not, the copy is the sheet at its natural size.
        QTest::mouseClick(mForm->PushButton2, Qt::LeftButton);
        QGuiApplication::clipboard()->clear();
        menuAction(QStringLiteral("&Copy Picture"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(sheet.format()), sheet);
        QVERIFY(dialogs.messages.isEmpty());
    }

    void savePictureWritesAPng_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("new file") << false << int(Dialogs::Answer::No) << true;
        QTest::newRow("existing, yes replaces") << true << int(Dialogs::Answer::Yes) << true;
        QTest::newRow("existing, no keeps") << true << int(Dialogs::Answer::No) << false;
    }
    void savePictureWritesAPng()
    {
        QFETCH(bool, existing);
        QFETCH(int, answer);
        QFETCH(bool, written);
        ScriptedDialogs dialogs;
        const QImage sheet = PreviewHelpers::sheetPicture().toImage();
        mForm->setPicture(QPixmap::fromImage(sheet));
        mForm->show();
        QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
        const QString target = mDir->filePath(QStringLiteral("sheet"));
        if (existing)
            writeFile(target, "an older picture");
        dialogs.savePaths << target;
        dialogs.answers << Dialogs::Answer(answer);
        menuAction(QStringLiteral("Save Picture &As\u2026"))->trigger();

        QCOMPARE(dialogs.saveTitles, QStringList({ "Save Picture" }));
        QCOMPARE(dialogs.saveFilters, QStringList({ "PNG Images (*.png)" }));
        QCOMPARE(dialogs.texts(), existing ? QStringList({ question(target) }) : QStringList());
        if (written) {
            QImage saved;
            QVERIFY(saved.load(target, "PNG"));
            QCOMPARE(saved.convertToFormat(sheet.format()), sheet);
        } else {
            QCOMPARE(readFile(target), QByteArray("an older picture"));
        }
        QCOMPARE(QDir(mDir->path()).entryList(QDir::Files).size(), existing || written ? 2 : 1);
    }

    void savePictureCancelledWritesNothing()
    {
        ScriptedDialogs dialogs;
        mForm->setPicture(PreviewHelpers::sheetPicture());
        const QStringList before = QDir(mDir->path()).entryList(QDir::Files);
        menuAction(QStringLiteral("Save Picture &As\u2026"))->trigger();
        QCOMPARE(dialogs.saveTitles.size(), 1);
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(QDir(mDir->path()).entryList(QDir::Files), before);
    }

private:
    QAction* menuAction(const QString& text)
    {
        QAction* action = pictureMenuAction(*mForm, text);
        if (!action)
            qFatal("no menu entry %s", qPrintable(text));
        return action;
    }

    std::unique_ptr<QTemporaryDir> mDir;
    QString mResult;
    std::unique_ptr<Form2> mForm;
};

QTEST_MAIN(TestForm2Save)
#include "tst_form2save.moc"
