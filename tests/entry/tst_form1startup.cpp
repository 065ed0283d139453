#include "form1fixture.h"

#include "app/apperror.h"
#include "app/applicationtitle.h"
#include "app/errorreport.h"
#include "app/product.h"
#include "app/settingswriter.h"
#include "app/twips.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QGroupBox>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtEndian>

using namespace Form1Fixture;
using FieldCatalogue::Group;

namespace {

QByteArray handCursorBytes()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(6, 1, qRgba(0, 0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "ico").write(image);
    qToLittleEndian<quint16>(2, bytes.data() + 2);
    qToLittleEndian<quint16>(6, bytes.data() + 10);
    qToLittleEndian<quint16>(1, bytes.data() + 12);
    return bytes;
}

class CloseCounter final : public QWidget {
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        event->accept();
    }
};

// Moves the mouse over a point of a widget the way the window system reports it.
void moveOver(QWidget* widget, QPoint pos = QPoint())
{
    if (pos.isNull())
        pos = widget->rect().center();
    QTest::mouseMove(widget->window()->windowHandle(), widget->mapTo(widget->window(), pos));
}

void writeStoreFile(const QByteArray& content)
{
    QFile file(SettingsStore::fileName());
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the settings file");
}

} // namespace

class TestForm1StartUp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
    }

    void init()
    {
        mStore = std::make_unique<QTemporaryDir>();
        useStoreIn(mStore->path());
        mDialogs = std::make_unique<ScriptedDialogs>();
    }

    void cleanup()
    {
        mDialogs.reset();
        QFile::remove(handPointerPath());
    }

    void firstStart()
    {
        Form1 form;
        // Left from elsewhere: the load handler sets the title and puts the panel at its top.
        setApplicationTitle(QStringLiteral("stale title"));
        form.Picture1->move(form.Picture1->x(), -Twips::toPixels(3000));
        QVERIFY(form.Form_Load());
        QVERIFY(mDialogs->messages.isEmpty());
        QCOMPARE(form.windowTitle(), QStringLiteral("Ferrowynd"));
        QVERIFY(!form.windowIcon().isNull());
        // A name without a space cannot lose its last word: it is its own title.
        QCOMPARE(applicationTitle(), QStringLiteral("Ferrowynd"));
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            if (FieldCatalogue::isTextArray(field.group))
                QCOMPARE(form.textArray(field.group)(field.index)->text(), QStringLiteral("0"));
        }
        QCOMPARE(form.dtHusbandDOB->value(), std::nullopt);
        QCOMPARE(form.dtWifeDOB->value(), std::nullopt);
        QCOMPARE(form.dtHusbandDOB->dateEdit()->text(), QString());
        QCOMPARE(form.VScroll1->value(), 0);
        QCOMPARE(form.Picture1->y(), 0);
        // Nothing changed, so nothing was written; placeholders are never written.
        QVERIFY(!hasKey("txtIncome0"));
        QVERIFY(!hasKey("dtHusbandDOB"));
    }

    void placeholdersAreHiddenOnTheWindow()
    {
        Form1 form;
        form.Form_Load();
        form.show();
        QCOMPARE(int(FieldCatalogue::placeholders().size()), 18);
        // Never shown, each is made when first asked for, not in front of the first paint.
        const auto made = [&form] {
            return form.findChildren<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly).size();
        };
        QCOMPARE(made(), 0);
        for (const FieldCatalogue::Slot& slot : FieldCatalogue::placeholders()) {
            QLineEdit* box = form.textArray(slot.group)(slot.index);
            QCOMPARE(box->text(), QStringLiteral("Dummy"));
            QVERIFY(!box->isVisible());
            QCOMPARE(box->parentWidget(), &form);
            QVERIFY(box->x() + box->width() <= 0);
            QCOMPARE(form.textArray(slot.group)(slot.index), box);
        }
        QCOMPARE(made(), 18);
        QVERIFY(form.txtExpense.contains(528));
        QVERIFY(!form.txtExpense.contains(61));
        QVERIFY_THROWS_EXCEPTION(AppError, form.txtExpense(61));
        QCOMPARE(form.txtIncome.count(), 7);
        QCOMPARE(form.txtExpense.count(), 62);
        QCOMPARE(form.txtOther.count(), 14);
        QCOMPARE(form.txtSavings.count(), 16);
        QCOMPARE(form.txtRetirementIncome.count(), 4);
    }

    void restoresEveryVisibleFieldFromItsOwnKey()
    {
        // Unique texts short enough for the three-character boxes.
        QHash<QString, QString> values;
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            if (FieldCatalogue::isTextArray(field.group)) {
                const QString key = FieldCatalogue::settingsKey(field.group, field.index);
                values.insert(key, QString::number(100 + values.size()));
                SettingsStore::write(key, values.value(key));
            }
        }
        for (const FieldCatalogue::Slot& slot : FieldCatalogue::placeholders())
            SettingsStore::write(FieldCatalogue::settingsKey(slot.group, slot.index), "999");

        Form1 form;
        form.Form_Load();
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            if (FieldCatalogue::isTextArray(field.group)) {
                const QString key = FieldCatalogue::settingsKey(field.group, field.index);
                QCOMPARE(form.textArray(field.group)(field.index)->text(), values.value(key));
                QCOMPARE(stored(key), values.value(key));
            }
        }
        for (const FieldCatalogue::Slot& slot : FieldCatalogue::placeholders()) {
            QCOMPARE(form.textArray(slot.group)(slot.index)->text(), QStringLiteral("Dummy"));
            QCOMPARE(
                stored(FieldCatalogue::settingsKey(slot.group, slot.index)), QStringLiteral("999"));
        }
        QVERIFY(mDialogs->messages.isEmpty());
    }

    void restoredTexts_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("currency text") << Group::Savings << 11 << "$1,500.00"
                                       << "$1,500.00";
        QTest::newRow("not validated") << Group::Savings << 11 << "abc"
                                       << "abc";
        QTest::newRow("empty shows 0") << Group::Savings << 11 << ""
                                       << "0";
        QTest::newRow("non-ASCII") << Group::Savings << 11 << QString::fromUtf8("€½ü 日本")
                                   << QString::fromUtf8("€½ü 日本");
        QTest::newRow("the placeholder word in a real field") << Group::Savings << 11 << "Dummy"
                                                              << "Dummy";
        QTest::newRow("spaces kept") << Group::Savings << 11 << "  12 "
                                     << "  12 ";
        // Three characters is a limit on typing: the box, the store and the cell agree.
        QTest::newRow("rate longer than three characters") << Group::Other << 0 << "10.55"
                                                           << "10.55";
    }

    void restoredTexts()
    {
        QFETCH(Group, group);
        QFETCH(int, index);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        const QString key = FieldCatalogue::settingsKey(group, index);
        SettingsStore::write(key, stored);
        Form1 form;
        form.Form_Load();
        QCOMPARE(form.textArray(group)(index)->text(), shown);
        // Only a change is written back: an empty stored text stays empty.
        QCOMPARE(Form1Fixture::stored(key), stored.isEmpty() ? QString() : shown);
    }

    void garbageOrMissingGroup_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("income0");
        QTest::newRow("other group only") << QByteArray("[Elsewhere]\ntxtIncome0=5\n") << "0";
        QTest::newRow("binary garbage")
            << QByteArray("\x01\x02\xff\xfe garbage\n[Ferrowynd\n=x\n", 26) << "0";
        QTest::newRow("garbage around our group")
            << QByteArray("%%%\n\x7f\n[Ferrowynd]\ntxtIncome0=4500\nnonsense line\n") << "4500";
    }

    void garbageOrMissingGroup()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, income0);
        writeStoreFile(content);
        Form1 form;
        form.Form_Load();
        QCOMPARE(form.txtIncome(0)->text(), income0);
        QCOMPARE(form.txtIncome(1)->text(), QStringLiteral("0"));
        QCOMPARE(form.dtHusbandDOB->value(), std::nullopt);
    }

    void hooksRunInTheirPlaces()
    {
        SettingsStore::write("txtIncome0", "4500");
        QStringList calls;
        Form1::StartUpHooks hooks;
        Form1* seen = nullptr;
        hooks.applySkin = [&](QWidget& window) {
            seen = qobject_cast<Form1*>(&window);
            calls << "skin with income " + seen->txtIncome(0)->text();
        };
        hooks.checkSpreadsheet = [&] {
            calls << "check with income " + seen->txtIncome(0)->text();
            return false;
        };
        Form1 form(hooks);
        QVERIFY(!form.Form_Load());
        QCOMPARE(seen, &form);
        QCOMPARE(calls, QStringList({ "skin with income 0", "check with income 4500" }));
        QVERIFY(!form.isVisible());
    }

    void failingStepsAreReportedAndStartUpGoesOn()
    {
        SettingsStore::write("txtIncome0", "4500");
        Form1::StartUpHooks hooks;
        hooks.applySkin = [](QWidget&) { throw AppError("Skin file damaged"); };
        hooks.checkSpreadsheet = [] { return true; };
        Form1 form(hooks);
        QVERIFY(form.Form_Load());
        QCOMPARE(mDialogs->texts(),
            QStringList { errorReportText("Skin file damaged", "Form1.Form_Load", 104) });
        QCOMPARE(form.txtIncome(0)->text(), QStringLiteral("4500"));
    }

    void pickersComeBack_data()
    {
        QTest::addColumn<QString>("husband");
        QTest::addColumn<QString>("wife");
        QTest::addColumn<QDate>("husbandDate");
        QTest::addColumn<QDate>("wifeDate");
        QTest::addColumn<QList<int>>("reportedLines");
        QTest::newRow("both empty") << ""
                                    << "" << QDate() << QDate() << QList<int>();
        QTest::newRow("husband only") << "11/4/1965"
                                      << "" << QDate(1965, 11, 4) << QDate() << QList<int>();
        QTest::newRow("both") << "11/4/1965"
                              << "1/24/1966" << QDate(1965, 11, 4) << QDate(1966, 1, 24)
                              << QList<int>();
        QTest::newRow("husband unreadable")
            << "31.12.1965"
            << "1/24/1966" << QDate() << QDate(1966, 1, 24) << QList<int> { 140 };
        QTest::newRow("both unreadable")
            << "yesterday"
            << "13/13/13" << QDate() << QDate() << QList<int> { 140, 142 };
        QTest::newRow("before the first date") << "12/31/1600"
                                               << "" << QDate() << QDate() << QList<int> { 140 };
    }

    void pickersComeBack()
    {
        QFETCH(QString, husband);
        QFETCH(QString, wife);
        QFETCH(QDate, husbandDate);
        QFETCH(QDate, wifeDate);
        QFETCH(QList<int>, reportedLines);
        SettingsStore::write("dtHusbandDOB", husband);
        SettingsStore::write("dtWifeDOB", wife);
        Form1 form;
        form.Form_Load();
        const auto expected = [](const QDate& date) {
            return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
        };
        QCOMPARE(form.dtHusbandDOB->value(), expected(husbandDate));
        QCOMPARE(form.dtWifeDOB->value(), expected(wifeDate));
        if (husbandDate.isValid())
            QCOMPARE(form.dtHusbandDOB->dateEdit()->text(), husbandDate.toString("dd-MMM-yyyy"));
        QCOMPARE(mDialogs->messages.size(), reportedLines.size());
        for (int i = 0; i < reportedLines.size(); ++i) {
            QVERIFY(mDialogs->messages.at(i).text.contains(
                "Form1.Form_Load at line " + QString::number(reportedLines.at(i))));
        }
        // Emptying the pickers at start-up wiped nothing; an unreadable text stays stored.
        QCOMPARE(stored("dtHusbandDOB"), husband);
        QCOMPARE(stored("dtWifeDOB"), wife);
    }

    void pickerChangesAreStored()
    {
        {
            auto form = shownForm();
            DatePicker* husband = form->dtHusbandDOB;
            QTest::mouseClick(husband->checkBox(), Qt::LeftButton);
            QVERIFY(husband->value().has_value());
            QCOMPARE(stored("dtHusbandDOB"), husband->value()->toString("M/d/yyyy"));
            husband->dateEdit()->setDate(QDate(1965, 11, 4));
            QCOMPARE(stored("dtHusbandDOB"), QStringLiteral("11/4/1965"));

            DatePicker* wife = form->dtWifeDOB;
            wife->setValue(QDate(1966, 1, 24));
            QCOMPARE(stored("dtWifeDOB"), QStringLiteral("1/24/1966"));
            QTest::mouseClick(wife->checkBox(), Qt::LeftButton);
            QCOMPARE(wife->value(), std::nullopt);
            QCOMPARE(stored("dtWifeDOB"), QString());
            QVERIFY(hasKey("dtWifeDOB"));
        }
        Form1 again;
        again.Form_Load();
        QCOMPARE(again.dtHusbandDOB->value(), std::optional<QDate>(QDate(1965, 11, 4)));
        QCOMPARE(again.dtHusbandDOB->dateEdit()->text(), QStringLiteral("04-Nov-1965"));
        QCOMPARE(again.dtWifeDOB->value(), std::nullopt);
        QVERIFY(mDialogs->messages.isEmpty());
    }

    void help()
    {
        auto form = shownForm();
        QTest::mouseClick(form->PushButton6, Qt::LeftButton);
        QCOMPARE(mDialogs->messages.size(), 1);
        const ScriptedDialogs::Shown& shown = mDialogs->messages.constFirst();
        QCOMPARE(shown.text,
            QStringLiteral("Questions? Please contact Team Ostrivane at ") + Product::contactPage);
        QCOMPARE(shown.title, applicationTitle());
        QCOMPARE(shown.icon, Dialogs::Icon::None);
        QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
    }

    void pointerWithoutHandFile()
    {
        auto form = shownForm();
        // Whatever the window showed before, the custom pointer without a hand is the arrow.
        form->setCursor(Qt::CrossCursor);
        moveOver(form->PushButton22);
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Custom);
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
        moveOver(form->Frame1(1), QPoint(5, 5));
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Default);
        moveOver(form->PushButton7);
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Custom);
        moveOver(form.get(), QPoint(2, 2));
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Default);
        QVERIFY(mDialogs->messages.isEmpty());
    }

    void busyPointerWins()
    {
        auto form = shownForm();
        form->setMousePointer(Form1::MousePointer::Busy);
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        moveOver(form->PushButton22);
        moveOver(form->PushButton6);
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Busy);
        moveOver(form->Frame1(0), QPoint(5, 5));
        moveOver(form.get(), QPoint(2, 2));
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Busy);
        QCOMPARE(form->cursor().shape(), Qt::WaitCursor);
        form->setMousePointer(Form1::MousePointer::Default);
        moveOver(form->PushButton6);
        QCOMPARE(form->mousePointer(), Form1::MousePointer::Custom);
    }

    void handFileGivesTheCustomPointer()
    {
        writeHandPointer(handCursorBytes());
        auto form = shownForm();
        QVERIFY(mDialogs->messages.isEmpty());
        moveOver(form->PushButton22);
        QCOMPARE(form->cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(form->cursor().hotSpot(), QPoint(6, 1));
    }

    void damagedHandFileIsReported()
    {
        writeHandPointer("not a cursor");
        auto form = shownForm();
        QCOMPARE(mDialogs->messages.size(), 1);
        QVERIFY(mDialogs->messages.constFirst().text.contains("Form1.Form_Load at line 126"));
        moveOver(form->PushButton22);
        QCOMPARE(form->cursor().shape(), Qt::ArrowCursor);
    }

    void closingEndsTheProgramAlone()
    {
        auto form = shownForm();
        // Another window still open: Qt alone would not end the program when the main one
        // closes.
        CloseCounter preview;
        preview.show();
        QTimer::singleShot(0, form.get(), [&] { form->close(); });
        QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(preview.closes, 0);
        QVERIFY(mDialogs->messages.isEmpty());
    }

    void aFailingStoreIsReportedOnce()
    {
        auto form = shownForm();
        QLineEdit* box = form->txtExpense(3);
        box->setFocus(Qt::MouseFocusReason);
        settle();
        QFile blocker(mStore->filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        // A folder that cannot exist, even for the superuser: its parent is a file.
        useStoreIn(blocker.fileName() + "/config");

        type(box, "12345");
        QCOMPARE(box->text(), QStringLiteral("12345"));
        QTRY_COMPARE(mDialogs->messages.size(), 1);
        QCOMPARE(mDialogs->messages.constFirst().title, QStringLiteral("Application Error"));
        QVERIFY2(
            mDialogs->messages.constFirst().text.contains("Form1.txtExpense_Change at line 100"),
            qPrintable(mDialogs->messages.constFirst().text));

        // Once the store works again the text goes in, and a new failure is told again.
        useStoreIn(mStore->path());
        type(box, "6");
        QCOMPARE(stored("txtExpense3"), QStringLiteral("123456"));
        useStoreIn(blocker.fileName() + "/config");
        type(box, "78");
        QTRY_COMPARE(mDialogs->messages.size(), 2);
        useStoreIn(mStore->path());
    }

    // The generation run, connected after the window is made, and the end of the window find
    // everything typed on disk.
    void typingIsOnDiskBeforeTheRunAndAfterClosing()
    {
        auto form = shownForm();
        QLineEdit* box = form->txtExpense(3);
        box->setFocus(Qt::MouseFocusReason);
        settle();
        SettingsWriter& writer = SettingsStore::writer();
        QString atRun;
        connect(form->PushButton22, &QPushButton::clicked, form.get(), [&] {
            if (writer.written() >= writer.handedIn())
                atRun = QSettings(SettingsStore::fileName(), QSettings::IniFormat)
                            .value("Ferrowynd/txtExpense3")
                            .toString();
        });
        type(box, "1234567890");
        form->PushButton22->click();
        QCOMPARE(atRun, QStringLiteral("1234567890"));

        type(box, "55");
        QVERIFY(form->close());
        QCOMPARE(writer.written(), writer.handedIn());
        QCOMPARE(QSettings(SettingsStore::fileName(), QSettings::IniFormat)
                     .value("Ferrowynd/txtExpense3")
                     .toString(),
            QStringLiteral("123456789055"));
    }

    void layoutInTwips()
    {
        auto form = shownForm();
        QCOMPARE(form->size(), QSize(752, 631));
        // Fits a 1366 x 768 screen at 125 % with its title bar; never narrower than designed.
        QCOMPARE(form->minimumSize(), QSize(752, 480));
        QCOMPARE(form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
        QCOMPARE(form->PushButton22->geometry(), Twips::toPixels(120, 120, 11040, 400));
        QCOMPARE(form->PushButton6->geometry(), Twips::toPixels(120, 630, 5400, 405));
        QCOMPARE(form->PushButton7->geometry(), Twips::toPixels(5760, 630, 5400, 405));
        QCOMPARE(form->PushButton22->text(), QStringLiteral("Start Creating Template"));
        QCOMPARE(form->PushButton6->text(), QStringLiteral("Help"));
        QCOMPARE(form->PushButton7->text(), QStringLiteral("Load Sample/Example Data"));
        QCOMPARE(form->PushButton7->font().pointSizeF(), 11.25);
        QCOMPARE(form->Picture2->geometry(), Twips::toPixels(120, 1180, 11040, 8160));
        QCOMPARE(form->VScroll1->parentWidget(), form->Picture2);
        QCOMPARE(form->VScroll1->geometry(), Twips::toPixels(10695, 0, 285, 8100));
        QCOMPARE(form->VScroll1->maximum(), 14500);
        QCOMPARE(form->VScroll1->singleStep(), 500);
        QCOMPARE(form->VScroll1->pageStep(), 1000);
        QVERIFY(form->VScroll1->hasTracking());
        QCOMPARE(form->Picture1->geometry(), Twips::toPixels(45, 0, 10665, 22560));
        QCOMPARE(form->Frame1(8)->geometry(), Twips::toPixels(120, 14505, 10350, 2700));
        QCOMPARE(form->Frame1(2)->title(), QStringLiteral("Savings && Retirement Accounts"));
        QCOMPARE(form->txtExpense(12)->geometry(), Twips::toPixels(2220, 7920 - 2430, 2250, 360));
        QCOMPARE(form->txtOther(5)->geometry(), Twips::toPixels(3705, 16740 - 14505, 2250, 360));
        QCOMPARE(form->dtWifeDOB->geometry(), Twips::toPixels(3720, 15240 - 14505, 2250, 345));
        QCOMPARE(form->txtIncome(0)->font().family(), QStringLiteral("Arial"));
        QVERIFY(form->txtIncome(0)->font().bold());
        QCOMPARE(form->txtIncome(0)->font().pointSizeF(), 9.75);
        QCOMPARE(form->palette().color(QPalette::Window), QColor(Qt::white));
    }

    // Every label can be read whole beside its box, and no label runs into a box.
    void labelsFitBesideTheirBoxes()
    {
        auto form = shownForm();
        QList<QLabel*> labels;
        for (const int index : form->Label4.indices())
            labels << form->Label4(index);
        for (const int index : form->Other________________.indices())
            labels << form->Other________________(index);
        QCOMPARE(labels.size(), 87 + 15);
        for (QLabel* label : labels) {
            const int needed = label->fontMetrics().horizontalAdvance(label->text().trimmed());
            QVERIFY2(needed <= label->contentsRect().width(),
                qPrintable(QStringLiteral("%1: %2 > %3")
                               .arg(label->text())
                               .arg(needed)
                               .arg(label->contentsRect().width())));
            for (QLineEdit* box : label->parentWidget()->findChildren<QLineEdit*>()) {
                QRect text = label->geometry();
                text.setWidth(needed);
                QVERIFY2(!text.intersects(box->geometry()), qPrintable(label->text()));
            }
        }
    }

private:
    QString handPointerPath() const
    {
        return QCoreApplication::applicationDirPath() + QStringLiteral("/HAND-M.CUR");
    }

    void writeHandPointer(const QByteArray& bytes)
    {
        QFile file(handPointerPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QTemporaryDir mHome;
    std::unique_ptr<QTemporaryDir> mStore;
    std::unique_ptr<ScriptedDialogs> mDialogs;
};

QTEST_MAIN(TestForm1StartUp)
#include "tst_form1startup.moc"
