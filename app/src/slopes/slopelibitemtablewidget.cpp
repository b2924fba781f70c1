#include "slopes/slopelibitemtablewidget.h"

#include "document/prompter.h"
#include "document/reminder.h"
#include "framework/columnfitter.h"
#include "slopes/slopelibitemdialog.h"
#include "slopes/slopelibitemtablemodel.h"
#include "slopes/slopelibtablemodel.h"
#include "ui_tableviewwidget.h"

#include <QLabel>

using Zemko::Trelvin::SlopeLibItemTableModel;

SlopeLibItemTableWidget::SlopeLibItemTableWidget(Zemko::Trelvin::SlopeLibTableModel* listModel,
                                                 int templateRow, QWidget* parent)
    : QWidget(parent)
    , ui(new Ui::TableViewWidget)
    // Before the first selection the type is the list's, so the first template of that type shows.
    , m_templateType(listModel ? listModel->type() : Pelko::Road::SlopeSectionInvalid)
    , m_templateIndex(templateRow)
{
    ui->setupUi(this);
    ui->applyButton->hide();
    ui->insertButton->hide();
    setWindowTitle(tr("Slope Item Table"));
    auto* title = new QLabel(windowTitle(), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    ui->verticalLayout->insertWidget(0, title);

    m_model = new SlopeLibItemTableModel(listModel, templateRow, this);

    setWindowTitle(tr("Slope"));
    ui->tableView->setModel(m_model);
    Zemko::Trelvin::ColumnFitter::attach(ui->tableView);
    connect(ui->tableView, SIGNAL(doubleClicked(QModelIndex)), this, SLOT(onEdit(QModelIndex)));
    for (QWidget* button : { ui->appendButton, ui->deleteButton, ui->editButton, ui->insertButton })
        button->setEnabled(false);
}

SlopeLibItemTableWidget::~SlopeLibItemTableWidget() = default;

QTableView* SlopeLibItemTableWidget::tableView() const
{
    return ui->tableView;
}

Pelko::Road::SlopeSectionTemplateEditable SlopeLibItemTableWidget::currentTemplate() const
{
    return m_model->templateAt(m_templateIndex);
}

void SlopeLibItemTableWidget::setCurrent(int type, int row)
{
    m_templateType = type;
    m_templateIndex = row;
    m_model->setTemplateIndex(row);
    m_model->reload();
    const bool enabled = m_model->hasValidTemplate();
    for (QWidget* button : { ui->appendButton, ui->deleteButton, ui->editButton, ui->insertButton })
        button->setEnabled(enabled);
}

bool SlopeLibItemTableWidget::checkModel()
{
    return m_model->cachedTemplate().isValid();
}

void SlopeLibItemTableWidget::announceChange()
{
    emit dataSetChange(static_cast<Pelko::Road::SlopeSectionType>(m_templateType), m_templateIndex,
                       m_model->templateAt(m_templateIndex));
}

void SlopeLibItemTableWidget::on_appendButton_clicked()
{
    if (checkModel())
        appendFrom(m_model->rowCount());
}

void SlopeLibItemTableWidget::on_insertButton_clicked()
{
    // The element still goes to the end of the template.
    if (checkModel())
        appendFrom(ui->tableView->currentIndex().row());
}

void SlopeLibItemTableWidget::appendFrom(int row)
{
    for (;;) {
        SlopeLibItemDialog dialog(0, row, m_model, this);
        const int result = dialog.exec();
        if (result == 0)
            return;
        const SlopeLibItemTableModel::EditResult added = m_model->add(dialog.element());
        if (!added.ok) {
            Zemko::Trelvin::Prompter::instance()->warning(this, Zemko::Trelvin::Reminder::tr("Trelvin"),
                                                          added.message, QMessageBox::Ok);
            return;
        }
        announceChange();
        ++row;
        if (result != 2)
            return;
    }
}

void SlopeLibItemTableWidget::on_editButton_clicked()
{
    if (checkModel())
        editRow(ui->tableView->currentIndex().row());
}

void SlopeLibItemTableWidget::onEdit(const QModelIndex& index)
{
    editRow(index.row());
}

void SlopeLibItemTableWidget::editRow(int row)
{
    if (row < 0)
        return;
    SlopeLibItemDialog dialog(1, row, m_model, this);
    while (dialog.exec() != 0) {
        const SlopeLibItemTableModel::EditResult result = m_model->setAt(row, dialog.element());
        if (result.ok) {
            announceChange();
            return;
        }
        Zemko::Trelvin::Prompter::instance()->warning(this, Zemko::Trelvin::Reminder::tr("Trelvin"),
                                                      result.message, QMessageBox::Ok);
    }
}

void SlopeLibItemTableWidget::on_deleteButton_clicked()
{
    if (!checkModel())
        return;
    const int row = ui->tableView->currentIndex().row();
    if (row < 0)
        return;
    m_model->removeAt(row);
    announceChange();
}
