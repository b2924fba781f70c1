#include "framework/roadplot.h"
#include "framework/stationlabelscurve.h"
#include "support/countingplot.h"

#include <qttestmain.h>

#include <QPainter>
#include <QSemaphore>
#include <QThreadPool>

#include <atomic>
#include <cmath>
#include <memory>

using namespace Zemko::Trelvin;
using namespace Zemko::Trelvin::Data;

namespace {

StationMark mark(double north, double east, double angle = 0.0)
{
    StationMark m;
    m.text = QStringLiteral("K0+%1").arg(east);
    m.path.addRect(0, 0, 12, 6);
    m.x = north;
    m.y = east;
    m.angle = angle;
    return m;
}

// The labels as one image, each drawn straight onto a canvas-sized image on the calling thread for
// the plot's current view: what the labels' own small images must add up to. Draws the marks listed
// in drawn, or all of them.
QImage expectedImage(const QVector<StationMark>& marks, const QwtPlot& plot, QVector<int> drawn = {})
{
    if (drawn.isEmpty())
        for (int i = 0; i < marks.size(); ++i)
            drawn.append(i);
    const QwtScaleMap x = plot.canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = plot.canvasMap(QwtPlot::yLeft);
    QImage result(QSize(int(x.pDist()), int(y.pDist())), QImage::Format_ARGB32_Premultiplied);
    result.fill(0);
    QPainter painter(&result);
    painter.setPen(QPen(Qt::yellow, 1));
    for (int i : drawn) {
        const StationMark& m = marks.at(i);
        if (!std::isfinite(m.x) || !std::isfinite(m.y))
            continue;
        painter.setTransform(StationLabelsCurve::placement(m, m.path.controlPointRect(), x, y));
        painter.drawPath(m.path);
    }
    return result;
}

// The label's box on the canvas, as the layout sees it.
QPolygonF onCanvas(const StationMark& m, const QwtPlot& plot)
{
    const QRectF box = m.path.controlPointRect();
    return StationLabelsCurve::placement(m, box, plot.canvasMap(QwtPlot::xBottom),
                                         plot.canvasMap(QwtPlot::yLeft))
        .map(QPolygonF(box));
}

// Finishes every render that was started and hands over what they produced.
void settle()
{
    QThreadPool::globalInstance()->waitForDone();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Holds every thread of the global pool until released, so that a render stays queued.
class PoolGate
{
public:
    PoolGate()
        : threads(QThreadPool::globalInstance()->maxThreadCount())
    {
        for (int i = 0; i < threads; ++i)
            QThreadPool::globalInstance()->start([this] {
                ++waiting;
                gate.acquire();
            });
        while (waiting.load() < threads)
            QThread::msleep(1);
    }
    ~PoolGate() { release(); }
    void release()
    {
        gate.release(threads - released);
        released = threads;
    }

private:
    QSemaphore gate;
    std::atomic<int> waiting { 0 };
    int threads = 0;
    int released = 0;
};

QStringList* warnings = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtDebugMsg && type != QtInfoMsg && warnings)
        warnings->append(message);
}

} // namespace

class TestStationLabels : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rendersAndCaches();
    void marksReplaced();
    void noMarks();
    void labelsOffCanvas();
    void labelsCutByCanvasEdges();
    void emptyCanvasRendersNothing();
    void detachedMarksRenderOnAttach();
    void zoomInterruptsRender();
    void destroyedDuringRender();
    void plotDestroyedDuringRender();
    void labelsReadUpright();
    void crowdedLabelsThinnedOut();
    void structureLabelsGiveWay();

private:
    std::unique_ptr<CountingPlot> plot;
};

void TestStationLabels::init()
{
    plot = std::make_unique<CountingPlot>();
    plot->resize(320, 240);
    plot->show();
    QVERIFY(QTest::qWaitForWindowExposed(plot.get()));
    plot->setScaleRect(QRectF(0, 0, 100, 100));
    plot->replot();
}

void TestStationLabels::cleanup()
{
    plot.reset();
    settle();
}

