#include "framework/plotmarkers.h"
#include "framework/roadcurve.h"
#include "framework/roadplot.h"
#include "support/countingplot.h"

#include <qttestmain.h>

#include <qwt_scale_div.h>

#include <QPainter>

#include <cmath>

using namespace Zemko::Trelvin;
using namespace Zemko::Trelvin::Data;

namespace {

// A page curve whose rebuild hands over prepared samples.
class TestCurve : public RoadCurve
{
public:
    TestCurve()
        : RoadCurve("test", QwtPlotCurve::Lines, Qt::green, Qt::SolidLine)
    {
    }

    void rebuild(double tolerance) override
    {
        ++rebuilds;
        lastTolerance = tolerance;
        setSamples(next);
    }
    void plotAttached(QwtPlot* plot) override
    {
        ++attached;
        hookPlot = plot;
    }
    void plotDetached() override { ++detached; }

    QVector<QPointF> next;
    int rebuilds = 0;
    double lastTolerance = 0.0;
    int attached = 0;
    int detached = 0;
    QwtPlot* hookPlot = reinterpret_cast<QwtPlot*>(1);
};

QwtScaleMap map(double s1, double s2, double p1, double p2)
{
    QwtScaleMap m;
    m.setScaleInterval(s1, s2);
    m.setPaintInterval(p1, p2);
    return m;
}

// Bounding box of the pixels that were painted.
QRect paintedRect(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestCurves : public QObject
{
    Q_OBJECT

private slots:
    void boundingRect_data();
    void boundingRect();
    void attachAndDetach();
    void attachToNoPlot();
    void updateRefreshZoom();
    void rawSamples();
    void destroyedCurveLeavesPlot();
    void recordItems();
    void plateLabels();
    void slopeLabels();
    void arrowAndSpan();
    void structureSkew();
    void structureDrawing();
    void nothingToDraw();
};

void TestCurves::boundingRect_data()
{
    QTest::addColumn<QVector<QPointF>>("samples");
    QTest::addColumn<QRectF>("expected");
    const double nan = std::nan("");

    QTest::newRow("no samples") << QVector<QPointF>() << QRectF(0, 0, 100, 100);
    QTest::newRow("extent") << QVector<QPointF> { { 10, 20 }, { 40, -5 }, { 25, 60 } }
                            << QRectF(10, -5, 30, 65);
    // A flat profile keeps its length and gets a height of the same size about its level.
    QTest::newRow("horizontal line") << QVector<QPointF> { { 0, 50 }, { 1000, 50 } }
                                     << QRectF(0, -450, 1000, 1000);
    // A straight north-south alignment keeps its length and is centred across.
    QTest::newRow("vertical line") << QVector<QPointF> { { 2000, 100 }, { 2000, 500 } }
                                   << QRectF(1800, 100, 400, 400);
    QTest::newRow("one point") << QVector<QPointF> { { 5, 7 } } << QRectF(-45, -43, 100, 100);
    QTest::newRow("repeated point") << QVector<QPointF> { { 5, 7 }, { 5, 7 } } << QRectF(-45, -43, 100, 100);
    QTest::newRow("unmeasured samples ignored")
        << QVector<QPointF> { { nan, 0 }, { 10, 20 }, { 30, nan }, { 40, 50 } } << QRectF(10, 20, 30, 30);
    QTest::newRow("nothing measured")
        << QVector<QPointF> { { nan, nan }, { std::numeric_limits<double>::infinity(), 1 } }
        << QRectF(0, 0, 100, 100);
}

void TestCurves::boundingRect()
{
    QFETCH(QVector<QPointF>, samples);
    QFETCH(QRectF, expected);
    TestCurve curve;
    curve.setSamples(samples);
    QCOMPARE(curve.boundingRect(), expected);
}

void TestCurves::attachAndDetach()
{
    CountingPlot plot;
    plot.resize(400, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));

    TestCurve curve;
    curve.next = { { 1000, 2000 }, { 1010, 2002 } };
    const int replots = plot.replots;
    curve.attach(&plot);
    QCOMPARE(curve.plot(), &plot);
    QCOMPARE(curve.hookPlot, &plot);
    QCOMPARE(curve.plotCurve()->plot(), &plot);
    QCOMPARE(curve.attached, 1);
    QCOMPARE(curve.rebuilds, 1);
    QCOMPARE(curve.lastTolerance, 0.0001);
    QVERIFY(plot.replots > replots);
    QVERIFY(fittedAcross(plot, 1000.0, 1010.0));

    curve.detach();
    QCOMPARE(curve.detached, 1);
    QVERIFY(!curve.plot());
    QVERIFY(!curve.plotCurve()->plot());

    // Attached again (a second road), the plot is rescaled to the new extent.
    curve.next = { { 0, 0 }, { 300, 10 } };
    curve.attach(&plot);
    QCOMPARE(curve.rebuilds, 2);
    QVERIFY(fittedAcross(plot, 0.0, 300.0));
    QCOMPARE(plot.itemList(QwtPlotItem::Rtti_PlotCurve).size(), 1);
}

void TestCurves::attachToNoPlot()
{
    TestCurve curve;
    curve.attach(nullptr);
    QVERIFY(!curve.plot());
    QCOMPARE(curve.attached, 1);
    QVERIFY(!curve.hookPlot);
    QCOMPARE(curve.rebuilds, 1);
    // Detached, refresh and zoomToFit do nothing.
    curve.refresh();
    curve.zoomToFit();
    QCOMPARE(curve.rebuilds, 1);
}

void TestCurves::updateRefreshZoom()
{
    CountingPlot plot;
    plot.resize(400, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    TestCurve curve;
    curve.next = { { 0, 0 }, { 100, 20 } };
    curve.attach(&plot);

    int replots = plot.replots;
    curve.next = { { 0, 0 }, { 500, 100 } };
    curve.update();
    QCOMPARE(curve.rebuilds, 2);
    QCOMPARE(plot.replots, replots);
    QCOMPARE(curve.plotCurve()->dataSize(), size_t(2));

    curve.refresh();
    QCOMPARE(curve.rebuilds, 3);
    QCOMPARE(plot.replots, replots + 1);
    // Neither rescales.
    QVERIFY(fittedAcross(plot, 0.0, 100.0));

    replots = plot.replots;
    curve.zoomToFit();
    QCOMPARE(curve.rebuilds, 3);
    QVERIFY(plot.replots > replots);
    QVERIFY(fittedAcross(plot, 0.0, 500.0));
}

void TestCurves::rawSamples()
{
    TestCurve curve;
    const double x[] = { 1, 2, 3 };
    const double y[] = { 4, 6, 5 };
    curve.setRawSamples(x, y, 3);
    QCOMPARE(curve.plotCurve()->dataSize(), size_t(3));
    QCOMPARE(curve.boundingRect(), QRectF(1, 4, 2, 2));
    curve.setRawSamples(nullptr, nullptr, 0);
    QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));
    curve.setRawSamples(x, y, -4);
    QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));
    QCOMPARE(curve.boundingRect(), QRectF(0, 0, 100, 100));
}

