#include "section/superelevationpointwidget.h"

#include "section/sectionpage.h"
#include "section/standardsectioncurve.h"
#include "section/superelevationpointeditwidget.h"

SuperelevationPointWidget::SuperelevationPointWidget(QWidget* parent)
    : EditModeWidget(tr("Superelevation"), parent)
    , m_editor(new SuperelevationPointEditWidget(this))
    , m_curve(std::make_unique<Zemko::Trelvin::SuperelevationPointCurve>(tr("Superelevation"), Qt::green))
{
    Zemko::Trelvin::placeSectionEditor(this, m_editor, m_curve.get());
}

SuperelevationPointWidget::~SuperelevationPointWidget() = default;

void SuperelevationPointWidget::updateData(DataType::Categories categories)
{
    if (!(categories & (DataType::SuperelevationPoint | DataType::StandardSection)))
        return;
    m_editor->onRoadOpen();
    m_curve->refresh();
    m_curve->zoomToFit();
}
