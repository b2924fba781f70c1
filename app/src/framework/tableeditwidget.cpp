#include "framework/tableeditwidget.h"

#include "document/prompter.h"
#include "document/trelvin.h"
#include "framework/blocktablemodel.h"
#include "framework/columnfitter.h"
#include "framework/selectedrange.h"
#include "framework/tableviewform.h"
#include "ui_tableviewwidget.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

TableEditWidget::TableEditWidget(QWidget* parent, int firstPaste, int lastPaste, int blankLimit)
    : QWidget(parent)
    , ui(new Ui::TableViewWidget)
    , m_firstPaste(firstPaste)
    , m_lastPaste(lastPaste)
    , m_blankLimit(blankLimit)
{
}

TableEditWidget::~TableEditWidget() = default;

void TableEditWidget::setUpTable(Zemko::Trelvin::BlockTableModel* model)
{
    m_table = model;
    ui->setupUi(this);
    ui->tableView->setModel(model);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectItems);
    ui->tableView->setSelectionMode(QAbstractItemView::ContiguousSelection);
    ui->editButton->hide();
    Zemko::Trelvin::setTooltipTracking(this, true);
    // Columns as wide as their titles and texts; the user may still drag them.
    Zemko::Trelvin::ColumnFitter::attach(ui->tableView);

    m_menu = new QMenu(this);
    QAction* append = m_menu->addAction(tr("Append an element"));
    m_deleteAction = m_menu->addAction(tr("Delete selected elements"));
    m_insertAction = m_menu->addAction(tr("Insert an element"));
    m_copyAction = m_menu->addAction(tr("Copy"));
    m_pasteAction = m_menu->addAction(tr("Paste"));
    connect(append, &QAction::triggered, this, &TableEditWidget::on_appendButton_clicked);
    connect(m_deleteAction, &QAction::triggered, this, &TableEditWidget::on_deleteButton_clicked);
    connect(m_insertAction, &QAction::triggered, this, &TableEditWidget::on_insertButton_clicked);
    connect(m_copyAction, &QAction::triggered, this, &TableEditWidget::onCopyToClipboard);
    connect(m_pasteAction, &QAction::triggered, this, &TableEditWidget::onPasteFromClipboard);
    ui->tableView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->tableView, &QWidget::customContextMenuRequested, this, &TableEditWidget::showContextMenu);
    ui->tableView->installEventFilter(this);
}

void TableEditWidget::selection(int& top, int& left, int& rowCount, int& columnCount) const
{
    Zemko::Trelvin::selectedRange(ui->tableView->selectionModel(), top, left, rowCount, columnCount);
}

void TableEditWidget::on_appendButton_clicked()
{
    m_table->appendElements(1);
}

void TableEditWidget::on_insertButton_clicked()
{
    int top, left, rows, columns;
    selection(top, left, rows, columns);
    if (top >= 0 && left >= 0)
        m_table->insertElements(top, 1);
}

void TableEditWidget::on_deleteButton_clicked()
{
    int top, left, rows, columns;
    selection(top, left, rows, columns);
    if (top >= 0 && left >= 0)
        m_table->removeElements(top, rows);
}

void TableEditWidget::onCopyToClipboard()
{
    int top, left, rows, columns;
    selection(top, left, rows, columns);
    if (top < 0 || left < 0)
        return;
    // A block the table does not copy leaves the clipboard as it was.
    const Zemko::Trelvin::Rows block = m_table->copyCells(top, left, rows, columns);
    if (!block.isEmpty())
        Zemko::Trelvin::copyToClipboard(block);
}

