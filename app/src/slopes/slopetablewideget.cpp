#include "slopes/slopetablewideget.h"

#include "document/prompter.h"
#include "document/trelvin.h"
#include "slopes/segmentdialogs.h"
#include "slopes/slopedialog.h"
#include "slopes/slopetablemodel.h"
#include "ui_tableviewwidget.h"

using Zemko::Trelvin::runSegmentDialog;
using Zemko::Trelvin::SlopeTableModel;

SlopeTableWideget::SlopeTableWideget(Pelko::Road::SlopeSectionSide side, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::TableViewWidget)
{
    ui->setupUi(this);
    ui->insertButton->hide();
    m_model = new SlopeTableModel(side, this);
    setWindowTitle(side == Pelko::Road::SlopeSideLeft        ? tr("Left")
                       : side == Pelko::Road::SlopeSideRight ? tr("Right")
                                                             : QString());
    ui->tableView->setModel(m_model);
    ui->tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(ui->tableView, &QAbstractItemView::clicked, this, &SlopeTableWideget::onClicked);
    connect(ui->tableView, &QAbstractItemView::doubleClicked, this, &SlopeTableWideget::onEdit);
}

SlopeTableWideget::~SlopeTableWideget() = default;

QTableView* SlopeTableWideget::tableView() const
{
    return ui->tableView;
}

void SlopeTableWideget::on_appendButton_clicked()
{
    SlopeDialog dialog(0, m_model->rowCount(), m_model, this);
    runSegmentDialog(dialog, this, [this](const Pelko::Road::SlopeSectionSegment& segment) {
        return m_model->add(segment);
    });
}

void SlopeTableWideget::on_editButton_clicked()
{
    editRow(ui->tableView->currentIndex().row());
}

void SlopeTableWideget::onEdit(const QModelIndex& index)
{
    editRow(index.row());
}

void SlopeTableWideget::editRow(int row)
{
    if (row < 0)
        return;
    SlopeDialog dialog(1, row, m_model, this);
    runSegmentDialog(dialog, this, [this, row](const Pelko::Road::SlopeSectionSegment& segment) {
        return m_model->setAt(row, segment);
    });
}

void SlopeTableWideget::on_deleteButton_clicked()
{
    const int row = ui->tableView->currentIndex().row();
    if (row < 0)
        return;
    m_model->removeAt(row);
    if (row > 0) {
        ui->tableView->selectRow(row - 1);
        emit ui->tableView->clicked(ui->tableView->currentIndex());
    } else {
        emit selected(m_model->side(), -1, Pelko::Road::SlopeSectionTemplate());
    }
}

void SlopeTableWideget::on_applyButton_clicked()
{
    const QString failure = Zemko::Trelvin::Trelvin::instance()->writeFailureText(m_model->applyChanges());
    if (!failure.isEmpty())
        Zemko::Trelvin::Prompter::instance()->warning(this, QString(), failure);
}

void SlopeTableWideget::onClicked(const QModelIndex&) { }
