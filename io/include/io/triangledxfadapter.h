#pragma once

#include <io/io_global.h>

#include <corvex/envelope.h>
#include <corvex/triangle.h>

#include <dxflib/dl_creationadapter.h>

#include <string>
#include <vector>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

// Turns the 3DFACE entities of a DXF drawing into triangles: either into a TIN database (constructed with
// its path) or into a list (default constructor). The drawing's Y becomes north, X east, Z height.
class IO_EXPORT TriangleDxfAdapter : public DL_CreationAdapter
{
public:
    TriangleDxfAdapter();
    // Opens the database, clears its tables and starts an exclusive transaction.
    explicit TriangleDxfAdapter(const std::string& databasePath);
    // A database that was not finished is rolled back.
    ~TriangleDxfAdapter() override;

    TriangleDxfAdapter(const TriangleDxfAdapter&) = delete;
    TriangleDxfAdapter& operator=(const TriangleDxfAdapter&) = delete;

    void add3dFace(const DL_3dFaceData& data) override;
    // Faces inside a block definition are symbol geometry in the block's own coordinates, not terrain.
    void addBlock(const DL_BlockData& data) override;
    void endBlock() override;

    // Completes the database: the remaining rows, the border and the commit. True only when the database
    // was opened and every row, the border and the commit were written; in list mode always true.
    bool finish();

    const std::vector<Pelko::Corvex::Triangle3D>& getTriangles() const;

private:
    bool flush();
    void close(bool commit);

    std::vector<Pelko::Corvex::Triangle3D> m_triangles;
    int m_faceCount = 0;
    std::vector<Pelko::Corvex::Rect> m_boxes; // of the faces written so far, for the index
    Zemko::Utility::Connection* m_connection = nullptr;
    bool m_databaseMode = false;
    bool m_failed = false;
    bool m_inBlock = false;
};

} // namespace IO
} // namespace Pelko
