#pragma once

#include "slopes/slopeeditdisplaywidget.h"

#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <memory>

class SlopeUseLibEditWidget;

namespace Zemko {
namespace Trelvin {
class SlopeCurve;
}
} // namespace Zemko

// Side tab 7: slope segments placed along each side from the road's template library, with the start
// and the end template of the selected segment drawn side by side.
class SlopeUseLibWidget : public SlopeEditDisplayWidget
{
    Q_OBJECT

public:
    explicit SlopeUseLibWidget(QWidget* parent = nullptr);
    ~SlopeUseLibWidget() override;

    SlopeUseLibEditWidget* editor() const { return m_editor; }
    Zemko::Trelvin::SlopeCurve* startCurve() const { return m_startCurve.get(); }
    Zemko::Trelvin::SlopeCurve* endCurve() const { return m_endCurve.get(); }

public slots:
    void onSelectedSlopeInfo(Pelko::Road::SlopeSectionSide side, int row,
                             Pelko::Road::SlopeSectionTemplate begin, Pelko::Road::SlopeSectionTemplate end);

private:
    SlopeUseLibEditWidget* m_editor;
    std::unique_ptr<Zemko::Trelvin::SlopeCurve> m_startCurve;
    std::unique_ptr<Zemko::Trelvin::SlopeCurve> m_endCurve;
};
