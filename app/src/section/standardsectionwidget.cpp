#include "section/standardsectionwidget.h"

#include "section/sectionpage.h"
#include "section/standardsectionconfigwidget.h"
#include "section/standardsectioncurve.h"

StandardSectionWidget::StandardSectionWidget(QWidget* parent)
    : EditModeWidget(tr("Standard Section"), parent)
    , m_editor(new StandardSectionConfigWidget(this))
    , m_curve(std::make_unique<Zemko::Trelvin::StandardSectionCurve>(tr("Standard Section"), Qt::green))
{
    Zemko::Trelvin::placeSectionEditor(this, m_editor, m_curve.get());
}

// The curve leaves the plot before the plot goes with the page's children.
StandardSectionWidget::~StandardSectionWidget() = default;

void StandardSectionWidget::updateData(DataType::Categories categories)
{
    if (!(categories & DataType::StandardSection))
        return;
    m_curve->refresh();
    m_curve->zoomToFit();
}
