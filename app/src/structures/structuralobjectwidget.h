#pragma once

#include "framework/editmodewidget.h"

#include <memory>

class StructuralObjectTableWidget;

namespace Zemko {
namespace Trelvin {
class HorizontalCurve;
}
} // namespace Zemko

// Side tab 9: culverts, passageways and overpasses in a table beside the plan that shows them.
class StructuralObjectWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit StructuralObjectWidget(QWidget* parent = nullptr);
    ~StructuralObjectWidget() override;

    StructuralObjectTableWidget* editor() const { return m_editor; }
    Zemko::Trelvin::HorizontalCurve* planCurve() const { return m_curve.get(); }

public slots:
    // Rebuilds the plan and fits the plot to it.
    void onCurrentChanged();

private:
    StructuralObjectTableWidget* m_editor;
    // A member, so it leaves the plot before the base deletes the plot with the page's children.
    std::unique_ptr<Zemko::Trelvin::HorizontalCurve> m_curve;
};
