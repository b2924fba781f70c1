#pragma once

#include <QDialog>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Ui {
class RoadCheckDialog;
}

namespace Zemko {
namespace Trelvin {
class RoadCheckModel;
}
} // namespace Zemko

// Check by coordinate (page 0: a typed plan point) and by stepping along the road (page 1: a typed
// station, offset and interval) on the open road.
class RoadCheckDialog : public QDialog
{
    Q_OBJECT

public:
    RoadCheckDialog(int page, Pelko::Road::RoadSurface* road, QWidget* parent = nullptr);
    ~RoadCheckDialog() override;

    Zemko::Trelvin::RoadCheckModel* model() const { return m_model; }

private slots:
    void on_calculateButton_clicked();
    void on_backwardButton_clicked();
    void on_forwardButton_clicked();
    void on_stationEdit_textEdited(const QString& text);
    void on_intervalEdit_textEdited(const QString& text);
    void on_offsetEdit_textEdited(const QString& text);

private:
    void refreshStationPage();
    void applyStationField();

    Ui::RoadCheckDialog* ui;
    Zemko::Trelvin::RoadCheckModel* m_model;
};
