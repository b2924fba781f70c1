#include "slopes/slopeeditwidget.h"

#include "document/trelvin.h"
#include "slopes/slopeitemtablewidget.h"
#include "slopes/slopetablewideget.h"

#include <QHBoxLayout>
#include <QTabWidget>

namespace {

QWidget* pairWidget(QWidget* table, QWidget* items)
{
    auto* pair = new QWidget;
    auto* layout = new QHBoxLayout(pair);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(table);
    layout->addWidget(items);
    return pair;
}

} // namespace

SlopeEditWidget::SlopeEditWidget(QWidget* parent)
    : QWidget(parent)
    , m_tabs(new QTabWidget(this))
    , m_leftTable(new SlopeTableWideget(Pelko::Road::SlopeSideLeft))
    , m_rightTable(new SlopeTableWideget(Pelko::Road::SlopeSideRight))
    , m_leftItems(new SlopeItemTableWidget(m_leftTable->model(), -1))
    , m_rightItems(new SlopeItemTableWidget(m_rightTable->model(), -1))
{
    m_tabs->addTab(pairWidget(m_leftTable, m_leftItems), m_leftTable->windowTitle());
    m_tabs->addTab(pairWidget(m_rightTable, m_rightItems), m_rightTable->windowTitle());

    connect(m_tabs, &QTabWidget::currentChanged, this, &SlopeEditWidget::onCurrentTabChanged);
    connect(Zemko::Trelvin::Trelvin::instance(), &Zemko::Trelvin::Trelvin::onRoadOpen, this,
            &SlopeEditWidget::onRoadOpen);
    for (SlopeTableWideget* table : { m_leftTable, m_rightTable })
        connect(table, &SlopeTableWideget::selected, this, &SlopeEditWidget::notifyDataSetChange);
    for (SlopeItemTableWidget* items : { m_leftItems, m_rightItems })
        connect(items, &SlopeItemTableWidget::dataSetChange, this, &SlopeEditWidget::notifyDataSetChange);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    m_rightItems->hide();
}

void SlopeEditWidget::onRoadOpen()
{
    if (Zemko::Trelvin::Trelvin::instance()->road())
        m_tabs->setCurrentIndex(0);
}

void SlopeEditWidget::notifyDataSetChange(Pelko::Road::SlopeSectionSide side, int row,
                                          Pelko::Road::SlopeSectionTemplate slopeTemplate)
{
    emit currentChanged(side, row, slopeTemplate);
    if (side == Pelko::Road::SlopeSideLeft)
        m_leftItems->setSegment(side, row);
    else if (side == Pelko::Road::SlopeSideRight)
        m_rightItems->setSegment(side, row);
}

void SlopeEditWidget::onCurrentTabChanged(int index)
{
    m_leftItems->setVisible(index == 0);
    m_rightItems->setVisible(index == 1);
    if (index == 0)
        announce(m_leftItems);
    else if (index == 1)
        announce(m_rightItems);
}

void SlopeEditWidget::announce(const SlopeItemTableWidget* items)
{
    emit currentChanged(items->side(), items->segmentRow(), items->currentTemplate());
}
