#include "section/abssuperelevationwideningeditwidget.h"

#include "document/prompter.h"
#include "document/trelvin.h"
#include "framework/crosssectioneditcache.h"
#include "section/sectionsideevents.h"
#include "section/superelevationwideningtablemodel.h"
#include "ui_superelevationwideningeditwidget.h"

#include <road/roadsurface.h>
#include <road/standardsection.h>

#include <QTabWidget>
#include <QTableView>

using Zemko::Trelvin::CrossSectionEditCache;
using Zemko::Trelvin::Prompter;
using Zemko::Trelvin::SuperelevationWideningTableModel;
using Zemko::Trelvin::Trelvin;

AbsSuperelevationWideningEditWidget::AbsSuperelevationWideningEditWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::SuperelevationWideningEditWidget)
{
    ui->setupUi(this);
    resetTabs();
    m_leftButtons = { ui->appendButton, ui->editButton, ui->deleteButton };
    m_rightButtons = { ui->appendButtonRight, ui->editButtonRight, ui->deleteButtonRight };

    connect(ui->appendButton, &QPushButton::clicked, this,
            &AbsSuperelevationWideningEditWidget::onBtnAppendClick);
    connect(ui->deleteButton, &QPushButton::clicked, this,
            &AbsSuperelevationWideningEditWidget::onBtnDeleteClick);
    connect(ui->editButton, &QPushButton::clicked, this,
            &AbsSuperelevationWideningEditWidget::onBtnEditClick);
    connect(ui->appendButtonRight, &QPushButton::clicked, this,
            &AbsSuperelevationWideningEditWidget::onBtnAppendRightClick);
    connect(ui->deleteButtonRight, &QPushButton::clicked, this,
            &AbsSuperelevationWideningEditWidget::onBtnDeletRightClick);
    connect(ui->editButtonRight, &QPushButton::clicked, this,
            &AbsSuperelevationWideningEditWidget::onBtnEditRightClick);
    connect(ui->applyButton, &QPushButton::clicked, this,
            &AbsSuperelevationWideningEditWidget::onBtnApplyClick);

    Trelvin* document = Trelvin::instance();
    connect(document, &Trelvin::onRoadOpen, this, [this] {
        m_unwritten = false;
        onRoadOpen();
    });
    connect(document, &Trelvin::aboutToSaveRoad, this,
            &AbsSuperelevationWideningEditWidget::writeOnDocumentSave);
    // Mirror gives a side of the cache new data: tables still on the old data would edit nothing that
    // is ever written.
    connect(Zemko::Trelvin::SectionSideEvents::instance(), &Zemko::Trelvin::SectionSideEvents::sideReplaced,
            this, &AbsSuperelevationWideningEditWidget::onRoadOpen);
}

AbsSuperelevationWideningEditWidget::~AbsSuperelevationWideningEditWidget() = default;

const QVector<AbsSuperelevationWideningEditWidget::Table>&
AbsSuperelevationWideningEditWidget::tables(int side) const
{
    return side == 0 ? m_leftTables : m_rightTables;
}

QTabWidget* AbsSuperelevationWideningEditWidget::tabWidget(int side) const
{
    // Whoever looks at the tabs gets the tables of the road open now.
    const_cast<AbsSuperelevationWideningEditWidget*>(this)->buildViews();
    return side == 0 ? ui->tabWidgetLeft : ui->tabWidgetRight;
}

void AbsSuperelevationWideningEditWidget::buildViews()
{
    if (!m_viewsStale)
        return;
    m_viewsStale = false;
    showTables(0);
    showTables(1);
}

void AbsSuperelevationWideningEditWidget::showEvent(QShowEvent* event)
{
    buildViews();
    QWidget::showEvent(event);
}

QTableView* AbsSuperelevationWideningEditWidget::currentTable(int side) const
{
    return qobject_cast<QTableView*>(tabWidget(side)->currentWidget());
}

SuperelevationWideningTableModel* AbsSuperelevationWideningEditWidget::currentModel(int side) const
{
    const QVector<Table>& list = tables(side);
    const int tab = tabWidget(side)->currentIndex();
    // The placeholder tab of a side without elements has no model.
    if (tab < 0 || tab >= list.size() || !currentTable(side))
        return nullptr;
    return list.at(tab).second;
}

void AbsSuperelevationWideningEditWidget::resetTabs()
{
    for (QTabWidget* tabs : { ui->tabWidgetLeft, ui->tabWidgetRight }) {
        while (tabs->count() > 0) {
            QWidget* page = tabs->widget(0);
            tabs->removeTab(0);
            page->deleteLater();
        }
        tabs->addTab(new QWidget(this), tr("No Section Element"));
    }
}

void AbsSuperelevationWideningEditWidget::loadFromCache()
{
    for (QVector<Table>* list : { &m_leftTables, &m_rightTables }) {
        for (const Table& table : *list)
            table.second->deleteLater();
        list->clear();
    }
    if (!Trelvin::instance()->road())
        return;
    for (int side = 0; side < 2; ++side) {
        const Pelko::Road::CrossSectionConfiguration configuration
            = CrossSectionEditCache::instance()->configuration(side);
        QVector<Table>& list = side == 0 ? m_leftTables : m_rightTables;
        for (unsigned i = 0; i < configuration.size(); ++i) {
            SuperelevationWideningTableModel* model = createModel(configuration.elementConfigurationAt(i));
            const auto edited = [this] { m_unwritten = true; };
            connect(model, &QAbstractItemModel::rowsInserted, this, edited);
            connect(model, &QAbstractItemModel::rowsRemoved, this, edited);
            connect(model, &QAbstractItemModel::dataChanged, this, edited);
            list.append({ QString::fromStdString(configuration.getAt(i).getName()), model });
        }
    }
}

