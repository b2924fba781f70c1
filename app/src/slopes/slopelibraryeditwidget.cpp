#include "slopes/slopelibraryeditwidget.h"

#include "document/trelvin.h"
#include "slopes/slopelibitemtablewidget.h"
#include "slopes/slopelibtablewideget.h"

#include <QHBoxLayout>
#include <QTabWidget>

namespace {

QWidget* panel(QWidget* list, QWidget* elements)
{
    auto* widget = new QWidget;
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    // Names are short; the elements need the room for their eleven columns.
    layout->addWidget(list, 1);
    layout->addWidget(elements, 3);
    return widget;
}

} // namespace

SlopeLibraryEditWidget::SlopeLibraryEditWidget(QWidget* parent)
    : QWidget(parent)
    , m_tabs(new QTabWidget(this))
    , m_fillList(new SlopeLibTableWideget(Pelko::Road::SlopeSectionFill, this))
    , m_cutList(new SlopeLibTableWideget(Pelko::Road::SlopeSectionCut, this))
    , m_fillElements(new SlopeLibItemTableWidget(m_fillList->model(), 0, this))
    , m_cutElements(new SlopeLibItemTableWidget(m_cutList->model(), 0, this))
{
    m_tabs->addTab(panel(m_fillList, m_fillElements), m_fillList->windowTitle());
    m_tabs->addTab(panel(m_cutList, m_cutElements), m_cutList->windowTitle());

    connect(m_tabs, &QTabWidget::currentChanged, this, &SlopeLibraryEditWidget::onCurrentTabChanged);
    connect(Zemko::Trelvin::Trelvin::instance(), &Zemko::Trelvin::Trelvin::onRoadOpen, this,
            &SlopeLibraryEditWidget::onRoadOpen);
    connect(m_fillList, &SlopeLibTableWideget::selected, this, &SlopeLibraryEditWidget::notifyDataSetChange);
    connect(m_cutList, &SlopeLibTableWideget::selected, this, &SlopeLibraryEditWidget::notifyDataSetChange);
    connect(m_fillElements, &SlopeLibItemTableWidget::dataSetChange, this,
            &SlopeLibraryEditWidget::notifyDataSetChange);
    connect(m_cutElements, &SlopeLibItemTableWidget::dataSetChange, this,
            &SlopeLibraryEditWidget::notifyDataSetChange);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    m_cutElements->hide();
}

void SlopeLibraryEditWidget::onCurrentTabChanged(int index)
{
    SlopeLibItemTableWidget* shown = index == 0 ? m_fillElements : index == 1 ? m_cutElements : nullptr;
    m_fillElements->setVisible(shown == m_fillElements);
    m_cutElements->setVisible(shown == m_cutElements);
    if (shown)
        emit currentChanged(static_cast<Pelko::Road::SlopeSectionType>(shown->templateType()),
                            shown->templateIndex(), shown->currentTemplate());
}

void SlopeLibraryEditWidget::onRoadOpen()
{
    if (!Zemko::Trelvin::Trelvin::instance()->road())
        return;
    // The plot shows the template whose elements the table shows, also before any selection.
    if (m_tabs->currentIndex() == 0)
        onCurrentTabChanged(0);
    else
        m_tabs->setCurrentIndex(0);
}

void SlopeLibraryEditWidget::notifyDataSetChange(Pelko::Road::SlopeSectionType side, int index,
                                                 Pelko::Road::SlopeSectionTemplateEditable t)
{
    emit currentChanged(side, index, t);
    if (side == Pelko::Road::SlopeSectionFill)
        m_fillElements->setCurrent(Pelko::Road::SlopeSectionFill, index);
    else if (side == Pelko::Road::SlopeSectionCut)
        m_cutElements->setCurrent(Pelko::Road::SlopeSectionCut, index);
}
