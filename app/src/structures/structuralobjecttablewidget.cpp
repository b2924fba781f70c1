#include "structures/structuralobjecttablewidget.h"

#include "framework/itemdelegates.h"
#include "structures/structuralobjecttablemodel.h"
#include "ui_tableviewwidget.h"

using Zemko::Trelvin::StructuralObjectTableModel;

StructuralObjectTableWidget::StructuralObjectTableWidget(QWidget* parent)
    : TableEditWidget(parent, 0, StructuralObjectTableModel::ColumnCount - 1,
                      StructuralObjectTableModel::ColumnCount)
    , m_model(new StructuralObjectTableModel(this))
{
    setUpTable(m_model);
    setWindowTitle(tr("Structural Object"));

    QTableView* view = form()->tableView;
    view->setItemDelegateForColumn(0, new Zemko::Trelvin::StationEditDelegate(this));
    view->setItemDelegateForColumn(1,
                                   new Zemko::Trelvin::ComboBoxDelegate(this,
                                                                        { { tr("Culvert"), 0 },
                                                                          { tr("Circular Culvert"), 1 },
                                                                          { tr("Passageway"), 2 },
                                                                          { tr("Overpass"), 3 } }));
    view->setItemDelegateForColumn(
        2,
        new Zemko::Trelvin::ComboBoxDelegate(
            this, { { tr("Skew and Skew"), 0 }, { tr("Skew and Orthotropic"), 1 } }));
    auto* number = new Zemko::Trelvin::FloatNumEditDelegate(this);
    for (int column = 3; column < StructuralObjectTableModel::ColumnCount; ++column)
        view->setItemDelegateForColumn(column, number);
}

StructuralObjectTableWidget::~StructuralObjectTableWidget() = default;

QString StructuralObjectTableWidget::columnHint(int column)
{
    switch (column) {
    case 0:
        return tr("The mileage of the structural object's location.");
    case 1:
        return tr("The type of the structural object.");
    case 2:
        return tr("The build modus of the structual object.");
    case 3:
        return tr("The intersection angle of structural object cross the road.");
    case 4:
        return tr("The forward width of the structural object.");
    case 5:
        return tr("The backward width of the structural object.");
    case 6:
        return tr("The left length of the structural object.");
    case 7:
        return tr("The right length of the structural object.");
    case 8:
        return tr("The height of the center.");
    case 9:
        return tr("The slope of the structural object.");
    default:
        return QString();
    }
}

bool StructuralObjectTableWidget::pastesAt(int column) const
{
    return TableEditWidget::pastesAt(column) && column != StructuralObjectTableModel::TypeColumn
        && column != StructuralObjectTableModel::BuildTypeColumn;
}

// The edit button is hidden: structures are edited in their cells.
void StructuralObjectTableWidget::on_editButton_clicked() { }

void StructuralObjectTableWidget::onEdit(QModelIndex) { }

void StructuralObjectTableWidget::on_applyButton_clicked()
{
    writeRows();
    emit currentChange();
}

void StructuralObjectTableWidget::onShowToolTip(QModelIndex index)
{
    form()->lblTooltip->setText(index.isValid() ? columnHint(index.column()) : QString());
}
