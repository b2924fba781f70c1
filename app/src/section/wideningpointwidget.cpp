#include "section/wideningpointwidget.h"

#include <QLabel>

WideningPointWidget::WideningPointWidget(QWidget* parent)
    : EditModeWidget(tr("Widening"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
}
