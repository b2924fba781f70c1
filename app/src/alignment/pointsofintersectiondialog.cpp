#include "alignment/pointsofintersectiondialog.h"

#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/typedvalues.h"
#include "framework/dialogclose.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/storedfield.h"
#include "ui_pointsofintersectiondialog.h"

#include <road/station.h>
#include <text/stationtext.h>

#include <QDoubleValidator>

#include <cmath>

using Pelko::Road::PointOfIntersection;

PointsOfIntersectionDialog::PointsOfIntersectionDialog(int mode, int row,
                                                       Zemko::Trelvin::PointOfIntersectionTableModel* model,
                                                       QWidget* parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_row(row)
    , m_model(model)
    , m_pi(PointOfIntersection::createArc(Pelko::Corvex::Point(0.0, 0.0), 0.0).first)
    , ui(new Ui::PointsOfIntersectionDialog)
{
    ui->setupUi(this);
    ui->leStation->setValidator(new Zemko::Trelvin::StationValidator(this));
    for (QLineEdit* edit : { ui->lePIN, ui->lePIE, ui->leRadius, ui->leTransLenIn, ui->leTransLenOut }) {
        auto* validator = new QDoubleValidator(edit);
        validator->setLocale(Zemko::Trelvin::numberLocale());
        edit->setValidator(validator);
    }

    ui->cmbType->addItem(tr("Arc"), 1);
    ui->cmbType->addItem(tr("Spiral|Spiral"), 3);
    ui->cmbType->addItem(tr("Spiral|Arc|Spiral"), 2);
    ui->cmbType->addItem(tr("Point"), 0);

    connect(ui->cmbType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &PointsOfIntersectionDialog::onCurrentTypeIndexChanged);
    connect(ui->button_next, &QPushButton::clicked, this, &PointsOfIntersectionDialog::onNext);
    connect(ui->button_ok, &QPushButton::clicked, this, &PointsOfIntersectionDialog::onAccept);

    if (mode == 0) {
        const int kind = row == 0 ? 0 : 2;
        const int index = findTypeIndex(kind);
        if (index >= 0)
            ui->cmbType->setCurrentIndex(index);
        updateForm(kind);
    } else if (mode == 1) {
        const PointOfIntersection pi
            = model ? model->pointOfIntersections().at(unsigned(row)) : PointOfIntersection();
        const int kind = pi.getCurveType();
        const int index = findTypeIndex(kind);
        if (index >= 0)
            ui->cmbType->setCurrentIndex(index);
        updateForm(kind);
        fillFields(pi);
        if (kind == 0 && row == 0)
            ui->cmbType->setEnabled(false);
        ui->button_next->hide();
    }
}

PointsOfIntersectionDialog::~PointsOfIntersectionDialog() = default;

void PointsOfIntersectionDialog::onClear() { }

void PointsOfIntersectionDialog::onCurrentTypeIndexChanged(int index)
{
    updateForm(ui->cmbType->itemData(index).toInt());
}

void PointsOfIntersectionDialog::onAccept()
{
    commit(1);
}

void PointsOfIntersectionDialog::onNext()
{
    commit(2);
}

void PointsOfIntersectionDialog::commit(int code)
{
    Zemko::Trelvin::commitFocusedField(this);
    Zemko::Trelvin::closeUnlessRefused(this, buildPointOfIntersection(), code);
}

void PointsOfIntersectionDialog::updateForm(int kind)
{
    const bool curve = kind >= 1 && kind <= 3;
    ui->leStation->setEnabled(!curve);
    ui->lblRadius->setVisible(curve);
    ui->leRadius->setVisible(curve);
    ui->grpTransLen->setVisible(kind == 2 || kind == 3);
    adjustSize();
}

int PointsOfIntersectionDialog::findTypeIndex(int kind) const
{
    return ui->cmbType->findData(kind);
}

void PointsOfIntersectionDialog::fillFields(const PointOfIntersection& pi)
{
    m_edited = pi;
    const MeterToUnit* unit = MeterToUnit::instance();
    // The fields show the values rounded and stand for them exactly until they are typed over.
    auto fill = [unit](QLineEdit* field, double meters, int decimals) {
        Zemko::Trelvin::showStored(field, meters, QString::number(unit->fromMeters(meters), 'f', decimals));
    };
    fill(ui->lePIN, pi.getPointOfIntersection().getX(), 4);
    fill(ui->lePIE, pi.getPointOfIntersection().getY(), 4);
    if (m_model)
        Zemko::Trelvin::showStored(ui->leStation, pi.getPoiStation(),
                                   m_model->displayedStation(pi.getPoiStation()));
    const int kind = pi.getCurveType();
    // The field shows the magnitude and stands for the radius with its turn.
    if (kind >= 1 && kind <= 3)
        Zemko::Trelvin::showStored(
            ui->leRadius, pi.getTurnDirection() == Pelko::Road::TurnLeft ? -pi.getRadius() : pi.getRadius(),
            QString::number(unit->fromMeters(pi.getRadius()), 'f', 3));
    if (kind == 2 || kind == 3) {
        fill(ui->leTransLenIn, pi.getInSpiralLength(), 3);
        fill(ui->leTransLenOut, pi.getOutSpiralLength(), 3);
    }
}

double PointsOfIntersectionDialog::lengthOf(const QLineEdit* field) const
{
    bool ok = false;
    const double value = Zemko::Trelvin::numberLocale().toDouble(field->text().trimmed(), &ok);
    return Zemko::Trelvin::storedOr(
        field, ok && std::isfinite(value) ? MeterToUnit::instance()->toMeters(value) : 0.0);
}

QString PointsOfIntersectionDialog::buildPointOfIntersection()
{
    const int kind = ui->cmbType->currentData().toInt();
    const Pelko::Corvex::Point point(lengthOf(ui->lePIN), lengthOf(ui->lePIE));

    PointOfIntersection::Result result;
    if (kind == 1) {
        const double radius = lengthOf(ui->leRadius);
        if (std::fabs(radius) < 0.0001)
            return tr("Radius can not be zero!");
        result = PointOfIntersection::createArc(point, radius);
    } else if (kind == 2 || kind == 3) {
        // The station follows from the polygon; only a point PI takes one.
        const double radius = lengthOf(ui->leRadius);
        if (std::fabs(radius) < 0.0001)
            return tr("Radius can not be zero!");
        const double in = lengthOf(ui->leTransLenIn);
        const double out = lengthOf(ui->leTransLenOut);
        if (std::fabs(in) < 0.0001 && std::fabs(out) < 0.0001)
            return tr("In length and out length can not both be zero");
        // The form shows no radii the spirals start and end at: a corner edited here keeps its own.
        const bool same = m_edited && m_edited.getCurveType() == kind;
        const auto outer = [radius](double magnitude) {
            return std::isfinite(magnitude) ? std::copysign(magnitude, radius) : std::nan("");
        };
        const double startRadius = same ? outer(m_edited.getStartRadius()) : std::nan("");
        const double endRadius = same ? outer(m_edited.getEndRadius()) : std::nan("");
        result = Zemko::Trelvin::PointOfIntersectionTableModel::createPointOfIntersection(
            kind, point, radius, startRadius, endRadius, in, out, std::nan(""));
    } else {
        double station = std::nan("");
        const QString error = continuousStation(station);
        if (!error.isEmpty())
            return error;
        if (!std::isfinite(station))
            return tr("Station can not be infinite!");
        result = PointOfIntersection::createPoint(point, station);
    }
    m_pi = result.first;
    return resultText(result.second);
}

QString PointsOfIntersectionDialog::continuousStation(double& station) const
{
    const Zemko::Trelvin::TextCell cell = Zemko::Trelvin::fieldCell(ui->leStation);
    if (cell.isStored()) {
        station = cell.number();
        return QString();
    }
    const Pelko::Road::StationsEquationConfiguration equations
        = m_model ? m_model->stationsEquations() : Pelko::Road::StationsEquationConfiguration();
    switch (Zemko::Trelvin::readStation(cell.text(), equations, station)) {
    case Zemko::Trelvin::StationReading::NotANumber:
        return tr("Station should not be infinite!");
    case Zemko::Trelvin::StationReading::NotFound:
        return tr("Given station does not exist!");
    default:
        return QString();
    }
}

QString PointsOfIntersectionDialog::resultText(int code)
{
    switch (code) {
    case 0:
        return QString();
    case 1:
        return tr("Already exist");
    case 2:
        return tr("Overlapped");
    case 3:
        return tr("Not found");
    default:
        return tr("Unknown err");
    }
}
