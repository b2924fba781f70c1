#include "profile/stationsequationconfigwidget.h"

#include <QLabel>
#include <QVBoxLayout>

StationsEquationConfigWidget::StationsEquationConfigWidget(QWidget* parent)
    : SimpleEditWidget(tr("Stations Equation"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

void StationsEquationConfigWidget::updateData(DataType::Categories) { }

void StationsEquationConfigWidget::onRoadOpen() { }

void StationsEquationConfigWidget::onRoadAboutToClose() { }
