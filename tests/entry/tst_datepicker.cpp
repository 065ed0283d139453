#include "app/apperror.h"
#include "entry/datepicker.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class TestDatePicker : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void startsWithoutADate()
    {
        DatePicker picker;
        QCOMPARE(picker.value(), std::nullopt);
        QVERIFY(!picker.checkBox()->isChecked());
        QVERIFY(picker.dateEdit()->isReadOnly());
        QCOMPARE(picker.dateEdit()->text(), QString());
        QCOMPARE(picker.dateEdit()->displayFormat(), QStringLiteral("dd-MMM-yyyy"));
        QCOMPARE(picker.dateEdit()->minimumDate(), QDate(1601, 1, 1));
        QCOMPARE(picker.dateEdit()->maximumDate(), QDate(9999, 12, 31));
    }

    void settingAValueShowsItAndTellsOnce()
    {
        DatePicker picker;
        QSignalSpy changes(&picker, &DatePicker::valueChanged);
        picker.setValue(QDate(1965, 11, 4));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(picker.dateEdit()->text(), QStringLiteral("04-Nov-1965"));
        QVERIFY(picker.checkBox()->isChecked());
        picker.setValue(QDate(1965, 11, 4));
        QCOMPARE(changes.size(), 1);
        picker.setValue(std::nullopt);
        QCOMPARE(changes.size(), 2);
        QCOMPARE(picker.dateEdit()->text(), QString());
    }

    void theCheckBoxTurnsTheDateOnAndOff()
    {
        DatePicker picker;
        picker.show();
        picker.setValue(QDate(1966, 1, 24));
        picker.setValue(std::nullopt);
        QSignalSpy changes(&picker, &DatePicker::valueChanged);
        QTest::mouseClick(picker.checkBox(), Qt::LeftButton);
        // The date comes back as it was last shown.
        QCOMPARE(picker.value(), std::optional<QDate>(QDate(1966, 1, 24)));
        QCOMPARE(picker.dateEdit()->text(), QStringLiteral("24-Jan-1966"));
        QTest::mouseClick(picker.checkBox(), Qt::LeftButton);
        QCOMPARE(picker.value(), std::nullopt);
        QCOMPARE(changes.size(), 2);
    }

    void editingTheDateChangesTheValue()
    {
        DatePicker picker;
        picker.setValue(QDate(1965, 11, 4));
        QSignalSpy changes(&picker, &DatePicker::valueChanged);
        picker.dateEdit()->setDate(QDate(1970, 3, 1));
        QCOMPARE(picker.value(), std::optional<QDate>(QDate(1970, 3, 1)));
        QCOMPARE(changes.size(), 1);
    }

    void datesOutsideTheRangeAreRefused_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("before 1601") << QDate(1600, 12, 31);
        QTest::newRow("invalid") << QDate(2000, 2, 30);
    }

    void datesOutsideTheRangeAreRefused()
    {
        QFETCH(QDate, date);
        DatePicker picker;
        picker.setValue(QDate(1965, 11, 4));
        QVERIFY_THROWS_EXCEPTION(AppError, picker.setValue(date));
        QCOMPARE(picker.value(), std::optional<QDate>(QDate(1965, 11, 4)));
    }

    // One tab stop: without a date the edit still takes the focus, and only Space changes it;
    // with a date, Tab leaves at once instead of walking through day, month and year.
    void keyboardThroughThePicker()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("setSelection")));
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* picker = new DatePicker(&window);
        auto* after = new QLineEdit(&window);
        before->setGeometry(0, 0, 150, 23);
        picker->setGeometry(0, 30, 150, 23);
        after->setGeometry(0, 60, 150, 23);
        picker->setValue(QDate(1966, 1, 24));
        picker->setValue(std::nullopt);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), picker->dateEdit());
        for (const Qt::Key key : { Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Left,
                 Qt::Key_Right, Qt::Key_End, Qt::Key_A, Qt::Key_Minus, Qt::Key_Delete, Qt::Key_F4 })
            QTest::keyClick(picker->dateEdit(), key);
        QTest::mouseClick(picker->dateEdit(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseClick(
            picker->dateEdit(), Qt::LeftButton, {}, QPoint(picker->dateEdit()->width() - 5, 10));
        QCOMPARE(picker->value(), std::nullopt);
        QCOMPARE(picker->dateEdit()->text(), QString());

        QTest::keyClick(picker->dateEdit(), Qt::Key_Space);
        QCOMPARE(picker->value(), std::optional<QDate>(QDate(1966, 1, 24)));
        QCOMPARE(picker->dateEdit()->text(), QStringLiteral("24-Jan-1966"));
        QCOMPARE(QApplication::focusWidget(), picker->dateEdit());
        QTest::keyClick(picker->dateEdit(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), after);

        // Empty again, a digit brings the date back and starts its day.
        QTest::keyClick(after, Qt::Key_Backtab);
        QTest::keyClick(picker->dateEdit(), Qt::Key_Space);
        QCOMPARE(picker->value(), std::nullopt);
        QTest::keyClick(picker->dateEdit(), Qt::Key_7);
        QCOMPARE(picker->value(), std::optional<QDate>(QDate(1966, 1, 7)));
        QCOMPARE(picker->dateEdit()->text(), QStringLiteral("07-Jan-1966"));
    }
};

QTEST_MAIN(TestDatePicker)
#include "tst_datepicker.moc"
