#include "document/trelvin.h"
#include "framework/editmodewidget.h"
#include "framework/roadcurve.h"
#include "framework/roadplot.h"
#include "support/countingplot.h"
#include "support/roadfiles.h"

#include <road/horizontalalignment.h>
#include <road/pointofintersection.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>

#include <qttestmain.h>

#include <qwt_scale_div.h>

#include <QLayout>
#include <QSplitter>
#include <QTemporaryDir>

using Zemko::Trelvin::RoadPlot;
using Zemko::Trelvin::Trelvin;
using Zemko::Trelvin::Data::RoadCurve;

namespace {

// The PI polygon of the open road, in plan axes (east, north).
class PiCurve : public RoadCurve
{
public:
    PiCurve()
        : RoadCurve("PI", QwtPlotCurve::Lines, Qt::green, Qt::SolidLine)
    {
    }

    void rebuild(double) override
    {
        ++rebuilds;
        QVector<QPointF> points;
        if (const Pelko::Road::RoadSurface* road = Trelvin::instance()->road()) {
            const auto pis = road->getHorizontalAligment()->getPointOfIntersections();
            for (unsigned i = 0; i < pis.size(); ++i) {
                const Pelko::Corvex::Point p = pis.at(i).getPointOfIntersection();
                points.append(QPointF(p.getY(), p.getX()));
            }
        }
        setSamples(points);
    }

    int rebuilds = 0;
};

// Counts the replots of the plot it is attached to: every replot brings the scales to the items
// that want them.
class ReplotProbe : public QwtPlotItem
{
public:
    ReplotProbe() { setItemInterest(QwtPlotItem::ScaleInterest, true); }
    void updateScaleDiv(const QwtScaleDiv&, const QwtScaleDiv&) override { ++replots; }
    void draw(QPainter*, const QwtScaleMap&, const QwtScaleMap&, const QRectF&) const override { }
    int replots = 0;
};

class PlotPage : public EditModeWidget
{
public:
    explicit PlotPage(QWidget* parent = nullptr)
        : EditModeWidget(QStringLiteral("Horizontal Alignment"), parent)
        , editor(new QWidget)
    {
        setEditWidget(editor);
        setCurve(&pageCurve);
        probe.attach(plot());
    }
    ~PlotPage() override { probe.detach(); }

    QWidget* editor;
    PiCurve pageCurve;
    ReplotProbe probe;
};

class TablePage : public SimpleEditWidget
{
public:
    TablePage()
        : SimpleEditWidget(QStringLiteral("Stations Equation"), nullptr)
    {
    }
    void updateData(DataType::Categories categories) override { updates.append(categories); }
    void onRoadOpen() override { ++opens; }
    void onRoadAboutToClose() override
    {
        ++closes;
        roadWhileClosing = Trelvin::instance()->road() != nullptr;
    }

    QList<DataType::Categories> updates;
    int opens = 0;
    int closes = 0;
    bool roadWhileClosing = false;
};

QByteArray pis(const QList<QPointF>& northEast)
{
    QByteArray part = "    <HorizontalAlignment>\n        <type>1</type>\n";
    for (const QPointF& p : northEast)
        part += "        <element>\n            <type>0</type>\n            <x>" + QByteArray::number(p.x())
            + "</x>\n            <y>" + QByteArray::number(p.y()) + "</y>\n        </element>\n";
    return part + "    </HorizontalAlignment>\n";
}

QwtInterval xRange(const QwtPlot& plot)
{
    const QwtScaleDiv& div = plot.axisScaleDiv(QwtPlot::xBottom);
    return QwtInterval(div.lowerBound(), div.upperBound());
}

} // namespace

class TestEditPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void splitterHoldsEditorAndPlot();
    void simplePageFollowsDocument();
    void curveFollowsRoad();
    void updateDataRebuildsAndReplots();
    void hiddenPageDrawsWhenShown();
    void aspectRatio();

private:
    QString roadA;
    QString roadB;
    QTemporaryDir dir;
};

void TestEditPages::initTestCase()
{
    QVERIFY(dir.isValid());
    roadA = dir.filePath("a.rod");
    roadB = dir.filePath("b.rod");
    // A: east 2000 to 2600, north 1000 to 1300. B: a straight north-south line at east 500.
    QVERIFY(
        RoadFiles::write(roadA, RoadFiles::road(pis({ { 1000, 2000 }, { 1300, 2300 }, { 1100, 2600 } }))));
    QVERIFY(RoadFiles::write(roadB, RoadFiles::road(pis({ { 0, 500 }, { 800, 500 } }))));
}

void TestEditPages::cleanup()
{
    Trelvin::instance()->closeRoad();
}

void TestEditPages::splitterHoldsEditorAndPlot()
{
    PlotPage page;
    QCOMPARE(page.windowTitle(), QStringLiteral("Horizontal Alignment"));
    QCOMPARE(page.splitter()->count(), 2);
    QCOMPARE(page.splitter()->widget(0), page.editor);
    QCOMPARE(page.splitter()->widget(1), static_cast<QWidget*>(page.plot()));
    QCOMPARE(page.splitter()->orientation(), Qt::Horizontal);
    QCOMPARE(page.editor->sizePolicy().horizontalStretch(), 1);
    QCOMPARE(page.plot()->sizePolicy().horizontalStretch(), 3);
    QCOMPARE(page.layout()->count(), 1);
    QCOMPARE(page.curve(), &page.pageCurve);
    QVERIFY(!page.pageCurve.plot());
    QCOMPARE(QString(page.metaObject()->className()), QStringLiteral("EditModeWidget"));
}

