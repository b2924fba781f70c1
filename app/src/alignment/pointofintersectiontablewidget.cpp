#include "alignment/pointofintersectiontablewidget.h"

#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointsofintersectiondialog.h"
#include "framework/itemdelegates.h"
#include "framework/selectedrange.h"
#include "framework/tableviewform.h"
#include "shell/prompter.h"
#include "ui_tableviewwidget.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

using Zemko::Trelvin::PointOfIntersectionTableModel;
using Zemko::Trelvin::Prompter;

PointOfIntersectionTableWidget::PointOfIntersectionTableWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::TableViewWidget)
{
    ui->setupUi(this);
    m_model = new PointOfIntersectionTableModel(this);
    setWindowTitle(tr("Point of Intersections"));
    ui->tableView->setModel(m_model);

    ui->tableView->setItemDelegateForColumn(0, new Zemko::Trelvin::StationEditDelegate(this));
    auto* lineEdit = new Zemko::Trelvin::LineEditDelegate(this);
    for (int column = 1; column <= 7; ++column)
        ui->tableView->setItemDelegateForColumn(column, lineEdit);

    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectItems);
    ui->tableView->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ui->editButton->hide();
    Zemko::Trelvin::setTooltipTracking(this, true);

    m_menu = new QMenu(this);
    m_appendAction = m_menu->addAction(tr("Append an element"));
    m_deleteAction = m_menu->addAction(tr("Delete selected elements"));
    m_insertAction = m_menu->addAction(tr("Insert an element"));
    m_copyAction = m_menu->addAction(tr("Copy"));
    m_pasteAction = m_menu->addAction(tr("Paste"));
    connect(m_appendAction, &QAction::triggered, this,
            &PointOfIntersectionTableWidget::on_appendButton_clicked);
    connect(m_deleteAction, &QAction::triggered, this,
            &PointOfIntersectionTableWidget::on_deleteButton_clicked);
    connect(m_insertAction, &QAction::triggered, this,
            &PointOfIntersectionTableWidget::on_insertButton_clicked);
    connect(m_copyAction, &QAction::triggered, this, &PointOfIntersectionTableWidget::onCopyToClipboard);
    connect(m_pasteAction, &QAction::triggered, this, &PointOfIntersectionTableWidget::onPasteFromClipboard);
    ui->tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tableView, &QWidget::customContextMenuRequested, this,
            &PointOfIntersectionTableWidget::onShowContextMenu);
    ui->tableView->installEventFilter(this);
}

PointOfIntersectionTableWidget::~PointOfIntersectionTableWidget() = default;

QString PointOfIntersectionTableWidget::columnHint(int column)
{
    switch (column) {
    case 0:
        return tr("The mileage of the POI.");
    case 1:
        return tr("X coordinate value of the POI.");
    case 2:
        return tr("Y coordinate value of the POI.");
    case 3:
        return tr("The length of the in spiral curve.");
    case 4:
        return tr("The radius of the arc curve. Zero of empty represents infinity.");
    case 5:
        return tr("The length of the out spiral curve.");
    case 6:
        return tr("The begin radius of the in spiral curve. Zero of empty represents infinity.");
    case 7:
        return tr("The end radius of the out spiral curve. Zero of empty represents infinity.");
    case 8:
        return tr("The total length of the curve.");
    case 9:
        return tr("The tangent length of the in spiral curve.");
    case 10:
        return tr("The tangent length of the out spiral curve.");
    default:
        return QString();
    }
}

void PointOfIntersectionTableWidget::on_appendButton_clicked()
{
    m_model->appendElements(1);
}

void PointOfIntersectionTableWidget::on_insertButton_clicked()
{
    int top, left, rows, columns;
    Zemko::Trelvin::selectedRange(ui->tableView->selectionModel(), top, left, rows, columns);
    if (top >= 0 && left >= 0)
        m_model->insertElements(top, 1);
}

void PointOfIntersectionTableWidget::on_editButton_clicked()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (current.row() >= 0)
        editRow(current.row());
}

void PointOfIntersectionTableWidget::onEdit(QModelIndex index)
{
    editRow(index.row());
}

void PointOfIntersectionTableWidget::editRow(int row)
{
    if (row < 0)
        return;
    PointsOfIntersectionDialog dialog(1, row, m_model, this);
    if (dialog.exec() != 0)
        m_model->setPointOfIntersection(row, dialog.pointOfIntersection());
}