void TestCurves::destroyedCurveLeavesPlot()
{
    RoadPlot plot;
    const int items = plot.itemList().size();
    {
        TestCurve curve;
        curve.attach(&plot);
        QCOMPARE(plot.itemList().size(), items + 1);
    }
    QCOMPARE(plot.itemList().size(), items);
}

void TestCurves::recordItems()
{
    StructuralObjectCurve structures;
    QCOMPARE(structures.dataSize(), size_t(0));
    QVERIFY(structures.title().isEmpty());
    QVERIFY(structures.testItemInterest(QwtPlotItem::ScaleInterest));

    StructureMark mark;
    mark.text = "K0+100.000";
    mark.x = 10;
    structures.setObjects({ mark, mark });
    QCOMPARE(structures.dataSize(), size_t(2));
    structures.setBoundingRect(QRectF(1, 2, 3, 4));
    QCOMPARE(structures.dataRect(), QRectF(1, 2, 3, 4));
    QCOMPARE(structures.boundingRect(), QRectF(1, 2, 3, 4));
    structures.clearObjects();
    QCOMPARE(structures.dataSize(), size_t(0));

    // Callers fill the records by position.
    const PlateMarker plate { true, QPointF(1, 2), 3.0, 0.02 };
    QVERIFY(plate.reversed);
    QCOMPARE(plate.length, 3.0);
    const SlopeMarker slope { true, -1, QPointF(1, 2), 4.0, 1.5 };
    QCOMPARE(slope.side, -1);
    QCOMPARE(slope.ratio, 1.5);
    PlateMarkerCurve plates;
    plates.setMarkers({ plate });
    QCOMPARE(plates.markers().first().grade, 0.02);
}

