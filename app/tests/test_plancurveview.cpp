#include "alignment/horizontalcurve.h"
#include "document/trelvin.h"
#include "framework/roadplot.h"
#include "support/roadfiles.h"
#include "test_horizontalroads.h"

#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/roadsurface.h>
#include <road/standardsection.h>

#include <qttestmain.h>

#include <qwt_plot_canvas.h>
#include <qwt_scale_map.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <limits>

using Zemko::Trelvin::HorizontalCurve;
using Zemko::Trelvin::RoadPlot;
using Zemko::Trelvin::Trelvin;
using Zemko::Trelvin::Data::RoadCurve;
using Zemko::Trelvin::Data::StationLabelsCurve;

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

Pelko::Road::HorizontalElement line(double length)
{
    return Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(kNaN), length,
                                                      Pelko::Corvex::Point::invalid(), kNaN);
}

Pelko::Road::HorizontalElement spiral(double length, double from, double to)
{
    return Pelko::Road::HorizontalElement::createSpiral(Pelko::Corvex::Angle(kNaN), length, from, to,
                                                        Pelko::Corvex::Point::invalid(), kNaN);
}

Pelko::Road::HorizontalElement arc(double length, double radius)
{
    return Pelko::Road::HorizontalElement::createArc(Pelko::Corvex::Angle(kNaN), length, radius,
                                                     Pelko::Corvex::Point::invalid(), kNaN);
}

// Corners of spiral-arc-spiral between straights, turning alternately right and left, from (0, 0)
// due north; one strip of 3.5 on the left, two of 3.5 and 1.5 on the right.
Pelko::Road::HorizontalElementConfiguration corners(int count, double radius)
{
    Pelko::Road::HorizontalElementConfiguration elements;
    elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(0.0), 100.0,
                                                               Pelko::Corvex::Point(0.0, 0.0), 0.0));
    for (int i = 0; i < count; ++i) {
        const double r = i % 2 == 0 ? radius : -radius;
        elements.append(spiral(150.0, kInf, r));
        elements.append(arc(100.0, r));
        elements.append(spiral(150.0, r, kInf));
        elements.append(line(100.0));
    }
    return elements;
}

// Plot points of a line, broken at its (NaN, NaN) samples.
QVector<QPointF> samples(const QwtPlotCurve* curve)
{
    QVector<QPointF> points;
    for (size_t i = 0; i < curve->dataSize(); ++i)
        points.append(curve->sample(int(i)));
    return points;
}

bool finite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

double distanceToLine(const QPointF& p, const QVector<QPointF>& line)
{
    double best = kInf;
    for (int i = 0; i + 1 < line.size(); ++i) {
        const QPointF a = line[i];
        const QPointF b = line[i + 1];
        if (!finite(a) || !finite(b))
            continue;
        const QPointF ab = b - a;
        const double length2 = QPointF::dotProduct(ab, ab);
        const double t = length2 > 0.0 ? std::clamp(QPointF::dotProduct(p - a, ab) / length2, 0.0, 1.0) : 0.0;
        const QPointF foot = a + t * ab;
        best = std::min(best, std::hypot(p.x() - foot.x(), p.y() - foot.y()));
    }
    return best;
}

QRectF viewOf(const QwtPlot& plot)
{
    const QwtScaleMap x = plot.canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = plot.canvasMap(QwtPlot::yLeft);
    return QRectF(QPointF(std::min(x.s1(), x.s2()), std::min(y.s1(), y.s2())),
                  QPointF(std::max(x.s1(), x.s2()), std::max(y.s1(), y.s2())));
}

double metresPerPixel(const QwtPlot& plot)
{
    const QwtScaleMap x = plot.canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = plot.canvasMap(QwtPlot::yLeft);
    return std::max(std::abs(x.sDist() / x.pDist()), std::abs(y.sDist() / y.pDist()));
}

bool contains(const QRectF& outer, const QRectF& inner)
{
    return outer.left() <= inner.left() && outer.right() >= inner.right() && outer.top() <= inner.top()
        && outer.bottom() >= inner.bottom();
}

