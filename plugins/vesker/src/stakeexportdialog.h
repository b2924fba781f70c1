#pragma once

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Pelko::Road {
class RoadSurface;
class Station;
} // namespace Pelko::Road

namespace Zemko::Trelvin {
class StakeListModel;
}

namespace Ui {
class StakeExportDialog;
}

// Generates the stake list of the open road between two stations and exports it.
class StakeExportDialog : public QDialog
{
    Q_OBJECT

public:
    // The road is not owned and must outlive the dialog.
    explicit StakeExportDialog(Pelko::Road::RoadSurface* road, QWidget* parent = nullptr);
    ~StakeExportDialog() override;

    // Station text of a station edit; a text that does not read gives a NaN station.
    static Pelko::Road::Station stationFromEdit(const QString& text);

private slots:
    void on_generateButton_clicked();
    void on_exportButton_clicked();

private:
    // Shows why the number in the edit is not used and puts the cursor there.
    void refuseNumber(QLineEdit* edit, const QString& message);

    std::unique_ptr<Ui::StakeExportDialog> ui;
    Zemko::Trelvin::StakeListModel* m_model;
};
