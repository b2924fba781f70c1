#include "profile/verticalalignmentwidget.h"

#include "profile/verticalalignmenteditwidget.h"
#include "profile/verticalcurve.h"

VerticalAlignmentWidget::VerticalAlignmentWidget(QWidget* parent)
    : EditModeWidget(tr("Vertical Alignment"), parent)
    , m_editor(new VerticalAlignmentEditWidget(this))
    , m_curve(std::make_unique<Zemko::Trelvin::VerticalCurve>(tr("Vertical Alignment"), Qt::green))
{
    setEditWidget(m_editor);
    // Heights change far less than stations: exaggerate the vertical scale.
    setPlotAspectRatio(20.0);
    setCurve(m_curve.get());
    connect(m_editor, &VerticalAlignmentEditWidget::currentChanged, this, [this] {
        m_curve->refresh();
        m_curve->zoomToFit();
    });
}

// The curve leaves the plot before the plot goes with the page's children.
VerticalAlignmentWidget::~VerticalAlignmentWidget() = default;
