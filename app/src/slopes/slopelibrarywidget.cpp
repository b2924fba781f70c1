#include "slopes/slopelibrarywidget.h"

#include "slopes/slopecurve.h"
#include "slopes/slopelibraryeditwidget.h"

#include <QSplitter>

SlopeLibraryWidget::SlopeLibraryWidget(QWidget* parent)
    : EditModeWidget(tr("SlopeLib"), parent)
{
    splitter()->setOrientation(Qt::Vertical);
    m_editor = new SlopeLibraryEditWidget(this);
    setEditWidget(m_editor);
    m_curve = std::make_unique<Zemko::Trelvin::SlopeCurve>(tr("Slope"), Qt::green);
    setCurve(m_curve.get());
    connect(m_editor, &SlopeLibraryEditWidget::currentChanged, this, &SlopeLibraryWidget::onCurrentChanged);
}

// The curve leaves the plot before the plot goes with the page's children.
SlopeLibraryWidget::~SlopeLibraryWidget() = default;

void SlopeLibraryWidget::onCurrentChanged(Pelko::Road::SlopeSectionType, int index,
                                          Pelko::Road::SlopeSectionTemplateEditable t)
{
    m_curve->setEditable(Pelko::Road::SlopeSideRight, index, t);
}

void SlopeLibraryWidget::onRoadAboutToClose()
{
    m_curve->setEditable(Pelko::Road::SlopeSideRight, -1, Pelko::Road::SlopeSectionTemplateEditable());
}

void SlopeLibraryWidget::showEvent(QShowEvent* event)
{
    EditModeWidget::showEvent(event);
    m_curve->zoomToFit();
}
