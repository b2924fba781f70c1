#include "profile/verticalalignmenttablewidget.h"

#include "document/prompter.h"
#include "document/reminder.h"
#include "document/trelvin.h"
#include "framework/itemdelegates.h"
#include "framework/selectedrange.h"
#include "framework/tableviewform.h"
#include "profile/verticalalignmentdialog.h"
#include "profile/verticalalignmenttablemodel.h"
#include "ui_tableviewwidget.h"

#include <QCursor>
#include <QItemSelection>
#include <QKeyEvent>
#include <QMenu>

using Zemko::Trelvin::Prompter;
using Zemko::Trelvin::VerticalAlignmentTableModel;

VerticalAlignmentTableWidget::VerticalAlignmentTableWidget(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::TableViewWidget)
{
    ui->setupUi(this);
    m_model = new VerticalAlignmentTableModel(this);
    setWindowTitle(tr("Vertical Elements"));
    ui->tableView->setModel(m_model);
    ui->editButton->hide();
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectItems);
    ui->tableView->setSelectionMode(QAbstractItemView::ContiguousSelection);

    ui->tableView->setItemDelegateForColumn(0, new Zemko::Trelvin::StationEditDelegate(this));
    auto* lineEdit = new Zemko::Trelvin::LineEditDelegate(this);
    ui->tableView->setItemDelegateForColumn(1, lineEdit);
    ui->tableView->setItemDelegateForColumn(2, lineEdit);

    m_menu = new QMenu(this);
    m_appendAction = m_menu->addAction(tr("Append an element"));
    m_deleteAction = m_menu->addAction(tr("Delete selected elements"));
    m_insertAction = m_menu->addAction(tr("Insert an element"));
    m_copyAction = m_menu->addAction(tr("Copy"));
    m_pasteAction = m_menu->addAction(tr("Paste"));
    connect(m_appendAction, &QAction::triggered, this,
            &VerticalAlignmentTableWidget::on_appendButton_clicked);
    connect(m_deleteAction, &QAction::triggered, this,
            &VerticalAlignmentTableWidget::on_deleteButton_clicked);
    connect(m_insertAction, &QAction::triggered, this,
            &VerticalAlignmentTableWidget::on_insertButton_clicked);
    connect(m_copyAction, &QAction::triggered, this, &VerticalAlignmentTableWidget::onCopyToClipboard);
    connect(m_pasteAction, &QAction::triggered, this, &VerticalAlignmentTableWidget::onPasteFromClipboard);
    ui->tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tableView, &QWidget::customContextMenuRequested, this,
            &VerticalAlignmentTableWidget::displayContextMenu);
    ui->tableView->installEventFilter(this);
}

VerticalAlignmentTableWidget::~VerticalAlignmentTableWidget() = default;

QTableView* VerticalAlignmentTableWidget::tableView() const
{
    return ui->tableView;
}

void VerticalAlignmentTableWidget::selection(int& top, int& left, int& rowCount, int& columnCount) const
{
    Zemko::Trelvin::selectedRange(ui->tableView->selectionModel(), top, left, rowCount, columnCount);
}

void VerticalAlignmentTableWidget::on_appendButton_clicked()
{
    m_model->appendElements(1);
}

void VerticalAlignmentTableWidget::on_insertButton_clicked()
{
    int top, left, rowCount, columnCount;
    selection(top, left, rowCount, columnCount);
    if (top >= 0 && left >= 0)
        m_model->insertElements(top, 1);
}

void VerticalAlignmentTableWidget::on_deleteButton_clicked()
{
    int top, left, rowCount, columnCount;
    selection(top, left, rowCount, columnCount);
    if (top >= 0 && left >= 0)
        m_model->removeElements(top, rowCount);
}

void VerticalAlignmentTableWidget::on_editButton_clicked()
{
    onEdit(ui->tableView->currentIndex());
}

void VerticalAlignmentTableWidget::onEdit(const QModelIndex& index)
{
    if (index.isValid() && index.row() >= 0)
        editRow(index.row());
}

