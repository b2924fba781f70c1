#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointsofintersectiondialog.h"
#include "document/trelvin.h"
#include "support/scriptedprompter.h"
#include "test_horizontalroads.h"
#include "test_horizontaltables.h"

#include <qttestmain.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using HorizontalTables::child;
using Zemko::Trelvin::PointOfIntersectionTableModel;
using Zemko::Trelvin::Trelvin;

namespace {

void chooseKind(PointsOfIntersectionDialog& dialog, int kind)
{
    auto* type = child<QComboBox>(dialog, "cmbType");
    type->setCurrentIndex(type->findData(kind));
}

void fill(PointsOfIntersectionDialog& dialog, const char* name, const QString& text)
{
    child<QLineEdit>(dialog, name)->setText(text);
}

} // namespace

class TestPiDialog : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

private slots:
    void initTestCase()
    {
        // A short equation: stations 150..160 do not exist.
        QVERIFY(!roads
                     .open(RoadFiles::equations(150, 160)
                           + HorizontalRoads::piAlignment(HorizontalRoads::pointPi(1000, 2000, 12.5)
                                                          + HorizontalRoads::spiralPi(1200, 2010, 200, 40, 30)
                                                          + HorizontalRoads::pointPi(1500, 2230)))
                     .isEmpty());
    }

    void formFollowsTheKind()
    {
        PointsOfIntersectionDialog dialog(0, 0, nullptr);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("PI"));
        auto* type = child<QComboBox>(dialog, "cmbType");
        QCOMPARE(type->count(), 4);
        QCOMPARE(type->itemText(1), QStringLiteral("Spiral|Spiral"));
        QCOMPARE(type->currentData().toInt(), 0);
        QVERIFY(child<QLineEdit>(dialog, "leStation")->isEnabled());
        QVERIFY(child<QLineEdit>(dialog, "leRadius")->isHidden());
        QVERIFY(child<QGroupBox>(dialog, "grpTransLen")->isHidden());

        chooseKind(dialog, 1);
        QVERIFY(!child<QLineEdit>(dialog, "leStation")->isEnabled());
        QVERIFY(!child<QLineEdit>(dialog, "leRadius")->isHidden());
        QVERIFY(child<QGroupBox>(dialog, "grpTransLen")->isHidden());
        chooseKind(dialog, 3);
        QVERIFY(!child<QGroupBox>(dialog, "grpTransLen")->isHidden());

        PointsOfIntersectionDialog later(0, 3, nullptr);
        QCOMPARE(child<QComboBox>(later, "cmbType")->currentData().toInt(), 2);
        QVERIFY(!child<QPushButton>(later, "button_next")->isHidden());
    }

    void refusalsWarnAndStayOpen_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("radius");
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("message");

        QTest::newRow("zero lengths") << 2 << ""
                                      << "200"
                                      << "0"
                                      << "0.00001"
                                      << "In length and out length can not both be zero";
        QTest::newRow("tiny radius") << 1 << ""
                                     << "0.00005"
                                     << ""
                                     << ""
                                     << "Radius can not be zero!";
        QTest::newRow("spiral radius") << 3 << ""
                                       << ""
                                       << "20"
                                       << "20"
                                       << "Radius can not be zero!";
        QTest::newRow("unreadable station") << 0 << "K+"
                                            << ""
                                            << ""
                                            << ""
                                            << "Station should not be infinite!";
        QTest::newRow("station in the gap") << 0 << "K0+155"
                                            << ""
                                            << ""
                                            << ""
                                            << "Given station does not exist!";
        // Above the dialog's own limit, below the factory's: the factory's refusal is shown.
        QTest::newRow("factory refuses") << 2 << ""
                                         << "0.0005"
                                         << "10"
                                         << "10"
                                         << "Overlapped";
    }

    void refusalsWarnAndStayOpen()
    {
        QFETCH(int, kind);
        QFETCH(QString, station);
        QFETCH(QString, radius);
        QFETCH(QString, in);
        QFETCH(QString, out);
        QFETCH(QString, message);

        PointOfIntersectionTableModel model;
        PointsOfIntersectionDialog dialog(0, 1, &model);
        chooseKind(dialog, kind);
        fill(dialog, "lePIN", "10");
        fill(dialog, "lePIE", "20");
        fill(dialog, "leStation", station);
        fill(dialog, "leRadius", radius);
        fill(dialog, "leTransLenIn", in);
        fill(dialog, "leTransLenOut", out);
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::Warning, QMessageBox::Ok);
        dialog.onAccept();
        QCOMPARE(prompter.calls.size(), 1);
        QCOMPARE(prompter.calls.at(0).kind, ScriptedPrompter::Warning);
        QCOMPARE(prompter.calls.at(0).title, QStringLiteral("Trelvin"));
        QCOMPARE(prompter.calls.at(0).text, message);
        QCOMPARE(dialog.result(), 0);
    }

    void committedPisCloseTheDialog()
    {
        PointOfIntersectionTableModel model;
        ScriptedPrompter prompter;
        {
            PointsOfIntersectionDialog dialog(0, 1, &model);
            chooseKind(dialog, 2);
            fill(dialog, "lePIN", "10");
            fill(dialog, "lePIE", "20");
            fill(dialog, "leRadius", "250");
            fill(dialog, "leTransLenIn", "30");
            // The disabled station field is not read for a curve.
            fill(dialog, "leStation", "junk");
            dialog.onNext();
            QCOMPARE(dialog.result(), 2);
            QCOMPARE(dialog.pointOfIntersection().getCurveType(), Pelko::Road::SpiralArcSpiralPoiType);
            QCOMPARE(dialog.pointOfIntersection().getOutSpiralLength(), 0.0);
        }
        {
            // After the equation the typed station is moved into continuous stationing.
            PointsOfIntersectionDialog dialog(0, 0, &model);
            fill(dialog, "lePIN", "1");
            fill(dialog, "lePIE", "2");
            fill(dialog, "leStation", "K0+170");
            dialog.onAccept();
            QCOMPARE(dialog.result(), 1);
            QCOMPARE(dialog.pointOfIntersection().getPoiStation(), 160.0);
        }
        QCOMPARE(prompter.calls.size(), 0);
        QCOMPARE(PointsOfIntersectionDialog::resultText(1), QStringLiteral("Already exist"));
        QCOMPARE(PointsOfIntersectionDialog::resultText(3), QStringLiteral("Not found"));
        QCOMPARE(PointsOfIntersectionDialog::resultText(6), QStringLiteral("Unknown err"));
    }

    void editModeShowsThePi()
    {
        PointOfIntersectionTableModel model;
        PointsOfIntersectionDialog first(1, 0, &model);
        QVERIFY(!child<QComboBox>(first, "cmbType")->isEnabled());
        QVERIFY(child<QPushButton>(first, "button_next")->isHidden());
        QCOMPARE(child<QLineEdit>(first, "lePIN")->text(), QStringLiteral("1000.0000"));
        QCOMPARE(child<QLineEdit>(first, "leStation")->text(), QStringLiteral("K0+012.500"));

        PointsOfIntersectionDialog corner(1, 1, &model);
        QVERIFY(child<QComboBox>(corner, "cmbType")->isEnabled());
        QCOMPARE(child<QComboBox>(corner, "cmbType")->currentData().toInt(), 2);
        QCOMPARE(child<QLineEdit>(corner, "leRadius")->text(), QStringLiteral("200.000"));
        QCOMPARE(child<QLineEdit>(corner, "leTransLenOut")->text(), QStringLiteral("30.000"));
        ScriptedPrompter prompter;
        corner.onAccept();
        QCOMPARE(corner.result(), 1);
        model.setPointOfIntersection(1, corner.pointOfIntersection());
        QCOMPARE(model.pointOfIntersections().at(1).getInSpiralLength(), 40.0);
    }

    // What the form does not show of a corner (the radii its spirals start and end at, its turn) stays
    // when it is edited, whether its radius is typed or not.
    void editKeepsWhatTheFormDoesNotShow()
    {
        using HorizontalRoads::value;
        const QByteArray compound = "        <element>\n            <type>2</type>\n" + value("x", 1200)
            + value("y", 2010) + value("inRadius", -900.25) + value("radius", -200.5)
            + value("outRadius", -700.75) + value("in", 40) + value("out", 30) + "        </element>\n";
        QVERIFY(!roads
                     .open(HorizontalRoads::piAlignment(HorizontalRoads::pointPi(1000, 2000) + compound
                                                        + HorizontalRoads::pointPi(1500, 2230)))
                     .isEmpty());
        PointOfIntersectionTableModel model;
        const Pelko::Road::PointOfIntersection before = model.pointOfIntersections().at(1);
        QCOMPARE(before.getStartRadius(), 900.25);
        ScriptedPrompter prompter;
        for (const QString& radius : { QString(), QStringLiteral("-250") }) {
            PointsOfIntersectionDialog dialog(1, 1, &model);
            if (!radius.isEmpty())
                fill(dialog, "leRadius", radius);
            fill(dialog, "leTransLenIn", "45");
            dialog.onAccept();
            QCOMPARE(dialog.result(), 1);
            const Pelko::Road::PointOfIntersection pi = dialog.pointOfIntersection();
            QCOMPARE(pi.getInSpiralLength(), 45.0);
            QCOMPARE(pi.getRadius(), radius.isEmpty() ? 200.5 : 250.0);
            QCOMPARE(pi.getStartRadius(), 900.25);
            QCOMPARE(pi.getEndRadius(), 700.75);
            QCOMPARE(pi.getTurnDirection(), Pelko::Road::TurnLeft);
        }
        QCOMPARE(prompter.calls.size(), 0);
    }
};

TRELVIN_TEST_MAIN(TestPiDialog)
#include "test_pidialog.moc"