// The rectangle that holds a label's painted pixels, in the label's own frame (about its anchor,
// along its text).
QRectF paintedExtent(const Zemko::Trelvin::Data::StationMark& mark, const QwtScaleMap& x,
                     const QwtScaleMap& y)
{
    const StationLabelsCurve::Label label
        = StationLabelsCurve::Render { x, y,
                                       QSize(int(std::abs(x.pDist())), int(std::abs(y.pDist()))) }(mark);
    const QTransform place = StationLabelsCurve::placement(mark, mark.box, x, y);
    const QTransform back = place.inverted();
    QRectF painted;
    for (int row = 0; row < label.image.height(); ++row)
        for (int column = 0; column < label.image.width(); ++column)
            if (qAlpha(label.image.pixel(column, row)) != 0) {
                const QRectF pixel(label.offset + QPoint(column, row), QSizeF(1.0, 1.0));
                painted |= back.map(QPolygonF(pixel)).boundingRect();
            }
    return painted;
}

// A shown plot of the given size with the plan attached once it is exposed.
struct PlanView
{
    RoadPlot plot;
    HorizontalCurve curve { QStringLiteral("H"), Qt::green };

    bool attach(QSize size)
    {
        plot.resize(size);
        plot.show();
        if (!QTest::qWaitForWindowExposed(&plot))
            return false;
        curve.attach(&plot);
        return true;
    }
};

} // namespace

class TestPlanCurveView : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int roads = 0;

    // Opens the chain through the document, with the section of RoadFiles and the given parts.
    bool open(const Pelko::Road::HorizontalElementConfiguration& elements, const QByteArray& parts = {})
    {
        const QString path = dir.filePath(QStringLiteral("plan%1.rod").arg(++roads));
        if (!RoadFiles::write(path, RoadFiles::road(RoadFiles::standardSection() + parts)))
            return false;
        Pelko::Road::RoadSurface road(path.toLocal8Bit().toStdString());
        if (!road.load())
            return false;
        road.getHorizontalAligment()->setElements(elements);
        return road.save() && Trelvin::instance()->openRoad(path);
    }

    // Zooms to rect and lets the re-query run.
    static void zoomTo(RoadPlot& plot, HorizontalCurve& curve, const QRectF& rect)
    {
        plot.setScaleRect(rect);
        plot.replot();
        QTRY_VERIFY(!curve.isResampling());
    }

