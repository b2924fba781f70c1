#pragma once

#include <plugin/datatype.h>

#include <road/crosssectionelementconfiguration.h>

#include <QList>
#include <QModelIndex>
#include <QPair>
#include <QVector>
#include <QWidget>

#include <memory>

class QTabWidget;
class QTableView;

namespace Ui {
class SuperelevationWideningEditWidget;
}

namespace Zemko {
namespace Trelvin {
class SuperelevationWideningTableModel;
}
} // namespace Zemko

// What the superelevation and widening editors share: for each side one tab per element of the
// standard section (from the centre line outwards), each with the element's point table. The tables
// edit the edit cache's elements directly; Save writes both sides of the cache into the road.
class AbsSuperelevationWideningEditWidget : public QWidget
{
    Q_OBJECT

public:
    using Table = QPair<QString, Zemko::Trelvin::SuperelevationWideningTableModel*>;

    explicit AbsSuperelevationWideningEditWidget(QWidget* parent = nullptr);
    ~AbsSuperelevationWideningEditWidget() override;

    // Side 0 is left, 1 right.
    const QVector<Table>& tables(int side) const;
    QTabWidget* tabWidget(int side) const;
    // The table of the side's current tab; null on the placeholder.
    QTableView* currentTable(int side) const;
    // The row of the current table's current index; -1 after warning when there is none, and -1 at
    // once on the placeholder tab.
    int selectedRow(int side);

    // Says why a point was refused; nothing for 0 (done) and 3 (no such row).
    static void showResultMessage(QWidget* parent, int code);

public slots:
    void onBtnAppendClick();
    void onBtnEditClick();
    void onBtnDeleteClick();
    void onBtnAppendRightClick();
    void onBtnEditRightClick();
    void onBtnDeletRightClick();
    void onTableViewDoubleClick(const QModelIndex& index);
    void onBtnApplyClick();
    // Rebuilds every tab from the edit cache.
    void onRoadOpen();

protected:
    void showEvent(QShowEvent* event) override;

    virtual Zemko::Trelvin::SuperelevationWideningTableModel*
    createModel(const Pelko::Road::CrossSectionElementConfiguration& element)
        = 0;
    virtual void editPoint(Zemko::Trelvin::SuperelevationWideningTableModel* model, int row) = 0;
    virtual void appendPoints(Zemko::Trelvin::SuperelevationWideningTableModel* model) = 0;
    // False when there is a road whose file could not be written.
    virtual bool applyToRoad() = 0;

    // Writes both sides of the edit cache as they stand now into the road and writes the road file;
    // on success the tables of this editor are clean and the category's edit flag is cleared.
    bool writeToRoad(DataType::Categories category);

    // The point dialog loop of Append: a refused point shows its reason and the same dialog again,
    // "Next" stores the point and opens a fresh dialog, closing the dialog ends.
    template<typename Dialog, typename Model> void runAppendDialogs(Model* model)
    {
        int result = 0;
        do {
            Dialog dialog(this);
            dialog.setNextEnabled(true);
            int code = 0;
            do {
                result = dialog.exec();
                if (result == 0)
                    return;
                code = model->addPoint(dialog.point());
                showResultMessage(this, code);
            } while (code != 0);
        } while (result == 2);
    }

private:
    void resetTabs();
    void loadFromCache();
    void showTables(int side);
    void enableButtons(int side);
    void buildViews();
    Zemko::Trelvin::SuperelevationWideningTableModel* currentModel(int side) const;
    void appendOn(int side);
    void editOn(int side);
    void deleteOn(int side);
    void writeOnDocumentSave();

    std::unique_ptr<Ui::SuperelevationWideningEditWidget> ui;
    QVector<Table> m_leftTables;
    QVector<Table> m_rightTables;
    QList<QWidget*> m_leftButtons;
    QList<QWidget*> m_rightButtons;
    // Points changed since the last write; kept across reloads, whose new tables start clean.
    bool m_unwritten = false;
    // The tabs still show the tables of an earlier road (or none).
    bool m_viewsStale = false;
};
