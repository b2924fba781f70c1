#include "profile/verticalalignmentdialog.h"

#include "alignment/typedvalues.h"
#include "framework/dialogclose.h"
#include "framework/metertounit.h"
#include "framework/radiusvalidator.h"
#include "framework/storedfield.h"
#include "profile/verticalalignmenttablemodel.h"
#include "ui_verticalalignmentdialog.h"

#include <text/stationtext.h>

#include <cmath>

namespace {

// A length typed in the display unit, in metres (the stored value while the field shows it);
// unreadable text is 0.
double lengthOf(const QLineEdit* field)
{
    double meters = 0.0;
    return Zemko::Trelvin::storedOr(field, Zemko::Trelvin::readLength(field->text(), meters) ? meters : 0.0);
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
        // Millimetres, as the table shows; a field left as it is keeps the value to the last bit.
        const double station = element.getPoi().station;
        Zemko::Trelvin::showStored(ui->edt_mileage, station, model->displayedStation(station));
        const double height = element.getPoi().elevation;
        Zemko::Trelvin::showStored(ui->edt_height, height, QString::number(unit->fromMeters(height), 'f', 3));
        // A PI without a curve shows 0.000, as what it reads back as.
        const double radius = std::isfinite(element.getRadius()) ? element.getRadius() : 0.0;
        Zemko::Trelvin::showStored(ui->edt_radius, radius,
                                   Zemko::Trelvin::RadiusValidator::toText(unit->fromMeters(radius)));
        m_circular = element.getType() == Pelko::Road::VerticalCircularType;
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
    const Zemko::Trelvin::TextCell mileage = Zemko::Trelvin::fieldCell(ui->edt_mileage);
    continuous = mileage.number();
    switch (mileage.isStored() ? Zemko::Trelvin::StationReading::Read
                               : Zemko::Trelvin::readStation(mileage.text(), equations, continuous)) {
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
    poi.elevation = lengthOf(ui->edt_height);
    const double radius = lengthOf(ui->edt_radius);
    // Negative tangent lengths would turn the PI into a corner without a word.
    if (error.isEmpty() && radius < 0.0)
        error = tr("Radius should not be negative!");
    m_element = m_circular ? Pelko::Road::VerticalElement::createCircular(poi, radius)
                           : Pelko::Road::VerticalElement::createSymparabola(poi, radius);

    Zemko::Trelvin::closeUnlessRefused(this, error, code);
}
