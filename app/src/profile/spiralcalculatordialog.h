#pragma once

#include <QDialog>

// Works out a spiral's parameter or one of its radii; needs no road.
// Until the tool is built the dialog shows only its title.
class SpiralCalculatorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SpiralCalculatorDialog(QWidget* parent = nullptr);
};
