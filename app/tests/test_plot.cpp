#include "framework/roadplot.h"
#include "support/countingplot.h"
#include "support/recordingdevice.h"

#include <qttestmain.h>

#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_div.h>

#include <QWheelEvent>

#include <cmath>

using Zemko::Trelvin::PlotLabel;
using Zemko::Trelvin::RoadPlot;

namespace {

QwtInterval axisInterval(const QwtPlot& plot, int axis)
{
    const QwtScaleDiv& div = plot.axisScaleDiv(axis);
    return QwtInterval(div.lowerBound(), div.upperBound());
}

QSize canvasSize(const QwtPlot& plot)
{
    return plot.canvas()->contentsRect().size();
}

// The y range the rescaler derives from the x range: same centre, width scaled by the canvas's
// height over width and divided by the aspect ratio (20 draws heights twenty times higher).
void verifyFollowsX(const RoadPlot& plot, double centreY, double ratio)
{
    const QwtInterval x = axisInterval(plot, QwtPlot::xBottom);
    const QwtInterval y = axisInterval(plot, QwtPlot::yLeft);
    const QSize size = canvasSize(plot);
    const double expected = x.width() * size.height() / size.width() / ratio;
    QVERIFY2(std::abs(y.width() - expected) < 1e-9 * std::max(1.0, expected),
             qPrintable(QStringLiteral("height %1, expected %2").arg(y.width()).arg(expected)));
    QVERIFY(std::abs((y.minValue() + y.maxValue()) / 2.0 - centreY) < 1e-9 * std::max(1.0, centreY));
}

// The label's pixels on the canvas in the current view.
QRectF labelOnCanvas(const RoadPlot& plot, const PlotLabel& label)
{
    const QPointF anchor(plot.canvasMap(QwtPlot::xBottom).transform(label.anchor.x()),
                         plot.canvasMap(QwtPlot::yLeft).transform(label.anchor.y()));
    return label.pixels.translated(anchor);
}

// Whether the view shows the data with the fit's margin on every side.
bool holdsWithMargin(const RoadPlot& plot, const QRectF& data)
{
    const double mx = RoadPlot::fitMargin * data.width();
    const double my = RoadPlot::fitMargin * data.height();
    const QwtInterval x = axisInterval(plot, QwtPlot::xBottom);
    const QwtInterval y = axisInterval(plot, QwtPlot::yLeft);
    return x.minValue() <= data.left() - mx && x.maxValue() >= data.right() + mx
        && y.minValue() <= data.top() - my && y.maxValue() >= data.bottom() + my;
}

// The texts a scale item draws for the plot's current view.
QVector<DrawnText> scaleTexts(const RoadPlot& plot, const QwtPlotScaleItem* scale)
{
    RecordingDevice device(plot.canvas()->size());
    QPainter painter(&device);
    scale->draw(&painter, plot.canvasMap(QwtPlot::xBottom), plot.canvasMap(QwtPlot::yLeft),
                plot.canvas()->contentsRect());
    painter.end();
    return device.recorded().texts;
}

// Every tick label the scales draw lies whole on the canvas, clear of the other scale's backbone and
// ticks and of its labels; each scale draws at least two.
void verifyTickLabels(const RoadPlot& plot, const QString& view)
{
    const QRectF canvas = plot.canvas()->contentsRect();
    const QwtPlotScaleItem* left = plot.leftScaleItem();
    const QwtPlotScaleItem* bottom = plot.bottomScaleItem();
    const QVector<DrawnText> leftTexts = scaleTexts(plot, left);
    const QVector<DrawnText> bottomTexts = scaleTexts(plot, bottom);
    QVERIFY2(leftTexts.size() >= 2 && bottomTexts.size() >= 2, qPrintable(view));
    const double bottomTicks
        = canvas.bottom() - bottom->borderDistance() - bottom->scaleDraw()->maxTickLength();
    const double leftTicks = canvas.left() + left->borderDistance() + left->scaleDraw()->maxTickLength();
    for (const DrawnText& text : leftTexts) {
        const QString name = view + QStringLiteral(": ") + text.text;
        QVERIFY2(within(text.box, canvas), qPrintable(name));
        QVERIFY2(text.box.boundingRect().bottom() <= bottomTicks + 0.5, qPrintable(name));
        for (const DrawnText& other : bottomTexts)
            QVERIFY2(!overlap(text.box, other.box), qPrintable(name + QStringLiteral(" on ") + other.text));
    }
    for (const DrawnText& text : bottomTexts) {
        const QString name = view + QStringLiteral(": ") + text.text;
        QVERIFY2(within(text.box, canvas), qPrintable(name));
        QVERIFY2(text.box.boundingRect().left() >= leftTicks - 0.5, qPrintable(name));
    }
}

} // namespace