void TestStationLabels::rendersAndCaches()
{
    StationLabelsCurve labels(1);
    labels.attach(plot.get());
    const QVector<StationMark> marks { mark(20, 10), mark(50, 50, 30.0), mark(70, 80, -90.0) };
    const int replots = plot->replots;
    labels.setMarks(marks);
    QVERIFY(labels.isRendering());
    settle();
    QVERIFY(!labels.isRendering());
    // The finished render replots once to show its image.
    QCOMPARE(plot->replots, replots + 1);
    QCOMPARE(labels.image(), expectedImage(marks, *plot));
    // The image spans the canvas maps' paint extents.
    QCOMPARE(
        labels.image().size(),
        QSize(int(plot->canvasMap(QwtPlot::xBottom).pDist()), int(plot->canvasMap(QwtPlot::yLeft).pDist())));

    // A replot of the same view reuses the image.
    const qint64 key = labels.image().cacheKey();
    plot->replot();
    QVERIFY(!labels.isRendering());
    settle();
    QCOMPARE(labels.image().cacheKey(), key);
    QCOMPARE(plot->replots, replots + 2);

    // The paint draws the image on the canvas: the outline of the first label.
    const QImage canvas = plot->canvas()->grab().toImage();
    const QPoint anchor(int(plot->canvasMap(QwtPlot::xBottom).transform(10)),
                        int(plot->canvasMap(QwtPlot::yLeft).transform(20)));
    int yellow = 0;
    for (int x = -1; x <= 13; ++x)
        for (int y = -1; y <= 7; ++y)
            yellow += QColor(canvas.pixel(anchor + QPoint(x, y))) == QColor(Qt::yellow);
    QVERIFY(yellow > 20);

    // Same marks again: nothing to do.
    labels.setMarks(marks);
    QVERIFY(!labels.isRendering());
}

void TestStationLabels::marksReplaced()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    labels.setMarks({ mark(20, 10) });
    settle();
    const QImage first = labels.image();

    const QVector<StationMark> moved { mark(60, 60) };
    labels.setMarks(moved);
    QVERIFY(labels.isRendering());
    settle();
    QVERIFY(labels.image() != first);
    QCOMPARE(labels.image(), expectedImage(moved, *plot));
}

void TestStationLabels::noMarks()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    labels.setMarks({ mark(20, 10) });
    settle();
    QVERIFY(!labels.image().isNull());

    labels.setMarks({});
    QVERIFY(!labels.isRendering());
    settle();
    QVERIFY(labels.image().isNull());
    QImage canvas(plot->canvas()->size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(0);
    QPainter painter(&canvas);
    labels.drawSeries(&painter, plot->canvasMap(QwtPlot::xBottom), plot->canvasMap(QwtPlot::yLeft),
                      QRectF(canvas.rect()), 0, -1);
    painter.end();
    QCOMPARE(canvas.pixel(0, 0), 0u);
}

void TestStationLabels::labelsOffCanvas()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    const double nan = std::nan("");
    labels.setMarks({ mark(1e12, -1e12), mark(nan, 10), mark(50, 50, nan), mark(500, 500) });
    settle();
    // Only the mark at (50, 50) shows, level.
    QCOMPARE(labels.image(), expectedImage({ mark(50, 50) }, *plot));
}

void TestStationLabels::labelsCutByCanvasEdges()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    QVector<StationMark> marks;
    // Longer outlines, turned every way, on and just past each edge and corner.
    for (double north : { -3.0, 0.0, 50.0, 100.0, 103.0 })
        for (double east : { -3.0, 0.0, 50.0, 100.0, 103.0 })
            for (double angle : { 0.0, 37.0, 90.0, 180.0, -135.0 }) {
                StationMark m = mark(north, east, angle);
                m.path = QPainterPath();
                m.path.addText(QPointF(8, 4), QFont(), QStringLiteral("K12+345.678"));
                marks.append(m);
            }
    labels.setMarks(marks);
    settle();
    QCOMPARE(labels.image(), expectedImage(marks, *plot, labels.drawnMarks()));

    // Each label gets an image of its own size; one off the canvas gets none.
    const QwtScaleMap x = plot->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = plot->canvasMap(QwtPlot::yLeft);
    const StationLabelsCurve::Render render { x, y, QSize(int(x.pDist()), int(y.pDist())) };
    const StationLabelsCurve::Label inside = render(mark(50, 50));
    QVERIFY(!inside.image.isNull());
    QVERIFY(inside.image.width() < 20 && inside.image.height() < 20);
    QVERIFY(QRect(inside.offset, inside.image.size()).contains(int(x.transform(50)), int(y.transform(50))));
    QCOMPARE(inside.canvas, render.size);
    QVERIFY(render(mark(50, 200)).image.isNull());
    QVERIFY(render(mark(-100, 50, 45.0)).image.isNull());
}