void TableEditWidget::onPasteFromClipboard()
{
    int top, left, rows, columns;
    selection(top, left, rows, columns);
    if (top < 0 || !pastesAt(left))
        return;
    if (Zemko::Trelvin::Prompter::instance()->question(
            this, QStringLiteral("Trelvin"), tr("Do you want to replace the origin content?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
        != QMessageBox::Yes)
        return;
    const Zemko::Trelvin::Rows lines = Zemko::Trelvin::rowsFromClipboard();
    if (!Zemko::Trelvin::isBlank(lines, m_blankLimit - left))
        m_table->pasteCells(top, left, lines);
}

bool TableEditWidget::pastesAt(int column) const
{
    return column >= m_firstPaste && column <= m_lastPaste;
}

void TableEditWidget::prepareContextMenu()
{
    int top, left, rows, columns;
    selection(top, left, rows, columns);
    const bool selected = ui->tableView->selectionModel()->hasSelection();
    m_deleteAction->setEnabled(selected);
    m_insertAction->setEnabled(selected);
    m_copyAction->setEnabled(selected);
    m_pasteAction->setEnabled(selected && pastesAt(left));
}

void TableEditWidget::showContextMenu()
{
    prepareContextMenu();
    m_menu->exec(QCursor::pos());
}

void TableEditWidget::selectCells(int row, int first, int last)
{
    const QAbstractItemModel* model = ui->tableView->model();
    ui->tableView->selectionModel()->select(QItemSelection(model->index(row, first), model->index(row, last)),
                                            QItemSelectionModel::ClearAndSelect);
    ui->tableView->scrollTo(model->index(row, first));
}

bool TableEditWidget::applyTypedRows(const TypedApply& apply)
{
    Zemko::Trelvin::Prompter* prompter = Zemko::Trelvin::Prompter::instance();
    if (m_table->rowCount() == 0
        && prompter->question(this, tr("No data"), apply.emptyQuestion, QMessageBox::No | QMessageBox::Yes)
            != QMessageBox::Yes)
        return false;

    int row = -1;
    int column = -1;
    if (!apply.check(row, column)) {
        prompter->information(this, QStringLiteral("Trelvin"),
                              apply.invalidRow.arg(row + 1, 0, 10, QLatin1Char(' ')), QMessageBox::Ok);
        selectCells(row, column, column);
        return false;
    }

    const int refused = apply.build();
    if (refused >= 0) {
        prompter->information(this, QStringLiteral("Trelvin"),
                              apply.refusedRow.arg(refused + 1, 0, 10, QLatin1Char(' ')), QMessageBox::Ok);
        selectCells(refused, 0, apply.refusedLast);
        return false;
    }
    if (apply.confirm && !apply.confirm())
        return false;
    writeRows();
    return true;
}

bool TableEditWidget::confirmDroppingEditsOf(DataType::Categories other, const QString& otherTable)
{
    if (!(Zemko::Trelvin::Trelvin::instance()->editFlags() & other))
        return true;
    return Zemko::Trelvin::Prompter::instance()->question(
               this, windowTitle(),
               tr("The %1 table holds edits that this Apply replaces: they will be lost.\nApply all the "
                  "same?")
                   .arg(otherTable),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

// The road holds the rows even when the file could not be written; the plan shows them.
void TableEditWidget::writeRows()
{
    Zemko::Trelvin::Trelvin* document = Zemko::Trelvin::Trelvin::instance();
    const bool written = m_table->applyChanges();
    const QString failure = document->writeFailureText(written);
    if (failure.isEmpty())
        return;
    // A write that counts as a save only has news for the user.
    if (written && Pelko::Road::isSaved(document->fileError()))
        Zemko::Trelvin::Prompter::instance()->warning(this, windowTitle(), failure, QMessageBox::Ok);
    else
        Zemko::Trelvin::Prompter::instance()->critical(this, tr("Save failed"), failure, QMessageBox::Ok);
}

bool TableEditWidget::handleShortcut(QKeyEvent* event)
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

void TableEditWidget::keyPressEvent(QKeyEvent* event)
{
    if (!handleShortcut(event))
        event->ignore();
}

bool TableEditWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->tableView && event->type() == QEvent::KeyPress
        && handleShortcut(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}
