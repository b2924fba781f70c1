#include "slopes/slopeuselibdialog.h"

#include "framework/dialogclose.h"
#include "framework/storedfield.h"
#include "slopes/slopeuselibtablemodel.h"
#include "ui_slopeuselibdialog.h"

#include <text/stationtext.h>

using Pelko::Road::SlopeSectionSegment;
using Pelko::Road::SlopeSectionTemplate;

SlopeUseLibDialog::SlopeUseLibDialog(int mode, int row, Zemko::Trelvin::SlopeUseLibTableModel* model,
                                     QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SlopeUseLibDialog)
    , m_model(model)
{
    ui->setupUi(this);
    auto* validator = new Zemko::Trelvin::StationValidator(this);
    ui->edtStart->setValidator(validator);
    ui->edtEnd->setValidator(validator);
    connect(ui->okButton, SIGNAL(clicked()), this, SLOT(onAccept()));
    connect(ui->cancelButton, SIGNAL(clicked()), this, SLOT(onCancel()));
    init(mode, row);
}

SlopeUseLibDialog::~SlopeUseLibDialog() = default;

void SlopeUseLibDialog::init(int mode, int row)
{
    if (!m_model)
        return;
    fillTemplateCombos(row);
    if (mode != 1 || row < 0 || row >= m_model->rowCount()) {
        ui->edtStart->clear();
        ui->edtEnd->clear();
        return;
    }
    const SlopeSectionSegment shown = m_model->configuration().getSegmentAt(static_cast<unsigned>(row));
    ui->edtName->setText(QString::fromStdString(shown.getName()));
    // The stations as stored, so that a segment kept where it is is not moved to the shown digits.
    Zemko::Trelvin::showStored(ui->edtStart, shown.getStart(), m_model->displayedStation(shown.getStart()));
    Zemko::Trelvin::showStored(ui->edtEnd, shown.getEnd(), m_model->displayedStation(shown.getEnd()));
    ui->cmbStartSlope->setCurrentText(QString::fromStdString(shown.getBeginTemplate().getName()));
    ui->cmbEndSlope->setCurrentText(QString::fromStdString(shown.getEndTemplate().getName()));
}

void SlopeUseLibDialog::fillTemplateCombos(int row)
{
    const QStringList names = m_model->templateNames();
    for (QComboBox* combo : { ui->cmbStartSlope, ui->cmbEndSlope }) {
        const QSignalBlocker blocker(combo);
        combo->addItems(names);
        combo->setCurrentText(m_model->segmentName(row));
    }
}

QString SlopeUseLibDialog::missingTemplate(const QString& name, bool start) const
{
    if (name.isEmpty())
        return tr("The slope library holds no template!");
    return start ? tr("Start template \"%1\" is not in the slope library!").arg(name)
                 : tr("End template \"%1\" is not in the slope library!").arg(name);
}

QString SlopeUseLibDialog::check()
{
    if (!m_model)
        return tr("No slope selected!");
    const QString name = ui->edtName->text();
    // The road file drops a segment without a name.
    if (name.trimmed().isEmpty())
        return tr("Slope name should not be empty!");

    double start = 0.0;
    double end = 0.0;
    const QString stations = m_model->readStationRange(Zemko::Trelvin::fieldCell(ui->edtStart),
                                                       Zemko::Trelvin::fieldCell(ui->edtEnd), start, end);
    if (!stations.isEmpty())
        return stations;

    // A segment without its templates would draw no slope.
    const QString beginName = ui->cmbStartSlope->currentText();
    const SlopeSectionTemplate begin = m_model->templateByName(beginName);
    if (!begin.isValid())
        return missingTemplate(beginName, true);
    const QString endName = ui->cmbEndSlope->currentText();
    const SlopeSectionTemplate endTemplate = m_model->templateByName(endName);
    if (!endTemplate.isValid())
        return missingTemplate(endName, false);

    const auto created
        = SlopeSectionSegment::create(name.toStdString(), { start, begin }, { end, endTemplate });
    if (created.second != SlopeSectionSegment::Success)
        return segmentErrorText(created.second);
    m_segment = created.first;
    return QString();
}

QString SlopeUseLibDialog::segmentErrorText(int code)
{
    switch (code) {
    case SlopeSectionSegment::InvalidStation:
        return tr("Start station can not be greater than end!");
    case SlopeSectionSegment::TypeMismatch:
        return tr("Start Template and end Template should be the same type!");
    case SlopeSectionSegment::EmptyName:
        return tr("Slope name should not be empty!");
    case SlopeSectionSegment::Success:
        return QString();
    default:
        // A refusal must never read as success.
        return tr("The slope segment is refused (code %1)!").arg(code);
    }
}

void SlopeUseLibDialog::onAccept()
{
    finish(1);
}

void SlopeUseLibDialog::onCancel()
{
    finish(0);
}

void SlopeUseLibDialog::finish(int code)
{
    Zemko::Trelvin::closeUnlessRefused(this, check(), code);
}
