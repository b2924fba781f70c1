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
class SlopeTableModel;
}
} // namespace Zemko

// The slope segments of one side with Append, Edit, Delete and Apply.
class SlopeTableWideget : public QWidget
{
    Q_OBJECT

public:
    explicit SlopeTableWideget(Pelko::Road::SlopeSectionSide side, QWidget* parent = nullptr);
    ~SlopeTableWideget() override;

    Zemko::Trelvin::SlopeTableModel* model() const { return m_model; }
    QTableView* tableView() const;

signals:
    void selected(Pelko::Road::SlopeSectionSide side, int row,
                  Pelko::Road::SlopeSectionTemplate slopeTemplate);

public slots:
    void on_appendButton_clicked();
    void on_editButton_clicked();
    void onEdit(const QModelIndex& index);
    void on_deleteButton_clicked();
    void on_applyButton_clicked();
    void onClicked(const QModelIndex& index);

private:
    void editRow(int row);

    std::unique_ptr<Ui::TableViewWidget> ui;
    Zemko::Trelvin::SlopeTableModel* m_model;
};