class TestPlot : public QObject
{
    Q_OBJECT

private slots:
    void freshPlot();
    void scaleRectFromCanvasSize();
    void scaleRectOnSquareCanvas();
    void aspectRatio();
    void halfNotchWheelZoomsFinitely();
    void fitHoldsDataAndLabels();
    void fitFollowsResizeUntilMoved();
    void fitWithExaggeratedHeights();
    void tickLabelsShowWhole_data();
    void tickLabelsShowWhole();
};

void TestPlot::freshPlot()
{
    RoadPlot plot;
    plot.resize(420, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.setScaleRect(QRectF(0, 25, 100, 50));
    plot.replot();

    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).minValue(), 0.0);
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).maxValue(), 100.0);
    verifyFollowsX(plot, 50.0, 1.0);
    QVERIFY(!plot.axisEnabled(QwtPlot::xBottom));
    QVERIFY(!plot.axisEnabled(QwtPlot::yLeft));

    QCOMPARE(plot.canvas()->palette().color(QPalette::Window), QColor(Qt::black));
    const QwtPlotItemList grids = plot.itemList(QwtPlotItem::Rtti_PlotGrid);
    QCOMPARE(grids.size(), 1);
    const auto* grid = static_cast<const QwtPlotGrid*>(grids.first());
    QCOMPARE(grid->majorPen().color(), QColor(Qt::gray));
    QCOMPARE(grid->majorPen().style(), Qt::DotLine);

    QCOMPARE(plot.leftScaleItem()->palette().color(QPalette::Text), QColor(Qt::gray));
    QCOMPARE(plot.bottomScaleItem()->scaleDraw()->label(50.0).text(), QStringLiteral("50.000"));
    QCOMPARE(plot.bottomScaleItem()->scaleDraw()->label(-12.3456).text(), QStringLiteral("-12.346"));
    // The scales drawn inside the canvas follow the axes (to within their distance to the border).
    plot.setScaleRect(QRectF(500, 25, 100, 50));
    plot.replot();
    const QwtScaleDiv bottom = plot.bottomScaleItem()->scaleDiv();
    QVERIFY(std::abs(bottom.lowerBound() - 500.0) < 2.0);
    QVERIFY(std::abs(bottom.upperBound() - 600.0) < 2.0);
}

void TestPlot::scaleRectFromCanvasSize()
{
    RoadPlot plot;
    plot.resize(500, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));

    plot.setScaleRect(QRectF(1000, 2248, 10, 4));
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).minValue(), 1000.0);
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).maxValue(), 1010.0);
    verifyFollowsX(plot, 2250.0, 1.0);

    // A resize keeps the x range and re-derives y.
    plot.resize(300, 500);
    QTRY_VERIFY(canvasSize(plot).height() > canvasSize(plot).width());
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).width(), 10.0);
    verifyFollowsX(plot, 2250.0, 1.0);

    // A rectangle that is not a number changes nothing.
    const qreal nan = std::nan("");
    plot.setScaleRect(QRectF(nan, 0, 10, 10));
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).minValue(), 1000.0);
}

void TestPlot::scaleRectOnSquareCanvas()
{
    RoadPlot plot;
    plot.resize(400, 400);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    // Make the canvas itself square, whatever margins the layout keeps.
    const QSize size = canvasSize(plot);
    plot.resize(plot.width() - (size.width() - size.height()), plot.height());
    QTRY_COMPARE(canvasSize(plot).width(), canvasSize(plot).height());

    // A wide rectangle keeps its x range; y follows it about the centre.
    plot.setScaleRect(QRectF(1000, 2000, 500, 10));
    QwtInterval y = axisInterval(plot, QwtPlot::yLeft);
    QVERIFY(std::abs(y.minValue() - 1755.0) < 1e-9);
    QVERIFY(std::abs(y.maxValue() - 2255.0) < 1e-9);

    // A tall one is shown whole: x widens about its centre instead of cutting y.
    plot.setScaleRect(QRectF(1000, 2000, 10, 500));
    y = axisInterval(plot, QwtPlot::yLeft);
    const QwtInterval x = axisInterval(plot, QwtPlot::xBottom);
    QVERIFY(y.minValue() <= 2000.0 + 1e-6 && y.maxValue() >= 2500.0 - 1e-6);
    QVERIFY(std::abs(x.width() - 500.0) < 1e-6);
    QVERIFY(std::abs(0.5 * (x.minValue() + x.maxValue()) - 1005.0) < 1e-6);
}

