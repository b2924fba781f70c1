#include "slopes/slopelibrarywidget.h"

#include <QLabel>

SlopeLibraryWidget::SlopeLibraryWidget(QWidget* parent)
    : EditModeWidget(tr("SlopeLib"), parent)
{
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    setEditWidget(label);
}
