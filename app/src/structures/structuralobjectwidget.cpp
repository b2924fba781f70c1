#include "structures/structuralobjectwidget.h"

#include <QLabel>

StructuralObjectWidget::StructuralObjectWidget(QWidget* parent)
    : EditModeWidget(tr("Structural Object"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
}
