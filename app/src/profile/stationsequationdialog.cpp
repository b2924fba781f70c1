#include "profile/stationsequationdialog.h"

#include "framework/metertounit.h"
#include "framework/storedfield.h"
#include "ui_stationsequationdialog.h"

#include <text/stationtext.h>

#include <cmath>

namespace {

double stationOf(const QString& text)
{
    const double value = Zemko::Trelvin::stationFromText(text);
    return std::isfinite(value) ? MeterToUnit::instance()->toMeters(value) : 0.0;
}

} // namespace

StationsEquationDialog::StationsEquationDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::StationsEquationDialog)
{
    ui->setupUi(this);
    ui->leBefore->setValidator(new Zemko::Trelvin::StationValidator(this));
    ui->leAfter->setValidator(new Zemko::Trelvin::StationValidator(this));
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

StationsEquationDialog::~StationsEquationDialog() = default;

void StationsEquationDialog::setBefore(const QString& text)
{
    ui->leBefore->setText(text);
}

void StationsEquationDialog::setAfter(const QString& text)
{
    ui->leAfter->setText(text);
}

void StationsEquationDialog::setBefore(double meters, const QString& shown)
{
    Zemko::Trelvin::showStored(ui->leBefore, meters, shown);
}

void StationsEquationDialog::setAfter(double meters, const QString& shown)
{
    Zemko::Trelvin::showStored(ui->leAfter, meters, shown);
}

double StationsEquationDialog::before() const
{
    return Zemko::Trelvin::storedOr(ui->leBefore, stationOf(ui->leBefore->text()));
}

double StationsEquationDialog::after() const
{
    return Zemko::Trelvin::storedOr(ui->leAfter, stationOf(ui->leAfter->text()));
}
