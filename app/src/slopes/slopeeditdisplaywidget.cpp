#include "slopes/slopeeditdisplaywidget.h"

#include "framework/roadcurve.h"
#include "framework/roadplot.h"

#include <QHBoxLayout>
#include <QSplitter>

SlopeEditDisplayWidget::SlopeEditDisplayWidget(const QString& title, QWidget* parent)
    : SimpleEditWidget(title, parent)
{
    auto* plots = new QWidget(this);
    auto* plotLayout = new QHBoxLayout(plots);
    m_firstPlot = new Zemko::Trelvin::RoadPlot(plots);
    m_secondPlot = new Zemko::Trelvin::RoadPlot(plots);
    plotLayout->addWidget(m_firstPlot);
    plotLayout->addWidget(m_secondPlot);
    plots->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    m_splitter = new QSplitter(this);
    m_splitter->addWidget(plots);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_splitter);
}

void SlopeEditDisplayWidget::setEditWidget(QWidget* editor)
{
    m_splitter->insertWidget(0, editor);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 3);
}

void SlopeEditDisplayWidget::setCurve(Zemko::Trelvin::Data::RoadCurve* curve, bool first)
{
    (first ? m_firstCurve : m_secondCurve) = curve;
}

void SlopeEditDisplayWidget::updateData(DataType::Categories)
{
    for (Zemko::Trelvin::Data::RoadCurve* curve : { m_firstCurve, m_secondCurve })
        if (curve)
            curve->refresh();
}

void SlopeEditDisplayWidget::onRoadOpen()
{
    if (m_firstCurve)
        m_firstCurve->attach(m_firstPlot);
    if (m_secondCurve)
        m_secondCurve->attach(m_secondPlot);
}

void SlopeEditDisplayWidget::onRoadAboutToClose()
{
    for (Zemko::Trelvin::Data::RoadCurve* curve : { m_firstCurve, m_secondCurve })
        if (curve)
            curve->detach();
}

void SlopeEditDisplayWidget::setPlotAspectRatio(double r)
{
    m_firstPlot->setAspectRatio(r);
    m_secondPlot->setAspectRatio(r);
}
