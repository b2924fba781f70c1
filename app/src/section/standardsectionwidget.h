#pragma once

#include "framework/editmodewidget.h"

#include <memory>

class StandardSectionConfigWidget;

namespace Zemko {
namespace Trelvin {
class StandardSectionCurve;
}
} // namespace Zemko

// Side tab 4: the pivot line and the elements of both sides above the drawing of the section.
class StandardSectionWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit StandardSectionWidget(QWidget* parent = nullptr);
    ~StandardSectionWidget() override;

    StandardSectionConfigWidget* editor() const { return m_editor; }

public slots:
    // The drawing shows the road's section, so it follows saves (16), not each table edit.
    void updateData(DataType::Categories categories) override;

private:
    StandardSectionConfigWidget* m_editor;
    std::unique_ptr<Zemko::Trelvin::StandardSectionCurve> m_curve;
};
