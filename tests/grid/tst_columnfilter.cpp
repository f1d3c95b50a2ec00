// The filter bar's test of one value against a field, with its letter folding.
#include "grid/ColumnFilter.h"

#include <QTest>

using grid::ColumnFilter;

class TestColumnFilter : public QObject {
    Q_OBJECT

  private slots:
    void folding_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::newRow("ascii") << "Novak 12-b"
                               << "NOVAK 12-B";
        QTest::newRow("acute vowels") << "áéíóúÁÉÍÓÚ"
                                      << "AEIOUAEIOU";
        QTest::newRow("caron letters") << "čěńřšýž"
                                       << "ČĚŃŘŠÝŽ";
        QTest::newRow("capitals stay") << "ČĚŘŠÝŽ"
                                       << "ČĚŘŠÝŽ";
        QTest::newRow("left as they are") << "ůďťňäö"
                                          << "ůďťňäö";
    }
    void folding() {
        QFETCH(QString, text);
        QTEST(ColumnFilter::fold(text), "folded");
    }

    void rowTest_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<bool>("passes");
        QTest::newRow("nov in Novák") << "nov"
                                      << "Novák" << false << true;
        QTest::newRow("nov in NOVÁK") << "nov"
                                      << "NOVÁK" << false << true;
        QTest::newRow("nov in Nováková") << "nov"
                                         << "Nováková" << false << true;
        QTest::newRow("anywhere in the text") << "vák"
                                              << "Nováková" << false << true;
        QTest::newRow("ruzicka misses Růžička") << "ruzicka"
                                                << "Růžička" << false << false;
        QTest::newRow("růž finds Růžička") << "růž"
                                           << "Růžička" << false << true;
        QTest::newRow("not contained") << "dvo"
                                       << "Novák" << false << false;
        QTest::newRow("empty value") << ""
                                     << "cokoli" << false << true;
        QTest::newRow("star alone") << "*"
                                    << "cokoli" << false << true;
        QTest::newRow("empty field") << "a"
                                     << "" << false << false;
        QTest::newRow("number exact") << "12"
                                      << "12" << true << true;
        QTest::newRow("number part") << "1"
                                     << "12" << true << false;
        QTest::newRow("number with blank") << "12 "
                                           << "12" << true << false;
        QTest::newRow("number with star is text") << "*1"
                                                  << "12" << true << true;
        QTest::newRow("star anywhere") << "2*"
                                       << "312" << true << true;
        QTest::newRow("only the first star goes") << "a**"
                                                  << "xa*y" << false << true;
        QTest::newRow("second star is a letter") << "a**"
                                                 << "xay" << false << false;
        QTest::newRow("star joins the rest") << "a*b"
                                             << "xaby" << false << true;
        QTest::newRow("digits in text field") << "1"
                                              << "12" << false << true;
    }
    void rowTest() {
        QFETCH(QString, value);
        QFETCH(QString, field);
        QFETCH(bool, numeric);
        QTEST(ColumnFilter(value).passes(field, numeric), "passes");
    }
};

QTEST_APPLESS_MAIN(TestColumnFilter)
#include "tst_columnfilter.moc"
