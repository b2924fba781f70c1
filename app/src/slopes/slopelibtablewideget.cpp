#include "slopes/slopelibtablewideget.h"

#include "document/prompter.h"
#include "document/reminder.h"
#include "document/trelvin.h"
#include "slopes/slopelibdialog.h"
#include "slopes/slopelibtablemodel.h"
#include "ui_tableviewwidget.h"

#include <QHeaderView>

using Zemko::Trelvin::SlopeLibTableModel;

SlopeLibTableWideget::SlopeLibTableWideget(Pelko::Road::SlopeSectionType type, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::TableViewWidget)
{
    ui->setupUi(this);
    ui->insertButton->hide();
    m_model = new SlopeLibTableModel(type, this);
    setWindowTitle(type == Pelko::Road::SlopeSectionFill      ? tr("Fill")
                       : type == Pelko::Road::SlopeSectionCut ? tr("Cut")
                                                              : QString());
    ui->tableView->setModel(m_model);
    // One column of names: let it fill the list.
    ui->tableView->horizontalHeader()->setStretchLastSection(true);
    connect(ui->tableView, SIGNAL(clicked(QModelIndex)), this, SLOT(onClicked(QModelIndex)));
    connect(ui->tableView, SIGNAL(doubleClicked(QModelIndex)), this, SLOT(onEdit(QModelIndex)));
}

SlopeLibTableWideget::~SlopeLibTableWideget() = default;

QTableView* SlopeLibTableWideget::tableView() const
{
    return ui->tableView;
}

void SlopeLibTableWideget::warn(const QString& text)
{
    Zemko::Trelvin::Prompter::instance()->warning(this, Zemko::Trelvin::Reminder::tr("Trelvin"), text,
                                                  QMessageBox::Ok);
}

void SlopeLibTableWideget::on_appendButton_clicked()
{
    SlopeLibDialog dialog(0, m_model->rowCount(), m_model, this);
    while (dialog.exec() != 0) {
        const SlopeLibTableModel::EditResult result = m_model->add(dialog.slopeTemplate());
        if (result.ok)
            return;
        warn(result.message);
    }
}

void SlopeLibTableWideget::on_editButton_clicked()
{
    editRow(ui->tableView->currentIndex().row());
}

void SlopeLibTableWideget::onEdit(const QModelIndex& index)
{
    editRow(index.row());
}

void SlopeLibTableWideget::editRow(int row)
{
    if (row < 0)
        return;
    SlopeLibDialog dialog(1, row, m_model, this);
    while (dialog.exec() != 0) {
        const SlopeLibTableModel::EditResult result = m_model->setAt(row, dialog.slopeTemplate());
        if (result.ok)
            return;
        warn(result.message);
    }
}

void SlopeLibTableWideget::on_deleteButton_clicked()
{
    const int row = ui->tableView->currentIndex().row();
    if (row < 0)
        return;
    const SlopeLibTableModel::EditResult result = m_model->removeAt(row);
    if (!result.ok) {
        warn(result.message);
        return;
    }
    if (row > 0) {
        const QModelIndex previous = m_model->index(row - 1, 0);
        ui->tableView->setCurrentIndex(previous);
        emit ui->tableView->clicked(previous);
        return;
    }
    // The view would otherwise mark the row that moved up while the elements show none.
    ui->tableView->clearSelection();
    ui->tableView->setCurrentIndex(QModelIndex());
    emit selected(m_model->type(), -1, Pelko::Road::SlopeSectionTemplateEditable());
}

void SlopeLibTableWideget::on_applyButton_clicked()
{
    // A file that could not be written must not pass for saved.
    const QString failure = Zemko::Trelvin::Trelvin::instance()->writeFailureText(m_model->applyChanges());
    if (!failure.isEmpty())
        warn(failure);
}

void SlopeLibTableWideget::onClicked(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    emit selected(m_model->type(), row,
                  m_model->library().getAt(m_model->type(), static_cast<unsigned>(row)));
}
