#pragma once

#include "framework/tablemodel.h"

#include <road/crosssectionelementconfiguration.h>

namespace Zemko {
namespace Trelvin {

// The superelevation or widening points of one element of the standard section. The element handle
// shares its data with the edit cache, so every change here is at once a change of the cache; writing
// the cache into the road is the editor's job, so saveToRoad writes nothing.
//
// addPoint and setPointAt answer 0 done, -1 refused (a point at that station exists, or a number that
// is not finite), 1 not above the previous point, 2 not below the next point, 3 no such row.
class SuperelevationWideningTableModel : public TableModel
{
    Q_OBJECT

public:
    SuperelevationWideningTableModel(DataType::Categories category, QObject* parent,
                                     const Pelko::Road::CrossSectionElementConfiguration& element);

    Pelko::Road::CrossSectionElementConfiguration element() const { return m_element; }

    // A continuous station as chainage text through the road's stations equations; empty without a
    // road.
    static QString stationText(double station);
    // The same text for the point dialogs, with more decimals when three would move the point.
    static QString stationEditText(double station);

    virtual void removePointAt(int row) = 0;

protected:
    bool saveToRoad() override;
    void loadFromRoad() override;
    bool hasRow(int row) const { return row >= 0 && row < rows(); }
    virtual double stationAt(int row) const = 0;
    // 0 with the row announced where the sorted list took the point; -1 when it was refused.
    int announceAdded(bool added, double station);
    // The code of a replacement; the row is announced when it was done.
    int announceReplaced(int row, const Pelko::Road::CrossSectionElementConfiguration::Result& result);

    Pelko::Road::CrossSectionElementConfiguration m_element;
};

// How a point table reaches the points of its kind in the element.
template<typename Point> struct ElementPoints;

template<> struct ElementPoints<Pelko::Road::SuperelevationPoint>
{
    using Element = Pelko::Road::CrossSectionElementConfiguration;
    using Point = Pelko::Road::SuperelevationPoint;
    static unsigned size(const Element& element) { return element.superelevationPointSize(); }
    static Point at(const Element& element, unsigned i) { return element.getSuperelevationPointAt(i); }
    static bool add(Element& element, const Point& point) { return element.addSuperelevationPoint(point); }
    static Element::Result set(Element& element, unsigned i, const Point& point)
    {
        return element.setSuperelevationPointAt(i, point);
    }
    static void remove(Element& element, unsigned i) { element.removeSuperelevationPointAt(i); }
};

template<> struct ElementPoints<Pelko::Road::WideningPoint>
{
    using Element = Pelko::Road::CrossSectionElementConfiguration;
    using Point = Pelko::Road::WideningPoint;
    static unsigned size(const Element& element) { return element.wideningPointSize(); }
    static Point at(const Element& element, unsigned i) { return element.getWideningPointAt(i); }
    static bool add(Element& element, const Point& point) { return element.addWideningPoint(point); }
    static Element::Result set(Element& element, unsigned i, const Point& point)
    {
        return element.setWideningPointAt(i, point);
    }
    static void remove(Element& element, unsigned i) { element.removeWideningPointAt(i); }
};

// The rows of a point table: the element's points of one kind, by station, in three columns.
template<typename Point> class PointTableModel : public SuperelevationWideningTableModel
{
public:
    using SuperelevationWideningTableModel::SuperelevationWideningTableModel;

    // A default point outside the rows.
    Point pointAt(int row) const { return hasRow(row) ? Points::at(m_element, unsigned(row)) : Point(); }

    int addPoint(const Point& point)
    {
        return announceAdded(Points::add(m_element, point), point.getStation());
    }

    int setPointAt(int row, const Point& point)
    {
        if (row < 0)
            return Pelko::Road::CrossSectionElementConfiguration::IndexOutOfRange;
        return announceReplaced(row, Points::set(m_element, unsigned(row), point));
    }

    void removePointAt(int row) override
    {
        if (!hasRow(row))
            return;
        Points::remove(m_element, unsigned(row));
        notifyRowRemoved(row);
    }

protected:
    int columns() const override { return 3; }
    int rows() const override { return int(Points::size(m_element)); }
    double stationAt(int row) const override { return pointAt(row).getStation(); }

private:
    using Points = ElementPoints<Point>;
};

class SuperelevationPointTableModel : public PointTableModel<Pelko::Road::SuperelevationPoint>
{
    Q_OBJECT

public:
    SuperelevationPointTableModel(DataType::Categories category, QObject* parent,
                                  const Pelko::Road::CrossSectionElementConfiguration& element);

    // Only 2 is a cubic parabola; the road interpolates every other method linearly.
    static QString methodText(int method);

    // Decorated puts the percent sign on the slope.
    QString cellText(int row, int column, bool decorated) const;

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
};

class WideningPointTableModel : public PointTableModel<Pelko::Road::WideningPoint>
{
    Q_OBJECT

public:
    WideningPointTableModel(DataType::Categories category, QObject* parent,
                            const Pelko::Road::CrossSectionElementConfiguration& element);

    // Empty for a method outside 1 .. 3.
    static QString methodText(int method);

    QString cellText(int row, int column) const;

protected:
    QVariant displayData(const QModelIndex& index) const override;
    QVariant columnTitle(int section) const override;
};

} // namespace Trelvin
} // namespace Zemko
