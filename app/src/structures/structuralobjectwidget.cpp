#include "structures/structuralobjectwidget.h"

#include "alignment/horizontalcurve.h"
#include "structures/structuralobjecttablewidget.h"

StructuralObjectWidget::StructuralObjectWidget(QWidget* parent)
    : EditModeWidget(tr("Structural Object"), parent)
    , m_editor(new StructuralObjectTableWidget(this))
    , m_curve(std::make_unique<Zemko::Trelvin::HorizontalCurve>(tr("Structure"), Qt::green))
{
    setEditWidget(m_editor);
    setCurve(m_curve.get());
    connect(m_editor, &StructuralObjectTableWidget::currentChange, this,
            &StructuralObjectWidget::onCurrentChanged);
}

StructuralObjectWidget::~StructuralObjectWidget() = default;

void StructuralObjectWidget::onCurrentChanged()
{
    m_curve->refresh();
    m_curve->zoomToFit();
}
