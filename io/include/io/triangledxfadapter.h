#pragma once

#include <io/borderextractor.h>
#include <io/dxfmemoryreader.h>
#include <io/io_global.h>

#include <corvex/envelope.h>
#include <corvex/triangle.h>

#include <dxflib/dl_creationadapter.h>

class DL_Dxf;

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Zemko {
namespace Utility {
class Connection;
}
} // namespace Zemko

namespace Pelko {
namespace IO {

class DxfLineBuffer;
class IProgress;
class MemoryFile;

// Turns the 3DFACE entities of a DXF drawing into triangles: either into a TIN database (constructed with
// its path) or into a list (default constructor). The drawing's Y becomes north, X east, Z height. A face
// whose fourth corner differs from its third is a quad and gives two triangles, split along a diagonal
// inside it; a quad given again, its corners exactly those of an earlier one in any order, is split along
// the earlier one's diagonal. Telling a fourth corner that is there from one dxflib made up takes the group
// texts, which only reading through read() or readDxf() shows (fed by dxflib alone, every face is taken as
// the triangle of its first three corners).
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

    // Reads a drawing into this adapter. Read this way, the adapter also sees each coordinate's text
    // (dxflib reads "nan" and "inf" as 0) and the line each face ends at. progress is only asked whether
    // the work is cancelled; it may be null.
    DxfReadResult read(MemoryFile& file, IProgress* progress);
    DxfReadResult read(const std::string& path, IProgress* progress);

    void add3dFace(const DL_3dFaceData& data) override;
    // Faces inside a block definition are symbol geometry in the block's own coordinates, not terrain.
    void addBlock(const DL_BlockData& data) override;
    void endBlock() override;

    // Completes the database: the remaining rows, the border and the commit. True only when the database
    // was opened and every row, the border and the commit were written; in list mode always true. A
    // cancel through progress (which may be null) rolls everything back and gives false. Reports 0 to 100
    // through progress, 100 once committed.
    bool finish(IProgress* progress = nullptr);

    const std::vector<Pelko::Corvex::Triangle3D>& getTriangles() const;
    // Faces of the model space taken, each as one or two triangles.
    int faces() const;
    // Of those, the faces without an area seen from above: their corners lie on one line.
    int facesWithoutArea() const;
    // Faces left out for a corner that is not a finite number or not storable, and the line the first
    // of them ends at (0 when the drawing was not read through read()).
    int skippedFaces() const;
    unsigned firstSkippedLine() const;
    // False when the database could not be opened or prepared, or a write failed.
    bool isWritable() const;
    // What the border written by finish() goes round.
    const BorderCoverage& borderCoverage() const;

private:
    bool flush();
    void close(bool commit);
    bool isUsable(const DL_3dFaceData& data) const;
    bool hasFourthCorner(const DL_3dFaceData& data) const;
    const Pelko::Corvex::Triangle3D& taken(size_t position) const;
    bool splitAsBefore(const Pelko::Corvex::Point3D (&corners)[4],
                       const std::array<Pelko::Corvex::Point3D, 4>& sorted, std::uint32_t hash,
                       Pelko::Corvex::Triangle3D (&out)[2]) const;
    void fileQuad(std::uint32_t hash, size_t position);
    DxfReadResult read(DxfLineBuffer& buffer);

    std::vector<Pelko::Corvex::Triangle3D> m_triangles;
    int m_faceCount = 0;
    // The faces written so far, for the index and the border.
    std::vector<std::vector<Pelko::Corvex::Triangle3D>> m_written;
    // The quads split in two so far, found by a hash of their corners: open addressing, each slot the hash
    // (high half) and the position of the quad's first triangle plus one (low half); 0 is a free slot.
    std::vector<std::uint64_t> m_quads;
    size_t m_quadCount = 0;
    Zemko::Utility::Connection* m_connection = nullptr;
    bool m_databaseMode = false;
    bool m_failed = false;
    bool m_inBlock = false;
    int m_faces = 0;
    int m_facesWithoutArea = 0;
    int m_skipped = 0;
    unsigned m_firstSkippedLine = 0;
    BorderCoverage m_coverage;
    // Set while read() runs.
    DL_Dxf* m_reader = nullptr;
    const DxfLineBuffer* m_buffer = nullptr;
};

} // namespace IO
} // namespace Pelko
