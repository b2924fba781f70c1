#pragma once

#include "framework/editmodewidget.h"

#include <memory>

// Side tab 2: the horizontal alignment beside its plan. Until the element and PI tables are built the
// page shows its title and the road's outline.
class HorizontalAlignmentWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit HorizontalAlignmentWidget(QWidget* parent = nullptr);
    ~HorizontalAlignmentWidget() override;

private:
    std::unique_ptr<Zemko::Trelvin::Data::RoadCurve> plan;
};
