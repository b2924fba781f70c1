#include "profile/spiralcalculatordialog.h"

#include "framework/numberlocale.h"
#include "profile/spiralparameters.h"
#include "ui_spiralcalculatordialog.h"

#include <QButtonGroup>
#include <QDoubleValidator>

#include <algorithm>
#include <cmath>

namespace {

QString radiusText(double radius)
{
    return QString::number(radius, 'f', 4);
}

} // namespace

SpiralCalculatorDialog::SpiralCalculatorDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SpiralCalculatorDialog)
    , calcTypeGroup(new QButtonGroup(this))
    , radiusOrderGroup(new QButtonGroup(this))
{
    ui->setupUi(this);

    calcTypeGroup->addButton(ui->rbCalcA, 0);
    calcTypeGroup->addButton(ui->rbCalcR1, 1);
    calcTypeGroup->addButton(ui->rbCalcR2, 2);
    radiusOrderGroup->addButton(ui->rbR1GR2, 0);
    radiusOrderGroup->addButton(ui->rbR1LR2, 1);

    auto* validator = new QDoubleValidator(this);
    validator->setLocale(Zemko::Trelvin::numberLocale());
    for (QLineEdit* edit : { ui->leParamA, ui->leLength, ui->leR1, ui->leR2 })
        edit->setValidator(validator);

    // Qt's buttonToggled(int, bool) under its current name.
    connect(calcTypeGroup, &QButtonGroup::idToggled, this, &SpiralCalculatorDialog::calcTypeButtonsToggled);
    connect(ui->btnCalc, &QPushButton::clicked, this, &SpiralCalculatorDialog::onCalculate);

    ui->rbCalcA->setChecked(true);
    ui->rbR1GR2->setChecked(true);
}

SpiralCalculatorDialog::~SpiralCalculatorDialog() = default;

double SpiralCalculatorDialog::stripMinus(QLineEdit* edit)
{
    const QString trimmed = edit->text().trimmed();
    const QString text = trimmed.startsWith(QLatin1Char('-')) ? trimmed.mid(1) : edit->text();
    edit->setText(text);
    bool ok = false;
    const double value = Zemko::Trelvin::numberLocale().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

void SpiralCalculatorDialog::calcTypeButtonsToggled(int id, bool checked)
{
    // The field being computed shows the result read-only, so that it can still be selected and
    // copied; the radius order does not apply to the spiral parameter.
    switch (id) {
    case 0:
        ui->rbR1GR2->setEnabled(!checked);
        ui->rbR1LR2->setEnabled(!checked);
        ui->leParamA->setReadOnly(checked);
        break;
    case 1:
        ui->leR1->setReadOnly(checked);
        break;
    case 2:
        ui->leR2->setReadOnly(checked);
        break;
    default:
        break;
    }
}

void SpiralCalculatorDialog::onCalculate()
{
    const double length = std::fabs(stripMinus(ui->leLength));
    const double a = stripMinus(ui->leParamA);
    const double r1 = stripMinus(ui->leR1);
    const double r2 = stripMinus(ui->leR2);

    SpiralParameters& spiral = SpiralParameters::instance();
    spiral.L = length;
    const bool beginIsLarger = ui->rbR1GR2->isChecked();

    if (ui->rbCalcA->isChecked()) {
        ui->leParamA->clear();
        spiral.R1 = std::fabs(std::max(r1, r2));
        spiral.R2 = std::fabs(std::min(r1, r2));
        spiral.calcA();
        ui->leParamA->setText(QString::number(spiral.A, 'f', 10));
        return;
    }

    // The radius typed is the other end's; which of the two the spiral's begin is decides whether
    // the result is the larger or the smaller radius.
    const bool beginWanted = ui->rbCalcR1->isChecked();
    QLineEdit* output = beginWanted ? ui->leR1 : ui->leR2;
    const double known = std::fabs(beginWanted ? r2 : r1);
    const bool wantLarger = beginWanted == beginIsLarger;
    output->clear();
    spiral.A = std::fabs(a);
    if (wantLarger) {
        spiral.R2 = known;
        if (spiral.calcLargerRadius())
            output->setText(radiusText(spiral.R1));
    } else {
        spiral.R1 = known;
        if (spiral.calcSmallerRadius())
            output->setText(radiusText(spiral.R2));
    }
}
