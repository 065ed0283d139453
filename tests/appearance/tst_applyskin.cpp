#include "app/apperror.h"
#include "app/errortrap.h"
#include "appearance/applyskin.h"
#include "appearance/skinframework.h"
#include "entry/form1.h"
#include "scripteddialogs.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>
#include <unistd.h>

namespace {

using Access = SkinFramework::Access;

const QColor buttonFace(0xd4, 0xd0, 0xc8);
const QColor buttonText(0x10, 0x10, 0x10);
const QColor designedWindow(0xff, 0xff, 0xff);
const QColor designedRed(0xff, 0, 0);

// A main window of its own class, like Form1, holding one of each kind of control.
class MainWindow final : public QWidget {
public:
    MainWindow()
    {
        resize(400, 300);
        add(new QLabel(QStringLiteral("Current Income"), this), "label", { 0, 0, 100, 20 });
        auto* frame
            = add(new QGroupBox(QStringLiteral("Savings"), this), "frame", { 0, 30, 190, 150 });
        add(new QLabel(QStringLiteral("Wages - Husband"), frame), "labelInFrame",
            { 5, 20, 80, 20 });
        add(new QLineEdit(QStringLiteral("0"), frame), "textBox", { 90, 20, 90, 20 });
        add(new QCheckBox(frame), "checkBox", { 5, 50, 20, 20 });
        add(new QRadioButton(frame), "optionButton", { 30, 50, 20, 20 });
        auto* line = add(new QFrame(frame), "line", { 5, 80, 2, 40 });
        line->setFrameShape(QFrame::VLine);
        add(new QPushButton(QStringLiteral("Help"), frame), "buttonInFrame", { 90, 50, 90, 24 });
        auto* picture = add(new QWidget(this), "pictureBox", { 200, 0, 190, 180 });
        add(new QLabel(QStringLiteral("Age"), picture), "labelInPicture", { 5, 5, 60, 20 });
        add(new QLineEdit(QStringLiteral("65"), picture), "textBoxInPicture", { 70, 5, 60, 20 });
        auto* box = add(new QFrame(picture), "plainFrame", { 5, 40, 120, 60 });
        box->setFrameShape(QFrame::Box);
        add(new QCheckBox(box), "checkBoxInPlainFrame", { 5, 5, 20, 20 });
        add(new QPushButton(QStringLiteral("Start Creating Template"), this), "button",
            { 0, 190, 180, 24 });
        add(new QScrollBar(Qt::Vertical, this), "scrollBar", { 380, 0, 17, 180 });
        add(new QDateEdit(this), "dateEdit", { 0, 220, 120, 24 });
        auto* picker = add(new DatePickerLike(this), "datePicker", { 130, 220, 150, 24 });
        add(new QCheckBox(picker), "checkBoxInPicker", { 0, 0, 20, 20 });
        auto* pixmapLabel = add(new QLabel(this), "pixmapLabel", { 290, 220, 40, 40 });
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::blue);
        pixmapLabel->setPixmap(pixmap);
    }

    template <typename Control> Control* add(Control* control, const char* name, QRect geometry)
    {
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(geometry);
        return control;
    }

    QWidget* control(const QString& name) const { return findChild<QWidget*>(name); }

private:
    // Stands in for the date picker: a composite control whose parts are its own.
    class DatePickerLike final : public QWidget {
    public:
        using QWidget::QWidget;
    };
};

struct Look {
    QColor window;
    bool autoFill;
    bool ownPalette;
    bool operator==(const Look& other) const
    {
        return window == other.window && autoFill == other.autoFill
            && ownPalette == other.ownPalette;
    }
};

QHash<QString, Look> looksOf(const QWidget& window)
{
    QHash<QString, Look> looks;
    const auto widgets = window.findChildren<QWidget*>();
    for (const QWidget* widget : widgets)
        looks.insert(widget->objectName(),
            { widget->palette().color(QPalette::Window), widget->autoFillBackground(),
                widget->testAttribute(Qt::WA_SetPalette) });
    looks.insert(QStringLiteral("window"),
        { window.palette().color(QPalette::Window), window.autoFillBackground(),
            window.testAttribute(Qt::WA_SetPalette) });
    return looks;
}

// Some controls come with a designed colour of their own, which the skin must replace or keep.
void giveDesignedColours(MainWindow& window)
{
    for (const char* name : { "label", "frame", "textBox", "button", "pictureBox" }) {
        QWidget* control = window.control(QString::fromLatin1(name));
        QPalette palette = control->palette();
        palette.setColor(QPalette::Window, designedRed);
        control->setPalette(palette);
        control->setAutoFillBackground(true);
    }
}

QColor shownAt(QWidget& window, const QString& name, QPoint inside)
{
    QWidget* control
        = name == QStringLiteral("window") ? &window : window.findChild<QWidget*>(name);
    return window.grab().toImage().pixelColor(control->mapTo(&window, inside));
}

// Beside the program, where a user puts it.
QString skinFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/x");
}

