#pragma once

#include <road/slope.h>
#include <road/slopesectiontemplate.h>

#include <QModelIndex>
#include <QWidget>

#include <memory>

class QTableView;

namespace Ui {
class TableViewWidget;
}

namespace Zemko {
namespace Trelvin {
class SlopeItemTableModel;
class SlopeTableModel;
} // namespace Trelvin
} // namespace Zemko

// The elements of the selected segment's template with Append, Delete and Edit; the buttons are live
// only while the segment has a template.
class SlopeItemTableWidget : public QWidget
{
    Q_OBJECT

public:
    SlopeItemTableWidget(Zemko::Trelvin::SlopeTableModel* segments, int segmentRow,
                         QWidget* parent = nullptr);
    ~SlopeItemTableWidget() override;

    Zemko::Trelvin::SlopeItemTableModel* model() const { return m_model; }
    QTableView* tableView() const;

    void setSegment(Pelko::Road::SlopeSectionSide side, int row);
    Pelko::Road::SlopeSectionSide side() const { return m_side; }
    int segmentRow() const { return m_segmentRow; }
    Pelko::Road::SlopeSectionTemplate currentTemplate() const;

signals:
    void dataSetChange(Pelko::Road::SlopeSectionSide side, int row,
                       Pelko::Road::SlopeSectionTemplate slopeTemplate);

public slots:
    void on_appendButton_clicked();
    bool checkModel();
    void on_insertButton_clicked();
    void on_editButton_clicked();
    void onEdit(const QModelIndex& index);
    void on_deleteButton_clicked();

private:
    void appendFrom(int row);
    void editRow(int row);
    void announce();
    int currentRow() const;

    std::unique_ptr<Ui::TableViewWidget> ui;
    Zemko::Trelvin::SlopeItemTableModel* m_model = nullptr;
    Pelko::Road::SlopeSectionSide m_side = Pelko::Road::SlopeSideNeutral;
    int m_segmentRow = 0;
};
