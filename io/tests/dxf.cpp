#include "tinhelpers.h"

#include <io/bordercontrol.h>
#include <io/dxfmemoryreader.h>
#include <io/memoryfile.h>
#include <io/triangledxfadapter.h>
#include <io/triangledxfreader.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace Pelko::IO;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle3D;
using Rows = std::vector<std::vector<double>>;
using Pairs = std::vector<std::pair<double, double>>;

namespace {

const std::string twoFaces = std::string(TEST_DATA_DIR) + "/twofaces.dxf";

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string face(double x0, double y0, double x1, double y1, double x2, double y2)
{
    auto n = [](double v) { return std::to_string(v); };
    return "0\n3DFACE\n8\nT\n10\n" + n(x0) + "\n20\n" + n(y0) + "\n30\n1\n11\n" + n(x1) + "\n21\n" + n(y1)
        + "\n31\n2\n12\n" + n(x2) + "\n22\n" + n(y2) + "\n32\n3\n13\n" + n(x2) + "\n23\n" + n(y2)
        + "\n33\n3\n";
}

std::string drawing(const std::string& entities)
{
    return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

bool convertText(const std::string& text, const std::string& database)
{
    MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
    return TrianglesWriter::convert(file, database);
}

struct Tables
{
    Rows triangles;
    Rows index;
    Pairs border;
    bool operator==(const Tables& o) const
    {
        return triangles == o.triangles && index == o.index && border == o.border;
    }
};

Tables tables(const std::string& database)
{
    ConnectionPtr connection = open(database);
    if (!connection)
        return {};
    return { rows(connection.get(), "select * from triangle  order by id"),
             rows(connection.get(), "select * from triangleRTree  order by id"),
             points(BorderControl::getPolygon(connection.get())) };
}

const Rows expectedTriangles { { 0, 200, 100, 5, 200, 110, 6, 210, 100, 7 },
                               { 1, 200, 110, 6, 210, 110, 8, 210, 100, 7 } };
const Pairs expectedBorder { { 200, 100 }, { 210, 100 }, { 210, 110 }, { 200, 110 } };

} // namespace

TEST(TrianglesWriter, ConvertsDxfFileAndMemory)
{
    TempFolder temp;
    const std::string fromFile = temp.file("file.qvr");
    ASSERT_TRUE(TrianglesWriter::convert(twoFaces, fromFile));
    Tables file = tables(fromFile);
    // The drawing's Y is north and X east; the fourth corner of a face is dropped.
    EXPECT_EQ(file.triangles, expectedTriangles);
    ASSERT_EQ(file.index.size(), 2u);
    EXPECT_EQ(file.index[0][0], 0);
    EXPECT_NEAR(file.index[0][1], 199.999, 1e-4);
    EXPECT_NEAR(file.index[0][2], 210.001, 1e-4);
    EXPECT_NEAR(file.index[0][3], 99.999, 1e-4);
    EXPECT_NEAR(file.index[0][4], 110.001, 1e-4);
    EXPECT_EQ(file.border, expectedBorder);

    const std::string text = slurp(twoFaces);
    const std::string fromMemory = temp.file("memory.qvr");
    MemoryFile memory(text.data(), static_cast<unsigned>(text.size()));
    ASSERT_TRUE(TrianglesWriter::convert(memory, fromMemory));
    EXPECT_EQ(memory.progress(), 100);
    EXPECT_TRUE(tables(fromMemory) == file);

    // A converted drawing equals the same triangles written as a list.
    TriangleDxfAdapter list;
    MemoryFile again(text.data(), static_cast<unsigned>(text.size()));
    ASSERT_TRUE(readDxf(again, &list));
    EXPECT_TRUE(list.finish());
    ASSERT_EQ(list.getTriangles().size(), 2u);
    EXPECT_EQ(list.getTriangles()[1].getVertex(1), Point3D(210, 110, 8));
    const std::string written = temp.file("written.qvr");
    ASSERT_TRUE(TrianglesWriter::write(list.getTriangles(), written, nullptr));
    EXPECT_TRUE(tables(written) == file);

    // Converting again replaces the earlier content.
    ASSERT_TRUE(convertText(drawing(face(0, 0, 1, 0, 1, 1)), fromFile));
    EXPECT_EQ(tables(fromFile).triangles, (Rows { { 0, 0, 0, 1, 0, 1, 2, 1, 1, 3 } }));
}

TEST(TrianglesWriter, ConvertEdgeCases)
{
    TempFolder temp;
    const std::string database = temp.file("edge.qvr");

    // A readable drawing without faces succeeds with empty tables.
    ASSERT_TRUE(convertText(drawing("0\nLINE\n8\nT\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n"), database));
    Tables empty = tables(database);
    EXPECT_TRUE(empty.triangles.empty());
    EXPECT_TRUE(empty.index.empty());
    EXPECT_TRUE(empty.border.empty());

    // Blanks around group codes are allowed; CR LF and a missing final line feed too.
    ASSERT_TRUE(convertText(
        "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n" + face(0, 0, 1, 0, 1, 1) + "  0\r\nENDSEC", database));
    EXPECT_EQ(tables(database).triangles.size(), 1u);

    // An over-long line is cut for dxflib, which otherwise never returns.
    std::string longComment = "999\n" + std::string(5000, 'c') + "\n";
    ASSERT_TRUE(convertText(longComment + drawing(face(0, 0, 1, 0, 1, 1)), database));
    EXPECT_EQ(tables(database).triangles.size(), 1u);
    std::string longValue = drawing("0\nLINE\n8\n" + std::string(1023, 'L') + "\n" + face(0, 0, 1, 0, 1, 1));
    ASSERT_TRUE(convertText(longValue, database));
    EXPECT_EQ(tables(database).border.size(), 3u);

    // Nothing to read, or no database to write.
    EXPECT_FALSE(convertText("", temp.file("nothing.qvr")));
    EXPECT_FALSE(TrianglesWriter::convert(temp.file("absent.dxf"), temp.file("absent.qvr")));
    EXPECT_FALSE(TrianglesWriter::convert(twoFaces, temp.file("missing/tin.qvr")));
    EXPECT_FALSE(convertText(drawing(face(0, 0, 1, 0, 1, 1)), temp.file("missing/tin.qvr")));
    MemoryFile closed("0\nEOF\n", 6);
    closed.close();
    EXPECT_FALSE(readDxf(closed, nullptr));
}

// A binary DXF as AutoCAD writes it: the sentinel, then groups of a two-byte code and a binary value.
std::string binaryDrawing()
{
    std::string out("AutoCAD Binary DXF\r\n\x1a\0", 22);
    auto code = [&out](int c) {
        out += static_cast<char>(c & 0xff);
        out += static_cast<char>(c >> 8);
    };
    auto text = [&](int c, const std::string& value) {
        code(c);
        out += value;
        out += '\0';
    };
    auto real = [&](int c, double value) {
        code(c);
        out.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    text(0, "SECTION");
    text(2, "ENTITIES");
    text(0, "3DFACE");
    text(8, "TERRAIN");
    const double corners[4][3] = { { 100, 200, 5 }, { 110, 200, 6 }, { 100, 210, 7 }, { 100, 210, 7 } };
    for (int i = 0; i < 4; ++i)
        for (int axis = 0; axis < 3; ++axis)
            real(10 + i + 10 * axis, corners[i][axis]);
    text(0, "ENDSEC");
    text(0, "EOF");
    return out;
}

TEST(TrianglesWriter, OnlyTheDrawingsOwnTextFacesAreTerrain)
{
    TempFolder temp;
    // Faces of a block definition are a symbol in its own coordinates; its insert adds nothing either.
    const std::string blocks = std::string(TEST_DATA_DIR) + "/blockfaces.dxf";
    const std::string fromFile = temp.file("blocks.qvr");
    ASSERT_TRUE(TrianglesWriter::convert(blocks, fromFile));
    EXPECT_EQ(tables(fromFile).triangles, expectedTriangles);
    EXPECT_EQ(tables(fromFile).border, expectedBorder);
    ASSERT_TRUE(convertText(slurp(blocks), temp.file("blocks_memory.qvr")));
    EXPECT_TRUE(tables(temp.file("blocks_memory.qvr")) == tables(fromFile));
    // The reader writes its mirror beside the drawing.
    const std::string copied = temp.file("blocks.dxf");
    std::filesystem::copy_file(blocks, copied);
    EXPECT_EQ(TriangleDxfReader(copied).getTriangles().size(), 2u);

    // dxflib reads text only: a binary drawing is refused, not converted into an empty TIN, and the
    // database keeps what it held.
    const std::string database = temp.file("binary.qvr");
    ASSERT_TRUE(TrianglesWriter::convert(twoFaces, database));
    const std::string binary = binaryDrawing();
    const std::string binaryPath = temp.file("binary.dxf");
    std::ofstream(binaryPath, std::ios::binary) << binary;
    EXPECT_FALSE(TrianglesWriter::convert(binaryPath, database));
    EXPECT_FALSE(convertText(binary, database));
    EXPECT_EQ(tables(database).triangles, expectedTriangles);
    TriangleDxfReader reader;
    EXPECT_FALSE(reader.loadFile(binaryPath));
}

TEST(TrianglesWriter, FailedConvertKeepsNothing)
{
    TempFolder temp;
    const std::string database = temp.file("broken.qvr");
    {
        ConnectionPtr connection = open(database, true);
        ASSERT_TRUE(Zemko::Utility::BaseTableControl::createTable(
            "triangle  (id INTEGER PRIMARY KEY,v0X double,v0Y double,v0Z double,v1X double CHECK(v1X < 205),"
            "v1Y double,v1Z double,v2X double,v2Y double,v2Z double)",
            connection.get()));
    }
    // The second face's row breaks the check.
    EXPECT_FALSE(TrianglesWriter::convert(twoFaces, database));
    ConnectionPtr connection = open(database);
    ASSERT_TRUE(connection);
    EXPECT_TRUE(connection->beginTransactionWithExclusive());
    EXPECT_TRUE(rows(connection.get(), "select * from triangle ").empty());
    EXPECT_TRUE(rows(connection.get(), "select * from triangleRTree ").empty());
    EXPECT_TRUE(connection->rollback());
    connection.reset();

    // An adapter dropped before finishing keeps nothing either.
    const std::string unfinished = temp.file("unfinished.qvr");
    {
        TriangleDxfAdapter adapter(unfinished);
        std::string text = slurp(twoFaces);
        MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        EXPECT_TRUE(readDxf(file, &adapter));
    }
    connection = open(unfinished);
    ASSERT_TRUE(connection);
    EXPECT_TRUE(rows(connection.get(), "select * from triangle ").empty());
}

TEST(TriangleDxfReader, LoadsAndMirrors)
{
    TempFolder temp;
    const std::string path = temp.file("terrain.dxf");
    std::filesystem::copy_file(twoFaces, path);

    TriangleDxfReader reader(path);
    ASSERT_EQ(reader.getTriangles().size(), 2u);
    EXPECT_EQ(reader.getTriangles()[0].getVertex(2), Point3D(210, 100, 7));
    EXPECT_EQ(tables(path + ".db").triangles, expectedTriangles);

    // Loading again rewrites the mirror; copies share the reader's connection.
    TriangleDxfReader copy(reader);
    ASSERT_TRUE(copy.loadFile(path));
    EXPECT_EQ(tables(path + ".db").triangles, expectedTriangles);
    TriangleDxfReader assigned;
    assigned = copy;
    EXPECT_EQ(assigned.getTriangles().size(), 2u);

    // A failed load leaves the reader as it was.
    EXPECT_FALSE(assigned.loadFile(temp.file("absent.dxf")));
    EXPECT_FALSE(assigned.loadFile(""));
    EXPECT_EQ(assigned.getTriangles().size(), 2u);
    EXPECT_TRUE(TriangleDxfReader().getTriangles().empty());
}