QString skinFile()
{
    return skinFolder() + QStringLiteral("/o.cjs");
}

bool writeSkinFile(const QByteArray& bytes)
{
    if (!QDir().mkpath(skinFolder()))
        return false;
    QFile file(skinFile());
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A control as the panel shows it, against the control drawn alone; the border is left out,
// where a rounded frame lets the background through.
bool shownWhole(QWidget* panel, const QImage& panelImage, QWidget* control)
{
    const QRect inside = control->rect().adjusted(3, 3, -3, -3);
    const QImage alone = control->grab(inside).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage onPanel = panelImage.copy(inside.translated(control->mapTo(panel, QPoint(0, 0))))
                               .convertToFormat(QImage::Format_RGB32);
    return alone == onPanel;
}

const QByteArray plainSkin = QByteArrayLiteral("QPushButton { font-weight: bold; }\n");

} // namespace

class TestApplySkin : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, buttonFace);
        palette.setColor(QPalette::Window, designedWindow);
        palette.setColor(QPalette::ButtonText, buttonText);
        QApplication::setPalette(palette);
        // A run that crashed may have left its skin behind.
        QDir(skinFolder()).removeRecursively();
    }

    void cleanup() { QDir(skinFolder()).removeRecursively(); }

    void noSkinFileLeavesTheDesignAndNeverCallsTheComponent()
    {
        MainWindow window;
        giveDesignedColours(window);
        auto* skin = new SkinFramework(&window);
        const auto designed = looksOf(window);

        ApplySkin(window);

        QCOMPARE(looksOf(window), designed);
        QVERIFY(skin->calls().isEmpty());
        QCOMPARE(window.styleSheet(), QString());
    }

    void noSkinFilePlacesNoComponent()
    {
        MainWindow window;
        ApplySkin(window);
        QVERIFY(!window.findChild<SkinFramework*>());
    }

    void aFolderNamedLikeTheSkinIsNoSkin()
    {
        QVERIFY(QDir().mkpath(skinFile()));
        MainWindow window;
        const auto designed = looksOf(window);
        ApplySkin(window);
        QCOMPARE(looksOf(window), designed);
        QVERIFY(!window.findChild<SkinFramework*>());
    }

    void skinFileRecoloursPlainControls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("takesButtonFace");
        // What is drawn on the button face takes the button text's colour, lines included.
        QTest::addColumn<bool>("takesButtonText");
        QTest::newRow("window") << "window" << true << true;
        QTest::newRow("label with its own colour") << "label" << true << true;
        QTest::newRow("frame with its own colour") << "frame" << true << true;
        QTest::newRow("label in a frame") << "labelInFrame" << true << true;
        QTest::newRow("check box") << "checkBox" << true << true;
        QTest::newRow("option button") << "optionButton" << true << true;
        QTest::newRow("picture box") << "pictureBox" << true << true;
        QTest::newRow("label in a picture box") << "labelInPicture" << true << true;
        QTest::newRow("plain frame") << "plainFrame" << true << true;
        QTest::newRow("check box in a plain frame") << "checkBoxInPlainFrame" << true << true;
        QTest::newRow("picture label") << "pixmapLabel" << true << true;
        QTest::newRow("text box") << "textBox" << false << false;
        QTest::newRow("text box in a picture box") << "textBoxInPicture" << false << false;
        QTest::newRow("button") << "button" << false << false;
        QTest::newRow("button in a frame") << "buttonInFrame" << false << false;
        QTest::newRow("scroll bar") << "scrollBar" << false << false;
        QTest::newRow("date edit") << "dateEdit" << false << false;
        QTest::newRow("date picker") << "datePicker" << false << false;
        QTest::newRow("date picker's own check box") << "checkBoxInPicker" << false << false;
        QTest::newRow("line") << "line" << false << true;
    }

    void skinFileRecoloursPlainControls()
    {
        QFETCH(QString, name);
        QFETCH(bool, takesButtonFace);
        QFETCH(bool, takesButtonText);
        QVERIFY(writeSkinFile(plainSkin));
        MainWindow window;
        giveDesignedColours(window);
        const Look designed = looksOf(window).value(name);

        ApplySkin(window);

        const Look now = looksOf(window).value(name);
        if (takesButtonFace) {
            QCOMPARE(now.window, buttonFace);
            QVERIFY(now.autoFill);
        } else {
            QCOMPARE(now.window, designed.window);
            QCOMPARE(now.autoFill, designed.autoFill);
        }
        const QWidget* control = name == "window" ? &window : window.control(name);
        const QColor text = control->palette().color(QPalette::WindowText);
        QCOMPARE(text == buttonText, takesButtonText);
    }

    void recolouredControlsShowTheButtonFace()
    {
        QVERIFY(writeSkinFile(plainSkin));
        MainWindow window;
        giveDesignedColours(window);
        const QColor textBase
            = window.control(QStringLiteral("textBox"))->palette().color(QPalette::Base);

        ApplySkin(window);

        QCOMPARE(shownAt(window, QStringLiteral("label"), { 95, 2 }), buttonFace);
        QCOMPARE(shownAt(window, QStringLiteral("pictureBox"), { 150, 170 }), buttonFace);
        QCOMPARE(shownAt(window, QStringLiteral("window"), { 395, 295 }), buttonFace);
        QCOMPARE(shownAt(window, QStringLiteral("textBox"), { 80, 10 }), textBase);
    }

    void componentIsCalledInOrderAndTheSheetApplied()
    {
        QVERIFY(writeSkinFile(plainSkin));
        MainWindow window;
        auto* skin = new SkinFramework(&window);
        skin->setApplyOptions(0x40);

        ApplySkin(window);

        const QList<SkinFramework::Call> expected { { 1, Access::Put }, { 2, Access::Method },
            { 1, Access::Get }, { 1, Access::Put }, { 5, Access::Put }, { 10, Access::Put },
            { 3, Access::Method } };
        QCOMPARE(skin->calls(), expected);
        QCOMPARE(skin->loadedPath(), skinFile());
        QCOMPARE(skin->applyOptions(), 0x41);
        QCOMPARE(window.styleSheet(), QString::fromUtf8(plainSkin));
        QCOMPARE(window.property("skinControls").toBool(), true);
        QCOMPARE(window.property("skinScrollBars").toBool(), true);
        QCOMPARE(window.property("skinMessageBoxes").toBool(), true);
    }

    void theWindowGetsItsComponentWhenTheSkinIsThere()
    {
        QVERIFY(writeSkinFile(plainSkin));
        MainWindow window;
        ApplySkin(window);
        auto* skin = window.findChild<SkinFramework*>(QStringLiteral("SkinFramework1"));
        QVERIFY(skin);
        QCOMPARE(skin->calls().size(), 6);
        QCOMPARE(window.styleSheet(), QString::fromUtf8(plainSkin));
    }

    void brokenSkinIsReportedOnceAndNothingIsApplied_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("description");
        QTest::newRow("garbage bytes") << QByteArray("\x89PNG\r\n\x1a\n\x00\x00\xff\xd8", 12)
                                       << QStringLiteral("is not UTF-8 text");
        QTest::newRow("cut-off sheet") << QByteArray("QLabel { background: #d4d0")
                                       << QStringLiteral("a brace that does not close at line 1");
        QTest::newRow("binary zeros")
            << QByteArray(64, '\0') << QStringLiteral("a control character");
    }

    void brokenSkinIsReportedOnceAndNothingIsApplied()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, description);
        QVERIFY(writeSkinFile(bytes));
        ScriptedDialogs dialogs;
        MainWindow window;
        giveDesignedColours(window);
        auto* skin = new SkinFramework(&window);
        const auto designed = looksOf(window);

        ErrorTrap trap(QStringLiteral("Form1.Form_Load"));
        const bool skinned = trap.step(104, [&] { ApplySkin(window); });
        bool nextStepRan = false;
        trap.step(124, [&] { nextStepRan = true; });

        QVERIFY(!skinned);
        QVERIFY(nextStepRan);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages.first().title, QStringLiteral("Application Error"));
        const QString text = dialogs.messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("The skin file ") + skinFile()), qPrintable(text));
        QVERIFY2(text.contains(description), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Form1.Form_Load at line 104")), qPrintable(text));
        QCOMPARE(looksOf(window), designed);
        QCOMPARE(window.styleSheet(), QString());
        const QList<SkinFramework::Call> loadOnly { { 2, Access::Method } };
        QCOMPARE(skin->calls(), loadOnly);
    }

    void unreadableSkinIsReportedAndNothingIsApplied()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser reads files whatever their permissions");
        QVERIFY(writeSkinFile(plainSkin));
        QVERIFY(QFile::setPermissions(skinFile(), QFileDevice::WriteOwner));
        MainWindow window;
        const auto designed = looksOf(window);
        QVERIFY_THROWS_EXCEPTION(AppError, ApplySkin(window));
        QCOMPARE(looksOf(window), designed);
        QCOMPARE(window.styleSheet(), QString());
    }

    // The skin paints every label's background: no heading may lie over a field of the other
    // column, nor over any label or box of its own.
    void theSkinnedMainWindowShowsEveryFieldWhole()
    {
        QVERIFY(writeSkinFile(plainSkin));
        Form1 form;
        ApplySkin(form);
        QCOMPARE(form.styleSheet(), QString::fromUtf8(plainSkin));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage panel = form.Picture1->grab().toImage();
        for (const int index : form.Label4.indices()) {
            QLabel* label = form.Label4(index);
            QVERIFY2(shownWhole(form.Picture1, panel, label), qPrintable(label->text()));
        }
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            if (FieldCatalogue::isTextArray(field.group))
                QVERIFY2(shownWhole(form.Picture1, panel, form.textArray(field.group)(field.index)),
                    qPrintable(FieldCatalogue::settingsKey(field.group, field.index)));
        }
    }
};

QTEST_MAIN(TestApplySkin)
#include "tst_applyskin.moc"
