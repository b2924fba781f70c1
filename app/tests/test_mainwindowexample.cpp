#include "qttestmain.h"

#include "support/scriptedprompter.h"

#include "document/trelvin.h"
#include "framework/editmodewidget.h"
#include "framework/roadcurve.h"
#include "shell/fancytabwidget.h"
#include "shell/mainwindow.h"
#include "shell/resources.h"

#include <road/crosssectionconfiguration.h>
#include <road/crosssectionelementconfiguration.h>
#include <road/horizontalalignment.h>
#include <road/horizontalelement.h>
#include <road/horizontalelementconfiguration.h>
#include <road/pointofintersection.h>
#include <road/pointofintersectionconfiguration.h>
#include <road/roadsurface.h>
#include <road/slopesectionconfiguration.h>
#include <road/slopesectionsegment.h>
#include <road/slopesectiontemplateconfiguration.h>
#include <road/slopesectiontemplatelibrary.h>
#include <road/standardsection.h>
#include <road/station.h>
#include <road/structureelement.h>
#include <road/structureelementconfiguration.h>
#include <road/verticalalignment.h>
#include <road/verticalelement.h>

#include <qwt_plot.h>
#include <qwt_scale_map.h>

#include <QFile>

#include <algorithm>
#include <cmath>

using Zemko::Trelvin::Trelvin;

