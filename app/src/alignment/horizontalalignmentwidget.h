#pragma once

#include "framework/editmodewidget.h"

#include <memory>

class QTabWidget;
class HorizontalElementTableWidget;
class PointOfIntersectionTableWidget;

namespace Zemko {
namespace Trelvin {
class HorizontalCurve;
}
} // namespace Zemko

// The two editors of the horizontal alignment: the PI table (tab 0) and the element table (tab 1).
class HorizontalAlignmentEditWidget : public QWidget
{
    Q_OBJECT

public:
    explicit HorizontalAlignmentEditWidget(QWidget* parent = nullptr);

    QTabWidget* tabs() const { return m_tabs; }
    PointOfIntersectionTableWidget* pointOfIntersectionTable() const { return m_pis; }
    HorizontalElementTableWidget* elementTable() const { return m_elements; }

    // Both tables show the road again; the PI table first.
    void reloadTables();

signals:
    void currentChanged();

public slots:
    void onCurrentTabChanged(int index);
    // Brings the table of the method the road's alignment is defined by to the front.
    void onRoadOpen();
    void onCurrentChanged();

private:
    HorizontalElementTableWidget* m_elements;
    PointOfIntersectionTableWidget* m_pis;
    QTabWidget* m_tabs;
};

// Side tab 2: the horizontal alignment's tables beside the plan of the whole road.
class HorizontalAlignmentWidget : public EditModeWidget
{
    Q_OBJECT

public:
    explicit HorizontalAlignmentWidget(QWidget* parent = nullptr);
    ~HorizontalAlignmentWidget() override;

    HorizontalAlignmentEditWidget* editor() const { return m_editor; }
    Zemko::Trelvin::HorizontalCurve* planCurve() const { return m_curve.get(); }

public slots:
    // Rebuilds the plan and fits the plot to it.
    void onCurrentChanged();
    void updateData(DataType::Categories categories) override;

private:
    HorizontalAlignmentEditWidget* m_editor;
    // A member, so it leaves the plot before the base deletes the plot with the page's children.
    std::unique_ptr<Zemko::Trelvin::HorizontalCurve> m_curve;
};
