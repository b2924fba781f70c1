#include "alignment/horizontalalignmentwidget.h"

#include "framework/roadcurve.h"
#include "shell/trelvin.h"

#include <road/roadsurface.h>

#include <QLabel>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The whole road in one polyline: the left border forward, the right border back, then the centre
// line from the begin edge. Breaks where a curve could not be drawn are skipped.
class PlanOutlineCurve : public Zemko::Trelvin::Data::RoadCurve
{
public:
    PlanOutlineCurve()
        : RoadCurve(QStringLiteral("Plan"), QwtPlotCurve::Lines, Qt::white, Qt::SolidLine)
    {
    }

    void rebuild(double tolerance) override
    {
        QVector<QPointF> samples;
        const Pelko::Road::RoadSurface* road = Zemko::Trelvin::Trelvin::instance()->road();
        if (road) {
            const double inf = std::numeric_limits<double>::infinity();
            const Pelko::Road::ClippedHorizontalAlignment plan = road->getBorderAndAlign(
                tolerance, -inf, -inf, inf, inf, Pelko::Road::ClippedHorizontalAlignment::AllLines, 1);
            const std::vector<Pelko::Corvex::Point> left = plan.getLeftBorder();
            const std::vector<Pelko::Corvex::Point> right = plan.getRightBorder();
            const std::vector<Pelko::Corvex::Point> centre = plan.getCenterLinePoints();
            samples.reserve(int(left.size() + right.size() + centre.size()));
            // Plan plots have east across and north up.
            const auto add = [&samples](const Pelko::Corvex::Point& p) {
                if (std::isfinite(p.getX()) && std::isfinite(p.getY()))
                    samples.append(QPointF(p.getY(), p.getX()));
            };
            std::for_each(left.begin(), left.end(), add);
            std::for_each(right.rbegin(), right.rend(), add);
            std::for_each(centre.begin(), centre.end(), add);
        }
        setSamples(samples);
    }
};

} // namespace

HorizontalAlignmentWidget::HorizontalAlignmentWidget(QWidget* parent)
    : EditModeWidget(tr("Horizontal Alignment"), parent)
    , plan(std::make_unique<PlanOutlineCurve>())
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
    setCurve(plan.get());
}

// The curve leaves the plot before the plot goes with the page's children.
HorizontalAlignmentWidget::~HorizontalAlignmentWidget() = default;
