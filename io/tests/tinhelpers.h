#pragma once

#include <io/iprogress.h>
#include <io/memoryfile.h>
#include <io/triangleswriter.h>

#include <corvex/point3d.h>
#include <corvex/polygon.h>
#include <corvex/triangle.h>

#include <utility/basetablecontrol.h>
#include <utility/connection.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "io-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    std::string file(const char* name) const { return (std::filesystem::path(path) / name).string(); }

    std::string path;
};

using ConnectionPtr = std::unique_ptr<Zemko::Utility::Connection, void (*)(Zemko::Utility::Connection*)>;

inline ConnectionPtr open(const std::string& path, bool create = false)
{
    return ConnectionPtr(Zemko::Utility::Connection::create(path, create),
                         &Zemko::Utility::Connection::destory);
}

// Every row of a query, each as its columns read as doubles.
inline std::vector<std::vector<double>> rows(Zemko::Utility::Connection* connection, const std::string& sql)
{
    std::vector<std::vector<double>> result;
    sqlite3_stmt* stmt = Zemko::Utility::BaseTableControl::getSqliteStmtByExecQuery(connection, sql);
    if (!stmt)
        return result;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::vector<double> row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            row.push_back(sqlite3_column_double(stmt, c));
        result.push_back(row);
    }
    sqlite3_finalize(stmt);
    return result;
}

inline std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Converts a drawing held in memory.
inline bool convertText(const std::string& text, const std::string& database)
{
    Pelko::IO::MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
    return Pelko::IO::TrianglesWriter::convert(file, database);
}

inline Pelko::Corvex::Triangle3D tri(double ax, double ay, double bx, double by, double cx, double cy,
                                     double z = 0)
{
    return Pelko::Corvex::Triangle3D(Pelko::Corvex::Point3D(ax, ay, z), Pelko::Corvex::Point3D(bx, by, z + 1),
                                     Pelko::Corvex::Point3D(cx, cy, z + 2));
}

inline std::vector<std::pair<double, double>> points(const Pelko::Corvex::Polygon& polygon)
{
    std::vector<std::pair<double, double>> result;
    for (unsigned i = 0; i < polygon.getPointCount(); ++i)
        result.emplace_back(polygon.getPoint(i).getX(), polygon.getPoint(i).getY());
    return result;
}

// Records the reports, and cancels once asked more than `after` times.
struct Canceller : Pelko::IO::IProgress
{
    explicit Canceller(int after)
        : after(after)
    {
    }
    void report(int percent) override { reports.push_back(percent); }
    bool isCancelled() const override
    {
        if (reports.empty())
            ++askedBeforeReports;
        else if (reports.back() >= lastReport)
            ++askedAfterReports;
        if (++asked <= after)
            return false;
        if (reportsBeforeCancel < 0)
            reportsBeforeCancel = static_cast<int>(reports.size());
        return true;
    }
    int after;
    mutable int asked = 0;
    // Of those, before the first report, and after a report of lastReport.
    int lastReport = 100;
    mutable int askedBeforeReports = 0;
    mutable int askedAfterReports = 0;
    // The number of reports when the cancel was first seen; -1 before.
    mutable int reportsBeforeCancel = -1;
    std::vector<int> reports;
};
