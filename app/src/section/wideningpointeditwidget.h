#pragma once

#include "section/abssuperelevationwideningeditwidget.h"

// The widening points of every element, edited with the widening point dialog.
class WideningPointEditWidget : public AbsSuperelevationWideningEditWidget
{
    Q_OBJECT

public:
    explicit WideningPointEditWidget(QWidget* parent = nullptr);

protected:
    Zemko::Trelvin::SuperelevationWideningTableModel*
    createModel(const Pelko::Road::CrossSectionElementConfiguration& element) override;
    void editPoint(Zemko::Trelvin::SuperelevationWideningTableModel* model, int row) override;
    void appendPoints(Zemko::Trelvin::SuperelevationWideningTableModel* model) override;
    bool applyToRoad() override;
};
