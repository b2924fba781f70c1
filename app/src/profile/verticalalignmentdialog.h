#pragma once

#include <road/verticalelement.h>

#include <QDialog>

#include <memory>

namespace Ui {
class VerticalAlignmentDialog;
}

namespace Zemko {
namespace Trelvin {
class VerticalAlignmentTableModel;
}
} // namespace Zemko

// One vertical PI (station, elevation, radius) as a symmetric parabola. Mode 1 edits the model's row;
// any other mode starts empty and offers Next for the following row.
class VerticalAlignmentDialog : public QDialog
{
    Q_OBJECT

public:
    VerticalAlignmentDialog(int mode, int row, Zemko::Trelvin::VerticalAlignmentTableModel* model,
                            QWidget* parent = nullptr);
    ~VerticalAlignmentDialog() override;

    // A default element until the dialog commits.
    Pelko::Road::VerticalElement element() const { return m_element; }

public slots:
    void onAccept();
    void onNext();

private:
    void commit(int code);

    std::unique_ptr<Ui::VerticalAlignmentDialog> ui;
    Zemko::Trelvin::VerticalAlignmentTableModel* m_model;
    Pelko::Road::VerticalElement m_element;
    // The element edited is a circular curve, and stays one.
    bool m_circular = false;
};
