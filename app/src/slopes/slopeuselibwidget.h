#pragma once

#include "framework/simpleeditwidget.h"

// Side tab 7: slope sections placed along each side from the road's template library.
// Until its editor is built the page shows only its title.
class SlopeUseLibWidget : public SimpleEditWidget
{
    Q_OBJECT

public:
    explicit SlopeUseLibWidget(QWidget* parent = nullptr);

public slots:
    void updateData(DataType::Categories categories) override;
    void onRoadOpen() override;
    void onRoadAboutToClose() override;
};
