#pragma once

#include <qwt_plot_seriesitem.h>
#include <qwt_scale_map.h>

#include <QRectF>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace Zemko {
namespace Trelvin {
namespace Data {

// Base of the series items that draw records a line plot cannot: keeps the records and the data
// rectangle, answers the series-store questions from them and follows every scale change.
template<typename Record> class RecordSeriesItem : public QwtPlotSeriesItem
{
public:
    RecordSeriesItem()
        : QwtPlotSeriesItem(QString())
    {
        setItemInterest(QwtPlotItem::ScaleInterest, true);
    }

    void setBoundingRect(const QRectF& rect) { boundingRectangle = rect; }

    QRectF dataRect() const override { return boundingRectangle; }
    size_t dataSize() const override { return size_t(items.size()); }
    void setRectOfInterest(const QRectF&) override { }

protected:
    void dataChanged() override { QwtPlotSeriesItem::dataChanged(); }

    // False when records equal the ones held (so callers can skip work).
    bool replaceRecords(const QVector<Record>& records)
    {
        if (records == items)
            return false;
        items = records;
        dataChanged();
        return true;
    }
    const QVector<Record>& records() const { return items; }

private:
    QRectF boundingRectangle;
    QVector<Record> items;
};

namespace Internal {

// A model coordinate in whole pixels, truncated toward zero. Far-off values are held to a range that
// is still off any canvas, so the conversion to int stays defined.
inline int toPixel(const QwtScaleMap& map, double value)
{
    constexpr double limit = 1 << 24;
    const double p = map.transform(value);
    if (std::isnan(p))
        return 0;
    return int(std::max(-limit, std::min(limit, p)));
}

inline bool isFinite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

} // namespace Internal

} // namespace Data
} // namespace Trelvin
} // namespace Zemko
