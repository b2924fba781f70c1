#include "profile/verticalalignmentwidget.h"

#include <QLabel>

VerticalAlignmentWidget::VerticalAlignmentWidget(QWidget* parent)
    : EditModeWidget(tr("Vertical Alignment"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
}
