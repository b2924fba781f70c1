#include "slopes/slopeuselibeditwidget.h"

#include "document/prompter.h"
#include "document/trelvin.h"
#include "slopes/segmentdialogs.h"
#include "slopes/slopeuselibdialog.h"
#include "slopes/slopeuselibtablemodel.h"
#include "ui_slopeuselibeditwidget.h"

#include <QHeaderView>
#include <QTableView>

using Pelko::Road::SlopeSectionSide;
using Zemko::Trelvin::Prompter;
using Zemko::Trelvin::runSegmentDialog;
using Zemko::Trelvin::SlopeTableModel;
using Zemko::Trelvin::SlopeUseLibTableModel;

SlopeUseLibEditWidget::SlopeUseLibEditWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::SlopeUseLibEditWidget)
{
    ui->setupUi(this);
    m_left = new SlopeUseLibTableModel(Pelko::Road::SlopeSideLeft, this);
    m_right = new SlopeUseLibTableModel(Pelko::Road::SlopeSideRight, this);
    clearTabs(ui->tabWidgetLeft);
    clearTabs(ui->tabWidgetRight);

    // The models write themselves on a document save, and only when they hold edits.
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    connect(document, &Zemko::Trelvin::Trelvin::onRoadOpen, this, &SlopeUseLibEditWidget::onRoadOpen);
    connect(document, &Zemko::Trelvin::Trelvin::onRoadAboutToClose, this,
            &SlopeUseLibEditWidget::onRoadAboutToClose);

    connect(ui->appendButton, &QPushButton::clicked, this, &SlopeUseLibEditWidget::onBtnAppendClick);
    connect(ui->deleteButton, &QPushButton::clicked, this, &SlopeUseLibEditWidget::onBtnDeleteClick);
    connect(ui->editButton, &QPushButton::clicked, this, &SlopeUseLibEditWidget::onBtnEditClick);
    connect(ui->appendButtonRight, &QPushButton::clicked, this,
            &SlopeUseLibEditWidget::onBtnAppendRightClick);
    connect(ui->deleteButtonRight, &QPushButton::clicked, this, &SlopeUseLibEditWidget::onBtnDeletRightClick);
    connect(ui->editButtonRight, &QPushButton::clicked, this, &SlopeUseLibEditWidget::onBtnEditRightClick);
    connect(ui->applyButton, &QPushButton::clicked, this, &SlopeUseLibEditWidget::onBtnApplyClick);

    for (const auto side : { Pelko::Road::SlopeSideLeft, Pelko::Road::SlopeSideRight }) {
        SlopeUseLibTableModel* sideModel = model(side);
        const auto follow = [this, side] { followTable(side); };
        connect(sideModel, &QAbstractItemModel::rowsInserted, this, follow);
        connect(sideModel, &QAbstractItemModel::rowsRemoved, this, follow);
        connect(sideModel, &QAbstractItemModel::dataChanged, this, follow);
        connect(sideModel, &QAbstractItemModel::modelReset, this, follow);
    }

    // Nothing to edit before a road is open.
    for (const auto side : { Pelko::Road::SlopeSideLeft, Pelko::Road::SlopeSideRight })
        for (QPushButton* button : buttons(side))
            button->setEnabled(false);
    ui->applyButton->setEnabled(false);
}

SlopeUseLibEditWidget::~SlopeUseLibEditWidget() = default;

QTabWidget* SlopeUseLibEditWidget::tabs(SlopeSectionSide side) const
{
    return side == Pelko::Road::SlopeSideLeft ? ui->tabWidgetLeft : ui->tabWidgetRight;
}

SlopeUseLibTableModel* SlopeUseLibEditWidget::model(SlopeSectionSide side) const
{
    return side == Pelko::Road::SlopeSideLeft ? m_left : m_right;
}

QList<QPushButton*> SlopeUseLibEditWidget::buttons(SlopeSectionSide side) const
{
    if (side == Pelko::Road::SlopeSideLeft)
        return { ui->appendButton, ui->deleteButton, ui->editButton };
    return { ui->appendButtonRight, ui->deleteButtonRight, ui->editButtonRight };
}

QTableView* SlopeUseLibEditWidget::tableView(SlopeSectionSide side) const
{
    return qobject_cast<QTableView*>(tabs(side)->currentWidget());
}

void SlopeUseLibEditWidget::clearTabs(QTabWidget* tabs)
{
    for (int i = 0; i < tabs->count(); ++i)
        tabs->widget(i)->deleteLater();
    tabs->clear();
}

void SlopeUseLibEditWidget::showTable(SlopeSectionSide side)
{
    QTabWidget* sideTabs = tabs(side);
    clearTabs(sideTabs);
    auto* view = new QTableView(this);
    view->setModel(model(side));
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setLayoutDirection(Qt::LeftToRight);
    // Segment names are what the surveyor reads first: they take the width the stations leave.
    // The cells' size hint is fixed, so the station columns are sized for the longest station text.
    const int stationWidth = view->fontMetrics().horizontalAdvance(QStringLiteral("K00+000.000A")) + 16;
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 3; ++column) {
        view->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
        view->horizontalHeader()->resizeSection(column, stationWidth);
    }
    sideTabs->addTab(view, tr("Slope elements"));
    connect(view, &QTableView::doubleClicked, this, &SlopeUseLibEditWidget::onTableViewDoubleClick);
    connect(view, &QTableView::clicked, this, &SlopeUseLibEditWidget::onClicked);
    for (QPushButton* button : buttons(side))
        button->setEnabled(true);
}

