#pragma once

#include <io/io_global.h>

#include <corvex/triangle.h>

#include <cstddef>
#include <string>
#include <vector>

namespace Pelko {
namespace Corvex {
class Delaunay;
}
namespace IO {

class IProgress;
class MemoryFile;

// What converting a DXF drawing came to.
struct IO_EXPORT DxfConversion
{
    enum Outcome {
        Converted, // read and written; the database may hold no triangle (see faces)
        NotADrawing, // a text without any DXF section; written as an empty drawing
        BinaryDrawing, // a binary DXF, which cannot be read; nothing written
        Unreadable, // nothing to read; nothing written
        WriteFailed, // the database could not be opened or written; nothing of it committed
        Cancelled, // stopped through the progress callback; nothing committed
        OutOfMemory, // memory ran out on the way; nothing committed
    };

    Outcome outcome = Unreadable;
    // 3DFACE entities of the model space written, each as one triangle or (a quad) two.
    int faces = 0;
    // Of those, the faces without an area seen from above (their corners on one line): a drawing of
    // such faces alone gives no terrain.
    int facesWithoutArea = 0;
    // Faces left out for a corner that is not a finite number or is not storable in the index, and the
    // line of the drawing the first of them ends at.
    int skippedFaces = 0;
    unsigned firstSkippedLine = 0;
    // Separate parts of the ground the faces cover (faces meeting at a corner or along an edge, or
    // overlapping, are one part), and the share of that ground the border encloses, measured against the
    // border (negative where it could not be): the border goes round the largest part.
    int parts = 0;
    double borderShare = 0;
    // Some ground is under more than one face: the border goes round the ground they cover together.
    bool overlapping = false;
    // Whether every face of the border's part was found, exactly, to lie inside the border or on it.
    bool borderEnclosesPart = true;
    // The border is the convex hull of the corners of every face: the ground they cover would have cost
    // far more to work out than the faces themselves (see BorderCoverage::hull).
    bool borderHull = false;
};

// Fills a TIN database (triangles, R*Tree index and border) in one transaction. Each operation is true only
// when everything was written and committed; on failure nothing of it is committed.
class IO_EXPORT TrianglesWriter
{
public:
    // The 3DFACE entities of a DXF drawing held in memory.
    static bool convert(MemoryFile& dxf, const std::string& databasePath);
    // The same, telling what came of it. progress, which may be null, hears 0 to 100 over the whole
    // conversion (the lines read first), 100 once committed, and is asked whether the work is cancelled.
    static DxfConversion convertDrawing(MemoryFile& dxf, const std::string& databasePath,
                                        IProgress* progress);
    // The 3DFACE entities of the DXF drawing at dxfPath.
    static bool convert(const std::string& dxfPath, const std::string& databasePath);
    // progress may be null; it hears 0 to 100 over the whole write, 100 once committed, and a cancel through
    // it stops the write between batches of rows and rolls it back. Memory running out throws
    // std::bad_alloc, with nothing committed.
    static bool write(const Pelko::Corvex::Delaunay& delaunay, const std::string& databasePath,
                      IProgress* progress);
    // The same; memory running out gives false, with nothing committed.
    static bool write(const std::vector<Pelko::Corvex::Triangle3D>& triangles,
                      const std::string& databasePath, IProgress* progress);

    // True when the file at path is a TIN database: an SQLite file holding the triangle table and its
    // index. The file is only read, and opened as a database only when it is an SQLite file; nothing is
    // created beside it (a database in write-ahead-log mode, or one with anything at its log's name, is
    // read as it is, without locks). hotJournal, where given, tells whether it could not be read for the
    // journal of a write that did not end beside it, which only a writer may roll back; inUse, whether
    // another program held its write lock throughout the 2 s it was waited for.
    static bool isTinDatabase(const std::string& path, bool* hotJournal = nullptr, bool* inUse = nullptr);
    // Whether SQLite can open a database at path: its full path (absolute, links resolved as SQLite
    // resolves them) leaves room within SQLite's limit on paths for the name of the database's journal.
    // longest, where given, is set to the longest full path SQLite takes for a database, in bytes.
    static bool fitsDatabasePath(const std::string& path, std::size_t* longest = nullptr);
};

} // namespace IO
} // namespace Pelko
