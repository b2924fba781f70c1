#include "alignment/pointofintersectiontablewidget.h"

#include "alignment/pointofintersectiontablemodel.h"
#include "alignment/pointsofintersectiondialog.h"
#include "framework/itemdelegates.h"
#include "ui_tableviewwidget.h"

using Zemko::Trelvin::PointOfIntersectionTableModel;

PointOfIntersectionTableWidget::PointOfIntersectionTableWidget(QWidget* parent)
    : TableEditWidget(parent, 1, 7, 6)
    , m_model(new PointOfIntersectionTableModel(this))
{
    setUpTable(m_model);
    setWindowTitle(tr("Point of Intersections"));

    QTableView* view = form()->tableView;
    view->setItemDelegateForColumn(0, new Zemko::Trelvin::StationEditDelegate(this));
    auto* lineEdit = new Zemko::Trelvin::LineEditDelegate(this);
    for (int column = 1; column <= 7; ++column)
        view->setItemDelegateForColumn(column, lineEdit);
}

PointOfIntersectionTableWidget::~PointOfIntersectionTableWidget() = default;

QString PointOfIntersectionTableWidget::columnHint(int column)
{
    switch (column) {
    case 0:
        return tr("The mileage of the POI.");
    case 1:
        return tr("X coordinate value of the POI.");
    case 2:
        return tr("Y coordinate value of the POI.");
    case 3:
        return tr("The length of the in spiral curve.");
    case 4:
        return tr("The radius of the arc curve. Zero of empty represents infinity.");
    case 5:
        return tr("The length of the out spiral curve.");
    case 6:
        return tr("The begin radius of the in spiral curve. Zero of empty represents infinity.");
    case 7:
        return tr("The end radius of the out spiral curve. Zero of empty represents infinity.");
    case 8:
        return tr("The total length of the curve.");
    case 9:
        return tr("The tangent length of the in spiral curve.");
    case 10:
        return tr("The tangent length of the out spiral curve.");
    default:
        return QString();
    }
}

void PointOfIntersectionTableWidget::on_editButton_clicked()
{
    editRow(form()->tableView->currentIndex().row());
}

void PointOfIntersectionTableWidget::onEdit(QModelIndex index)
{
    editRow(index.row());
}

void PointOfIntersectionTableWidget::editRow(int row)
{
    if (row < 0)
        return;
    PointsOfIntersectionDialog dialog(1, row, m_model, this);
    if (dialog.exec() != 0)
        m_model->setPointOfIntersection(row, dialog.pointOfIntersection());
}

void PointOfIntersectionTableWidget::on_applyButton_clicked()
{
    TypedApply apply;
    apply.emptyQuestion = tr("No data in POI table, all elements will be deleted, continue ?");
    apply.invalidRow = tr("Invalid POI on line %1");
    apply.refusedRow = tr("Create POI failed on line %1");
    apply.refusedLast = 0;
    apply.check = [this](int& row, int& column) { return m_model->checkRows(row, column); };
    apply.build = [this] {
        int code = 0;
        return m_model->applyRows(code);
    };
    apply.confirm
        = [this] { return confirmDroppingEditsOf(DataType::HorizontalElement, tr("Horizontal Elements")); };
    if (applyTypedRows(apply))
        emit currentChange();
}

void PointOfIntersectionTableWidget::onShowToolTip(QModelIndex index)
{
    form()->lblTooltip->setText(index.isValid() ? columnHint(index.column()) : QString());
}
