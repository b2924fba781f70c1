#include "profile/verticalalignmentdialog.h"

#include "alignment/typedvalues.h"
#include "framework/dialogclose.h"
#include "framework/metertounit.h"
#include "framework/radiusvalidator.h"
#include "profile/verticalalignmenttablemodel.h"
#include "ui_verticalalignmentdialog.h"

#include <text/stationtext.h>

#include <cmath>

namespace {

// A length typed in the display unit, in metres; unreadable text is 0.
double lengthOf(const QString& text)
{
    double meters = 0.0;
    return Zemko::Trelvin::readLength(text, meters) ? meters : 0.0;
}

} // namespace

VerticalAlignmentDialog::VerticalAlignmentDialog(int mode, int row,
                                                 Zemko::Trelvin::VerticalAlignmentTableModel* model,
                                                 QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::VerticalAlignmentDialog)
    , m_model(model)
{
    ui->setupUi(this);
    ui->edt_mileage->setValidator(new Zemko::Trelvin::StationValidator(this));

    if (mode == 1 && model) {
        const Pelko::Road::VerticalElement element = model->verticalAlignment().getAt(unsigned(row));
        const MeterToUnit* unit = MeterToUnit::instance();
        ui->edt_mileage->setText(model->displayedStation(element.getPoi().station));
        // Millimetres, as the table shows: Ok writes back what the field holds.
        ui->edt_height->setText(QString::number(unit->fromMeters(element.getPoi().elevation), 'f', 3));
        ui->edt_radius->setText(
            Zemko::Trelvin::RadiusValidator::toText(unit->fromMeters(element.getRadius())));
        ui->btn_next->hide();
    }

    connect(ui->btn_next, &QPushButton::clicked, this, &VerticalAlignmentDialog::onNext);
    connect(ui->btn_ok, &QPushButton::clicked, this, &VerticalAlignmentDialog::onAccept);
}

VerticalAlignmentDialog::~VerticalAlignmentDialog() = default;

void VerticalAlignmentDialog::onAccept()
{
    commit(1);
}

void VerticalAlignmentDialog::onNext()
{
    commit(2);
}

void VerticalAlignmentDialog::commit(int code)
{
    Zemko::Trelvin::commitFocusedField(this);

    QString error;
    double continuous = 0.0;
    const Pelko::Road::StationsEquationConfiguration equations
        = m_model ? m_model->stationsEquations() : Pelko::Road::StationsEquationConfiguration();
    switch (Zemko::Trelvin::readStation(ui->edt_mileage->text(), equations, continuous)) {
    case Zemko::Trelvin::StationReading::NotANumber:
        error = tr("Station should not be infinite!");
        break;
    case Zemko::Trelvin::StationReading::NotFound:
        error = tr("Given station does not exist!");
        break;
    case Zemko::Trelvin::StationReading::Read:
        break;
    }

    Pelko::Road::VerticalElement::Poi poi;
    poi.station = continuous;
    poi.elevation = lengthOf(ui->edt_height->text());
    const double radius = lengthOf(ui->edt_radius->text());
    // Negative tangent lengths would turn the PI into a corner without a word.
    if (error.isEmpty() && radius < 0.0)
        error = tr("Radius should not be negative!");
    m_element = Pelko::Road::VerticalElement::createSymparabola(poi, radius);

    Zemko::Trelvin::closeUnlessRefused(this, error, code);
}
