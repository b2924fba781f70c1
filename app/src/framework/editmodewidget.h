#pragma once

#include "framework/simpleeditwidget.h"

class QSplitter;

namespace Zemko {
namespace Trelvin {
class RoadPlot;
namespace Data {
class RoadCurve;
}
} // namespace Trelvin
} // namespace Zemko

// An edit page with its editor beside a plot, and one page curve drawn in that plot while a road is
// open.
class EditModeWidget : public SimpleEditWidget
{
    Q_OBJECT

public:
    EditModeWidget(const QString& title, QWidget* parent);

    // The editor goes before the plot, with a third of the plot's stretch.
    void setEditWidget(QWidget* editor);
    // Not owned; set by the page constructor before any road opens.
    void setCurve(Zemko::Trelvin::Data::RoadCurve* curve);

    QSplitter* splitter() const { return m_splitter; }
    Zemko::Trelvin::RoadPlot* plot() const { return m_plot; }
    Zemko::Trelvin::Data::RoadCurve* curve() const { return m_curve; }

public slots:
    // Rebuilds the curve and replots, so the plot never waits for the next pan or zoom.
    void updateData(DataType::Categories categories) override;
    // A page out of sight attaches its curve when it is next shown: opening a long road does not
    // build the plots of pages nobody looks at.
    void onRoadOpen() override;
    void onRoadAboutToClose() override;
    void setPlotAspectRatio(double r);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_attachWhenShown = false;
    QSplitter* m_splitter = nullptr;
    Zemko::Trelvin::RoadPlot* m_plot = nullptr;
    Zemko::Trelvin::Data::RoadCurve* m_curve = nullptr;
};
