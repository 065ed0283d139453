#include "workbook/template/columnwidth.h"

#include <QtTest>
#include <cmath>

class TestColumnWidth : public QObject {
    Q_OBJECT

private slots:
    void widthInHundredthsOfAMillimetre_data()
    {
        QTest::addColumn<double>("characters");
        QTest::addColumn<int>("hundredthsMm");
        // The standard width of 8 characters, shown as 8.43.
        QTest::newRow("standard") << 8.43 << 1790;
        QTest::newRow("padding only") << 0.0 << 139;
        QTest::newRow("narrow") << 2.57 << 642;
        QTest::newRow("wide") << 23.57 << 4754;
    }

    void widthInHundredthsOfAMillimetre()
    {
        QFETCH(double, characters);
        QFETCH(int, hundredthsMm);
        QCOMPARE(columnWidthHundredthsMm(characters), hundredthsMm);
    }

    // The office saves a width as twips / 111 × 256 units of 1/256 character; the saved width must
    // be the one the 97-2003 format gives the same number of characters, give or take its rounding
    // to whole hundredths of a millimetre.
    void savedWidthKeepsTheCharacters_data()
    {
        QTest::addColumn<double>("characters");
        for (double characters : { 3.0, 4.43, 4.57, 5.0, 6.29, 9.29, 9.71, 11.29, 12.29, 12.43,
                 14.0, 16.14, 17.86, 20.29, 23.57 })
            QTest::newRow(qPrintable(QString::number(characters))) << characters;
    }

    void savedWidthKeepsTheCharacters()
    {
        QFETCH(double, characters);
        const double twips = columnWidthHundredthsMm(characters) * 1440.0 / 2540;
        const double units = twips / 111 * 256;
        const double expected = std::trunc((characters * 7 + 5) / 7 * 256);
        QVERIFY2(std::abs(units - expected) <= 2,
            qPrintable(QStringLiteral("%1 units, expected %2").arg(units).arg(expected)));
    }
};

QTEST_APPLESS_MAIN(TestColumnWidth)
#include "tst_columnwidth.moc"
