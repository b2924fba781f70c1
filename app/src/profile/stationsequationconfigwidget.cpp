#include "profile/stationsequationconfigwidget.h"

#include "document/prompter.h"
#include "document/trelvin.h"
#include "framework/itemdelegates.h"
#include "profile/stationsequationdialog.h"
#include "profile/stationsequationtablemodel.h"
#include "ui_stationsequationconfigwidget.h"

#include <road/station.h>

#include <algorithm>

using Zemko::Trelvin::Prompter;

StationsEquationConfigWidget::StationsEquationConfigWidget(QWidget* parent)
    : SimpleEditWidget(tr("Stations Equation"), parent)
    , ui(new Ui::StationsEquationConfigWidget)
{
    ui->setupUi(this);
    // The form carries the title of its own; the page's is the translated one.
    setWindowTitle(tr("Stations Equation"));
    m_model = new Zemko::Trelvin::StationsEquationTableModel(this);
    ui->tableView->setModel(m_model);

    connect(ui->appendButton, &QPushButton::clicked, this, &StationsEquationConfigWidget::onBtnAppendClick);
    connect(ui->deleteButton, &QPushButton::clicked, this, &StationsEquationConfigWidget::onBtnDeleteClick);
    connect(ui->applyButton, &QPushButton::clicked, this, &StationsEquationConfigWidget::onBtnApplyClick);
    // Before and After are edited in place; the dialog path stays for callers.
    ui->editButton->hide();

    m_delegate = new Zemko::Trelvin::StationEditDelegate(this);
    ui->tableView->setItemDelegateForColumn(1, m_delegate);
    ui->tableView->setItemDelegateForColumn(2, m_delegate);
}

StationsEquationConfigWidget::~StationsEquationConfigWidget() = default;

int StationsEquationConfigWidget::selectedRow()
{
    const QModelIndex current = ui->tableView->currentIndex();
    if (current.isValid())
        return current.row();
    Prompter::instance()->warning(parentWidget(), QString(), tr("Please Select Data!"), QMessageBox::Ok);
    return -1;
}

void StationsEquationConfigWidget::onBtnAppendClick()
{
    const Pelko::Road::StationsEquation last = m_model->equationAt(m_model->rowCount() - 1);
    const double station = std::max(last.getAfter(), last.getBefore()) + 10.0;
    // An equation without a break, for the user to edit in place.
    m_model->appendEquation(Pelko::Road::StationsEquation(station, station));
}

void StationsEquationConfigWidget::onBtnDeleteClick()
{
    const int row = selectedRow();
    if (row >= 0)
        m_model->removeEquation(row);
}

void StationsEquationConfigWidget::onBtnEditClick()
{
    const int row = selectedRow();
    if (row >= 0)
        editRow(row);
}

void StationsEquationConfigWidget::onTableViewDoubleClick(const QModelIndex& index)
{
    if (index.isValid())
        editRow(index.row());
}

void StationsEquationConfigWidget::editRow(int row)
{
    StationsEquationDialog dialog(this);
    const Pelko::Road::StationsEquation stored = m_model->equationAt(row);
    dialog.setBefore(stored.getBefore(), m_model->cellText(row, 1));
    dialog.setAfter(stored.getAfter(), m_model->cellText(row, 2));
    if (dialog.exec() != QDialog::Accepted)
        return;
    showCodeMessage(
        m_model->setEquationAt(row, Pelko::Road::StationsEquation(dialog.before(), dialog.after())));
}

void StationsEquationConfigWidget::showCodeMessage(int code)
{
    QString text;
    switch (code) {
    case 1:
        text = tr("Overlapped");
        break;
    case 2:
        text = tr("Less Than Previous");
        break;
    case 3:
        text = tr("Greator Than Next");
        break;
    default:
        return;
    }
    Prompter::instance()->warning(this, QString(), text, QMessageBox::Ok);
}

void StationsEquationConfigWidget::onBtnApplyClick()
{
    // A file that could not be written must not pass for saved.
    const QString failure = Zemko::Trelvin::Trelvin::instance()->writeFailureText(m_model->applyChanges());
    if (!failure.isEmpty())
        Prompter::instance()->warning(this, QString(), failure, QMessageBox::Ok);
}

void StationsEquationConfigWidget::updateData(DataType::Categories) { }

void StationsEquationConfigWidget::onRoadOpen() { }

void StationsEquationConfigWidget::onRoadAboutToClose() { }