void TestPlot::aspectRatio()
{
    RoadPlot plot;
    plot.resize(500, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));

    plot.setScaleRect(QRectF(0, 90, 1000, 20));
    plot.setAspectRatio(20.0);
    QCOMPARE(plot.aspectRatio(), 20.0);
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).width(), 1000.0);
    verifyFollowsX(plot, 100.0, 20.0);

    plot.setAspectRatio(std::nan(""));
    plot.setAspectRatio(-1.0);
    QCOMPARE(plot.aspectRatio(), 20.0);
}

void TestPlot::halfNotchWheelZoomsFinitely()
{
    RoadPlot plot;
    plot.resize(400, 400);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.setScaleRect(QRectF(0, 0, 100, 100));
    plot.replot();
    const QwtInterval rightBefore = axisInterval(plot, QwtPlot::yRight);

    const auto wheel = [&plot](int delta) {
        const QPointF centre = plot.canvas()->rect().center();
        QWheelEvent event(centre, plot.canvas()->mapToGlobal(centre.toPoint()), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(plot.canvas(), &event);
    };

    // Half a notch (touchpads, high-resolution wheels) zooms by the square root of a notch's factor.
    const double before = axisInterval(plot, QwtPlot::xBottom).width();
    wheel(-60);
    const QwtInterval x = axisInterval(plot, QwtPlot::xBottom);
    QVERIFY(std::isfinite(x.minValue()) && std::isfinite(x.maxValue()));
    QVERIFY(std::abs(x.width() - before * std::sqrt(0.9)) < 1e-9);
    const QwtInterval y = axisInterval(plot, QwtPlot::yLeft);
    QVERIFY(std::isfinite(y.minValue()) && std::isfinite(y.maxValue()));

    // A whole notch the other way zooms out by one notch.
    wheel(120);
    QVERIFY(std::abs(axisInterval(plot, QwtPlot::xBottom).width() - before * std::sqrt(0.9) / 0.9) < 1e-9);

    // The right axis carries no scale and is never zoomed.
    QCOMPARE(axisInterval(plot, QwtPlot::yRight).minValue(), rightBefore.minValue());
    QCOMPARE(axisInterval(plot, QwtPlot::yRight).maxValue(), rightBefore.maxValue());
}

void TestPlot::fitHoldsDataAndLabels()
{
    RoadPlot plot;
    plot.resize(500, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const QRect canvas = plot.canvas()->contentsRect();

    // A wide road whose end labels reach out past its ends: the last one far to the right, the
    // first one down and to the left.
    const QRectF road(1000, 2000, 400, 100);
    const QVector<PlotLabel> labels { { QPointF(1000, 2000), QRectF(-100, 0, 90, 20) },
                                      { QPointF(1200, 2050), QRectF(4, -8, 60, 16) },
                                      { QPointF(1400, 2100), QRectF(4, -8, 120, 16) } };
    plot.fitTo(road, labels);
    QVERIFY(holdsWithMargin(plot, road));
    QVERIFY(plot.showsWhole(labels));
    // Clear of the left scale's texts and no wider than needed: the last label ends within a few
    // pixels of the canvas's right edge, and the first begins as far from the scale.
    const QRectF last = labelOnCanvas(plot, labels[2]);
    const QRectF first = labelOnCanvas(plot, labels[0]);
    const double mapRight = plot.canvasMap(QwtPlot::xBottom).p2();
    QVERIFY2(mapRight - last.right() < 3.0, qPrintable(QString::number(mapRight - last.right())));
    QVERIFY(first.left() >= leftScaleExtent(plot));
    QVERIFY(std::abs((first.left() - leftScaleExtent(plot)) - (mapRight - last.right())) < 4.0);
    verifyFollowsX(
        plot,
        0.5 * (axisInterval(plot, QwtPlot::yLeft).minValue() + axisInterval(plot, QwtPlot::yLeft).maxValue()),
        1.0);

    // A tall one with a label above its top.
    const QRectF tall(0, 0, 10, 1000);
    const QVector<PlotLabel> above { { QPointF(5, 1000), QRectF(-20, -70, 40, 60) },
                                     { QPointF(8, 990), QRectF(0, -75, 0, 75) } };
    plot.fitTo(tall, above);
    QVERIFY(holdsWithMargin(plot, tall));
    QVERIFY(plot.showsWhole(above));
    // The line above the second point reaches highest.
    QVERIFY(labelOnCanvas(plot, above[1]).top() - plot.canvasMap(QwtPlot::yLeft).p2() < 3.0);
    // The bottom scale's texts stay below the data.
    const QwtPlotScaleItem* scale = plot.bottomScaleItem();
    const double bottomScale = scale->borderDistance() + scale->scaleDraw()->extent(scale->font());
    QVERIFY(plot.canvasMap(QwtPlot::yLeft).transform(-RoadPlot::fitMargin * tall.height())
            <= canvas.bottom() - bottomScale + 1.0);

    // Without labels the margin alone; labels wider than the canvas are left out, and labels that
    // are not numbers are ignored.
    plot.fitTo(road);
    QVERIFY(holdsWithMargin(plot, road));
    QVERIFY(fittedAcross(plot, road.left(), road.right()));
    const QVector<PlotLabel> huge { { QPointF(1000, 2000), QRectF(0, 0, 5000, 10) },
                                    { QPointF(std::nan(""), 0), QRectF(0, 0, 10, 10) } };
    plot.fitTo(road, huge);
    QVERIFY(fittedAcross(plot, road.left(), road.right()));

    // A plain scale rectangle stays exact.
    plot.setScaleRect(QRectF(1000, 2248, 10, 4));
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).minValue(), 1000.0);
}

