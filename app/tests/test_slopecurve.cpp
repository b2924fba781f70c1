#include "framework/plotmarkers.h"
#include "framework/roadplot.h"
#include "slopes/slopecurve.h"
#include "test_slopesegmentsupport.h"

#include <qttestmain.h>

#include <qwt_plot_curve.h>

using namespace Zemko::Trelvin;
using Pelko::Road::SlopeSectionTemplate;
using Pelko::Road::SlopeSectionTemplateEditable;

namespace {

QVector<QPointF> samples(const SlopeCurve& curve)
{
    QVector<QPointF> points;
    const QwtSeriesData<QPointF>* data = curve.plotCurve()->data();
    for (size_t i = 0; data && i < data->size(); ++i)
        points.append(data->sample(i));
    return points;
}

SlopeSectionTemplateEditable asCut(const SlopeSectionTemplateEditable& fill)
{
    SlopeSectionTemplateEditable cut = fill.clone();
    cut.setType(Pelko::Road::SlopeSectionCut);
    return cut;
}

} // namespace

class TestSlopeCurve : public QObject
{
    Q_OBJECT

private slots:
    void nothingBeforeATemplate();
    void surfaceMarkersFollowSideAndType();
    void platformAndDitchMarkers();
    void editableIsDrawnUnmirrored();
    void emptyTemplateDrawsNothing();
    void markersFollowThePlot();
};

void TestSlopeCurve::nothingBeforeATemplate()
{
    SlopeCurve curve("slope", Qt::green);
    curve.update();
    QCOMPARE(curve.side(), -1);
    QCOMPARE(curve.index(), 0);
    QVERIFY(samples(curve).isEmpty());
    QVERIFY(curve.slopeMarkers()->markers().isEmpty());
    QVERIFY(curve.plateMarkers()->markers().isEmpty());
}

void TestSlopeCurve::surfaceMarkersFollowSideAndType()
{
    SlopeCurve curve("slope", Qt::green);

    // A fill on the left falls outward to the left: 2 m down over 3 m.
    curve.setTemplate(0, 4, SlopeSegmentRoads::fillA());
    QCOMPARE(curve.index(), 4);
    QCOMPARE(samples(curve), (QVector<QPointF> { { 0, 0 }, { -3, -2 } }));
    QCOMPARE(curve.slopeMarkers()->markers().size(), 1);
    Data::SlopeMarker marker = curve.slopeMarkers()->markers().first();
    QCOMPARE(marker.reversed, false);
    QCOMPARE(marker.side, -1);
    QCOMPARE(marker.position, QPointF(-1.0, -1.5));
    QCOMPARE(marker.width, 3.0);
    // The placed surface falls: its ratio carries the sign, the label shows the magnitude.
    QCOMPARE(marker.ratio, -1.5);

    // The same surface as cut on the right rises outward to the right.
    curve.setTemplate(1, 0, asCut(SlopeSegmentRoads::fillA()));
    QCOMPARE(samples(curve), (QVector<QPointF> { { 0, 0 }, { 3, 2 } }));
    marker = curve.slopeMarkers()->markers().first();
    QCOMPARE(marker.reversed, true);
    QCOMPARE(marker.side, 1);
    QCOMPARE(marker.position, QPointF(1.0, 1.5));
    QCOMPARE(marker.width, 3.0);

    // A side that is neither left nor right draws, but its markers point nowhere.
    curve.setTemplate(-1, 0, SlopeSegmentRoads::fillA());
    QVERIFY(samples(curve).isEmpty());
    QVERIFY(curve.slopeMarkers()->markers().isEmpty());
}

