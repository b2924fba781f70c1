#pragma once

#include "framework/simpleeditwidget.h"

// Side tab 1: the stations equations of the open road.
// Until its editor is built the page shows only its title.
class StationsEquationConfigWidget : public SimpleEditWidget
{
    Q_OBJECT

public:
    explicit StationsEquationConfigWidget(QWidget* parent = nullptr);

public slots:
    void updateData(DataType::Categories categories) override;
    void onRoadOpen() override;
    void onRoadAboutToClose() override;
};