void TestPlot::fitFollowsResizeUntilMoved()
{
    RoadPlot plot;
    plot.resize(600, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const QRectF road(0, 0, 1000, 200);
    const QVector<PlotLabel> labels { { QPointF(1000, 100), QRectF(4, -8, 120, 16) } };
    plot.fitTo(road, labels);
    QVERIFY(plot.showsWhole(labels));

    // Narrower: the label's pixels take a larger share, and the fit follows.
    plot.resize(360, 300);
    QTRY_VERIFY(plot.canvas()->contentsRect().width() < 360);
    QVERIFY(plot.showsWhole(labels));
    QVERIFY(holdsWithMargin(plot, road));

    // Once the user moved the view, a resize keeps it.
    plot.setAxisScale(QwtPlot::xBottom, 400, 500);
    plot.replot();
    plot.resize(500, 300);
    QTRY_VERIFY(plot.canvas()->contentsRect().width() > 400);
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).minValue(), 400.0);
    QCOMPARE(axisInterval(plot, QwtPlot::xBottom).maxValue(), 500.0);
}

void TestPlot::fitWithExaggeratedHeights()
{
    RoadPlot plot;
    plot.resize(500, 300);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    // A profile: 5 km long, heights drawn twenty times higher, labels standing above its vertical
    // PIs.
    const QRectF profile(0, 150, 5000, 30);
    const QVector<PlotLabel> labels { { QPointF(0, 150), QRectF(-8, -110, 16, 100) },
                                      { QPointF(2500, 180), QRectF(-8, -110, 16, 100) },
                                      { QPointF(5000, 170), QRectF(-8, -110, 16, 100) } };
    plot.fitTo(profile, labels);
    QVERIFY(plot.showsWhole(labels));
    plot.setAspectRatio(20.0);
    QVERIFY(plot.showsWhole(labels));
    QVERIFY(holdsWithMargin(plot, profile));
    verifyFollowsX(
        plot,
        0.5 * (axisInterval(plot, QwtPlot::yLeft).minValue() + axisInterval(plot, QwtPlot::yLeft).maxValue()),
        20.0);
}

void TestPlot::tickLabelsShowWhole_data()
{
    QTest::addColumn<QRectF>("data");
    QTest::addColumn<double>("ratio");
    // A short road's plan (its last tick near the canvas's right edge when maximised), a profile with
    // heights drawn twenty times higher, and a cross section.
    QTest::newRow("plan") << QRectF(5000, 3000, 470, 195) << 1.0;
    QTest::newRow("profile") << QRectF(0, 140, 5204, 40) << 20.0;
    QTest::newRow("section") << QRectF(-8.2, 146.2, 26.2, 10.3) << 1.0;
}

// Fitted at several sizes and panned by small steps, so that ticks come to lie at every distance from
// the canvas's edges: no tick label is cut by an edge or drawn over the other scale.
void TestPlot::tickLabelsShowWhole()
{
    QFETCH(QRectF, data);
    QFETCH(double, ratio);
    for (const QSize size : { QSize(686, 707), QSize(1400, 880), QSize(500, 400), QSize(900, 300) }) {
        RoadPlot plot;
        plot.resize(size);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.setAspectRatio(ratio);
        plot.fitTo(data);
        plot.replot();
        const QString fitted = QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
        verifyTickLabels(plot, fitted);
        if (QTest::currentTestFailed())
            return;
        const QwtInterval x = axisInterval(plot, QwtPlot::xBottom);
        const QwtInterval y = axisInterval(plot, QwtPlot::yLeft);
        for (int step = 1; step < 12; ++step) {
            const double shift = step / 24.0;
            plot.setScaleRect(QRectF(x.minValue() + shift * x.width(), y.minValue() + shift * y.width(),
                                     x.width(), y.width()));
            plot.replot();
            verifyTickLabels(plot, fitted + QStringLiteral(" moved %1").arg(step));
            if (QTest::currentTestFailed())
                return;
        }
    }
}

TRELVIN_TEST_MAIN(TestPlot)
#include "test_plot.moc"