void TestSlopeCurve::platformAndDitchMarkers()
{
    SlopeCurve curve("slope", Qt::green);
    curve.setTemplate(0, 0, SlopeSegmentRoads::fillB());
    QCOMPARE(curve.slopeMarkers()->markers().size(), 2);
    QCOMPARE(curve.plateMarkers()->markers().size(), 1);
    const Data::PlateMarker plate = curve.plateMarkers()->markers().first();
    QCOMPARE(plate.reversed, true);
    QCOMPARE(plate.length, 2.0);
    // 2 % falling outward from the road.
    QCOMPARE(plate.grade, -0.02);
    QCOMPARE(samples(curve).size(), 4);
    // The berm lies between the two surfaces, 4 m down and 6 m out.
    QCOMPARE(plate.position.y(), -7.0);

    curve.setTemplate(1, 0, SlopeSegmentRoads::fillB());
    QCOMPARE(curve.plateMarkers()->markers().first().reversed, false);
    QCOMPARE(curve.plateMarkers()->markers().first().position.y(), 7.0);

    // The ditch is drawn in the line, with no marker of its own.
    curve.setTemplate(1, 0, SlopeSegmentRoads::cutA());
    QCOMPARE(curve.slopeMarkers()->markers().size(), 1);
    QVERIFY(curve.plateMarkers()->markers().isEmpty());
    QCOMPARE(samples(curve).size(), 5);
}

void TestSlopeCurve::editableIsDrawnUnmirrored()
{
    SlopeCurve left("slope", Qt::green);
    SlopeCurve right("slope", Qt::green);
    left.setTemplate(0, 0, SlopeSegmentRoads::fillA());
    right.setTemplate(1, 0, SlopeSegmentRoads::fillA());
    QVERIFY(samples(left) != samples(right));

    // A template under edit is drawn as it stands whichever side is named; the markers take the side.
    SlopeCurve edited("slope", Qt::green);
    edited.setEditable(0, 3, SlopeSegmentRoads::fillA());
    QCOMPARE(edited.index(), 3);
    QCOMPARE(edited.side(), 0);
    const QVector<QPointF> asLeft = samples(edited);
    QCOMPARE(edited.slopeMarkers()->markers().first().side, -1);
    edited.setEditable(1, 3, SlopeSegmentRoads::fillA());
    QCOMPARE(samples(edited), asLeft);
    QCOMPARE(edited.slopeMarkers()->markers().first().side, 1);

    // setTemplate after setEditable draws the template again.
    edited.setTemplate(0, 1, SlopeSegmentRoads::fillA());
    QCOMPARE(samples(edited), samples(left));
}

void TestSlopeCurve::emptyTemplateDrawsNothing()
{
    SlopeCurve curve("slope", Qt::green);
    curve.setTemplate(0, 0, SlopeSegmentRoads::fillB());
    QVERIFY(!samples(curve).isEmpty());
    curve.setTemplate(0, -1, SlopeSectionTemplate());
    QVERIFY(samples(curve).isEmpty());
    QVERIFY(curve.slopeMarkers()->markers().isEmpty());
    QVERIFY(curve.plateMarkers()->markers().isEmpty());
    curve.setEditable(1, -1, SlopeSectionTemplateEditable());
    QVERIFY(samples(curve).isEmpty());
}

void TestSlopeCurve::markersFollowThePlot()
{
    RoadPlot plot;
    const QwtPlotItemList own = plot.itemList();
    SlopeCurve curve("slope", Qt::green);
    curve.attach(&plot);
    const QwtPlotItemList attached = plot.itemList();
    QVERIFY(attached.contains(curve.plotCurve()));
    QVERIFY(attached.contains(const_cast<Data::SlopeMarkerCurve*>(curve.slopeMarkers())));
    QVERIFY(attached.contains(const_cast<Data::PlateMarkerCurve*>(curve.plateMarkers())));
    QCOMPARE(curve.slopeMarkers()->z(), 1.0);

    // A new template rescales the plot to it.
    curve.setTemplate(1, 0, SlopeSegmentRoads::fillB());
    const QwtInterval across = plot.axisInterval(QwtPlot::xBottom);
    QVERIFY(across.minValue() <= 0.0 && across.maxValue() >= 13.5);

    curve.detach();
    QCOMPARE(plot.itemList(), own);
}

TRELVIN_TEST_MAIN(TestSlopeCurve)
#include "test_slopecurve.moc"