void SlopeUseLibEditWidget::onRoadOpen()
{
    showTable(Pelko::Road::SlopeSideLeft);
    showTable(Pelko::Road::SlopeSideRight);
    ui->applyButton->setEnabled(true);
}

void SlopeUseLibEditWidget::onRoadAboutToClose()
{
    showSegment(Pelko::Road::SlopeSideNeutral, -1);
    for (const auto side : { Pelko::Road::SlopeSideLeft, Pelko::Road::SlopeSideRight })
        for (QPushButton* button : buttons(side))
            button->setEnabled(false);
    ui->applyButton->setEnabled(false);
}

int SlopeUseLibEditWidget::currentRow(SlopeSectionSide side)
{
    const QTableView* view = tableView(side);
    if (!view)
        return -1;
    const QModelIndex current = view->currentIndex();
    if (current.isValid())
        return current.row();
    Prompter::instance()->warning(parentWidget(), QString(), tr("Please Select Data!"));
    return -1;
}

void SlopeUseLibEditWidget::append(SlopeUseLibTableModel* target)
{
    SlopeUseLibDialog dialog(0, target->rowCount(), target, this);
    runSegmentDialog(dialog, this, [target](const Pelko::Road::SlopeSectionSegment& segment) {
        return target->add(segment);
    });
}

void SlopeUseLibEditWidget::onEdit(SlopeUseLibTableModel* target, int row)
{
    if (!target || row < 0)
        return;
    SlopeUseLibDialog dialog(1, row, target, this);
    runSegmentDialog(dialog, this, [target, row](const Pelko::Road::SlopeSectionSegment& segment) {
        return target->setAt(row, segment);
    });
}

void SlopeUseLibEditWidget::remove(SlopeSectionSide side)
{
    const int row = currentRow(side);
    if (row < 0)
        return;
    const bool drawn = m_drawnSide == side;
    model(side)->removeAt(row);
    // As in the other tables, the row above is marked next; none after the first.
    QTableView* view = tableView(side);
    const QModelIndex next = row > 0 ? model(side)->index(row - 1, 0) : QModelIndex();
    view->clearSelection();
    view->setCurrentIndex(next);
    if (drawn)
        showSegment(side, next.isValid() ? next.row() : -1);
}

void SlopeUseLibEditWidget::onBtnAppendClick()
{
    append(m_left);
}

void SlopeUseLibEditWidget::onBtnEditClick()
{
    onEdit(m_left, currentRow(Pelko::Road::SlopeSideLeft));
}

void SlopeUseLibEditWidget::onBtnDeleteClick()
{
    remove(Pelko::Road::SlopeSideLeft);
}

void SlopeUseLibEditWidget::onBtnAppendRightClick()
{
    append(m_right);
}

void SlopeUseLibEditWidget::onBtnEditRightClick()
{
    onEdit(m_right, currentRow(Pelko::Road::SlopeSideRight));
}

void SlopeUseLibEditWidget::onBtnDeletRightClick()
{
    remove(Pelko::Road::SlopeSideRight);
}

void SlopeUseLibEditWidget::onTableViewDoubleClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    auto* target = qobject_cast<SlopeUseLibTableModel*>(const_cast<QAbstractItemModel*>(index.model()));
    onEdit(target, index.row());
}

void SlopeUseLibEditWidget::onBtnApplyClick()
{
    const bool leftWritten = m_left->applyChanges();
    const bool rightWritten = m_right->applyChanges();
    const QString failure
        = Zemko::Trelvin::Trelvin::instance()->writeFailureText(leftWritten && rightWritten);
    if (!failure.isEmpty())
        Prompter::instance()->warning(this, QString(), failure);
}

void SlopeUseLibEditWidget::onClicked(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const auto* source = qobject_cast<const SlopeUseLibTableModel*>(index.model());
    if (!source)
        return;
    showSegment(source->side(), index.row());
}

void SlopeUseLibEditWidget::showSegment(SlopeSectionSide side, int row)
{
    const SlopeUseLibTableModel* source
        = side == Pelko::Road::SlopeSideLeft || side == Pelko::Road::SlopeSideRight ? model(side) : nullptr;
    if (!source || row < 0 || row >= source->rowCount()) {
        m_drawnSide = Pelko::Road::SlopeSideNeutral;
        emit selectedSlopeInfo(Pelko::Road::SlopeSideNeutral, -1, Pelko::Road::SlopeSectionTemplate(),
                               Pelko::Road::SlopeSectionTemplate());
        return;
    }
    m_drawnSide = side;
    const Pelko::Road::SlopeSectionSegment segment
        = source->configuration().getSegmentAt(static_cast<unsigned>(row));
    emit selectedSlopeInfo(side, row, segment.getBeginTemplate(), segment.getEndTemplate());
}

void SlopeUseLibEditWidget::followTable(SlopeSectionSide side)
{
    if (side != m_drawnSide)
        return;
    QTableView* view = tableView(side);
    const QModelIndex current = view ? view->currentIndex() : QModelIndex();
    // The row now drawn is the one marked, also when it took a deleted row's place.
    if (current.isValid() && view->selectionModel())
        view->selectionModel()->select(current,
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    showSegment(side, current.isValid() ? current.row() : -1);
}
