#include "profile/spiralcalculatordialog.h"

#include <QLabel>
#include <QVBoxLayout>

SpiralCalculatorDialog::SpiralCalculatorDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("SpiralCalculator"));
    resize(467, 308);
    auto* label = new QLabel(windowTitle(), this);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}