void VerticalAlignmentTableWidget::editRow(int row)
{
    VerticalAlignmentDialog dialog(1, row, m_model, this);
    for (;;) {
        if (dialog.exec() == 0)
            return;
        const VerticalAlignmentTableModel::EditResult result = m_model->setElement(row, dialog.element());
        if (result.ok)
            return;
        // Shown again with the user's values still in it.
        warn(result.message);
    }
}

void VerticalAlignmentTableWidget::warn(const QString& text)
{
    Prompter::instance()->warning(this, Zemko::Trelvin::Reminder::tr("Trelvin"), text, QMessageBox::Ok);
}

void VerticalAlignmentTableWidget::selectCells(int row, int firstColumn, int lastColumn)
{
    ui->tableView->scrollTo(m_model->index(row, firstColumn));
    const QItemSelection cells(m_model->index(row, firstColumn), m_model->index(row, lastColumn));
    ui->tableView->selectionModel()->select(cells, QItemSelectionModel::ClearAndSelect);
}

void VerticalAlignmentTableWidget::on_applyButton_clicked()
{
    int row = -1;
    int column = -1;
    VerticalAlignmentTableModel::EditResult result = m_model->checkRows(row, column);
    if (!result.ok) {
        warn(result.message.isEmpty() ? tr("Invalid vertical element on line %1").arg(row + 1)
                                      : result.message);
        selectCells(row, column, column);
        return;
    }

    const int refused = m_model->applyRows(result);
    if (refused >= 0) {
        warn(result.message.isEmpty() ? tr("Add vertical element failed on line %1").arg(refused + 1)
                                      : result.message);
        selectCells(refused, 0, m_model->columnCount() - 1);
        return;
    }

    const bool written = m_model->applyChanges();
    const QString failure = Zemko::Trelvin::Trelvin::instance()->writeFailureText(written);
    if (!failure.isEmpty())
        warn(failure);
    // The road holds the rows now; the mark stays so that the next save writes them again.
    if (!written)
        return;
    m_model->reload();
    emit currentChange();
}

void VerticalAlignmentTableWidget::onCopyToClipboard()
{
    int top, left, rowCount, columnCount;
    selection(top, left, rowCount, columnCount);
    if (top >= 0 && left >= 0)
        Zemko::Trelvin::copyToClipboard(m_model->copyCells(top, left, rowCount, columnCount));
}

void VerticalAlignmentTableWidget::onPasteFromClipboard()
{
    int top, left, rowCount, columnCount;
    selection(top, left, rowCount, columnCount);
    if (top < 0 || left < 0 || left > 2)
        return;
    if (Prompter::instance()->question(this, QStringLiteral("Trelvin"),
                                       tr("Do you want to replace the origin content?"),
                                       QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const Zemko::Trelvin::Rows rows = Zemko::Trelvin::rowsFromClipboard();
    if (Zemko::Trelvin::isBlank(rows, 3 - left))
        return;
    m_model->pasteCells(top, left, rows);
}

void VerticalAlignmentTableWidget::updateContextMenu()
{
    int top, left, rowCount, columnCount;
    selection(top, left, rowCount, columnCount);
    const bool selected = top >= 0 && left >= 0;
    m_appendAction->setEnabled(true);
    m_deleteAction->setEnabled(selected);
    m_insertAction->setEnabled(selected);
    m_copyAction->setEnabled(selected);
    m_pasteAction->setEnabled(selected && left < 3);
}

void VerticalAlignmentTableWidget::displayContextMenu(const QPoint&)
{
    updateContextMenu();
    m_menu->exec(QCursor::pos());
}

bool VerticalAlignmentTableWidget::handleShortcut(const QKeyEvent* event)
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

void VerticalAlignmentTableWidget::keyPressEvent(QKeyEvent* event)
{
    handleShortcut(event);
}

bool VerticalAlignmentTableWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->tableView && event->type() == QEvent::KeyPress
        && handleShortcut(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}
