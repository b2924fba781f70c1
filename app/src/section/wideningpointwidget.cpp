#include "section/wideningpointwidget.h"

#include "section/sectionpage.h"
#include "section/standardsectioncurve.h"
#include "section/wideningpointeditwidget.h"

WideningPointWidget::WideningPointWidget(QWidget* parent)
    : EditModeWidget(tr("Widening"), parent)
    , m_editor(new WideningPointEditWidget(this))
    , m_curve(std::make_unique<Zemko::Trelvin::WideningPointCurve>(tr("Widening"), Qt::green))
{
    Zemko::Trelvin::placeSectionEditor(this, m_editor, m_curve.get());
}

WideningPointWidget::~WideningPointWidget() = default;

void WideningPointWidget::updateData(DataType::Categories categories)
{
    if (!(categories & (DataType::WideningPoint | DataType::StandardSection)))
        return;
    m_editor->onRoadOpen();
    m_curve->refresh();
    m_curve->zoomToFit();
}
