#pragma once

#include <QDialog>

#include <memory>

class QButtonGroup;
class QLineEdit;

namespace Ui {
class SpiralCalculatorDialog;
}

// Works out a spiral's parameter or one of its end radii from the other values; needs no road.
class SpiralCalculatorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SpiralCalculatorDialog(QWidget* parent = nullptr);
    ~SpiralCalculatorDialog() override;

    // The field's number with a leading minus sign dropped from the field itself; unreadable text
    // reads as 0.
    static double stripMinus(QLineEdit* edit);

public slots:
    void calcTypeButtonsToggled(int id, bool checked);
    void onCalculate();

private:
    std::unique_ptr<Ui::SpiralCalculatorDialog> ui;
    QButtonGroup* calcTypeGroup;
    QButtonGroup* radiusOrderGroup;
};
