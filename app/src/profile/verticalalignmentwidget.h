#pragma once

#include "framework/editmodewidget.h"

#include <memory>

class VerticalAlignmentEditWidget;

namespace Zemko {
namespace Trelvin {
class VerticalCurve;
}
} // namespace Zemko

// Side tab 3: the vertical alignment table beside the road's profile.
class VerticalAlignmentWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit VerticalAlignmentWidget(QWidget* parent = nullptr);
    ~VerticalAlignmentWidget() override;

    VerticalAlignmentEditWidget* editor() const { return m_editor; }
    Zemko::Trelvin::VerticalCurve* profileCurve() const { return m_curve.get(); }

private:
    VerticalAlignmentEditWidget* m_editor;
    std::unique_ptr<Zemko::Trelvin::VerticalCurve> m_curve;
};
