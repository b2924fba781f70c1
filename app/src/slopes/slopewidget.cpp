#include "slopes/slopewidget.h"

#include "slopes/slopecurve.h"
#include "slopes/slopeeditwidget.h"

#include <QSplitter>

SlopeWidget::SlopeWidget(QWidget* parent)
    : EditModeWidget(tr("Slope"), parent)
{
    splitter()->setOrientation(Qt::Vertical);
    m_editor = new SlopeEditWidget(this);
    setEditWidget(m_editor);
    splitter()->setStretchFactor(0, 1);
    splitter()->setStretchFactor(1, 3);
    m_curve = std::make_unique<Zemko::Trelvin::SlopeCurve>(tr("Slope"), Qt::green);
    setCurve(m_curve.get());
    connect(m_editor, &SlopeEditWidget::currentChanged, this, &SlopeWidget::onCurrentChanged);
}

SlopeWidget::~SlopeWidget() = default;

void SlopeWidget::onCurrentChanged(Pelko::Road::SlopeSectionSide side, int row,
                                   Pelko::Road::SlopeSectionTemplate slopeTemplate)
{
    m_curve->setTemplate(side, row, slopeTemplate);
}
