#include "profile/verticalalignmenteditwidget.h"

#include "profile/verticalalignmenttablewidget.h"

#include <QHBoxLayout>

VerticalAlignmentEditWidget::VerticalAlignmentEditWidget(QWidget* parent)
    : QWidget(parent)
    , m_table(new VerticalAlignmentTableWidget(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    connect(m_table, &VerticalAlignmentTableWidget::currentChange, this,
            &VerticalAlignmentEditWidget::onCurrentChanged);
}

void VerticalAlignmentEditWidget::onCurrentChanged()
{
    emit currentChanged();
}
