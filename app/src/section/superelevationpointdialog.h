#pragma once

#include "section/dialogwithstation.h"

#include <road/superelevationpoint.h>

#include <memory>

namespace Ui {
class SuperelevationPointDialog;
}

// Station, cross slope in percent and vary type of one superelevation point.
class SuperelevationPointDialog : public DialogWithStation
{
    Q_OBJECT

public:
    explicit SuperelevationPointDialog(QWidget* parent = nullptr);
    ~SuperelevationPointDialog() override;

    // Percent, as typed.
    double slope() const;
    Pelko::Road::SuperelevationPoint point() const;

protected:
    bool validateValue() override;

private:
    std::unique_ptr<Ui::SuperelevationPointDialog> ui;
};
