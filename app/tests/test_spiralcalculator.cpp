#include "profile/spiralcalculatordialog.h"
#include "profile/spiralparameters.h"

#include <qttestmain.h>

#include <QApplication>
#include <QClipboard>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

namespace {

struct Fields
{
    explicit Fields(const SpiralCalculatorDialog& dialog)
        : length(dialog.findChild<QLineEdit*>("leLength"))
        , a(dialog.findChild<QLineEdit*>("leParamA"))
        , r1(dialog.findChild<QLineEdit*>("leR1"))
        , r2(dialog.findChild<QLineEdit*>("leR2"))
        , calcA(dialog.findChild<QRadioButton*>("rbCalcA"))
        , calcR1(dialog.findChild<QRadioButton*>("rbCalcR1"))
        , calcR2(dialog.findChild<QRadioButton*>("rbCalcR2"))
        , larger(dialog.findChild<QRadioButton*>("rbR1GR2"))
        , smaller(dialog.findChild<QRadioButton*>("rbR1LR2"))
        , calculate(dialog.findChild<QPushButton*>("btnCalc"))
    {
    }

    QLineEdit* length;
    QLineEdit* a;
    QLineEdit* r1;
    QLineEdit* r2;
    QRadioButton* calcA;
    QRadioButton* calcR1;
    QRadioButton* calcR2;
    QRadioButton* larger;
    QRadioButton* smaller;
    QPushButton* calculate;
};

} // namespace

class TestSpiralCalculator : public QObject
{
    Q_OBJECT

private slots:
    void parameters_data();
    void parameters();
    void calculation_data();
    void calculation();
    void enabledWidgetsPerMode();
    void stripMinus_data();
    void stripMinus();
};

// The record's operations on their own; "fails" marks an operation that reports false.
void TestSpiralCalculator::parameters_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("l");
    QTest::addColumn<double>("r1");
    QTest::addColumn<double>("r2");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("succeeds");

    QTest::newRow("A from a straight to 500")
        << "A" << 0.0 << 100.0 << 500.0 << 0.0 << std::sqrt(50000.0) << true;
    QTest::newRow("A between two radii")
        << "A" << 0.0 << 100.0 << 1000.0 << 500.0 << std::sqrt(100000.0) << true;
    QTest::newRow("A equal radii") << "A" << 0.0 << 100.0 << 500.0 << 500.0 << 0.0 << true;
    QTest::newRow("A no length") << "A" << 0.0 << 0.0 << 500.0 << 0.0 << 0.0 << true;
    QTest::newRow("A radii beyond reach") << "A" << 0.0 << 100.0 << 0.0005 << 0.0 << 0.0 << true;
    QTest::newRow("larger straight") << "R1" << std::sqrt(50000.0) << 100.0 << 0.0 << 500.0 << 0.0 << true;
    QTest::newRow("larger") << "R1" << std::sqrt(100000.0) << 100.0 << 0.0 << 500.0 << 1000.0 << true;
    QTest::newRow("larger no length") << "R1" << 200.0 << 0.0 << 7.0 << 500.0 << 7.0 << false;
    QTest::newRow("smaller") << "R2" << 200.0 << 100.0 << 1000.0 << 0.0 << 40000.0 / 140.0 << true;
    // Leaving a straight, the spiral ends at A²/L.
    QTest::newRow("smaller from straight")
        << "R2" << std::sqrt(50000.0) << 100.0 << 0.0 << 0.0 << 500.0 << true;
    QTest::newRow("smaller from straight, no A") << "R2" << 0.0 << 100.0 << 0.0 << 9.0 << 0.0 << true;
    QTest::newRow("smaller from straight, no length") << "R2" << 200.0 << 0.0 << 0.0 << 9.0 << 0.0 << true;
    QTest::newRow("smaller nothing at all") << "R2" << 0.0 << 0.0 << 500.0 << 9.0 << 0.0 << true;
}