private slots:
    void cleanup() { Trelvin::instance()->closeRoad(); }

    // A road wider than tall, heading east and turning south: the fitted plan shows both ends and
    // their labels whole, every label reads upright, and no two drawn labels overlap. A zoom to fit
    // (as after an Apply) fits again.
    void fittedPlanShowsEndsAndUprightLabels()
    {
        Pelko::Road::HorizontalElementConfiguration elements;
        elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(M_PI / 2), 1500.0,
                                                                   Pelko::Corvex::Point(0.0, 0.0), 0.0));
        elements.append(spiral(150.0, kInf, 300.0));
        elements.append(arc(300.0, 300.0));
        elements.append(spiral(150.0, 300.0, kInf));
        elements.append(line(300.0));
        QVERIFY(open(elements));
        PlanView view;
        QVERIFY(view.attach(QSize(800, 400)));
        RoadPlot& plot = view.plot;
        HorizontalCurve& curve = view.curve;

        const auto check = [&] {
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            QVERIFY(plot.showsWhole(curve.fitLabels()));
            const QVector<Zemko::Trelvin::Data::StationMark> marks = curve.labels()->marks();
            const QVector<int> drawn = curve.labels()->drawnMarks();
            QVERIFY(drawn.contains(0) && drawn.contains(marks.size() - 1));
            const QwtScaleMap x = plot.canvasMap(QwtPlot::xBottom);
            const QwtScaleMap y = plot.canvasMap(QwtPlot::yLeft);
            QVector<QPolygonF> boxes;
            for (int i : drawn) {
                const QTransform place = StationLabelsCurve::placement(marks[i], marks[i].box, x, y);
                QVERIFY(place.map(QLineF(0, 0, 1, 0)).dx() > -1e-9);
                boxes.append(place.map(QPolygonF(marks[i].box)));
            }
            for (int a = 0; a < boxes.size(); ++a)
                for (int b = a + 1; b < boxes.size(); ++b)
                    QVERIFY(!boxes[a].intersects(boxes[b]));
        };
        check();
        // The road turns south: its last labels are the ones turned half round.
        QVERIFY(StationLabelsCurve::upsideDown(curve.labels()->marks().last().angle));

        plot.setScaleRect(QRectF(1000, -100, 50, 50));
        plot.replot();
        curve.zoomToFit();
        check();
    }

    // A short road in a large plot (a maximised page): the end labels reach the canvas's right side,
    // and every drawn label lies whole within the image the labels are drawn through.
    void shortRoadKeepsItsLastLabelWhole()
    {
        Pelko::Road::HorizontalElementConfiguration elements;
        elements.append(Pelko::Road::HorizontalElement::createLine(
            Pelko::Corvex::Angle(M_PI / 3), 200.0, Pelko::Corvex::Point(3000.0, 5000.0), 0.0));
        elements.append(arc(107.06, 400.0));
        elements.append(line(200.0));
        QVERIFY(open(elements));
        for (const QSize size : { QSize(1400, 880), QSize(670, 700), QSize(1500, 930) }) {
            PlanView view;
            QVERIFY(view.attach(size));
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            const QImage image = view.curve.labels()->image();
            QVERIFY(!image.isNull());
            QVERIFY(view.plot.showsWhole(view.curve.fitLabels()));
            const QwtScaleMap x = view.plot.canvasMap(QwtPlot::xBottom);
            const QwtScaleMap y = view.plot.canvasMap(QwtPlot::yLeft);
            const QVector<Zemko::Trelvin::Data::StationMark> marks = view.curve.labels()->marks();
            const QVector<int> drawn = view.curve.labels()->drawnMarks();
            QCOMPARE(drawn.size(), 4);
            for (int i : drawn) {
                const QRectF box
                    = StationLabelsCurve::placement(marks[i], marks[i].box, x, y).mapRect(marks[i].box);
                QVERIFY2(contains(QRectF(image.rect()), box),
                         qPrintable(QStringLiteral("%1 at %2 in %3 x %4")
                                        .arg(marks[i].text)
                                        .arg(box.right())
                                        .arg(image.width())
                                        .arg(image.height())));
            }
            // Nothing drawn reaches the image's last column or row, where a cut label would end.
            for (int row = 0; row < image.height(); ++row)
                QCOMPARE(qAlpha(image.pixel(image.width() - 1, row)), 0);
            for (int column = 0; column < image.width(); ++column)
                QCOMPARE(qAlpha(image.pixel(column, image.height() - 1)), 0);
        }
    }

    // A culvert 63 m before an element's end on a 4.7 km road: at the fitted scale its label would lie
    // on the station label, and gives way to it; a culvert in the open keeps its label. The
    // structures' symbols are all drawn, and no text the plan draws lies on another.
    void structureLabelsThinnedWithStationLabels()
    {
        Pelko::Road::HorizontalElementConfiguration elements;
        elements.append(Pelko::Road::HorizontalElement::createLine(Pelko::Corvex::Angle(0.0), 1262.977,
                                                                   Pelko::Corvex::Point(0.0, 0.0), 0.0));
        elements.append(arc(400.0, 2000.0));
        elements.append(line(3000.0));
        QVERIFY(open(
            elements,
            HorizontalRoads::structures(HorizontalRoads::structure(1200, 0, 0, M_PI / 2, 2, 2, 6, 6)
                                        + HorizontalRoads::structure(3000, 0, 0, M_PI / 2, 2, 2, 6, 6))));
        PlanView view;
        QVERIFY(view.attach(QSize(800, 400)));
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        const StationLabelsCurve* labels = view.curve.labels();
        QCOMPARE(view.curve.structures()->objects().size(), 2);
        QCOMPARE(labels->marks().size(), 4);
        QCOMPARE(labels->structureMarks().size(), 2);
        QCOMPARE(labels->structureMarks().at(1).text, QStringLiteral("K3+000.000"));
        QCOMPARE(labels->drawnStructureMarks(), QVector<int>({ 1 }));

        // The station labels are those the road without structures shows.
        const QwtScaleMap x = view.plot.canvasMap(QwtPlot::xBottom);
        const QwtScaleMap y = view.plot.canvasMap(QwtPlot::yLeft);
        QVector<QRectF> boxes;
        for (const auto& m : labels->marks())
            boxes.append(m.box);
        QCOMPARE(labels->drawnMarks(),
                 StationLabelsCurve::layout(labels->marks(), boxes, x, y, labels->image().size()));
        QVERIFY(labels->drawnMarks().contains(0) && labels->drawnMarks().contains(3));
        QVector<QPolygonF> texts;
        for (int i : labels->drawnMarks()) {
            const auto& m = labels->marks().at(i);
            texts.append(StationLabelsCurve::placement(m, m.box, x, y).map(QPolygonF(m.box)));
        }
        for (int i : labels->drawnStructureMarks()) {
            const auto& m = labels->structureMarks().at(i);
            texts.append(StationLabelsCurve::placement(m, m.box, x, y).map(QPolygonF(m.box)));
        }
        // Text the structures' layer draws itself.
        for (const Zemko::Trelvin::Data::StructureMark& m : view.curve.structures()->objects())
            if (!m.path.isEmpty())
                texts.append(QTransform()
                                 .translate(x.transform(m.y), y.transform(m.x))
                                 .rotate(m.angle)
                                 .map(QPolygonF(m.path.controlPointRect())));
        QCOMPARE(texts.size(), labels->drawnMarks().size() + 1);
        for (int a = 0; a < texts.size(); ++a)
            for (int b = a + 1; b < texts.size(); ++b)
                QVERIFY(!texts[a].intersects(texts[b]));
        QVERIFY(view.plot.showsWhole(view.curve.fitLabels()));
    }

    // The example road's plan in the page's size in a maximised window and in others: the rectangles
    // holding the painted pixels of two drawn labels, station or structure, keep two pixels apart,
    // also where labels turned along a curve fan out from neighbouring stations.
    void exampleLabelsKeepApart()
    {
        const QString path = dir.filePath(QStringLiteral("example.rod"));
        QFile::remove(path);
        QVERIFY(QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), path));
        QVERIFY(Trelvin::instance()->openRoad(path));
        for (const QSize size :
             { QSize(677, 699), QSize(650, 700), QSize(650, 900), QSize(900, 900), QSize(1400, 880) }) {
            PlanView view;
            QVERIFY(view.attach(size));
            QThreadPool::globalInstance()->waitForDone();
            QCoreApplication::processEvents();
            const StationLabelsCurve* labels = view.curve.labels();
            QVector<Zemko::Trelvin::Data::StationMark> drawn;
            for (int i : labels->drawnMarks())
                drawn.append(labels->marks().at(i));
            for (int i : labels->drawnStructureMarks())
                drawn.append(labels->structureMarks().at(i));
            QVERIFY(drawn.size() >= 6);
            const QwtScaleMap x = view.plot.canvasMap(QwtPlot::xBottom);
            const QwtScaleMap y = view.plot.canvasMap(QwtPlot::yLeft);
            QVector<QPolygonF> painted;
            for (const auto& mark : drawn) {
                // With a pixel round it.
                const QRectF extent = paintedExtent(mark, x, y).adjusted(-1.0, -1.0, 1.0, 1.0);
                painted.append(StationLabelsCurve::placement(mark, mark.box, x, y).map(QPolygonF(extent)));
            }
            for (int a = 0; a < painted.size(); ++a)
                for (int b = a + 1; b < painted.size(); ++b)
                    QVERIFY2(!painted[a].intersects(painted[b]),
                             qPrintable(QStringLiteral("%1 x %2: %3 and %4")
                                            .arg(size.width())
                                            .arg(size.height())
                                            .arg(drawn[a].text, drawn[b].text)));
        }
    }

    // Near the flat end of a spiral, where the chords of a coarse drawing stray furthest, and on an
    // arc: the centre line and both borders within half a pixel of the road.
    void zoomedInLinesFollowTheRoad()
    {
        QVERIFY(open(corners(2, 200.0)));
        PlanView view;
        QVERIFY(view.attach(QSize(500, 400)));
        RoadPlot& plot = view.plot;
        HorizontalCurve& curve = view.curve;
        QVERIFY(curve.sampling().wholeRoad);

        const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();
        const Pelko::Road::HorizontalAlignment* alignment = road->getHorizontalAligment();
        const Pelko::Road::HorizontalElementConfiguration elements = alignment->getElements();
        const Pelko::Road::StandardSection* section = road->getStandardSection();
        const auto at = [&](double station, double offset) {
            const unsigned index = alignment->getBelongedElementIndex(station);
            const Pelko::Road::HorizontalElement e = elements.at(index);
            const Pelko::Corvex::Point p = e.getNorthEast(station - e.getBeginStation(), offset);
            return QPointF(p.getY(), p.getX());
        };

        for (const double middle : { 130.0, 300.0 }) {
            for (const double width : { 20.0, 400.0 }) {
                const QPointF centre = at(middle, 0.0);
                zoomTo(plot, curve, QRectF(centre.x() - width / 2, centre.y() - width / 2, width, width));
                const QRectF view = viewOf(plot);
                const double pixel = metresPerPixel(plot);
                // The overview is fine enough for the wider view; the narrow one needs its own query.
                const HorizontalCurve::Sampling& sampled = curve.sampling();
                QCOMPARE(sampled.wholeRoad, width > 100.0);
                QVERIFY(sampled.wholeRoad || contains(sampled.window, view));
                QVERIFY(sampled.density <= HorizontalCurve::samplingPixels * pixel * (1.0 + 1e-9));

                const QVector<QPointF> drawn[] = { samples(curve.plotCurve()), samples(curve.leftBorder()),
                                                   samples(curve.rightBorder()) };
                int checked = 0;
                double worst = 0.0;
                const double end = elements.at(elements.size() - 1).getEndStation();
                for (double t = std::max(0.0, middle - 2 * width); t <= std::min(end, middle + 2 * width);
                     t += pixel / 4) {
                    const double offsets[]
                        = { 0.0, -section->getTotalOffset(Pelko::Road::StandardSection::Left, t),
                            section->getTotalOffset(Pelko::Road::StandardSection::Right, t) };
                    for (int side = 0; side < 3; ++side) {
                        const QPointF p = at(t, offsets[side]);
                        if (!view.contains(p))
                            continue;
                        ++checked;
                        worst = std::max(worst, distanceToLine(p, drawn[side]) / pixel);
                    }
                }
                QVERIFY(checked > 100);
                QVERIFY2(worst <= 0.5, qPrintable(QStringLiteral("%1 px off at %2").arg(worst).arg(middle)));
            }
        }
    }

    // The fitted view of a long road needs about a point per element, not the thousands the finest
    // density gives; its extent is still the whole centre line, and stays so while zoomed in.
    void wholeRoadFewPointsSameExtent()
    {
        QVERIFY(open(corners(100, 500.0)));
        PlanView view;
        QVERIFY(view.attach(QSize(600, 400)));
        RoadPlot& plot = view.plot;
        HorizontalCurve& curve = view.curve;
        QVERIFY(curve.sampling().wholeRoad);
        QVERIFY(!curve.isResampling());
        const int points = int(curve.plotCurve()->dataSize());
        QVERIFY2(points < 3 * 401, qPrintable(QString::number(points)));
        QVERIFY(points > 400);

        // The finest drawing the page used to make of every view.
        const Pelko::Road::ClippedHorizontalAlignment fine = Trelvin::instance()->road()->getBorderAndAlign(
            RoadCurve::defaultTolerance, -kInf, -kInf, kInf, kInf,
            Pelko::Road::ClippedHorizontalAlignment::AllLines, 1);
        QVERIFY(fine.getCenterLinePoints().size() > 20 * size_t(points));
        const QVector<QPointF> finePoints = HorizontalCurve::toPlotLine(fine.getCenterLinePoints());
        const QwtPointSeriesData fineData(finePoints);
        const QRectF expected = RoadCurve::extentOf(&fineData);
        const QRectF extent = curve.boundingRect();
        const double pixel = metresPerPixel(plot);
        QVERIFY(std::abs(extent.left() - expected.left()) < pixel / 2);
        QVERIFY(std::abs(extent.right() - expected.right()) < pixel / 2);
        QVERIFY(std::abs(extent.top() - expected.top()) < pixel / 2);
        QVERIFY(std::abs(extent.bottom() - expected.bottom()) < pixel / 2);

        zoomTo(plot, curve, QRectF(extent.center(), QSizeF(50, 50)));
        QVERIFY(!curve.sampling().wholeRoad);
        QCOMPARE(curve.boundingRect(), extent);
        // Boundaries and labels are the whole road's at every zoom.
        QCOMPARE(curve.primaryPoints()->dataSize(), fine.getPrimaryPoints().size());
        QCOMPARE(curve.labels()->marks().size(), 402);
        curve.zoomToFit();
        QVERIFY(curve.sampling().wholeRoad);
        QCOMPARE(int(curve.plotCurve()->dataSize()), points);
    }

    // Zoom, pan and resize ask the road again once their events are handled; a pan within what was
    // sampled, or a zoom out to the whole road, does not.
    void viewChangesAskAgain()
    {
        QVERIFY(open(corners(10, 300.0)));
        PlanView view;
        QVERIFY(view.attach(QSize(500, 400)));
        RoadPlot& plot = view.plot;
        HorizontalCurve& curve = view.curve;
        const QVector<QPointF> overview = samples(curve.plotCurve());

        // Two zooms before the events run: one query, for the second.
        const QPointF middle = curve.boundingRect().center();
        plot.setScaleRect(QRectF(middle - QPointF(100, 100), QSizeF(200, 200)));
        plot.replot();
        QVERIFY(curve.isResampling());
        plot.setScaleRect(QRectF(middle - QPointF(20, 20), QSizeF(40, 40)));
        plot.replot();
        QVERIFY(curve.isResampling());
        QCOMPARE(samples(curve.plotCurve()), overview);
        QTRY_VERIFY(!curve.isResampling());
        const HorizontalCurve::Sampling zoomed = curve.sampling();
        QVERIFY(!zoomed.wholeRoad);
        QVERIFY(contains(zoomed.window, viewOf(plot)));
        QVERIFY(zoomed.window.width() < 150.0);
        QVERIFY(std::abs(zoomed.density - HorizontalCurve::samplingPixels * metresPerPixel(plot)) < 1e-9);

        // A small pan stays inside the sampled window.
        plot.setScaleRect(viewOf(plot).translated(5, 5));
        plot.replot();
        QVERIFY(!curve.isResampling());
        QCOMPARE(curve.sampling().window, zoomed.window);

        // A pan further away asks for the new place.
        zoomTo(plot, curve, viewOf(plot).translated(300, 0));
        QVERIFY(contains(curve.sampling().window, viewOf(plot)));
        QVERIFY(!contains(curve.sampling().window, zoomed.window));

        // A larger canvas has smaller pixels.
        const double before = curve.sampling().density;
        plot.resize(1000, 800);
        QTRY_VERIFY(metresPerPixel(plot) < 0.9 * before / HorizontalCurve::samplingPixels);
        QTRY_VERIFY(!curve.isResampling());
        QVERIFY(curve.sampling().density < 0.9 * before);
        QVERIFY(contains(curve.sampling().window, viewOf(plot)));

        // A rebuild while zoomed in (the section changed) keeps the detail of the view.
        const HorizontalCurve::Sampling detail = curve.sampling();
        curve.refresh();
        QVERIFY(!curve.sampling().wholeRoad);
        QCOMPARE(curve.sampling().density, detail.density);

        // Back to the whole road: the overview is shown at once.
        curve.zoomToFit();
        QVERIFY(!curve.isResampling());
        QVERIFY(curve.sampling().wholeRoad);

        // A view change pending when the road closes is dropped.
        plot.setScaleRect(QRectF(middle, QSizeF(10, 10)));
        plot.replot();
        QVERIFY(curve.isResampling());
        Trelvin::instance()->closeRoad();
        curve.detach();
        QVERIFY(!curve.isResampling());
        curve.update();
        QCOMPARE(curve.plotCurve()->dataSize(), size_t(0));
    }

    // Labels are composed from cached glyph outlines: each must look like the font's own text, and a
    // rebuild (served from the cache) must give the same outlines.
    void labelsMatchTheFontsText()
    {
        QVERIFY(open(corners(3, 250.0)));
        PlanView view;
        QVERIFY(view.attach(QSize(500, 400)));
        RoadPlot& plot = view.plot;
        HorizontalCurve& curve = view.curve;
        QFont font = plot.canvas()->font();
        font.setPointSize(12);
        const QVector<Zemko::Trelvin::Data::StationMark> marks = curve.labels()->marks();
        QCOMPARE(marks.size(), 14);
        for (const auto& mark : marks) {
            const QRectF composed = mark.path.boundingRect();
            const QRectF shaped = HorizontalCurve::labelPath(font, mark.text).boundingRect();
            QVERIFY2(std::abs(composed.left() - shaped.left()) < 1.0
                         && std::abs(composed.top() - shaped.top()) < 1.0
                         && std::abs(composed.right() - shaped.right()) < 1.5
                         && std::abs(composed.bottom() - shaped.bottom()) < 1.0,
                     qPrintable(mark.text));
            QVERIFY(mark.path.elementCount() == HorizontalCurve::labelPath(font, mark.text).elementCount());
            // The extent kept beside the outline, which the labels' layout reads, is the outline's.
            QVERIFY2(std::abs(mark.box.left() - mark.path.controlPointRect().left()) < 1e-9
                         && std::abs(mark.box.right() - mark.path.controlPointRect().right()) < 1e-9
                         && std::abs(mark.box.top() - mark.path.controlPointRect().top()) < 1e-9
                         && std::abs(mark.box.bottom() - mark.path.controlPointRect().bottom()) < 1e-9,
                     qPrintable(mark.text));
        }
        curve.refresh();
        QCOMPARE(curve.labels()->marks(), marks);
    }

    // A break in the road's line is a break on the canvas, not a join across it.
    void breaksAreNotJoined()
    {
        const std::vector<Pelko::Corvex::Point> road { { kNaN, kNaN }, { 0, 0 },  { 0, 10 },  { kNaN, kNaN },
                                                       { kNaN, kNaN }, { 10, 0 }, { 10, 10 }, { kInf, 0 } };
        const QVector<QPointF> line = HorizontalCurve::toPlotLine(road);
        QCOMPARE(line.size(), 5);
        QCOMPARE(line[0], QPointF(0, 0));
        QVERIFY(!finite(line[2]));
        QCOMPARE(line[4], QPointF(10, 10));
        QCOMPARE(HorizontalCurve::toPlotPoints(road).size(), 4);

        Zemko::Trelvin::Data::GappedCurve curve;
        curve.setPen(Qt::white, 3);
        curve.setSamples(line);
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(0);
        QwtScaleMap x, y;
        x.setScaleInterval(-1, 11);
        x.setPaintInterval(0, 100);
        y.setScaleInterval(-1, 11);
        y.setPaintInterval(100, 0);
        {
            QPainter painter(&image);
            curve.draw(&painter, x, y, QRectF(0, 0, 100, 100));
        }
        const auto painted = [&](double east, double north) {
            return qAlpha(image.pixel(int(x.transform(east)), int(y.transform(north)))) != 0;
        };
        QVERIFY(painted(5, 0));
        QVERIFY(painted(5, 10));
        // The join from (10, 0) to (0, 10) would pass here.
        QVERIFY(!painted(5, 5));
    }
};

TRELVIN_TEST_MAIN(TestPlanCurveView)
#include "test_plancurveview.moc"
