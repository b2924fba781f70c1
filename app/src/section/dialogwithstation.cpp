#include "section/dialogwithstation.h"

#include "document/prompter.h"
#include "document/trelvin.h"
#include "framework/metertounit.h"
#include "framework/numberlocale.h"
#include "framework/roadstations.h"
#include "framework/storedfield.h"
#include "framework/tablemodel.h"
#include "section/sectionnumbers.h"

#include <road/roadsurface.h>
#include <road/station.h>
#include <text/stationtext.h>

#include <QComboBox>
#include <QDoubleValidator>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

DialogWithStation::DialogWithStation(QWidget* parent)
    : QDialog(parent)
{
}

DialogWithStation::~DialogWithStation() = default;

void DialogWithStation::setFields(const Fields& fields)
{
    m_fields = fields;
    m_fields.station->setValidator(new Zemko::Trelvin::StationValidator(this));
    auto* number = new QDoubleValidator(this);
    number->setLocale(Zemko::Trelvin::numberLocale());
    m_fields.value->setValidator(number);
    connect(m_fields.ok, &QPushButton::clicked, this, &DialogWithStation::onOk);
    connect(m_fields.next, &QPushButton::clicked, this, &DialogWithStation::onNext);
}

int DialogWithStation::method() const
{
    return m_fields.method->currentData().toInt();
}

int DialogWithStation::methodOr(int stored) const
{
    return m_fields.method->currentIndex() == m_presetMethodIndex ? stored : method();
}

void DialogWithStation::setMethodText(const QString& text)
{
    m_presetMethodIndex = m_fields.method->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    m_fields.method->setCurrentIndex(m_presetMethodIndex);
}

void DialogWithStation::setStationText(const QString& text)
{
    m_fields.station->setText(text);
}

void DialogWithStation::setValueText(const QString& text)
{
    m_fields.value->setText(text);
}

void DialogWithStation::setStation(double station, const QString& shown)
{
    Zemko::Trelvin::showStored(m_fields.station, station, shown);
}

void DialogWithStation::setValue(double value, const QString& shown)
{
    Zemko::Trelvin::showStored(m_fields.value, value, shown);
}

void DialogWithStation::setNextEnabled(bool enabled)
{
    m_fields.next->setEnabled(enabled);
}

double DialogWithStation::valueNumber() const
{
    return Zemko::Trelvin::storedOr(m_fields.value, Zemko::Trelvin::numberFromField(m_fields.value->text()));
}

void DialogWithStation::refuseValue(const QString& text)
{
    Zemko::Trelvin::Prompter::instance()->warning(this, QString(), text, QMessageBox::Ok);
    m_fields.value->setFocus();
    m_fields.value->selectAll();
}

bool DialogWithStation::validateStation(const Zemko::Trelvin::TextCell& cell)
{
    const Pelko::Road::RoadSurface* road = Zemko::Trelvin::Trelvin::instance()->road();
    if (!road)
        return false;
    double station = cell.number();
    if (!cell.isStored()) {
        const QString text = cell.text();
        bool before = true;
        bool readable = false;
        double value = Zemko::Trelvin::stationFromText(text, &before, &readable);
        // An empty field is station 0; a half-typed one ("K", "K1+") is no station at all.
        if (!readable && text.trimmed().isEmpty())
            value = 0.0;
        const Pelko::Road::StationsEquation::Result result = std::isfinite(value)
            ? road->getStationsEquations().getContinuousStation(value, before)
            : Pelko::Road::StationsEquation::Result(value, false);
        if (!result.isValid()) {
            Zemko::Trelvin::Prompter::instance()->warning(this, QString(), tr("Station Not Exist!"),
                                                          QMessageBox::Ok);
            m_fields.station->setFocus();
            return false;
        }
        station = MeterToUnit::instance()->toMeters(result.getStation());
    }
    // A point off the road would shape nothing anyone can stake out.
    const Zemko::Trelvin::RoadStations stations(road);
    if (!stations.covers(station)) {
        Zemko::Trelvin::Prompter::instance()->warning(
            this, QString(), stations.offRoadText(station, &Zemko::Trelvin::TableModel::displayedStation),
            QMessageBox::Ok);
        m_fields.station->setFocus();
        return false;
    }
    m_station = station;
    return true;
}

bool DialogWithStation::acceptable()
{
    return validateStation(Zemko::Trelvin::fieldCell(m_fields.station)) && validateValue();
}

void DialogWithStation::onOk()
{
    if (acceptable())
        accept();
}

void DialogWithStation::onNext()
{
    if (acceptable())
        done(2);
}
