#include "slopes/slopelibdialog.h"

#include "slopes/slopelibtablemodel.h"
#include "ui_slopelibdialog.h"

SlopeLibDialog::SlopeLibDialog(int mode, int row, Zemko::Trelvin::SlopeLibTableModel* model, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SlopeLibDialog)
    , m_mode(mode)
    , m_row(row)
    , m_model(model)
{
    ui->setupUi(this);
    connect(ui->okButton, SIGNAL(clicked()), this, SLOT(onAccept()));
    connect(ui->cancelButton, SIGNAL(clicked()), this, SLOT(onCancel()));
    if (m_mode == 1 && m_model && m_row >= 0)
        ui->edtName->setText(QString::fromStdString(
            m_model->library().getAt(m_model->type(), static_cast<unsigned>(m_row)).getName()));
}

SlopeLibDialog::~SlopeLibDialog() = default;

void SlopeLibDialog::buildTemplate()
{
    if (m_mode == 1 && m_model && m_row >= 0)
        m_template = m_model->library().getAt(m_model->type(), static_cast<unsigned>(m_row));
    else
        m_template = Pelko::Road::SlopeSectionTemplateEditable();
    m_template.setName(ui->edtName->text().toStdString());
    m_template.setType(m_model ? m_model->type() : Pelko::Road::SlopeSectionInvalid);
}

void SlopeLibDialog::onAccept()
{
    buildTemplate();
    done(1);
}

void SlopeLibDialog::onCancel()
{
    buildTemplate();
    done(0);
}
