#pragma once

#include <corvex/point3d.h>

#include <QString>

#include <atomic>
#include <vector>

namespace Zemko::Trelvin {

// Reads a CASS point file: one point a line as "name,code,east,north,height", further fields ignored.
class CassPointReader
{
public:
    explicit CassPointReader(const QString& path);

    // True only when at least one line was read and every line holds a point: a bad or empty line,
    // or a value that is not a finite number, fails the whole file.
    bool read();
    // x north, y east, z height, in file order.
    const std::vector<Pelko::Corvex::Point3D>& points() const;
    // 100 per line taken over the number of line feeds; it passes 100 on the last read. Safe to call
    // from another thread while read() runs.
    int progress() const;

private:
    bool parseLine(const QString& line);

    QString m_path;
    std::vector<Pelko::Corvex::Point3D> m_points;
    std::atomic<int> m_percent { 0 };
};

} // namespace Zemko::Trelvin