void TestEditPages::simplePageFollowsDocument()
{
    TablePage page;
    QCOMPARE(page.windowTitle(), QStringLiteral("Stations Equation"));
    QVERIFY(Trelvin::instance()->openRoad(roadA));
    QCOMPARE(page.opens, 1);
    Trelvin::instance()->closeRoad();
    QCOMPARE(page.closes, 1);
    QVERIFY(page.roadWhileClosing);

    // The slots dispatch virtually through the meta-object too, as the main window calls them.
    QVERIFY(QMetaObject::invokeMethod(&page, "updateData", Q_ARG(DataType::Categories, DataType::Slope)));
    QCOMPARE(page.updates, QList<DataType::Categories> { DataType::Slope });
}

void TestEditPages::curveFollowsRoad()
{
    PlotPage page;
    page.resize(800, 500);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    QVERIFY(Trelvin::instance()->openRoad(roadA));
    QCOMPARE(page.pageCurve.plot(), static_cast<QwtPlot*>(page.plot()));
    QCOMPARE(page.pageCurve.rebuilds, 1);
    QCOMPARE(page.pageCurve.plotCurve()->dataSize(), size_t(3));
    QVERIFY(fittedAcross(*page.plot(), 2000.0, 2600.0));
    QVERIFY(page.probe.replots > 0);

    Trelvin::instance()->closeRoad();
    QVERIFY(!page.pageCurve.plot());
    QVERIFY(!page.pageCurve.plotCurve()->plot());

    // The same curve joins the plot again for the next road, scaled to that road: a straight
    // north-south line gets a width about itself instead of the view at the origin.
    QVERIFY(Trelvin::instance()->openRoad(roadB));
    QCOMPARE(page.pageCurve.plot(), static_cast<QwtPlot*>(page.plot()));
    QCOMPARE(page.pageCurve.rebuilds, 2);
    QVERIFY(fittedAcross(*page.plot(), 100.0, 900.0));
}

void TestEditPages::updateDataRebuildsAndReplots()
{
    PlotPage page;
    page.resize(800, 500);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QVERIFY(Trelvin::instance()->openRoad(roadA));
    const QwtInterval view = xRange(*page.plot());

    // Any categories, even ones the page does not show, rebuild the curve; the plot is replotted at
    // once but keeps its view.
    for (DataType::Category category : { DataType::PointOfIntersection, DataType::SlopeLibrary }) {
        const int rebuilds = page.pageCurve.rebuilds;
        const int replots = page.probe.replots;
        Trelvin::instance()->connect(Trelvin::instance(), &Trelvin::dataChanged, &page,
                                     &PlotPage::updateData);
        Trelvin::instance()->notifyDataChanged(category);
        Trelvin::instance()->disconnect(&page);
        QCOMPARE(page.pageCurve.rebuilds, rebuilds + 1);
        QCOMPARE(page.probe.replots, replots + 1);
        QCOMPARE(xRange(*page.plot()).minValue(), view.minValue());
        QCOMPARE(xRange(*page.plot()).maxValue(), view.maxValue());
    }

    // A page without a curve ignores data changes.
    EditModeWidget bare(QStringLiteral("Bare"), nullptr);
    bare.updateData(DataType::StandardSection);
    bare.onRoadAboutToClose();
}

// Opening a road builds only the plots in sight; a page out of sight builds its curve, from the road as
// it is then, when it shows, and a road closed before that leaves nothing to build.
void TestEditPages::hiddenPageDrawsWhenShown()
{
    PlotPage page;
    page.resize(800, 500);
    Trelvin::instance()->connect(Trelvin::instance(), &Trelvin::dataChanged, &page, &PlotPage::updateData);
    QVERIFY(Trelvin::instance()->openRoad(roadA));
    QVERIFY(!page.pageCurve.plot());
    QCOMPARE(page.pageCurve.rebuilds, 0);
    Trelvin::instance()->notifyDataChanged(DataType::PointOfIntersection);
    QCOMPARE(page.pageCurve.rebuilds, 0);

    page.show();
    QCOMPARE(page.pageCurve.plot(), static_cast<QwtPlot*>(page.plot()));
    QCOMPARE(page.pageCurve.rebuilds, 1);
    QCOMPARE(page.pageCurve.plotCurve()->dataSize(), size_t(3));
    QVERIFY(fittedAcross(*page.plot(), 2000.0, 2600.0));
    // Shown again, it keeps what it drew; a change now redraws at once.
    page.hide();
    page.show();
    QCOMPARE(page.pageCurve.rebuilds, 1);
    Trelvin::instance()->notifyDataChanged(DataType::PointOfIntersection);
    QCOMPARE(page.pageCurve.rebuilds, 2);

    page.hide();
    Trelvin::instance()->closeRoad();
    QVERIFY(Trelvin::instance()->openRoad(roadB));
    Trelvin::instance()->closeRoad();
    page.show();
    QVERIFY(!page.pageCurve.plot());
    QCOMPARE(page.pageCurve.rebuilds, 2);
    Trelvin::instance()->disconnect(&page);
}

void TestEditPages::aspectRatio()
{
    PlotPage page;
    page.setPlotAspectRatio(20.0);
    QCOMPARE(page.plot()->aspectRatio(), 20.0);
    QVERIFY(QMetaObject::invokeMethod(&page, "setPlotAspectRatio", Q_ARG(double, 1.0)));
    QCOMPARE(page.plot()->aspectRatio(), 1.0);
}

TRELVIN_TEST_MAIN(TestEditPages)
#include "test_editpages.moc"
