#include "alignment/horizontalalignmentwidget.h"
#include "alignment/horizontalcurve.h"
#include "alignment/horizontalelementtablemodel.h"
#include "alignment/horizontalelementtablewidget.h"
#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointofintersectiontablewidget.h"
#include "document/trelvin.h"
#include "framework/roadplot.h"
#include "support/scriptedprompter.h"
#include "test_horizontalroads.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>

#include <qttestmain.h>

#include <qwt_plot_item.h>

#include <QSplitter>
#include <QTabWidget>

using Zemko::Trelvin::Trelvin;

namespace {

// Counts the replots of its plot: each one hands the scales to the items that want them.
class ReplotProbe : public QwtPlotItem
{
public:
    ReplotProbe() { setItemInterest(QwtPlotItem::ScaleInterest, true); }
    void updateScaleDiv(const QwtScaleDiv&, const QwtScaleDiv&) override { ++replots; }
    void draw(QPainter*, const QwtScaleMap&, const QwtScaleMap&, const QRectF&) const override { }
    int replots = 0;
};

} // namespace

class TestHorizontalPage : public QObject
{
    Q_OBJECT

private:
    HorizontalRoads::Folder roads;

    QString openPis()
    {
        return roads.open(RoadFiles::standardSection()
                          + HorizontalRoads::piAlignment(HorizontalRoads::pointPi(1000, 2000)
                                                         + HorizontalRoads::spiralPi(1200, 2010, 200, 40, 40)
                                                         + HorizontalRoads::pointPi(1500, 2230)));
    }

    QString openElements() { return roads.openElements(HorizontalRoads::lineArcLine()); }

private slots:
    void pageHoldsBothTablesBesideThePlan()
    {
        HorizontalAlignmentWidget page;
        QCOMPARE(page.windowTitle(), QStringLiteral("Horizontal Alignment"));
        QCOMPARE(page.splitter()->widget(0), page.editor());
        QCOMPARE(page.splitter()->widget(1), page.plot());
        QTabWidget* tabs = page.editor()->tabs();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Point of Intersections"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Horizontal Elements"));
        QCOMPARE(page.planCurve()->plotCurve()->title().text(), QStringLiteral("H"));
    }

    void openingChoosesTheTabOfTheRoadsMethod()
    {
        HorizontalAlignmentWidget page;
        page.show();
        QTabWidget* tabs = page.editor()->tabs();
        QVERIFY(!openElements().isEmpty());
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(page.planCurve()->plot(), page.plot());
        QVERIFY(!openPis().isEmpty());
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(page.planCurve()->piPolygon()->dataSize(), size_t(3));
    }

    void updatesRedrawAndReloadByCategory()
    {
        HorizontalAlignmentWidget page;
        page.show();
        QVERIFY(!openPis().isEmpty());
        ReplotProbe probe;
        probe.attach(page.plot());
        Zemko::Trelvin::PointOfIntersectionTableModel* pis
            = page.editor()->pointOfIntersectionTable()->model();
        Zemko::Trelvin::HorizontalElementTableModel* elements = page.editor()->elementTable()->model();
        QVERIFY(pis->setData(pis->index(1, 4), "250"));
        QVERIFY(elements->setData(elements->index(0, 5), "20"));

        int replots = probe.replots;
        page.updateData(DataType::StationsEquation);
        QCOMPARE(probe.replots, replots);
        QVERIFY(pis->isTextRowMode() && elements->isTextRowMode());

        // Section widths and structures redraw the plan; the typed rows stay.
        for (DataType::Category category :
             { DataType::StandardSection, DataType::WideningPoint, DataType::StructuralObject }) {
            replots = probe.replots;
            page.updateData(category);
            QVERIFY(probe.replots > replots);
            QVERIFY(pis->isTextRowMode() && elements->isTextRowMode());
        }

        replots = probe.replots;
        page.updateData(DataType::HorizontalElement);
        QVERIFY(probe.replots > replots);
        QVERIFY(!pis->isTextRowMode() && !elements->isTextRowMode());
        probe.detach();
    }

    // The main window hands the document's announcements to the page.
    void applyRedrawsThePlanAndReloadsTheOtherTable()
    {
        HorizontalAlignmentWidget page;
        page.show();
        connect(Trelvin::instance(), &Trelvin::dataChanged, &page, &HorizontalAlignmentWidget::updateData);
        QVERIFY(!openElements().isEmpty());
        const QRectF before = page.planCurve()->boundingRect();
        QCOMPARE(page.editor()->pointOfIntersectionTable()->model()->rowCount(), 3);

        HorizontalElementTableWidget* table = page.editor()->elementTable();
        Zemko::Trelvin::HorizontalElementTableModel* model = table->model();
        QVERIFY(model->setData(model->index(2, Zemko::Trelvin::HorizontalElementTableModel::LengthColumn),
                               "500"));
        ScriptedPrompter prompter;
        table->on_applyButton_clicked();
        QCOMPARE(prompter.calls.size(), 0);
        const QRectF after = page.planCurve()->boundingRect();
        QVERIFY(after.height() > before.height() + 300.0);
        QCOMPARE(page.planCurve()->labels()->marks().size(), 4);

        // The PI table shows the PIs that follow from the new chain.
        Zemko::Trelvin::PointOfIntersectionTableModel* pis
            = page.editor()->pointOfIntersectionTable()->model();
        const auto roadPis = Trelvin::instance()->road()->getHorizontalAligment()->getPointOfIntersections();
        QCOMPARE(pis->rowCount(), int(roadPis.size()));
        QCOMPARE(pis->data(pis->index(2, 1)).toString(),
                 QString::number(roadPis.at(2).getPointOfIntersection().getX(), 'f', 3));
        // The plot was fitted to the new plan.
        const QwtScaleDiv& east = page.plot()->axisScaleDiv(QwtPlot::xBottom);
        QVERIFY(east.lowerBound() <= after.left() + 1e-6 && east.upperBound() >= after.right() - 1e-6);
        QVERIFY(east.upperBound() - east.lowerBound() < 3.0 * after.height());
    }
};

TRELVIN_TEST_MAIN(TestHorizontalPage)
#include "test_horizontalpage.moc"
