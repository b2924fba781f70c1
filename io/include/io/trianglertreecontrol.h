#pragma once

#include <io/io_global.h>

#include <corvex/delaunay.h>
#include <corvex/envelope.h>
#include <corvex/point.h>
#include <corvex/triangle.h>

#include <sqlite3.h>

#include <string>
#include <utility>
#include <vector>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

class IProgress;

// The triangle table and its R*Tree index on a caller-owned connection. No transactions here.
class IO_EXPORT TriangleRTreeControl
{
public:
    static const char* const triangleTable;
    static const char* const indexTable;
    // The index keeps 32-bit floats, which end at 3.4e38: a larger coordinate would give an infinite box.
    // Within this bound no difference of two coordinates overflows either.
    static constexpr double largestCoordinate = 1e38;
    // Finite and within largestCoordinate.
    static bool isStorable(double coordinate);

    // After packing an index, also have SQLite's rtreecheck() read the tree back. Off by default, where
    // the packed tree is checked as it is built; the check costs about a quarter of a large write.
    static void setSqliteIndexCheck(bool on);
    static bool sqliteIndexCheck();

    static bool createTable(Zemko::Utility::Connection* connection);
    static bool removeRecords(Zemko::Utility::Connection* connection);

    // Index rows, then triangle rows; row i gets ids[i]. Lists of different sizes write nothing.
    static bool insert(Zemko::Utility::Connection* connection, const std::vector<int>& ids,
                       const std::vector<Pelko::Corvex::Triangle3D>& triangles);
    // Ids 0 to n - 1; reports climb to 50 over the index rows and to 100 over the triangle rows. A cancel
    // through progress stops the rows between batches and gives false.
    static bool insert(Zemko::Utility::Connection* connection,
                       const std::vector<Pelko::Corvex::Triangle3D>& triangles, IProgress* progress);
    // The triangles of a triangulation, read from its index arrays in place: the same rows, ids and reports
    // as inserting its getAllTriangles() list.
    static bool insert(Zemko::Utility::Connection* connection,
                       const Pelko::Corvex::Delaunay::DelaunayTriangulation& triangulation,
                       IProgress* progress);
    // One triangle row without its index row.
    static bool insertTriangle(Zemko::Utility::Connection* connection, int id,
                               const Pelko::Corvex::Triangle3D& triangle);
    // One index row holding the triangle's box grown by 0.001.
    static bool insertIndex(Zemko::Utility::Connection* connection, int id,
                            const Pelko::Corvex::Triangle3D& triangle);
    // Index rows, row i with id ids[i] and box boxes[i]; lists of different sizes write nothing. An index
    // without rows is bulk-loaded as one packed tree and checked; otherwise, or when that fails, the rows go
    // in one by one. Reports climb to 50; progress may be null; a cancel through it gives false.
    static bool insertIndex(Zemko::Utility::Connection* connection, const std::vector<int>& ids,
                            const std::vector<Pelko::Corvex::Rect>& boxes, IProgress* progress);
    // Triangle rows without index rows, row i with id ids[i]; lists of different sizes write nothing.
    static bool insertTriangles(Zemko::Utility::Connection* connection, const std::vector<int>& ids,
                                const std::vector<Pelko::Corvex::Triangle3D>& triangles);
    // The triangle's box grown by 0.001 on every side, as its index row holds it.
    static Pelko::Corvex::Rect grownRect(const Pelko::Corvex::Triangle3D& triangle);

    static std::vector<Pelko::Corvex::Triangle3D> getAllTriangles(Zemko::Utility::Connection* connection);
    static std::pair<Pelko::Corvex::Triangle3D, bool> getTriangle(Zemko::Utility::Connection* connection,
                                                                  int id);
    static std::pair<Pelko::Corvex::Rect, bool> getRect(Zemko::Utility::Connection* connection, int id);
    static std::vector<int> getBelongedRect(Zemko::Utility::Connection* connection,
                                            const Pelko::Corvex::Rect& window);
    static std::vector<int> getBelongedRect(Zemko::Utility::Connection* connection,
                                            const Pelko::Corvex::Point& point);
    static std::vector<Pelko::Corvex::Triangle3D> getBelongedTriangles(Zemko::Utility::Connection* connection,
                                                                       const Pelko::Corvex::Point& point);
    static std::vector<Pelko::Corvex::Triangle3D> getBelongedTriangles(Zemko::Utility::Connection* connection,
                                                                       const Pelko::Corvex::Point& first,
                                                                       const Pelko::Corvex::Point& second);

    // The query for the ids of the index rows overlapping the window; numbers carry four decimals
    // whatever the process locale.
    static std::string windowQuery(const Pelko::Corvex::Rect& window);

private:
    static std::vector<Pelko::Corvex::Rect> commonGetRect(Zemko::Utility::Connection* connection,
                                                          const std::string& condition);
    static std::vector<Pelko::Corvex::Triangle3D> commonGetTriangle(Zemko::Utility::Connection* connection,
                                                                    const std::string& condition);
    static std::vector<Pelko::Corvex::Triangle3D>
    commonGetTriangleWhere(Zemko::Utility::Connection* connection, const std::string& condition,
                           const std::vector<Pelko::Corvex::Point>& points);
    static bool insertIndex(Zemko::Utility::Connection* connection, const std::vector<int>* ids,
                            const std::vector<Pelko::Corvex::Triangle3D>& triangles, IProgress* progress);
    static bool insertTriangle(Zemko::Utility::Connection* connection, const std::vector<int>* ids,
                               const std::vector<Pelko::Corvex::Triangle3D>& triangles, IProgress* progress);
    static sqlite3_stmt* stmtForInsertIndex(Zemko::Utility::Connection* connection);
    static sqlite3_stmt* stmtForInsertTriangle(Zemko::Utility::Connection* connection);
};

} // namespace IO
} // namespace Pelko
