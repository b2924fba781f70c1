#pragma once

#include <QDialog>
#include <QList>
#include <QPointF>
#include <QRectF>

#include <qwt_interval.h>

class QTableView;

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Ui {
class StationCheckDialog;
}

namespace Zemko {
namespace Trelvin {
class CrossSectionSlopeCurve;
class RoadPlot;
class StationCheckModel;
} // namespace Trelvin
} // namespace Zemko

// The cross section with its points and slopes at one station of the open road: the left and right
// point lists side by side above the drawing. Every readable station typed, and every step, redraws.
class StationCheckDialog : public QDialog
{
    Q_OBJECT

public:
    StationCheckDialog(Pelko::Road::RoadSurface* road, QWidget* parent = nullptr);
    ~StationCheckDialog() override;

    Zemko::Trelvin::StationCheckModel* leftModel() const { return m_leftModel; }
    Zemko::Trelvin::StationCheckModel* rightModel() const { return m_rightModel; }
    Zemko::Trelvin::RoadPlot* plot() const { return m_plot; }
    Zemko::Trelvin::CrossSectionSlopeCurve* curve() const { return m_curve; }

    // The view for a drawn line: the current view (x along the offsets, y along the elevations) while
    // the line fits in it without leaving more room on a side than the line is wide (x) or ten times
    // its height (y); otherwise that side moves to the line's bound and half a metre. Without points,
    // the fallback.
    static QRectF viewRect(const QList<QPointF>& line, const QwtInterval& x, const QwtInterval& y,
                           const QRectF& fallback);

private slots:
    void on_backwardButton_clicked();
    void on_forwardButton_clicked();
    void on_stationEdit_textEdited(const QString& text);
    void on_intervalEdit_textEdited(const QString& text);
    void on_offsetEdit_textEdited(const QString& text);

private:
    void refreshSteppingControls();
    void applyStationField();

    Ui::StationCheckDialog* ui;
    Zemko::Trelvin::StationCheckModel* m_leftModel = nullptr;
    Zemko::Trelvin::StationCheckModel* m_rightModel = nullptr;
    Zemko::Trelvin::RoadPlot* m_plot = nullptr;
    Zemko::Trelvin::CrossSectionSlopeCurve* m_curve = nullptr;
};
