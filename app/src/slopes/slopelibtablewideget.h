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
class SlopeLibTableModel;
}
} // namespace Zemko

// The templates of one type with buttons to append, rename, delete and apply; announces the template
// the user picks.
class SlopeLibTableWideget : public QWidget
{
    Q_OBJECT

public:
    explicit SlopeLibTableWideget(Pelko::Road::SlopeSectionType type, QWidget* parent = nullptr);
    ~SlopeLibTableWideget() override;

    Zemko::Trelvin::SlopeLibTableModel* model() const { return m_model; }
    QTableView* tableView() const;

signals:
    // Row -1 and an invalid template when nothing is selected any more.
    void selected(Pelko::Road::SlopeSectionType type, int row, Pelko::Road::SlopeSectionTemplateEditable t);

public slots:
    void on_appendButton_clicked();
    void on_editButton_clicked();
    void onEdit(const QModelIndex& index);
    void on_deleteButton_clicked();
    void on_applyButton_clicked();
    void onClicked(const QModelIndex& index);

private:
    void editRow(int row);
    void warn(const QString& text);

    std::unique_ptr<Ui::TableViewWidget> ui;
    Zemko::Trelvin::SlopeLibTableModel* m_model;
};
