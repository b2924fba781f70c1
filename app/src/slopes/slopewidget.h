#pragma once

#include "framework/editmodewidget.h"

#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <memory>

class SlopeEditWidget;

namespace Zemko {
namespace Trelvin {
class SlopeCurve;
}
} // namespace Zemko

// The segment slope page: the segments of each side above the template of the selected segment. It
// stands in side tab 7 only for a road without a template library.
class SlopeWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit SlopeWidget(QWidget* parent = nullptr);
    ~SlopeWidget() override;

    SlopeEditWidget* editor() const { return m_editor; }
    Zemko::Trelvin::SlopeCurve* slopeCurve() const { return m_curve.get(); }

private slots:
    void onCurrentChanged(Pelko::Road::SlopeSectionSide side, int row,
                          Pelko::Road::SlopeSectionTemplate slopeTemplate);

private:
    SlopeEditWidget* m_editor;
    std::unique_ptr<Zemko::Trelvin::SlopeCurve> m_curve;
};
