#pragma once

#include "framework/editmodewidget.h"

#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <memory>

class SlopeLibraryEditWidget;

namespace Zemko {
namespace Trelvin {
class SlopeCurve;
}
} // namespace Zemko

// Side tab 8: the road's slope template library above a profile of the selected template.
class SlopeLibraryWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit SlopeLibraryWidget(QWidget* parent = nullptr);
    ~SlopeLibraryWidget() override;

    SlopeLibraryEditWidget* editor() const { return m_editor; }
    Zemko::Trelvin::SlopeCurve* slopeCurve() const { return m_curve.get(); }

public slots:
    void onCurrentChanged(Pelko::Road::SlopeSectionType type, int index,
                          Pelko::Road::SlopeSectionTemplateEditable t);
    // The plot empties; the curve stays in it for the next road.
    void onRoadAboutToClose() override;

protected:
    // The template was fitted to the plot while the page was hidden, at another canvas size.
    void showEvent(QShowEvent* event) override;

private:
    SlopeLibraryEditWidget* m_editor;
    std::unique_ptr<Zemko::Trelvin::SlopeCurve> m_curve;
};
