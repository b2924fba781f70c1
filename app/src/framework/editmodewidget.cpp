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
    // A curve still waiting for its page to show is built from the road as it is then.
    if (!m_curve || m_attachWhenShown)
        return;
    m_curve->update();
    m_plot->replot();
}

void EditModeWidget::onRoadOpen()
{
    if (!m_curve)
        return;
    if (isVisible())
        m_curve->attach(m_plot);
    else
        m_attachWhenShown = true;
}

void EditModeWidget::onRoadAboutToClose()
{
    m_attachWhenShown = false;
    if (m_curve)
        m_curve->detach();
}

void EditModeWidget::showEvent(QShowEvent* event)
{
    SimpleEditWidget::showEvent(event);
    if (m_attachWhenShown) {
        m_attachWhenShown = false;
        m_curve->attach(m_plot);
    }
}

void EditModeWidget::setPlotAspectRatio(double r)
{
    m_plot->setAspectRatio(r);
}
