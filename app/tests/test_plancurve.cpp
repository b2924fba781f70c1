#include "alignment/horizontalcurve.h"
#include "document/trelvin.h"
#include "framework/roadplot.h"
#include "test_horizontalroads.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>
#include <road/structureelementconfiguration.h>

#include <qttestmain.h>

#include <cmath>

using Zemko::Trelvin::HorizontalCurve;
using Zemko::Trelvin::RoadPlot;
using Zemko::Trelvin::Trelvin;

namespace {

QVector<QPointF> samples(const QwtPlotCurve* curve)
{
    QVector<QPointF> points;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        points.append(curve->sample(int(i)));
    return points;
}

bool near(double a, double b)
{
    return std::fabs(a - b) < 1e-6;
}

} // namespace

class TestPlanCurve : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    void open(const QByteArray& parts) { QVERIFY(!roads.open(parts).isEmpty()); }

private slots:
    // Two straights meeting at (165, 0), then heading north-east; a long equation repeats 150..160.
    void planOfAWholeRoad()
    {
        const double after = 200.0 * std::sqrt(0.5);
        open(RoadFiles::equations(160, 150)
             + HorizontalRoads::piAlignment(HorizontalRoads::pointPi(0, 0) + HorizontalRoads::pointPi(165, 0)
                                            + HorizontalRoads::pointPi(165 + after, after))
             + RoadFiles::standardSection()
             + HorizontalRoads::structures(HorizontalRoads::structure(50, 0, 0, M_PI / 4, 1, 2, 8, 9)
                                           + HorizontalRoads::structure(465, 3, 1, M_PI / 2, 3, 3, 10, 12)));
        RoadPlot plot;
        HorizontalCurve curve(QStringLiteral("H"), Qt::green);
        curve.rebuild(0.0001);
        QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));

        curve.attach(&plot);
        QCOMPARE(curve.piPolygon()->plot(), &plot);
        QCOMPARE(curve.structures()->plot(), &plot);
        QCOMPARE(samples(curve.piPolygon()),
                 QVector<QPointF>({ QPointF(0, 0), QPointF(0, 165), QPointF(after, 165 + after) }));
        const QVector<QPointF> centre = samples(curve.plotCurve());
        QVERIFY(centre.size() >= 3);
        QCOMPARE(centre.first(), QPointF(0, 0));
        QVERIFY(near(centre.last().x(), after) && near(centre.last().y(), 165 + after));
        QVERIFY(curve.primaryPoints()->dataSize() >= 3);
        QVERIFY(curve.leftBorder()->dataSize() >= 2);
        QVERIFY(curve.rightBorder()->dataSize() >= 2);
        // The left border lies west of a north-going line.
        QVERIFY(curve.leftBorder()->sample(0).x() < 0.0 && curve.rightBorder()->sample(0).x() > 0.0);

        // Two elements, three labels; the boundary at 165 lies in the repeated stretch.
        const QVector<Zemko::Trelvin::Data::StationMark> marks = curve.labels()->marks();
        QCOMPARE(marks.size(), 3);
        QCOMPARE(marks.at(0).text, QStringLiteral("K0+000.000"));
        QCOMPARE(marks.at(1).text, QStringLiteral("K0+155.000A"));
        QCOMPARE(marks.at(2).text, QStringLiteral("K0+355.000"));
        QVERIFY(near(marks.at(1).x, 165.0) && near(marks.at(1).y, 0.0));
        QVERIFY(near(marks.at(2).angle, 45.0));
        QVERIFY(!marks.at(0).path.isEmpty());

        // Structures sit at their continuous station; beyond the end they follow the last element.
        const QVector<Zemko::Trelvin::Data::StructureMark> objects = curve.structures()->objects();
        QCOMPARE(objects.size(), 2);
        QCOMPARE(objects.at(0).text, QStringLiteral("K0+050.000"));
        QVERIFY(near(objects.at(0).x, 50.0) && near(objects.at(0).y, 0.0));
        QVERIFY(near(objects.at(0).skew, 45.0));
        QVERIFY(objects.at(0).skewed && !objects.at(1).skewed);
        QCOMPARE(objects.at(0).left, 1.0);
        QCOMPARE(objects.at(0).top, 9.0);
        QCOMPARE(objects.at(1).text, QStringLiteral("K0+455.000"));
        const double beyond = 465.0 - 365.0 + 200.0;
        QVERIFY(near(objects.at(1).x, 165 + beyond * std::sqrt(0.5)));
        QVERIFY(near(objects.at(1).y, beyond * std::sqrt(0.5)));
        QVERIFY(near(objects.at(1).angle, 45.0));
        const QRectF extent = curve.structures()->dataRect();
        QVERIFY(extent.contains(QPointF(-8.99, 41.01)) && !extent.contains(QPointF(-9.01, 45))
                && extent.contains(QPointF(objects.at(1).y + 11.99, objects.at(1).x)));

        // Removing the last structure clears the layer; without a road only the centre line goes.
        Trelvin::instance()->road()->setStructures(Pelko::Road::StructureElementConfiguration());
        curve.update();
        QVERIFY(curve.structures()->objects().isEmpty());
        Trelvin::instance()->closeRoad();
        curve.update();
        QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));
        QCOMPARE(curve.piPolygon()->dataSize(), size_t(3));
    }

    void oneElementHasTwoLabels()
    {
        open(HorizontalRoads::piAlignment(HorizontalRoads::pointPi(10, 20, 1000)
                                          + HorizontalRoads::pointPi(110, 20)));
        RoadPlot plot;
        HorizontalCurve curve(QStringLiteral("H"), Qt::green);
        curve.attach(&plot);
        QCOMPARE(curve.labels()->marks().size(), 2);
        QCOMPARE(curve.labels()->marks().at(1).text, QStringLiteral("K1+100.000"));
    }

    void piWithoutElementsStillDrawsThePolygon()
    {
        open(HorizontalRoads::piAlignment(HorizontalRoads::pointPi(10, 20))
             + HorizontalRoads::structures(HorizontalRoads::structure(5, 0, 0, 1, 1, 1, 1, 1)));
        RoadPlot plot;
        HorizontalCurve curve(QStringLiteral("H"), Qt::green);
        curve.attach(&plot);
        QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));
        QVERIFY(curve.labels()->marks().isEmpty());
        QCOMPARE(samples(curve.piPolygon()), QVector<QPointF>({ QPointF(20, 10) }));
        // A structure off every element cannot be placed.
        QVERIFY(curve.structures()->objects().isEmpty());
        QVERIFY(!HorizontalCurve::locateOnElements(Pelko::Road::HorizontalElementConfiguration(), 5).valid);
    }
};

TRELVIN_TEST_MAIN(TestPlanCurve)
#include "test_plancurve.moc"
