#include "section/superelevationpointeditwidget.h"

#include "section/sectionnumbers.h"
#include "section/superelevationpointdialog.h"
#include "section/superelevationwideningtablemodel.h"

using Zemko::Trelvin::SuperelevationPointTableModel;
using Zemko::Trelvin::SuperelevationWideningTableModel;

SuperelevationPointEditWidget::SuperelevationPointEditWidget(QWidget* parent)
    : AbsSuperelevationWideningEditWidget(parent)
{
}

SuperelevationWideningTableModel*
SuperelevationPointEditWidget::createModel(const Pelko::Road::CrossSectionElementConfiguration& element)
{
    return new SuperelevationPointTableModel(DataType::SuperelevationPoint, this, element);
}

void SuperelevationPointEditWidget::appendPoints(SuperelevationWideningTableModel* model)
{
    if (auto* points = qobject_cast<SuperelevationPointTableModel*>(model))
        runAppendDialogs<SuperelevationPointDialog>(points);
}

void SuperelevationPointEditWidget::editPoint(SuperelevationWideningTableModel* model, int row)
{
    auto* points = qobject_cast<SuperelevationPointTableModel*>(model);
    if (!points || row < 0 || row >= points->rowCount())
        return;
    const Pelko::Road::SuperelevationPoint stored = points->pointAt(row);
    SuperelevationPointDialog dialog(this);
    dialog.setMethodText(points->cellText(row, 0, true));
    // The stored numbers, not the rounded display, so that an unchanged dialog changes nothing.
    dialog.setStation(stored.getStation(),
                      SuperelevationWideningTableModel::stationEditText(stored.getStation()));
    dialog.setValue(stored.getSlope(), Zemko::Trelvin::numberEditText(stored.getSlope()));
    dialog.setNextEnabled(false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Pelko::Road::SuperelevationPoint point = dialog.point();
    point.setMethod(Pelko::Road::SuperelevationMethod(dialog.methodOr(stored.getMethod())));
    showResultMessage(this, points->setPointAt(row, point));
}

bool SuperelevationPointEditWidget::applyToRoad()
{
    return writeToRoad(DataType::SuperelevationPoint);
}
