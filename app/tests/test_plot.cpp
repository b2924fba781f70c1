#include "framework/roadplot.h"

#include <qttestmain.h>

#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_div.h>

#include <QWheelEvent>

#include <cmath>

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

TRELVIN_TEST_MAIN(TestPlot)
#include "test_plot.moc"