void PointOfIntersectionTableWidget::on_deleteButton_clicked()
{
    int top, left, rows, columns;
    Zemko::Trelvin::selectedRange(ui->tableView->selectionModel(), top, left, rows, columns);
    if (top >= 0 && left >= 0)
        m_model->removeElements(top, rows);
}

void PointOfIntersectionTableWidget::selectCell(int row, int column)
{
    const QModelIndex cell = m_model->index(row, column);
    ui->tableView->selectionModel()->select(cell, QItemSelectionModel::ClearAndSelect);
    ui->tableView->scrollTo(cell);
}

void PointOfIntersectionTableWidget::on_applyButton_clicked()
{
    Prompter* prompter = Prompter::instance();
    if (m_model->rowCount() == 0
        && prompter->question(this, tr("No data"),
                              tr("No data in POI table, all elements will be deleted, continue ?"),
                              QMessageBox::No | QMessageBox::Yes)
            != QMessageBox::Yes)
        return;

    int row = -1;
    int column = -1;
    if (!m_model->checkRows(row, column)) {
        prompter->information(this, QStringLiteral("Trelvin"),
                              tr("Invalid POI on line %1").arg(row + 1, 0, 10, QLatin1Char(' ')),
                              QMessageBox::Ok);
        selectCell(row, column);
        return;
    }

    int code = 0;
    const int refused = m_model->applyRows(code);
    if (refused >= 0) {
        prompter->information(this, QStringLiteral("Trelvin"),
                              tr("Create POI failed on line %1").arg(refused + 1, 0, 10, QLatin1Char(' ')),
                              QMessageBox::Ok);
        selectCell(refused, 0);
        return;
    }

    // The road holds the new PIs even when the file could not be written; the plan shows them.
    if (!m_model->applyChanges())
        prompter->critical(this, tr("Save failed"), tr("Save road failed!"), QMessageBox::Ok);
    emit currentChange();
}

void PointOfIntersectionTableWidget::onCopyToClipboard()
{
    int top, left, rows, columns;
    Zemko::Trelvin::selectedRange(ui->tableView->selectionModel(), top, left, rows, columns);
    if (top < 0 || left < 0)
        return;
    // A block the table does not copy leaves the clipboard as it was.
    const Zemko::Trelvin::Rows block = m_model->copyCells(top, left, rows, columns);
    if (!block.isEmpty())
        Zemko::Trelvin::copyToClipboard(block);
}

void PointOfIntersectionTableWidget::onPasteFromClipboard()
{
    int top, left, rows, columns;
    Zemko::Trelvin::selectedRange(ui->tableView->selectionModel(), top, left, rows, columns);
    if (top < 0 || left < 1 || left > 7)
        return;
    if (Prompter::instance()->question(this, QStringLiteral("Trelvin"),
                                       tr("Do you want to replace the origin content?"),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        != QMessageBox::Yes)
        return;
    const Zemko::Trelvin::Rows lines = Zemko::Trelvin::rowsFromClipboard();
    if (!Zemko::Trelvin::isBlank(lines, 6 - left))
        m_model->pasteCells(top, left, lines);
}

void PointOfIntersectionTableWidget::prepareContextMenu()
{
    int top, left, rows, columns;
    Zemko::Trelvin::selectedRange(ui->tableView->selectionModel(), top, left, rows, columns);
    const bool selected = ui->tableView->selectionModel()->hasSelection();
    m_deleteAction->setEnabled(selected);
    m_insertAction->setEnabled(selected);
    m_copyAction->setEnabled(selected);
    m_pasteAction->setEnabled(selected && left >= 1 && left <= 7);
    m_appendAction->setEnabled(true);
}

void PointOfIntersectionTableWidget::onShowContextMenu(QPoint)
{
    prepareContextMenu();
    m_menu->exec(QCursor::pos());
}

void PointOfIntersectionTableWidget::onShowToolTip(QModelIndex index)
{
    ui->lblTooltip->setText(index.isValid() ? columnHint(index.column()) : QString());
}

bool PointOfIntersectionTableWidget::handleShortcut(QKeyEvent* event)
{
    if (event->modifiers() != Qt::ControlModifier)
        return false;
    if (event->key() == Qt::Key_C) {
        onCopyToClipboard();
        return true;
    }
    if (event->key() == Qt::Key_V) {
        onPasteFromClipboard();
        return true;
    }
    return false;
}

void PointOfIntersectionTableWidget::keyPressEvent(QKeyEvent* event)
{
    if (!handleShortcut(event))
        event->ignore();
}

bool PointOfIntersectionTableWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->tableView && event->type() == QEvent::KeyPress
        && handleShortcut(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}
