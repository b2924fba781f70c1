#include "section/standardsectionwidget.h"

#include <QLabel>

StandardSectionWidget::StandardSectionWidget(QWidget* parent)
    : EditModeWidget(tr("Standard Section"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
}