void AbsSuperelevationWideningEditWidget::showTables(int side)
{
    const QVector<Table>& list = tables(side);
    QTabWidget* tabs = side == 0 ? ui->tabWidgetLeft : ui->tabWidgetRight;
    if (!list.isEmpty()) {
        while (tabs->count() > 0) {
            QWidget* page = tabs->widget(0);
            tabs->removeTab(0);
            page->deleteLater();
        }
        for (const Table& table : list) {
            auto* view = new QTableView(this);
            view->setModel(table.second);
            view->setSelectionMode(QAbstractItemView::SingleSelection);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            // Also inside the right-to-left tab widget of the left side.
            view->setLayoutDirection(Qt::LeftToRight);
            tabs->addTab(view, table.first);
            connect(view, &QTableView::doubleClicked, this,
                    &AbsSuperelevationWideningEditWidget::onTableViewDoubleClick);
        }
    }
    enableButtons(side);
}

void AbsSuperelevationWideningEditWidget::enableButtons(int side)
{
    for (QWidget* button : side == 0 ? m_leftButtons : m_rightButtons)
        button->setEnabled(!tables(side).isEmpty());
}

void AbsSuperelevationWideningEditWidget::onRoadOpen()
{
    resetTabs();
    loadFromCache();
    // A page not on screen builds its table views when shown or asked for its tabs: most opens
    // never show it.
    m_viewsStale = true;
    enableButtons(0);
    enableButtons(1);
    if (isVisible())
        buildViews();
}

int AbsSuperelevationWideningEditWidget::selectedRow(int side)
{
    QTableView* view = currentTable(side);
    if (!view || !currentModel(side))
        return -1;
    const QModelIndex current = view->currentIndex();
    if (current.isValid())
        return current.row();
    Prompter::instance()->warning(parentWidget(), QString(), tr("Please Select Data!"), QMessageBox::Ok);
    return -1;
}

void AbsSuperelevationWideningEditWidget::showResultMessage(QWidget* parent, int code)
{
    QString text;
    switch (code) {
    case -1:
        text = tr("Station Exist!");
        break;
    case 1:
        text = tr("Less Than Previous");
        break;
    case 2:
        text = tr("Greator Than Next");
        break;
    default:
        return;
    }
    Prompter::instance()->warning(parent, QString(), text, QMessageBox::Ok);
}

void AbsSuperelevationWideningEditWidget::appendOn(int side)
{
    if (SuperelevationWideningTableModel* model = currentModel(side))
        appendPoints(model);
}

void AbsSuperelevationWideningEditWidget::editOn(int side)
{
    const int row = selectedRow(side);
    if (row >= 0)
        editPoint(currentModel(side), row);
}

void AbsSuperelevationWideningEditWidget::deleteOn(int side)
{
    const int row = selectedRow(side);
    if (row >= 0)
        currentModel(side)->removePointAt(row);
}

void AbsSuperelevationWideningEditWidget::onBtnAppendClick()
{
    appendOn(0);
}

void AbsSuperelevationWideningEditWidget::onBtnEditClick()
{
    editOn(0);
}

void AbsSuperelevationWideningEditWidget::onBtnDeleteClick()
{
    deleteOn(0);
}

void AbsSuperelevationWideningEditWidget::onBtnAppendRightClick()
{
    appendOn(1);
}

void AbsSuperelevationWideningEditWidget::onBtnEditRightClick()
{
    editOn(1);
}

void AbsSuperelevationWideningEditWidget::onBtnDeletRightClick()
{
    deleteOn(1);
}

void AbsSuperelevationWideningEditWidget::onTableViewDoubleClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    for (const QVector<Table>* list : { &m_leftTables, &m_rightTables })
        for (const Table& table : *list)
            if (table.second == index.model()) {
                editPoint(table.second, index.row());
                return;
            }
}

void AbsSuperelevationWideningEditWidget::onBtnApplyClick()
{
    const QString failure = Trelvin::instance()->writeFailureText(applyToRoad());
    if (!failure.isEmpty())
        Prompter::instance()->warning(this, QString(), failure, QMessageBox::Ok);
    // Both editors announce 32: the widening page rebuilds, the superelevation page keeps its tabs.
    Trelvin::instance()->notifyDataChanged(DataType::WideningPoint);
}

void AbsSuperelevationWideningEditWidget::writeOnDocumentSave()
{
    // Like the table models, nothing is written without edits of its own; the document writes the
    // file itself.
    if (m_unwritten)
        applyToRoad();
}

bool AbsSuperelevationWideningEditWidget::writeToRoad(DataType::Categories category)
{
    Trelvin* document = Trelvin::instance();
    Pelko::Road::RoadSurface* road = document->road();
    if (!road)
        return true;
    // The cache as it stands: after a Mirror the tables' own handles may name a side that is gone.
    CrossSectionEditCache* cache = CrossSectionEditCache::instance();
    Pelko::Road::StandardSection* section = road->getStandardSection();
    section->setCrossSectionConfiguration(Pelko::Road::StandardSection::Left, cache->configuration(0));
    section->setCrossSectionConfiguration(Pelko::Road::StandardSection::Right, cache->configuration(1));
    if (!document->writeRoad())
        return false;
    m_unwritten = false;
    for (const QVector<Table>* list : { &m_leftTables, &m_rightTables })
        for (const Table& table : *list)
            table.second->applyChanges();
    if (document->editFlags() & category)
        document->setEditFlags(category, false);
    return true;
}
