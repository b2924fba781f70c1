#include "section/wideningpointeditwidget.h"

#include "framework/metertounit.h"
#include "section/sectionnumbers.h"
#include "section/superelevationwideningtablemodel.h"
#include "section/wideningpointdialog.h"

using Zemko::Trelvin::SuperelevationWideningTableModel;
using Zemko::Trelvin::WideningPointTableModel;

WideningPointEditWidget::WideningPointEditWidget(QWidget* parent)
    : AbsSuperelevationWideningEditWidget(parent)
{
}

SuperelevationWideningTableModel*
WideningPointEditWidget::createModel(const Pelko::Road::CrossSectionElementConfiguration& element)
{
    return new WideningPointTableModel(DataType::WideningPoint, this, element);
}

void WideningPointEditWidget::appendPoints(SuperelevationWideningTableModel* model)
{
    if (auto* points = qobject_cast<WideningPointTableModel*>(model))
        runAppendDialogs<WideningPointDialog>(points);
}

void WideningPointEditWidget::editPoint(SuperelevationWideningTableModel* model, int row)
{
    auto* points = qobject_cast<WideningPointTableModel*>(model);
    if (!points || row < 0 || row >= points->rowCount())
        return;
    const Pelko::Road::WideningPoint stored = points->pointAt(row);
    WideningPointDialog dialog(this);
    dialog.setMethodText(points->cellText(row, 0));
    // The stored numbers, not the rounded display, so that an unchanged dialog changes nothing.
    dialog.setStation(stored.getStation(),
                      SuperelevationWideningTableModel::stationEditText(stored.getStation()));
    dialog.setValue(stored.getWidth(),
                    Zemko::Trelvin::numberEditText(MeterToUnit::instance()->fromMeters(stored.getWidth())));
    dialog.setNextEnabled(false);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Pelko::Road::WideningPoint point = dialog.point();
    point.setMethod(Pelko::Road::WideningMethod(dialog.methodOr(stored.getMethod())));
    showResultMessage(this, points->setPointAt(row, point));
}

bool WideningPointEditWidget::applyToRoad()
{
    return writeToRoad(DataType::WideningPoint);
}