// The example road a new user opens first: it loads through the document with every part of a road
// in it, and the window shows it.
class TestMainWindowExample : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString example;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        Zemko::Trelvin::initResources();
        // A copy, so that nothing here can change the file kept in the repository.
        example = dir.filePath(QStringLiteral("ridge-road.rod"));
        QVERIFY(QFile::copy(QStringLiteral(TRELVIN_EXAMPLES_DIR "/ridge-road.rod"), example));
    }

    void cleanup() { Trelvin::instance()->closeRoad(); }

    void holdsEveryPartOfARoad()
    {
        QVERIFY(Trelvin::instance()->openRoad(example));
        const Pelko::Road::RoadSurface* road = Trelvin::instance()->road();

        const Pelko::Road::HorizontalAlignment* alignment = road->getHorizontalAligment();
        QCOMPARE(alignment->getDataSourceType(), int(Pelko::Road::PoisDataSource));
        const Pelko::Road::PointOfIntersectionConfiguration pis = alignment->getPointOfIntersections();
        int spiralCurves = 0;
        for (unsigned i = 0; i < pis.size(); ++i) {
            const Pelko::Road::PointOfIntersection pi = pis.at(i);
            QVERIFY(pi.isValid());
            spiralCurves
                += pi.getInSpiralLength() > 0.0 && pi.getOutSpiralLength() > 0.0 && pi.getRadius() > 0.0;
        }
        QVERIFY(spiralCurves >= 2);
        const double length = alignment->getEndStation() - alignment->getBeginStation();
        QVERIFY2(length > 2000.0 && length < 10000.0, qPrintable(QString::number(length)));
        QVERIFY(alignment->getElements().size() > 10);

        QVERIFY(road->getStationsEquations().getEquationSize() >= 1);

        const Pelko::Road::VerticalAlignment profile = road->getVerticalAligment();
        QVERIFY(profile.size() >= 5);
        int curves = 0;
        for (unsigned i = 1; i + 1 < profile.size(); ++i)
            curves += profile.getAt(i).getInTangent() > 0.0;
        QVERIFY(curves >= 3);
        double elevation = 0.0;
        QVERIFY(road->getElevation(alignment->getBeginStation() + length / 2.0, 0.0, elevation));
        QVERIFY(elevation > 140.0 && elevation < 190.0);

        const Pelko::Road::StandardSection* section = road->getStandardSection();
        int superelevations = 0;
        int widenings = 0;
        for (auto side : { Pelko::Road::StandardSection::Left, Pelko::Road::StandardSection::Right }) {
            const Pelko::Road::CrossSectionConfiguration strips = section->getCrossSectionConfiguration(side);
            QVERIFY(strips.size() >= 2);
            for (unsigned i = 0; i < strips.size(); ++i) {
                superelevations += strips.elementConfigurationAt(i).superelevationPointSize();
                widenings += strips.elementConfigurationAt(i).wideningPointSize();
            }
        }
        QVERIFY(superelevations >= 8);
        QVERIFY(widenings >= 2);

        const Pelko::Road::SlopeSectionTemplateLibrary* library = road->getSlopeSectionTemplateLibrary();
        QVERIFY(library->isAvailable());
        QVERIFY(library->size(Pelko::Road::SlopeSectionFill) >= 1);
        QVERIFY(library->size(Pelko::Road::SlopeSectionCut) >= 1);
        for (auto side : { Pelko::Road::SlopeSideLeft, Pelko::Road::SlopeSideRight }) {
            const Pelko::Road::SlopeSectionTemplateConfiguration segments
                = road->getSlopeSectionConfiguration()->get(side);
            QVERIFY(segments.size() >= 2);
            for (unsigned i = 0; i < segments.size(); ++i)
                QVERIFY2(segments.getSegmentAt(i).isValid(), "a segment lost its templates");
        }

        QCOMPARE(road->getStructures().size(), 2u);
    }

    void opensInTheWindow()
    {
        MainWindow window;
        ScriptedPrompter prompter;
        prompter.answer(ScriptedPrompter::OpenFile, example);
        window.onOpen();
        QCOMPARE(Trelvin::instance()->path(), QFileInfo(example).absoluteFilePath());
        QCOMPARE(window.windowTitle(),
                 QStringLiteral("ridge-road.rod [%1] - Trelvin").arg(QFileInfo(example).absolutePath()));
        QVERIFY(window.tabWidget()->tabBar()->isTabEnabled(8));
        auto* plan = qobject_cast<EditModeWidget*>(window.tabWidget()->widget(2));
        QVERIFY(plan && plan->curve());
        // The plan is drawn when its page shows.
        window.tabWidget()->setCurrentIndex(2);
        window.show();
        // The drawn centre line stays within half a pixel of the road all along it.
        const QwtPlotCurve* line = plan->curve()->plotCurve();
        QVERIFY(line->dataSize() > 10);
        const QwtPlot* plot = plan->curve()->plot();
        const QwtScaleMap x = plot->canvasMap(QwtPlot::xBottom);
        const QwtScaleMap y = plot->canvasMap(QwtPlot::yLeft);
        const double pixel = std::max(std::abs(x.sDist() / x.pDist()), std::abs(y.sDist() / y.pDist()));
        const Pelko::Road::HorizontalAlignment* alignment
            = Trelvin::instance()->road()->getHorizontalAligment();
        const Pelko::Road::HorizontalElementConfiguration elements = alignment->getElements();
        const double end = elements.at(elements.size() - 1).getEndStation();
        double worst = 0.0;
        for (double station = 0.0; station <= end; station += 2.0) {
            const Pelko::Road::HorizontalElement e = elements.at(alignment->getBelongedElementIndex(station));
            const Pelko::Corvex::Point p = e.getNorthEast(station - e.getBeginStation(), 0.0);
            const QPointF point(p.getY(), p.getX());
            double nearest = HUGE_VAL;
            for (size_t i = 0; i + 1 < line->dataSize(); ++i) {
                const QPointF a = line->sample(i);
                const QPointF ab = line->sample(i + 1) - a;
                const double length2 = QPointF::dotProduct(ab, ab);
                const double t = length2 > 0.0
                    ? std::clamp(QPointF::dotProduct(point - a, ab) / length2, 0.0, 1.0)
                    : 0.0;
                const QPointF off = point - (a + t * ab);
                nearest = std::min(nearest, std::hypot(off.x(), off.y()));
            }
            worst = std::max(worst, nearest / pixel);
        }
        QVERIFY2(worst <= 0.5, qPrintable(QStringLiteral("%1 px off").arg(worst)));
        const QRectF extent = plan->curve()->boundingRect();
        // East across, north up: the road runs north-east from (E 5000, N 12000).
        QVERIFY(extent.left() < 5000.001 && extent.left() > 4900.0);
        QVERIFY(extent.top() < 12000.001 && extent.top() > 11900.0);
        QVERIFY(extent.width() > 2000.0 && extent.height() > 2000.0);
    }
};

TRELVIN_TEST_MAIN(TestMainWindowExample)
#include "test_mainwindowexample.moc"
