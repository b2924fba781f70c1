#pragma once

#include <road/pointofintersection.h>

#include <QDialog>

#include <memory>

class QLineEdit;

namespace Ui {
class PointsOfIntersectionDialog;
}

namespace Zemko {
namespace Trelvin {
class PointOfIntersectionTableModel;
}
} // namespace Zemko

// Creates (mode 0) or edits (mode 1) one PI from a form. The dialog closes with 1 (Ok) or 2 (Next)
// only when the PI was built; every refusal is a warning and the dialog stays open.
class PointsOfIntersectionDialog : public QDialog
{
    Q_OBJECT

public:
    PointsOfIntersectionDialog(int mode, int row, Zemko::Trelvin::PointOfIntersectionTableModel* model,
                               QWidget* parent = nullptr);
    ~PointsOfIntersectionDialog() override;

    // Meaningful after the dialog closed with 1 or 2.
    Pelko::Road::PointOfIntersection pointOfIntersection() const { return m_pi; }

    // The text shown for a code of the PI factory; empty for success.
    static QString resultText(int code);

public slots:
    void onClear();
    void onCurrentTypeIndexChanged(int index);
    void onAccept();
    void onNext();

private:
    void commit(int code);
    void updateForm(int kind);
    int findTypeIndex(int kind) const;
    void fillFields(const Pelko::Road::PointOfIntersection& pi);
    // The error text; empty when the PI was built.
    QString buildPointOfIntersection();
    // The station field's continuous station (the stored one while the field shows it).
    QString continuousStation(double& station) const;
    // Metres from a length field (the stored value while the field shows it); 0 for no number.
    double lengthOf(const QLineEdit* field) const;

    int m_mode;
    int m_row;
    Zemko::Trelvin::PointOfIntersectionTableModel* m_model;
    Pelko::Road::PointOfIntersection m_pi;
    // The PI the dialog edits; null when it makes a new one.
    Pelko::Road::PointOfIntersection m_edited;
    std::unique_ptr<Ui::PointsOfIntersectionDialog> ui;
};