void TestCurves::plateLabels()
{
    // Too flat to show: only the length is written, level.
    MarkerLabel label = PlateMarkerCurve::label(PlateMarker { false, {}, 5.0, 0.00005 });
    QVERIFY(label.text.isEmpty());
    QCOMPARE(label.tilt, 0.0);

    label = PlateMarkerCurve::label(PlateMarker { true, {}, 5.0, -0.02 });
    QCOMPARE(label.text, QStringLiteral("2.00%"));
    QVERIFY(label.falling);
    QVERIFY(std::abs(label.tilt - (-1.1457628)) < 1e-6);

    label = PlateMarkerCurve::label(PlateMarker { false, {}, 5.0, -0.02 });
    QVERIFY(!label.falling);
    QVERIFY(label.tilt > 1.0);

    // Flatter than one degree stays level but keeps its direction.
    label = PlateMarkerCurve::label(PlateMarker { false, {}, 5.0, 0.015 });
    QCOMPARE(label.text, QStringLiteral("1.50%"));
    QCOMPARE(label.tilt, 0.0);
    QVERIFY(label.falling);

    label = PlateMarkerCurve::label(PlateMarker { false, {}, 5.0, std::nan("") });
    QVERIFY(label.text.isEmpty());
}

void TestCurves::slopeLabels()
{
    MarkerLabel label = SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 3.0, 1.5 });
    QVERIFY(label.visible);
    QCOMPARE(label.text, QStringLiteral("h=2.00\n1:1.5"));
    QVERIFY(std::abs(label.tilt - 33.690068) < 1e-5);
    QVERIFY(!label.falling);

    // A cut on the left side is negated twice.
    label = SlopeMarkerCurve::label(SlopeMarker { true, -1, {}, 3.0, -1.5 });
    QCOMPARE(label.text, QStringLiteral("h=2.00\n1:1.5"));
    QVERIFY(label.tilt > 0.0);
    label = SlopeMarkerCurve::label(SlopeMarker { true, 1, {}, 3.0, 1.5 });
    QVERIFY(label.tilt < 0.0);
    QVERIFY(label.falling);

    // The ratio as the tables give it: its own decimals, up to three.
    QCOMPARE(SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 3.5, 1.75 }).text,
             QStringLiteral("h=2.00\n1:1.75"));
    QCOMPARE(SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 4.0, 2.0 }).text,
             QStringLiteral("h=2.00\n1:2"));
    QCOMPARE(SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 1.0, 1.0 / 3.0 }).text,
             QStringLiteral("h=3.00\n1:0.333"));
    QCOMPARE(SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 1.2, 0.6004 }).text,
             QStringLiteral("h=2.00\n1:0.6"));

    // Nearly vertical surfaces divide by almost nothing: not drawn.
    QVERIFY(!SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 3.0, 0.00005 }).visible);
    QVERIFY(!SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 3.0, std::nan("") }).visible);
    // Very flat: level.
    QCOMPARE(SlopeMarkerCurve::label(SlopeMarker { false, 1, {}, 3.0, 100.0 }).tilt, 0.0);
}

void TestCurves::arrowAndSpan()
{
    // A plate 30 pixels long.
    const QwtScaleMap x = map(0, 100, 0, 1000);
    const int span = Data::Internal::labelSpan(x, Data::Internal::toPixel(x, 10.0), 13.0);
    QCOMPARE(span, 24);
    MarkerArrow arrow = Data::Internal::markerArrow(span);
    QCOMPARE(arrow.length, 5);
    QCOMPARE(arrow.height, 2);
    arrow = Data::Internal::markerArrow(80);
    QCOMPARE(arrow.length, 8);
    QCOMPARE(arrow.height, 4);
    arrow = Data::Internal::markerArrow(1000);
    QCOMPARE(arrow.length, 20);
    QCOMPARE(arrow.height, 11);

    // Far off and unmeasured coordinates stay defined.
    QVERIFY(std::abs(Data::Internal::toPixel(x, 1e300)) > 1000000);
    QCOMPARE(Data::Internal::toPixel(x, std::nan("")), 0);
    QCOMPARE(Data::Internal::labelSpan(x, 0, std::nan("")), 0);
}

