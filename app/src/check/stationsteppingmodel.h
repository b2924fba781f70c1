#pragma once

#include <road/station.h>
#include <road/stationiterator.h>

#include <QAbstractTableModel>

namespace Pelko {
namespace Road {
class RoadSurface;
}
} // namespace Pelko

namespace Zemko {
namespace Trelvin {

// What both check tools' tables share: a position on the road that steps by a typed interval, the
// typed offset, and the road's stations equations as they were when the tool opened (the tools never
// watch the road for changes). Subclasses give the cell texts.
class StationSteppingModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    StationSteppingModel(Pelko::Road::RoadSurface* road, QObject* parent = nullptr);
    ~StationSteppingModel() override;

    bool hasPrevious() const;
    bool hasNext() const;
    bool isPositioned() const;

    double interval() const;
    // Takes effect at the next position. An interval the iterator cannot step by is refused (false)
    // and the previous one kept.
    bool setInterval(double interval);
    double offset() const;
    // A number that is not finite is ignored.
    virtual void setOffset(double offset);

    virtual QString cellText(int row, int column) const = 0;
    // Why the last typed station has no values; empty when it has them.
    QString stationMessage() const { return m_stationMessage; }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    virtual QString columnTitle(int column) const = 0;

    // Stands at the typed station; a station in the gap of a short equation keeps the position (false),
    // one the road does not reach leaves no position (false) and a message.
    bool moveTo(const Pelko::Road::Station& station);

    Pelko::Road::RoadSurface* road() const { return m_road; }
    Pelko::Road::StationIterator& iterator() { return m_iterator; }
    const Pelko::Road::StationIterator& iterator() const { return m_iterator; }
    const Pelko::Road::StationsEquationConfiguration& equations() const { return m_equations; }

private:
    Pelko::Road::RoadSurface* m_road;
    double m_interval;
    double m_offset = 0.0;
    Pelko::Road::StationIterator m_iterator;
    Pelko::Road::StationsEquationConfiguration m_equations;
    QString m_stationMessage;
};

} // namespace Trelvin
} // namespace Zemko
