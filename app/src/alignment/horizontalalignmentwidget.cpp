#include "alignment/horizontalalignmentwidget.h"

#include "alignment/horizontalcurve.h"
#include "alignment/horizontalelementtablemodel.h"
#include "alignment/horizontalelementtablewidget.h"
#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointofintersectiontablewidget.h"
#include "document/trelvin.h"

#include <road/horizontalalignment.h>
#include <road/roadsurface.h>

#include <QHBoxLayout>
#include <QTabWidget>

HorizontalAlignmentEditWidget::HorizontalAlignmentEditWidget(QWidget* parent)
    : QWidget(parent)
    , m_elements(new HorizontalElementTableWidget(this))
    , m_pis(new PointOfIntersectionTableWidget(this))
    , m_tabs(new QTabWidget(this))
{
    m_tabs->addTab(m_pis, m_pis->windowTitle());
    m_tabs->addTab(m_elements, m_elements->windowTitle());

    connect(m_tabs, &QTabWidget::currentChanged, this, &HorizontalAlignmentEditWidget::onCurrentTabChanged);
    connect(Zemko::Trelvin::Trelvin::instance(), &Zemko::Trelvin::Trelvin::onRoadOpen, this,
            &HorizontalAlignmentEditWidget::onRoadOpen);
    connect(m_elements, &HorizontalElementTableWidget::currentChange, this,
            &HorizontalAlignmentEditWidget::onCurrentChanged);
    connect(m_pis, &PointOfIntersectionTableWidget::currentChange, this,
            &HorizontalAlignmentEditWidget::onCurrentChanged);

    auto* layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    setLayout(layout);
}

void HorizontalAlignmentEditWidget::reloadTables()
{
    m_pis->model()->reload();
    m_elements->model()->reload();
}

void HorizontalAlignmentEditWidget::onCurrentTabChanged(int) { }

void HorizontalAlignmentEditWidget::onRoadOpen()
{
    const Pelko::Road::RoadSurface* road = Zemko::Trelvin::Trelvin::instance()->road();
    if (!road)
        return;
    switch (road->getHorizontalAligment()->getDataSourceType()) {
    case Pelko::Road::ElementsDataSource:
        m_tabs->setCurrentIndex(1);
        break;
    case Pelko::Road::PoisDataSource:
        m_tabs->setCurrentIndex(0);
        break;
    default:
        break;
    }
}

void HorizontalAlignmentEditWidget::onCurrentChanged()
{
    emit currentChanged();
}

HorizontalAlignmentWidget::HorizontalAlignmentWidget(QWidget* parent)
    : EditModeWidget(tr("Horizontal Alignment"), parent)
    , m_editor(new HorizontalAlignmentEditWidget(this))
    , m_curve(std::make_unique<Zemko::Trelvin::HorizontalCurve>(tr("H"), Qt::green))
{
    setEditWidget(m_editor);
    setCurve(m_curve.get());
    connect(m_editor, &HorizontalAlignmentEditWidget::currentChanged, this,
            &HorizontalAlignmentWidget::onCurrentChanged);
}

HorizontalAlignmentWidget::~HorizontalAlignmentWidget() = default;

void HorizontalAlignmentWidget::onCurrentChanged()
{
    m_curve->refresh();
    m_curve->zoomToFit();
}

void HorizontalAlignmentWidget::updateData(DataType::Categories categories)
{
    if (categories & (DataType::HorizontalElement | DataType::PointOfIntersection)) {
        EditModeWidget::updateData(categories);
        m_editor->reloadTables();
    }
    // The borders follow the section widths; structures are drawn on the plan. Neither touches the
    // tables, so their unapplied edits stay.
    if (categories & (DataType::WideningPoint | DataType::StandardSection | DataType::StructuralObject)) {
        m_curve->refresh();
    }
}
