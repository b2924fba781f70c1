#include "framework/editmodewidget.h"

#include "framework/roadcurve.h"
#include "framework/roadplot.h"

#include <QHBoxLayout>
#include <QSplitter>

EditModeWidget::EditModeWidget(const QString& title, QWidget* parent)
    : SimpleEditWidget(title, parent)
{
    auto* layout = new QHBoxLayout;
    m_splitter = new QSplitter(this);
    m_plot = new Zemko::Trelvin::RoadPlot(this);
    m_splitter->addWidget(m_plot);
    layout->addWidget(m_splitter);
    setLayout(layout);
}

void EditModeWidget::setEditWidget(QWidget* editor)
{
    m_splitter->insertWidget(0, editor);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 3);
}

void EditModeWidget::setCurve(Zemko::Trelvin::Data::RoadCurve* curve)
{
    m_curve = curve;
}

void EditModeWidget::updateData(DataType::Categories)
{
    if (!m_curve)
        return;
    m_curve->update();
    m_plot->replot();
}

void EditModeWidget::onRoadOpen()
{
    if (m_curve)
        m_curve->attach(m_plot);
}

void EditModeWidget::onRoadAboutToClose()
{
    if (m_curve)
        m_curve->detach();
}

void EditModeWidget::setPlotAspectRatio(double r)
{
    m_plot->setAspectRatio(r);
}
