#include "section/superelevationpointwidget.h"

#include <QLabel>

SuperelevationPointWidget::SuperelevationPointWidget(QWidget* parent)
    : EditModeWidget(tr("Superelevation"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
}
