#include "section/superelevationpointdialog.h"

#include "section/sectionnumbers.h"
#include "ui_superelevationpointdialog.h"

SuperelevationPointDialog::SuperelevationPointDialog(QWidget* parent)
    : DialogWithStation(parent)
    , ui(new Ui::SuperelevationPointDialog)
{
    ui->setupUi(this);
    ui->cbMethod->addItem(tr("Linear"), Pelko::Road::SuperelevationLinear);
    ui->cbMethod->addItem(tr("Cubic Parabola Curve"), Pelko::Road::SuperelevationCubicParabola);
    setFields({ ui->leDist, ui->leSlope, ui->cbMethod, ui->nextButton, ui->okButton });
}

SuperelevationPointDialog::~SuperelevationPointDialog() = default;

double SuperelevationPointDialog::slope() const
{
    return valueNumber();
}

Pelko::Road::SuperelevationPoint SuperelevationPointDialog::point() const
{
    return Pelko::Road::SuperelevationPoint(Pelko::Road::SuperelevationMethod(method()), station(), slope());
}

bool SuperelevationPointDialog::validateValue()
{
    bool readable = false;
    Zemko::Trelvin::numberFromField(ui->leSlope->text(), &readable);
    if (!readable)
        refuseValue(tr("Slope is not a number!"));
    return readable;
}
