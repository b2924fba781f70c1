#include "slopes/slopewidget.h"

#include <QLabel>

SlopeWidget::SlopeWidget(QWidget* parent)
    : EditModeWidget(tr("Slope"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
}
