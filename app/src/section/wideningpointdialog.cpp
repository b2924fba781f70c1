#include "section/wideningpointdialog.h"

#include "framework/metertounit.h"
#include "framework/storedfield.h"
#include "section/sectionnumbers.h"
#include "ui_wideningpointdialog.h"

WideningPointDialog::WideningPointDialog(QWidget* parent)
    : DialogWithStation(parent)
    , ui(new Ui::WideningPointDialog)
{
    ui->setupUi(this);
    ui->cbMethod->addItem(tr("Linear"), Pelko::Road::WideningLinear);
    ui->cbMethod->addItem(tr("Cubic Parabola Curve"), Pelko::Road::WideningCubicParabola);
    ui->cbMethod->addItem(tr("Biquadratic Parabola"), Pelko::Road::WideningBiquadraticParabola);
    setFields({ ui->leDist, ui->leWidth, ui->cbMethod, ui->nextButton, ui->okButton });
}

WideningPointDialog::~WideningPointDialog() = default;

double WideningPointDialog::width() const
{
    return Zemko::Trelvin::storedOr(
        ui->leWidth, MeterToUnit::instance()->toMeters(Zemko::Trelvin::numberFromField(ui->leWidth->text())));
}

Pelko::Road::WideningPoint WideningPointDialog::point() const
{
    return Pelko::Road::WideningPoint(station(), width(), Pelko::Road::WideningMethod(method()));
}

bool WideningPointDialog::validateValue()
{
    bool readable = false;
    const double typed = Zemko::Trelvin::numberFromField(ui->leWidth->text(), &readable);
    if (!readable)
        refuseValue(tr("Width is not a number!"));
    else if (typed < 0.0)
        refuseValue(tr("Width cannot be negative!"));
    return readable && typed >= 0.0;
}
