#pragma once

#include "section/abssuperelevationwideningeditwidget.h"

// The superelevation points of every element, edited with the superelevation point dialog.
class SuperelevationPointEditWidget : public AbsSuperelevationWideningEditWidget
{
    Q_OBJECT

public:
    explicit SuperelevationPointEditWidget(QWidget* parent = nullptr);

protected:
    Zemko::Trelvin::SuperelevationWideningTableModel*
    createModel(const Pelko::Road::CrossSectionElementConfiguration& element) override;
    void editPoint(Zemko::Trelvin::SuperelevationWideningTableModel* model, int row) override;
    void appendPoints(Zemko::Trelvin::SuperelevationWideningTableModel* model) override;
    bool applyToRoad() override;
};
