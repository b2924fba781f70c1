#pragma once

#include <QModelIndex>
#include <QWidget>

#include <memory>

class QTableView;

namespace Ui {
class StandardSectionConfigWidget;
}

namespace Zemko {
namespace Trelvin {
class StandardSectionTableModel;
}
} // namespace Zemko

// The editor of the standard-section page: the pivot line with its offset, and the elements of the
// left and right side. Save writes pivot and both sides into the road and writes the road file.
class StandardSectionConfigWidget : public QWidget
{
    Q_OBJECT

public:
    explicit StandardSectionConfigWidget(QWidget* parent = nullptr);
    ~StandardSectionConfigWidget() override;

    Zemko::Trelvin::StandardSectionTableModel* leftModel() const { return m_leftModel; }
    Zemko::Trelvin::StandardSectionTableModel* rightModel() const { return m_rightModel; }
    // The model of the current tab.
    Zemko::Trelvin::StandardSectionTableModel* visibleModel() const;

    // The row of the visible table's current index; -1 after warning when there is none.
    int selectedRow();
    QString sideTitle() const;
    void editRow(int row);

public slots:
    void onBtnAppendClick();
    void onBtnDeleteClick();
    void onBtnEditClick();
    void onBtnApplyClick();
    void onBtnMirrorClick();
    void onTableViewDoubleClick(const QModelIndex& index);
    void onLineTypeChanged(int index);
    void onRoadOpened();
    // The pivot line and offset are written on the document's save as well, when they were changed;
    // an offset that is no number refuses the save before anything is written.
    void onCheckBeforeSave();
    void onAboutToSaveRoad();

    bool hasPivotEdits() const { return m_pivotEdited; }

private:
    QTableView* visibleTable() const;
    void markPivotEdited();
    // Writes the pivot line and offset into the open road; false (with a warning when asked) when the
    // offset is not a number.
    bool writePivot(bool warn);
    // The offset field in metres; false when it is not a number.
    bool readOffset(double& meters) const;

    std::unique_ptr<Ui::StandardSectionConfigWidget> ui;
    Zemko::Trelvin::StandardSectionTableModel* m_leftModel;
    Zemko::Trelvin::StandardSectionTableModel* m_rightModel;
    // The offset typed before "Plan" was chosen, given back when another line is chosen.
    QString savedOffsetText;
    bool m_pivotEdited = false;
};
