#include "slopes/slopeuselibwidget.h"

#include "framework/roadplot.h"
#include "slopes/slopecurve.h"
#include "slopes/slopeuselibeditwidget.h"

#include <QSplitter>

SlopeUseLibWidget::SlopeUseLibWidget(QWidget* parent)
    : SlopeEditDisplayWidget(tr("Slope"), parent)
{
    splitter()->setOrientation(Qt::Vertical);
    m_editor = new SlopeUseLibEditWidget(this);
    m_editor->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::MinimumExpanding);
    setEditWidget(m_editor);
    splitter()->setStretchFactor(0, 1);
    splitter()->setStretchFactor(1, 60);

    m_startCurve = std::make_unique<Zemko::Trelvin::SlopeCurve>(tr("Start Template"), Qt::green);
    m_endCurve = std::make_unique<Zemko::Trelvin::SlopeCurve>(tr("End Template"), Qt::green);
    // Which plot is which end of the segment.
    firstPlot()->setTitle(m_startCurve->plotCurve()->title());
    secondPlot()->setTitle(m_endCurve->plotCurve()->title());
    setCurve(m_startCurve.get(), true);
    setCurve(m_endCurve.get(), false);
    connect(m_editor, &SlopeUseLibEditWidget::selectedSlopeInfo, this,
            &SlopeUseLibWidget::onSelectedSlopeInfo);
}

SlopeUseLibWidget::~SlopeUseLibWidget() = default;

void SlopeUseLibWidget::onSelectedSlopeInfo(Pelko::Road::SlopeSectionSide side, int row,
                                            Pelko::Road::SlopeSectionTemplate begin,
                                            Pelko::Road::SlopeSectionTemplate end)
{
    m_startCurve->setTemplate(side, row, begin);
    m_endCurve->setTemplate(side, row, end);
}
