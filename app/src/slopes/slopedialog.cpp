#include "slopes/slopedialog.h"

#include "framework/dialogclose.h"
#include "framework/storedfield.h"
#include "slopes/slopetablemodel.h"
#include "ui_slopedialog.h"

#include <text/stationtext.h>

SlopeDialog::SlopeDialog(int mode, int row, Zemko::Trelvin::SlopeTableModel* model, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SlopeDialog)
    , m_model(model)
{
    ui->setupUi(this);
    auto* validator = new Zemko::Trelvin::StationValidator(this);
    ui->edtStart->setValidator(validator);
    ui->edtEnd->setValidator(validator);
    connect(ui->okButton, SIGNAL(clicked()), this, SLOT(onAccept()));
    connect(ui->cancelButton, SIGNAL(clicked()), this, SLOT(onCancel()));

    ui->radioFill->setChecked(true);
    if (mode != 1 || !m_model || row < 0 || row >= m_model->rowCount())
        return;
    const Pelko::Road::SlopeSectionSegment shown
        = m_model->configuration().getSegmentAt(static_cast<unsigned>(row));
    ui->edtName->setText(QString::fromStdString(shown.getName()));
    if (shown.getType() == Pelko::Road::SlopeSectionCut)
        ui->radioCut->setChecked(true);
    Zemko::Trelvin::showStored(ui->edtStart, shown.getStart(), m_model->displayedStation(shown.getStart()));
    Zemko::Trelvin::showStored(ui->edtEnd, shown.getEnd(), m_model->displayedStation(shown.getEnd()));
}

SlopeDialog::~SlopeDialog() = default;

QString SlopeDialog::check() const
{
    if (!m_model)
        return QString();
    double start = 0.0;
    double end = 0.0;
    return m_model->readStationRange(Zemko::Trelvin::fieldCell(ui->edtStart),
                                     Zemko::Trelvin::fieldCell(ui->edtEnd), start, end);
}

void SlopeDialog::onAccept()
{
    finish(1);
}

void SlopeDialog::onCancel()
{
    finish(0);
}

void SlopeDialog::finish(int code)
{
    Zemko::Trelvin::closeUnlessRefused(this, check(), code);
}
