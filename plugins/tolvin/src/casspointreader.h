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

    // True only when at least one point was read and every line holds a point, but for blank lines that
    // end the file (exports often leave some). A bad or blank line among the points, or a coordinate that
    // is not a finite number or lies beyond what a TIN database stores, fails the whole file; so does a
    // file that changes while it is read into memory.
    bool read();
    // x north, y east, z height, in file order.
    const std::vector<Pelko::Corvex::Point3D>& points() const;
    // Lines read in percent of the file's lines, never above 100. Safe to call from another thread while
    // read() runs.
    int progress() const;
    // Why the last read() failed, naming the file and, for a bad line, its number and what is wrong with
    // it; empty after a success or a cancel.
    QString errorString() const;
    // A flag read() looks at between chunks of the file and every few thousand lines; once set, read()
    // stops and fails. Null: none.
    void setCancelFlag(const std::atomic<bool>* cancelled);

private:
    // Empty when the trimmed line holds a point, which is appended; otherwise what is wrong with it.
    QString parseLine(const QString& text, qint64 number);

    QString m_path;
    std::vector<Pelko::Corvex::Point3D> m_points;
    std::atomic<int> m_percent { 0 };
    QString m_error;
    const std::atomic<bool>* m_cancelled = nullptr;
};

} // namespace Zemko::Trelvin
