#pragma once

#include "framework/editmodewidget.h"

#include <memory>

class WideningPointEditWidget;

namespace Zemko {
namespace Trelvin {
class WideningPointCurve;
}
} // namespace Zemko

// Side tab 5: the widening points of every element above the drawing of the standard section.
class WideningPointWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit WideningPointWidget(QWidget* parent = nullptr);
    ~WideningPointWidget() override;

    WideningPointEditWidget* editor() const { return m_editor; }

public slots:
    // Reloads on widening points (32, which both point editors announce on Save) and on the standard
    // section (16).
    void updateData(DataType::Categories categories) override;

private:
    WideningPointEditWidget* m_editor;
    std::unique_ptr<Zemko::Trelvin::WideningPointCurve> m_curve;
};
