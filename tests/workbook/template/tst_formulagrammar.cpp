#include "workbook/template/formulagrammar.h"

#include <QtTest>

class TestFormulaGrammar : public QObject {
    Q_OBJECT

private slots:
    void converts_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("api");
        QTest::newRow("no arguments") << "=D4*12"
                                      << "=D4*12";
        QTest::newRow("one argument") << "=SUM(D4:D10)"
                                      << "=SUM(D4:D10)";
        QTest::newRow("omitted argument") << "=-FV(I6-I8,IF(I27<I26,I27,I26),,M28)"
                                          << "=-FV(I6-I8;IF(I27<I26;I27;I26);;M28)";
        QTest::newRow("nested functions")
            << "=PV(I7-I8,IF(I27<I26,I27,I26),,FV(I7-I8,IF(I31>I30,I31,I30),M22))"
            << "=PV(I7-I8;IF(I27<I26;I27;I26);;FV(I7-I8;IF(I31>I30;I31;I30);M22))";
        QTest::newRow("comma inside text") << "=IF(A1,\"a, b\",\"c\")"
                                           << "=IF(A1;\"a, b\";\"c\")";
        QTest::newRow("doubled quote inside text") << "=CONCATENATE(\"say \"\"x, y\"\"\",B2)"
                                                   << "=CONCATENATE(\"say \"\"x, y\"\"\";B2)";
        QTest::newRow("comma inside sheet name") << "=SUM('Goal, 2'!A1,B1)"
                                                 << "=SUM('Goal, 2'!A1;B1)";
        QTest::newRow("empty") << ""
                               << "";
    }

    void converts()
    {
        QFETCH(QString, written);
        QFETCH(QString, api);
        QCOMPARE(toApiGrammar(written), api);
    }
};

QTEST_APPLESS_MAIN(TestFormulaGrammar)
#include "tst_formulagrammar.moc"