void TestSpiralCalculator::parameters()
{
    QFETCH(QString, operation);
    QFETCH(double, a);
    QFETCH(double, l);
    QFETCH(double, r1);
    QFETCH(double, r2);
    QFETCH(double, expected);
    QFETCH(bool, succeeds);

    SpiralParameters spiral;
    spiral.A = a;
    spiral.L = l;
    spiral.R1 = r1;
    spiral.R2 = r2;
    double result = 0.0;
    if (operation == "A") {
        QCOMPARE(spiral.calcA(), succeeds);
        result = spiral.A;
    } else if (operation == "R1") {
        QCOMPARE(spiral.calcLargerRadius(), succeeds);
        result = spiral.R1;
    } else {
        QCOMPARE(spiral.calcSmallerRadius(), succeeds);
        result = spiral.R2;
    }
    QVERIFY(std::isfinite(result));
    QVERIFY2(std::fabs(result - expected) < 1e-6, qPrintable(QString::number(result, 'g', 17)));
}

// The dialog end to end: the texts typed, the mode chosen and the field that shows the result.
void TestSpiralCalculator::calculation_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("beginLarger");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("r1");
    QTest::addColumn<QString>("r2");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("expected");

    QTest::newRow("A, straight to 500") << "A" << true << "100"
                                        << ""
                                        << "0"
                                        << "500"
                                        << "leParamA"
                                        << "223.6067977500";
    QTest::newRow("A, radii either way round") << "A" << true << "100"
                                               << ""
                                               << "500"
                                               << "0"
                                               << "leParamA"
                                               << "223.6067977500";
    QTest::newRow("A, no length") << "A" << true << "0"
                                  << ""
                                  << "0"
                                  << "500"
                                  << "leParamA"
                                  << "0.0000000000";
    QTest::newRow("A, equal radii") << "A" << true << "100"
                                    << ""
                                    << "500"
                                    << "500"
                                    << "leParamA"
                                    << "0.0000000000";
    QTest::newRow("begin, larger, back to straight") << "R1" << true << "100"
                                                     << "223.6067977500"
                                                     << ""
                                                     << "500"
                                                     << "leR1"
                                                     << "0.0000";
    QTest::newRow("begin, larger") << "R1" << true << "100"
                                   << "316.2277660168"
                                   << ""
                                   << "500"
                                   << "leR1"
                                   << "1000.0000";
    QTest::newRow("begin, larger, no length") << "R1" << true << "0"
                                              << "200"
                                              << ""
                                              << "500"
                                              << "leR1"
                                              << "";
    QTest::newRow("begin, smaller") << "R1" << false << "100"
                                    << "200"
                                    << ""
                                    << "1000"
                                    << "leR1"
                                    << "285.7143";
    QTest::newRow("end, smaller") << "R2" << true << "100"
                                  << "200"
                                  << "1000"
                                  << ""
                                  << "leR2"
                                  << "285.7143";
    QTest::newRow("end, smaller, from straight") << "R2" << true << "100"
                                                 << "223.6067977500"
                                                 << "0"
                                                 << ""
                                                 << "leR2"
                                                 << "500.0000";
    QTest::newRow("end, smaller, nothing given") << "R2" << true << "0"
                                                 << "0"
                                                 << "0"
                                                 << ""
                                                 << "leR2"
                                                 << "0.0000";
    QTest::newRow("end, larger") << "R2" << false << "100"
                                 << "316.2277660168"
                                 << "500"
                                 << ""
                                 << "leR2"
                                 << "1000.0000";
    QTest::newRow("end, larger, no length") << "R2" << false << ""
                                            << "200"
                                            << "500"
                                            << ""
                                            << "leR2"
                                            << "";
    QTest::newRow("minus signs dropped") << "R2" << true << "-100"
                                         << "-200"
                                         << " -1000"
                                         << ""
                                         << "leR2"
                                         << "285.7143";
}

