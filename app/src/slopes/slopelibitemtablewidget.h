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
class SlopeLibItemTableModel;
} // namespace Trelvin
} // namespace Zemko

// The elements of the template selected in a template list, with buttons to append, edit and delete
// them; every change is announced with the changed template.
class SlopeLibItemTableWidget : public QWidget
{
    Q_OBJECT

public:
    SlopeLibItemTableWidget(Zemko::Trelvin::SlopeLibTableModel* listModel, int templateRow,
                            QWidget* parent = nullptr);
    ~SlopeLibItemTableWidget() override;

    Zemko::Trelvin::SlopeLibItemTableModel* model() const { return m_model; }
    QTableView* tableView() const;

    int templateType() const { return m_templateType; }
    int templateIndex() const { return m_templateIndex; }
    Pelko::Road::SlopeSectionTemplateEditable currentTemplate() const;

    // Shows the elements of the template at row and enables the buttons when there is one.
    void setCurrent(int type, int row);

signals:
    void dataSetChange(Pelko::Road::SlopeSectionType type, int row,
                       Pelko::Road::SlopeSectionTemplateEditable t);

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
    void announceChange();

    std::unique_ptr<Ui::TableViewWidget> ui;
    Zemko::Trelvin::SlopeLibItemTableModel* m_model;
    int m_templateType;
    int m_templateIndex;
};
