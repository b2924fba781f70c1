#include "slopes/slopeuselibwidget.h"

#include <QLabel>
#include <QVBoxLayout>

SlopeUseLibWidget::SlopeUseLibWidget(QWidget* parent)
    : SimpleEditWidget(tr("Slope"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

void SlopeUseLibWidget::updateData(DataType::Categories) { }

void SlopeUseLibWidget::onRoadOpen() { }

void SlopeUseLibWidget::onRoadAboutToClose() { }