void TestStationLabels::emptyCanvasRendersNothing()
{
    QStringList messages;
    warnings = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);

    RoadPlot hidden;
    // Collapsed to its frame.
    hidden.canvas()->setGeometry(0, 0, 2, 50);
    StationLabelsCurve labels;
    labels.attach(&hidden);
    labels.setMarks({ mark(20, 10), mark(40, 30) });
    QVERIFY(!labels.isRendering());
    settle();
    QVERIFY(labels.image().isNull());

    // Rendering a mark for an empty canvas gives nothing, and merges nothing.
    const StationLabelsCurve::Render render { hidden.canvasMap(QwtPlot::xBottom),
                                              hidden.canvasMap(QwtPlot::yLeft), QSize(0, 47) };
    QVERIFY(render(mark(20, 10)).image.isNull());

    qInstallMessageHandler(previous);
    warnings = nullptr;
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join('\n')));
}

void TestStationLabels::detachedMarksRenderOnAttach()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    labels.setMarks({ mark(20, 10) });
    settle();

    // New marks while detached must not leave the old image for an unchanged view.
    labels.detach();
    const QVector<StationMark> moved { mark(70, 70) };
    labels.setMarks(moved);
    labels.attach(plot.get());
    plot->replot();
    settle();
    QCOMPARE(labels.image(), expectedImage(moved, *plot));
}

void TestStationLabels::zoomInterruptsRender()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    QVector<StationMark> marks;
    for (int i = 0; i < 40; ++i)
        marks.append(mark(2.0 * i, 2.5 * i, i * 9.0));

    PoolGate gate;
    labels.setMarks(marks);
    QVERIFY(labels.isRendering());
    // Zoom while the render waits for a thread.
    plot->setScaleRect(QRectF(20, 20, 50, 50));
    plot->replot();
    QVERIFY(labels.isRendering());
    const int replots = plot->replots;
    gate.release();
    settle();

    QVERIFY(!labels.isRendering());
    // Only the last view's render reaches the image, and it replots once.
    QCOMPARE(plot->replots, replots + 1);
    QCOMPARE(labels.image(), expectedImage(marks, *plot, labels.drawnMarks()));
}

void TestStationLabels::destroyedDuringRender()
{
    QVector<StationMark> marks;
    for (int i = 0; i < 20; ++i)
        marks.append(mark(5.0 * i, 5.0 * i));
    {
        PoolGate gate;
        const int items = plot->itemList().size();
        auto labels = std::make_unique<StationLabelsCurve>();
        labels->attach(plot.get());
        labels->setMarks(marks);
        QVERIFY(labels->isRendering());
        const int replots = plot->replots;
        labels.reset();
        QCOMPARE(plot->itemList().size(), items);
        gate.release();
        settle();
        QCOMPARE(plot->replots, replots);
    }
    // A render that is running (not just queued) when the item goes.
    auto labels = std::make_unique<StationLabelsCurve>();
    labels->attach(plot.get());
    labels->setMarks(marks + marks + marks);
    labels.reset();
    settle();
}

void TestStationLabels::plotDestroyedDuringRender()
{
    PoolGate gate;
    // The plot deletes the items attached to it.
    auto* labels = new StationLabelsCurve;
    labels->attach(plot.get());
    labels->setMarks({ mark(20, 10), mark(40, 30) });
    QVERIFY(labels->isRendering());
    plot.reset();
    gate.release();
    settle();
}

void TestStationLabels::labelsReadUpright()
{
    const QwtScaleMap x = plot->canvasMap(QwtPlot::xBottom);
    const QwtScaleMap y = plot->canvasMap(QwtPlot::yLeft);
    QVector<double> angles { 90.0, -90.0, 270.0, -270.0, 180.0, -180.0, 90.5, 269.5 };
    for (double a = -540.0; a <= 540.0; a += 7.5)
        angles.append(a);
    for (double angle : angles) {
        const StationMark m = mark(50, 50, angle);
        const QRectF box = m.path.controlPointRect();
        const QTransform place = StationLabelsCurve::placement(m, box, x, y);
        const QString name = QString::number(angle);
        // The text runs left to right (or straight up or down), never mirrored.
        const QLineF baseline = place.map(QLineF(0, 0, 1, 0));
        QVERIFY2(baseline.dx() > -1e-9, qPrintable(name));
        QVERIFY2(place.determinant() > 0.0, qPrintable(name));
        // Turned or not, it covers the place the road's angle gives it (to within half a pixel).
        const QTransform along = QTransform().rotate(angle)
            * QTransform::fromTranslate(int(x.transform(50)), int(y.transform(50)));
        const QRectF expected = along.mapRect(box);
        const QRectF shown = place.mapRect(box);
        QVERIFY2(std::abs(expected.left() - shown.left()) <= 0.5
                     && std::abs(expected.top() - shown.top()) <= 0.5
                     && std::abs(expected.width() - shown.width()) < 1e-6
                     && std::abs(expected.height() - shown.height()) < 1e-6,
                 qPrintable(name));
        QCOMPARE(StationLabelsCurve::upsideDown(angle), std::cos(angle * M_PI / 180.0) < -1e-6);
    }

    // A road heading south: the render draws the turned label.
    StationLabelsCurve labels;
    labels.attach(plot.get());
    const QVector<StationMark> south { mark(50, 50, 180.0), mark(20, 20, 200.0) };
    labels.setMarks(south);
    settle();
    QCOMPARE(labels.drawnMarks(), QVector<int>({ 0, 1 }));
    QCOMPARE(labels.image(), expectedImage(south, *plot));
}