void TestCurves::structureSkew()
{
    StructureMark mark;
    mark.skew = 45.0;
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(0, 0));
    mark.skewed = true;
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(20, 30));
    mark.skew = -135.0;
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(20, 30));
    mark.skew = 225.0;
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(20, 30));
    mark.skew = 0.05;
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(0, 0));
    mark.skew = 180.05;
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(0, 0));
    mark.skew = std::nan("");
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(0, 0));
    mark.skew = 90.0;
    QCOMPARE(StructuralObjectCurve::skewOffsets(mark, 20, 30), QPoint(0, 0));
}

void TestCurves::structureDrawing()
{
    // One pixel per model unit, north up.
    const QwtScaleMap x = map(0, 200, 0, 200);
    const QwtScaleMap y = map(0, 200, 200, 0);
    StructureMark mark;
    mark.x = 100;
    mark.y = 100;
    mark.left = 20;
    mark.right = 20;
    mark.bottom = 10;
    mark.top = 10;
    mark.skew = 0.05;
    mark.skewed = true;
    StructuralObjectCurve structures;
    structures.setObjects({ mark });

    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    {
        QPainter painter(&image);
        structures.drawSeries(&painter, x, y, QRectF(image.rect()), 0, -1);
    }
    // A 40 x 20 rectangle (pen 3 wide) whose dashed centre lines overhang it by a tenth of its
    // larger extent, 4 pixels: from 76 to 124 across and 86 to 114 up
    const QRect box = paintedRect(image);
    QVERIFY2(std::abs(box.left() - 76) <= 1 && std::abs(box.right() - 124) <= 1,
             qPrintable(QStringLiteral("%1..%2").arg(box.left()).arg(box.right())));
    // (the dash pattern may end in a gap at the bottom)
    QVERIFY2(std::abs(box.top() - 86) <= 1 && box.bottom() >= 111 && box.bottom() <= 115,
             qPrintable(QStringLiteral("%1..%2").arg(box.top()).arg(box.bottom())));
    QCOMPARE(QColor(image.pixel(80, 95)), QColor(Qt::green));
    QCOMPARE(QColor(image.pixel(110, 90)), QColor(Qt::green));
    QCOMPARE(qAlpha(image.pixel(90, 95)), 0);
}

void TestCurves::nothingToDraw()
{
    const QwtScaleMap x = map(0, 10, 0, 10);
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    QPainter painter(&image);

    NamedPointsCurve points;
    PlateMarkerCurve plates;
    SlopeMarkerCurve slopes;
    StructuralObjectCurve structures;
    points.drawSeries(&painter, x, x, QRectF(), 0, -1);
    plates.drawSeries(&painter, x, x, QRectF(), 0, -1);
    slopes.drawSeries(&painter, x, x, QRectF(), 0, -1);
    structures.drawSeries(&painter, x, x, QRectF(), 0, -1);

    // Records that cannot be placed are skipped, and a null painter draws nothing.
    const double nan = std::nan("");
    points.setPoints({ NamedPoint { "A", nan, 1 } });
    plates.setMarkers({ PlateMarker { false, QPointF(nan, 1), 1, 0.5 } });
    slopes.setMarkers(
        { SlopeMarker { false, 1, QPointF(1, nan), 1, 0.5 }, SlopeMarker { false, 1, QPointF(1, 1), 1, 0 } });
    StructureMark mark;
    mark.x = nan;
    structures.setObjects({ mark });
    for (QwtPlotSeriesItem* item :
         std::initializer_list<QwtPlotSeriesItem*> { &points, &plates, &slopes, &structures }) {
        item->drawSeries(&painter, x, x, QRectF(), 0, -1);
        item->drawSeries(nullptr, x, x, QRectF(), 0, -1);
    }
    painter.end();
    QVERIFY(paintedRect(image).isNull());
}

TRELVIN_TEST_MAIN(TestCurves)
#include "test_curves.moc"
