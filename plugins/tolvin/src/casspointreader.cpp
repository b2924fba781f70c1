#include "casspointreader.h"

#include <QByteArray>
#include <QFile>
#include <QTextStream>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Zemko::Trelvin {

namespace {

bool toCoordinate(const QStringRef& field, double* value)
{
    bool ok = false;
    *value = field.trimmed().toDouble(&ok);
    // toDouble takes "nan" and "inf", which would poison the triangulation.
    return ok && std::isfinite(*value);
}

} // namespace

CassPointReader::CassPointReader(const QString& path)
    : m_path(path)
{
    m_points.reserve(1000);
}

bool CassPointReader::read()
{
    m_points.clear();
    m_percent.store(0, std::memory_order_relaxed);

    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    // The text stream reads a QByteArray, which holds at most INT_MAX bytes; an empty file has no mapping.
    if (size <= 0 || size > std::numeric_limits<int>::max())
        return false;
    uchar* mapping = file.map(0, size);
    if (!mapping)
        return false;
    const char* data = reinterpret_cast<const char*>(mapping);
    // A file of one line without a line feed still counts one line.
    const qint64 lineFeeds = std::max<qint64>(1, std::count(data, data + size, '\n'));

    bool ok = false;
    {
        QTextStream stream(QByteArray::fromRawData(data, static_cast<int>(size)));
        qint64 count = 0;
        for (;;) {
            count += 100;
            m_percent.store(
                static_cast<int>(std::min<qint64>(count / lineFeeds, std::numeric_limits<int>::max())),
                std::memory_order_relaxed);
            const QString line = stream.readLine();
            if (line.isNull())
                break;
            ok = parseLine(line);
            if (!ok)
                break;
        }
    }
    file.unmap(mapping);
    return ok;
}

bool CassPointReader::parseLine(const QString& line)
{
    const QString text = line.trimmed();
    const QVector<QStringRef> fields = text.splitRef(QLatin1Char(','), Qt::KeepEmptyParts);
    if (fields.size() < 5)
        return false;
    double north = 0;
    double east = 0;
    double height = 0;
    if (!toCoordinate(fields.at(3), &north) || !toCoordinate(fields.at(2), &east)
        || !toCoordinate(fields.at(4), &height))
        return false;
    m_points.emplace_back(north, east, height);
    return true;
}

const std::vector<Pelko::Corvex::Point3D>& CassPointReader::points() const
{
    return m_points;
}

int CassPointReader::progress() const
{
    return m_percent.load(std::memory_order_relaxed);
}

} // namespace Zemko::Trelvin