void TestSpiralCalculator::calculation()
{
    QFETCH(QString, mode);
    QFETCH(bool, beginLarger);
    QFETCH(QString, length);
    QFETCH(QString, a);
    QFETCH(QString, r1);
    QFETCH(QString, r2);
    QFETCH(QString, output);
    QFETCH(QString, expected);

    SpiralCalculatorDialog dialog;
    Fields f(dialog);
    (mode == "A" ? f.calcA : mode == "R1" ? f.calcR1 : f.calcR2)->setChecked(true);
    (beginLarger ? f.larger : f.smaller)->setChecked(true);
    f.length->setText(length);
    f.a->setText(a);
    f.r1->setText(r1);
    f.r2->setText(r2);
    // A stale result must not survive a calculation that gives none.
    dialog.findChild<QLineEdit*>(output)->setText("999");

    f.calculate->click();
    QCOMPARE(dialog.findChild<QLineEdit*>(output)->text(), expected);
    for (QLineEdit* edit : { f.length, f.a, f.r1, f.r2 })
        QVERIFY(!edit->text().trimmed().startsWith('-'));
}

void TestSpiralCalculator::enabledWidgetsPerMode()
{
    SpiralCalculatorDialog dialog;
    Fields f(dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("SpiralCalculator"));
    QVERIFY(f.calcA->isChecked());
    QVERIFY(f.larger->isChecked());

    struct Expected
    {
        QRadioButton* mode;
        bool order;
        bool a;
        bool r1;
        bool r2;
    };
    // The field being computed is read-only (its result can still be selected and copied); the
    // order, which does not apply to A, is disabled.
    for (const Expected& e :
         { Expected { f.calcA, false, false, true, true }, Expected { f.calcR1, true, true, false, true },
           Expected { f.calcR2, true, true, true, false }, Expected { f.calcA, false, false, true, true } }) {
        e.mode->setChecked(true);
        QCOMPARE(f.larger->isEnabled(), e.order);
        QCOMPARE(f.smaller->isEnabled(), e.order);
        QCOMPARE(f.a->isReadOnly(), !e.a);
        QCOMPARE(f.r1->isReadOnly(), !e.r1);
        QCOMPARE(f.r2->isReadOnly(), !e.r2);
        for (QLineEdit* edit : { f.length, f.a, f.r1, f.r2 })
            QVERIFY(edit->isEnabled());
        QVERIFY(!f.length->isReadOnly());
    }

    // A result selects and copies.
    f.calcA->setChecked(true);
    f.length->setText("100");
    f.r1->setText("400");
    f.calculate->click();
    f.a->selectAll();
    QCOMPARE(f.a->selectedText(), QStringLiteral("200.0000000000"));
    f.a->copy();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("200.0000000000"));
}

void TestSpiralCalculator::stripMinus_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::addColumn<double>("value");

    QTest::newRow("plain") << "12.5"
                           << "12.5" << 12.5;
    QTest::newRow("minus") << "-12.5"
                           << "12.5" << 12.5;
    QTest::newRow("blank before minus") << "  -3"
                                        << "3" << 3.0;
    QTest::newRow("blanks kept without minus") << " 7 "
                                               << " 7 " << 7.0;
    QTest::newRow("minus alone") << "-"
                                 << "" << 0.0;
    QTest::newRow("empty") << ""
                           << "" << 0.0;
    QTest::newRow("not a number") << "abc"
                                  << "abc" << 0.0;
    QTest::newRow("group separator") << "1,500"
                                     << "1,500" << 0.0;
}

void TestSpiralCalculator::stripMinus()
{
    QFETCH(QString, typed);
    QFETCH(QString, left);
    QFETCH(double, value);

    QLineEdit edit;
    edit.setText(typed);
    QCOMPARE(SpiralCalculatorDialog::stripMinus(&edit), value);
    QCOMPARE(edit.text(), left);
}

TRELVIN_TEST_MAIN(TestSpiralCalculator)
#include "test_spiralcalculator.moc"