void TestStationLabels::crowdedLabelsThinnedOut()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    // A curve's element ends a fraction of a label apart, a label well away, and the road's last
    // station right beside its first.
    QVector<StationMark> marks { mark(50, 10) };
    for (int i = 1; i <= 5; ++i)
        marks.append(mark(50, 10 + 0.2 * i));
    marks.append(mark(50, 60));
    marks.append(mark(51, 10.5));
    labels.setMarks(marks);
    settle();

    const auto overlapping = [&](const QVector<int>& drawn) {
        for (int a = 0; a < drawn.size(); ++a)
            for (int b = a + 1; b < drawn.size(); ++b) {
                const bool ends = drawn[a] == 0 && drawn[b] == marks.size() - 1;
                if (!ends && onCanvas(marks[drawn[a]], *plot).intersects(onCanvas(marks[drawn[b]], *plot)))
                    return true;
            }
        return false;
    };
    // The first and last are drawn even though they overlap; the crowd behind the first is left out.
    QCOMPARE(labels.drawnMarks(), QVector<int>({ 0, 6, 7 }));
    QVERIFY(!overlapping(labels.drawnMarks()));
    QCOMPARE(labels.image(), expectedImage(marks, *plot, labels.drawnMarks()));

    // Zoomed in, the crowd spreads out and every label that now fits is drawn.
    plot->setScaleRect(QRectF(9.5, 49, 2.5, 2));
    plot->replot();
    settle();
    const QVector<int> zoomed = labels.drawnMarks();
    QCOMPARE(zoomed, QVector<int>({ 0, 1, 2, 3, 4, 5, 7 }));
    QVERIFY(!overlapping(zoomed));
    QCOMPARE(labels.image(), expectedImage(marks, *plot, zoomed));
}

// Structure labels share the layout with the station labels and give way to them: a station label is
// drawn whatever the structures, a structure label only where it overlaps no label laid out before it.
void TestStationLabels::structureLabelsGiveWay()
{
    StationLabelsCurve labels;
    labels.attach(plot.get());
    const QVector<StationMark> stations { mark(20, 10), mark(50, 50), mark(80, 90) };
    // On the second station's label, clear of everything, on the one before; then one after the
    // last station, which stays the last label drawn.
    const QVector<StationMark> structures { mark(50, 51), mark(20, 60), mark(21, 61), mark(80, 91) };
    labels.setMarks(stations, structures);
    settle();
    QCOMPARE(labels.drawnMarks(), QVector<int>({ 0, 1, 2 }));
    QCOMPARE(labels.drawnStructureMarks(), QVector<int>({ 1 }));
    QCOMPARE(labels.structureMarks().size(), 4);
    QVERIFY(labels.structureMarks().at(1).structure);

    // Drawn in green beside the yellow station labels, and nothing of the dropped ones.
    const QImage expected = expectedImage(stations, *plot);
    const QImage image = labels.image();
    int green = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            const bool isGreen = qGreen(pixel) > 0 && qRed(pixel) == 0;
            green += isGreen;
            // A yellow pixel belongs to a station label.
            if (!isGreen)
                QVERIFY(qAlpha(expected.pixel(x, y)) > 0);
        }
    QVERIFY(green > 20);
    const QPolygonF box = onCanvas(labels.structureMarks().at(1), *plot);
    for (const StationMark& station : stations)
        QVERIFY(!box.intersects(onCanvas(station, *plot)));

    // Without structures the station labels are laid out as before.
    labels.setMarks(stations);
    settle();
    QCOMPARE(labels.drawnMarks(), QVector<int>({ 0, 1, 2 }));
    QVERIFY(labels.drawnStructureMarks().isEmpty());
    QCOMPARE(labels.image(), expectedImage(stations, *plot));
}

TRELVIN_TEST_MAIN(TestStationLabels)
#include "test_stationlabels.moc"
