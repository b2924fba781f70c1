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

// An edit page with its editor beside two plots, each drawing one curve while a road is open.
class SlopeEditDisplayWidget : public SimpleEditWidget
{
    Q_OBJECT

public:
    SlopeEditDisplayWidget(const QString& title, QWidget* parent);

    void setEditWidget(QWidget* editor);
    // Not owned; the first curve goes to the first plot.
    void setCurve(Zemko::Trelvin::Data::RoadCurve* curve, bool first);

    QSplitter* splitter() const { return m_splitter; }
    Zemko::Trelvin::RoadPlot* firstPlot() const { return m_firstPlot; }
    Zemko::Trelvin::RoadPlot* secondPlot() const { return m_secondPlot; }
    Zemko::Trelvin::Data::RoadCurve* firstCurve() const { return m_firstCurve; }
    Zemko::Trelvin::Data::RoadCurve* secondCurve() const { return m_secondCurve; }

public slots:
    void updateData(DataType::Categories categories) override;
    void onRoadOpen() override;
    void onRoadAboutToClose() override;
    void setPlotAspectRatio(double r);

private:
    QSplitter* m_splitter = nullptr;
    Zemko::Trelvin::RoadPlot* m_firstPlot = nullptr;
    Zemko::Trelvin::RoadPlot* m_secondPlot = nullptr;
    Zemko::Trelvin::Data::RoadCurve* m_firstCurve = nullptr;
    Zemko::Trelvin::Data::RoadCurve* m_secondCurve = nullptr;
};
