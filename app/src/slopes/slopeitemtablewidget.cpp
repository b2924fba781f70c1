#include "slopes/slopeitemtablewidget.h"

#include "document/prompter.h"
#include "document/reminder.h"
#include "framework/columnfitter.h"
#include "slopes/slopeitemdialog.h"
#include "slopes/slopeitemtablemodel.h"
#include "ui_tableviewwidget.h"

#include <QLabel>

using Zemko::Trelvin::Prompter;
using Zemko::Trelvin::Reminder;
using Zemko::Trelvin::SlopeItemTableModel;

SlopeItemTableWidget::SlopeItemTableWidget(Zemko::Trelvin::SlopeTableModel* segments, int segmentRow,
                                           QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::TableViewWidget)
    , m_segmentRow(segmentRow)
{
    ui->setupUi(this);
    ui->applyButton->hide();
    ui->insertButton->hide();
    setWindowTitle(tr("Slope Item Table"));
    ui->verticalLayout->insertWidget(0, new QLabel(windowTitle(), this));
    m_model = new SlopeItemTableModel(segments, segmentRow, this);
    setWindowTitle(tr("Slope"));
    ui->tableView->setModel(m_model);
    Zemko::Trelvin::ColumnFitter::attach(ui->tableView);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ui->tableView, &QAbstractItemView::doubleClicked, this, &SlopeItemTableWidget::onEdit);
    for (QWidget* button : { ui->appendButton, ui->deleteButton, ui->editButton, ui->insertButton })
        button->setEnabled(false);
}

SlopeItemTableWidget::~SlopeItemTableWidget() = default;

QTableView* SlopeItemTableWidget::tableView() const
{
    return ui->tableView;
}

Pelko::Road::SlopeSectionTemplate SlopeItemTableWidget::currentTemplate() const
{
    return m_model->templateOfSegment(m_segmentRow);
}

void SlopeItemTableWidget::setSegment(Pelko::Road::SlopeSectionSide side, int row)
{
    m_side = side;
    m_segmentRow = row;
    // Following the selection is no edit: pending edits of the side stay marked.
    m_model->showSegment(row);
    const bool live = m_model->hasTemplate();
    for (QWidget* button : { ui->appendButton, ui->deleteButton, ui->editButton, ui->insertButton })
        button->setEnabled(live);
}

bool SlopeItemTableWidget::checkModel()
{
    if (!m_model) {
        Prompter::instance()->warning(this, Reminder::tr("Trelvin"), tr("No slope selected!"),
                                      QMessageBox::Ok);
        return false;
    }
    return m_model->currentTemplate().isValid();
}

int SlopeItemTableWidget::currentRow() const
{
    return ui->tableView->currentIndex().row();
}

void SlopeItemTableWidget::on_appendButton_clicked()
{
    if (checkModel())
        appendFrom(m_model->rowCount());
}

void SlopeItemTableWidget::on_insertButton_clicked()
{
    if (checkModel() && currentRow() >= 0)
        appendFrom(currentRow());
}

void SlopeItemTableWidget::appendFrom(int row)
{
    for (;;) {
        SlopeItemDialog dialog(0, row, m_model, this);
        const int result = dialog.exec();
        if (result == 0)
            return;
        if (!m_model->add(dialog.element()).ok)
            return;
        announce();
        ++row;
        if (result != 2)
            return;
    }
}

void SlopeItemTableWidget::on_editButton_clicked()
{
    if (checkModel())
        editRow(currentRow());
}

void SlopeItemTableWidget::onEdit(const QModelIndex& index)
{
    editRow(index.row());
}

void SlopeItemTableWidget::editRow(int row)
{
    if (row < 0)
        return;
    SlopeItemDialog dialog(1, row, m_model, this);
    while (dialog.exec() != 0) {
        const auto result = m_model->setAt(row, dialog.element());
        if (result.ok) {
            announce();
            return;
        }
        Prompter::instance()->warning(this, Reminder::tr("Trelvin"), result.message, QMessageBox::Ok);
    }
}

void SlopeItemTableWidget::on_deleteButton_clicked()
{
    const int row = currentRow();
    if (!checkModel() || row < 0)
        return;
    m_model->removeAt(row);
    announce();
}

void SlopeItemTableWidget::announce()
{
    emit dataSetChange(m_side, m_segmentRow, currentTemplate());
}
