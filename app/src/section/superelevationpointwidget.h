#pragma once

#include "framework/editmodewidget.h"

#include <memory>

class SuperelevationPointEditWidget;

namespace Zemko {
namespace Trelvin {
class SuperelevationPointCurve;
}
} // namespace Zemko

// Side tab 6: the superelevation points of every element above the drawing of the standard section.
class SuperelevationPointWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit SuperelevationPointWidget(QWidget* parent = nullptr);
    ~SuperelevationPointWidget() override;

    SuperelevationPointEditWidget* editor() const { return m_editor; }

public slots:
    // Reloads on its own points (64) and on the standard section (16).
    void updateData(DataType::Categories categories) override;

private:
    SuperelevationPointEditWidget* m_editor;
    std::unique_ptr<Zemko::Trelvin::SuperelevationPointCurve> m_curve;
};
