#include "tinhelpers.h"

#include <tinborder.h>

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/dxfmemoryreader.h>
#include <io/memoryfile.h>
#include <io/triangledxfadapter.h>
#include <io/triangledxfreader.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>

using namespace Pelko::IO;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle3D;
using Rows = std::vector<std::vector<double>>;
using Pairs = std::vector<std::pair<double, double>>;

namespace {

const std::string twoFaces = std::string(TEST_DATA_DIR) + "/twofaces.dxf";

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

// A drawing of faces that overlap has no border of whole edges: sound only says the border is checked.
Tables tables(const std::string& database, bool sound = true)
{
    ConnectionPtr connection = open(database);
    if (!connection)
        return {};
    if (sound) {
        EXPECT_EQ(tinBorderFault(database), "");
    }
    return { rows(connection.get(), "select * from triangle  order by id"),
             rows(connection.get(), "select * from triangleRTree  order by id"),
             points(BorderControl::getPolygon(connection.get())) };
}

// The reader's mirror of a drawing holds triangles and their index, and no border.
Rows mirrored(const std::string& database)
{
    ConnectionPtr connection = open(database);
    return rows(connection.get(), "select * from triangle  order by id");
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
    // The drawing's Y is north and X east; both faces are triangles, their fourth corner their third.
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
    EXPECT_EQ(mirrored(path + ".db"), expectedTriangles);

    // Loading again rewrites the mirror; copies share the reader's connection.
    TriangleDxfReader copy(reader);
    ASSERT_TRUE(copy.loadFile(path));
    EXPECT_EQ(mirrored(path + ".db"), expectedTriangles);
    TriangleDxfReader assigned;
    assigned = copy;
    EXPECT_EQ(assigned.getTriangles().size(), 2u);

    // A failed load leaves the reader as it was.
    EXPECT_FALSE(assigned.loadFile(temp.file("absent.dxf")));
    EXPECT_FALSE(assigned.loadFile(""));
    EXPECT_EQ(assigned.getTriangles().size(), 2u);
    EXPECT_TRUE(TriangleDxfReader().getTriangles().empty());
}

namespace {

// A 3DFACE whose nine coordinates of corners 0 to 2 are given as text (x, y, z of each); the fourth corner
// repeats the third. 28 lines.
std::string faceText(const std::array<std::string, 9>& c)
{
    return "0\n3DFACE\n8\nT\n10\n" + c[0] + "\n20\n" + c[1] + "\n30\n" + c[2] + "\n11\n" + c[3] + "\n21\n"
        + c[4] + "\n31\n" + c[5] + "\n12\n" + c[6] + "\n22\n" + c[7] + "\n32\n" + c[8] + "\n13\n" + c[6]
        + "\n23\n" + c[7] + "\n33\n" + c[8] + "\n";
}

DxfConversion convertWith(const std::string& text, const std::string& database, IProgress* progress = nullptr)
{
    MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
    return TrianglesWriter::convertDrawing(file, database, progress);
}

} // namespace

TEST(TrianglesWriter, FacesWithCornersThatAreNoFiniteNumbersAreSkipped)
{
    const std::string good = face(0, 0, 1, 0, 1, 1);
    const std::string other = face(5, 5, 6, 5, 6, 6);
    auto with = [](int index, const std::string& text) {
        std::array<std::string, 9> c { "10", "20", "1", "11", "20", "2", "10", "21", "3" };
        c[index] = text;
        return faceText(c);
    };
    // dxflib reads these texts as 0 (or, past the double range, as its largest value); the last two are
    // numbers, but beyond what the index can hold.
    const std::string bad = with(0, "nan") + with(4, "inf") + with(8, " -INF ") + with(1, "+NaN")
        + with(3, "1e999") + with(5, "-1e39") + with(2, "nan(1)");
    // Corners are read from line 5 on; the first bad face (after two good ones) ends at line 4 + 3 * 28.
    const std::string text = drawing(good + other + bad + face(7, 7, 8, 7, 8, 8));

    TempFolder temp;
    const std::string database = temp.file("skipped.qvr");
    const DxfConversion result = convertWith(text, database);
    EXPECT_EQ(result.outcome, DxfConversion::Converted);
    EXPECT_EQ(result.faces, 3);
    EXPECT_EQ(result.skippedFaces, 7);
    EXPECT_EQ(result.firstSkippedLine, 4u + 3 * 28);
    const Rows written = tables(database).triangles;
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[0], (std::vector<double> { 0, 0, 0, 1, 0, 1, 2, 1, 1, 3 }));
    EXPECT_EQ(written[2], (std::vector<double> { 2, 7, 7, 1, 7, 8, 2, 8, 8, 3 }));
    EXPECT_EQ(tables(database).index.size(), 3u);

    // The boolean conversion, the conversion from a file and the list take the same faces.
    ASSERT_TRUE(convertText(text, temp.file("plain.qvr")));
    EXPECT_EQ(tables(temp.file("plain.qvr")).triangles, written);
    const std::string path = temp.file("skipped.dxf");
    std::ofstream(path, std::ios::binary) << text;
    ASSERT_TRUE(TrianglesWriter::convert(path, temp.file("file.qvr")));
    EXPECT_EQ(tables(temp.file("file.qvr")).triangles, written);
    TriangleDxfAdapter list;
    EXPECT_EQ(list.read(path, nullptr), DxfReadResult::Read);
    EXPECT_EQ(list.getTriangles().size(), 3u);
    EXPECT_EQ(list.skippedFaces(), 7);
    EXPECT_EQ(list.firstSkippedLine(), 4u + 3 * 28);

    // Only the corners the triangle takes count: a bad fourth corner is dropped with the corner.
    std::string fourth = good;
    fourth.replace(fourth.find("13\n1.000000"), 11, "13\nnan");
    EXPECT_EQ(convertWith(drawing(fourth), database).faces, 1);
}

TEST(TrianglesWriter, ConversionTellsWhatCameOfIt)
{
    TempFolder temp;
    const std::string database = temp.file("outcome.qvr");

    // A text that is no drawing is read by dxflib without complaint.
    DxfConversion text = convertWith("Points of the survey\n1,2,3\n4,5,6\n", database);
    EXPECT_EQ(text.outcome, DxfConversion::NotADrawing);
    EXPECT_EQ(text.faces, 0);
    EXPECT_TRUE(convertText("Points of the survey\n1,2,3\n4,5,6\n", database));
    EXPECT_EQ(convertWith("0\nEOF\n", database).outcome, DxfConversion::NotADrawing);
    // Group codes with blanks around them still name a section.
    EXPECT_EQ(convertWith("  0\r\nSECTION \r\n  2\r\nENTITIES\r\n  0\r\nENDSEC\r\n", database).outcome,
              DxfConversion::Converted);

    // A drawing without faces in its model space is converted into empty tables.
    DxfConversion lines = convertWith(drawing("0\nLINE\n8\nT\n10\n0\n20\n0\n11\n1\n21\n1\n"), database);
    EXPECT_EQ(lines.outcome, DxfConversion::Converted);
    EXPECT_EQ(lines.faces, 0);
    EXPECT_EQ(lines.skippedFaces, 0);
    std::string blockOnly = slurp(std::string(TEST_DATA_DIR) + "/blockfaces.dxf");
    const size_t entities = blockOnly.find("ENTITIES");
    ASSERT_NE(entities, std::string::npos);
    blockOnly = blockOnly.substr(0, entities) + "ENTITIES\n0\nENDSEC\n0\nEOF\n";
    DxfConversion blocks = convertWith(blockOnly, database);
    EXPECT_EQ(blocks.outcome, DxfConversion::Converted);
    EXPECT_EQ(blocks.faces, 0);

    EXPECT_EQ(convertWith(binaryDrawing(), database).outcome, DxfConversion::BinaryDrawing);
    EXPECT_EQ(convertWith("", database).outcome, DxfConversion::Unreadable);
    EXPECT_EQ(convertWith(slurp(twoFaces), temp.file("missing/tin.qvr")).outcome, DxfConversion::WriteFailed);
    DxfConversion two = convertWith(slurp(twoFaces), database);
    EXPECT_EQ(two.outcome, DxfConversion::Converted);
    EXPECT_EQ(two.faces, 2);
    EXPECT_EQ(two.parts, 1);
    EXPECT_EQ(two.borderShare, 1);

    // Two separate parts, face 0 in the smaller: the border goes round the larger, and the outcome tells
    // how much of the area that is. A third part inside a hole of the larger is enclosed too.
    const std::string small = face(100, 0, 101, 0, 101, 1) + face(100, 0, 101, 1, 100, 1);
    const std::string large = face(0, 0, 3, 0, 3, 3) + face(0, 0, 3, 3, 0, 3);
    DxfConversion parts = convertWith(drawing(small + large), database);
    EXPECT_EQ(parts.outcome, DxfConversion::Converted);
    EXPECT_EQ(parts.parts, 2);
    EXPECT_DOUBLE_EQ(parts.borderShare, 0.9);
    EXPECT_EQ(tables(database).border, (Pairs { { 0, 0 }, { 3, 0 }, { 3, 3 }, { 0, 3 } }));
    std::string frame;
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 3; ++y)
            if (x != 1 || y != 1)
                frame += face(x, y, x + 1, y, x + 1, y + 1) + face(x, y, x + 1, y + 1, x, y + 1);
    const std::string island = face(1.25, 1.25, 1.75, 1.25, 1.5, 1.75);
    parts = convertWith(drawing(small + island + frame), database);
    EXPECT_EQ(parts.parts, 3);
    EXPECT_DOUBLE_EQ(parts.borderShare, (8 + 0.125) / 9.125);
    // The frame's outer border, not the rim of its hole.
    EXPECT_EQ(tables(database).border.size(), 12u);
}

TEST(TrianglesWriter, CancelledConversionKeepsNothing)
{
    std::string faces;
    for (int i = 0; i < 300; ++i)
        faces += face(i, 0, i + 1, 0, i, 1);
    const std::string text = drawing(faces);
    TempFolder temp;
    const std::string database = temp.file("cancelled.qvr");
    ASSERT_TRUE(convertText(slurp(twoFaces), database));

    // Before the first line, while reading, once every line was read (then it is asked while the rows, the
    // index and the border are written), and at the last look, before the border's rows.
    const int lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    Canceller uncancelled(1 << 30);
    MemoryFile whole(text.data(), static_cast<unsigned>(text.size()));
    ASSERT_EQ(TrianglesWriter::convertDrawing(whole, temp.file("whole.qvr"), &uncancelled).outcome,
              DxfConversion::Converted);
    ASSERT_GT(uncancelled.asked, lines + 2);
    for (int after : { 0, 1000, lines + 1, uncancelled.asked - 1 }) {
        SCOPED_TRACE(after);
        Canceller cancel(after);
        MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        const DxfConversion result = TrianglesWriter::convertDrawing(file, database, &cancel);
        EXPECT_EQ(result.outcome, DxfConversion::Cancelled);
        EXPECT_EQ(static_cast<int>(cancel.reports.size()), cancel.reportsBeforeCancel);
        if (after < lines) {
            EXPECT_LT(file.progress(), 100);
        }
        // The model written before is still there, whole.
        EXPECT_EQ(tables(database).triangles, expectedTriangles);
        EXPECT_EQ(tables(database).border, expectedBorder);
    }

    // The border's rows are asked between batches too: a strip two faces wide has all its corners on its
    // border. Of the looks while the adapter finishes the database, those beyond the index's and the
    // border's own (each counted alone over the same triangles) grow with the border's rows.
    std::string strip;
    std::vector<Triangle3D> triangles;
    for (int i = 0; i < 20000; ++i) {
        strip += face(i, 0, i + 1, 0, i + 0.5, 1) + face(i + 1, 0, i + 1.5, 1, i + 0.5, 1);
        triangles.emplace_back(Point3D(0, i, 1), Point3D(0, i + 1, 2), Point3D(1, i + 0.5, 3));
        triangles.emplace_back(Point3D(0, i + 1, 1), Point3D(1, i + 1.5, 2), Point3D(1, i + 0.5, 3));
    }
    const std::string stripText = drawing(strip);
    MemoryFile stripFile(stripText.data(), static_cast<unsigned>(stripText.size()));
    TriangleDxfAdapter adapter(temp.file("strip.qvr"));
    ASSERT_EQ(adapter.read(stripFile, nullptr), DxfReadResult::Read);
    Canceller finishing(1 << 30);
    ASSERT_TRUE(adapter.finish(&finishing));
    Canceller index(1 << 30);
    {
        ConnectionPtr connection = open(temp.file("index.qvr"), true);
        ASSERT_TRUE(connection->beginTransactionWithExclusive());
        ASSERT_TRUE(TriangleRTreeControl::createTable(connection.get()));
        std::vector<int> ids(triangles.size());
        std::iota(ids.begin(), ids.end(), 0);
        std::vector<Pelko::Corvex::Rect> boxes;
        for (const Triangle3D& triangle : triangles)
            boxes.push_back(TriangleRTreeControl::grownRect(triangle));
        ASSERT_TRUE(TriangleRTreeControl::insertIndex(connection.get(), ids, boxes, &index));
    }
    Canceller walk(1 << 30);
    BorderCoverage coverage;
    const size_t border = BorderExtractor::extract(triangles, nullptr, &walk, &coverage).getPointCount();
    ASSERT_EQ(border, triangles.size() + 2);
    EXPECT_EQ(BorderControl::getPolygon(open(temp.file("strip.qvr")).get()).getPointCount(), border);
    EXPECT_GE(finishing.asked - index.asked - walk.asked, static_cast<int>(border / 4096));
}

namespace {

using Corner = std::array<double, 3>;

// A 3DFACE with the given corners (x, y, z of the drawing); only the first three when fourth is false.
std::string faceOf(const std::array<Corner, 4>& corners, bool fourth = true)
{
    std::string text = "0\n3DFACE\n8\nT\n";
    char value[64];
    for (int i = 0; i < (fourth ? 4 : 3); ++i)
        for (int axis = 0; axis < 3; ++axis) {
            std::snprintf(value, sizeof value, "%d\n%.17g\n", 10 + i + 10 * axis, corners[i][axis]);
            text += value;
        }
    return text;
}

// The triangle row the corners give, as written: id, then north (the drawing's y), east and height.
std::vector<double> rowOf(int id, const Corner& a, const Corner& b, const Corner& c)
{
    return { double(id), a[1], a[0], a[2], b[1], b[0], b[2], c[1], c[0], c[2] };
}

// Twice the signed area of a row's triangle seen from above.
double doubleArea(const std::vector<double>& row)
{
    return (row[4] - row[1]) * (row[8] - row[2]) - (row[5] - row[2]) * (row[7] - row[1]);
}

using Corners = std::vector<Corner>;

// The corners of a row's triangle in one order, whatever order the row has them in.
Corners cornerSet(const std::vector<double>& row)
{
    Corners corners { { row[1], row[2], row[3] }, { row[4], row[5], row[6] }, { row[7], row[8], row[9] } };
    std::sort(corners.begin(), corners.end());
    return corners;
}

// The triangles of rows first and first + 1, each as its corners, in one order.
std::array<Corners, 2> quadCorners(const Rows& rows, size_t first)
{
    std::array<Corners, 2> pair { cornerSet(rows.at(first)), cornerSet(rows.at(first + 1)) };
    std::sort(pair.begin(), pair.end());
    return pair;
}

// The area enclosed by a closed ring of points.
double ringArea(const Pairs& ring)
{
    double twice = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const auto& [x0, y0] = ring[i];
        const auto& [x1, y1] = ring[(i + 1) % ring.size()];
        twice += x0 * y1 - x1 * y0;
    }
    return std::abs(twice) / 2;
}

} // namespace

TEST(TrianglesWriter, QuadFacesAreTwoTriangles)
{
    struct Case
    {
        const char* name;
        std::array<Corner, 4> corners;
        // The corners (0 to 3) of each triangle written, in order.
        std::vector<std::array<int, 3>> triangles;
        bool hasArea;
        bool fourth = true;
    };
    const std::vector<Case> cases {
        { "convex",
          { { { 0, 0, 1 }, { 10, 0, 2 }, { 10, 10, 3 }, { 0, 10, 4 } } },
          { { 0, 1, 2 }, { 0, 2, 3 } },
          true },
        // The diagonal from the first corner to the third runs outside.
        { "bent in at the second corner",
          { { { 10, 0, 5 }, { 13, 5, 6 }, { 10, 10, 7 }, { 20, 5, 8 } } },
          { { 0, 1, 3 }, { 1, 2, 3 } },
          true },
        { "bent in at the first corner",
          { { { 5, -3, 2 }, { 0, 0, 1 }, { 10, 0, 5 }, { 5, -10, 3 } } },
          { { 0, 1, 2 }, { 0, 2, 3 } },
          true },
        // Split from the first corner to the third, the second corner would only make a triangle without
        // area and lie on the other's edge; split from the second to the fourth, it stays a vertex.
        { "second corner on the line from the first to the third",
          { { { 0, 10, 4 }, { -5, 7.5, 3 }, { -10, 5, 2 }, { 0, 0, 1 } } },
          { { 0, 1, 3 }, { 1, 2, 3 } },
          true },
        { "third corner between the first and the second",
          { { { 0, 0, 1 }, { 20, 0, 2 }, { 10, 0, 3 }, { 0, 10, 4 } } },
          { { 0, 2, 3 } },
          true },
        { "first corner repeated",
          { { { 0, 10, 4 }, { 0, 10, 4 }, { 10, 10, 7 }, { 5, 15, 9 } } },
          { { 0, 2, 3 } },
          true },
        { "second corner over the first, higher",
          { { { 0, 10, 4 }, { 0, 10, 6 }, { 10, 10, 7 }, { 5, 15, 9 } } },
          { { 0, 2, 3 } },
          true },
        // Edges that cross, or a face folded onto itself, have no split: the first three corners, as before.
        { "edges crossing",
          { { { 0, 0, 1 }, { 10, 10, 2 }, { 10, 0, 3 }, { 0, 10, 4 } } },
          { { 0, 1, 2 } },
          true },
        { "second corner over the fourth",
          { { { 0, 0, 1 }, { 10, 0, 2 }, { 5, 8, 3 }, { 10, 0, 2 } } },
          { { 0, 1, 2 } },
          true },
        { "all corners on one line",
          { { { 0, 0, 1 }, { 1, 1, 2 }, { 3, 3, 3 }, { 2, 2, 4 } } },
          { { 0, 1, 2 } },
          false },
        // A triangle face, the fourth corner over the third but at another height.
        { "fourth corner over the third",
          { { { 0, 0, 1 }, { 10, 0, 2 }, { 0, 10, 3 }, { 0, 10, 9 } } },
          { { 0, 1, 2 } },
          true },
        // dxflib reads a fourth corner that is not there as (0, 0, 0).
        { "no fourth corner",
          { { { 5, 5, 1 }, { 10, 5, 2 }, { 5, 10, 3 }, { 0, 0, 0 } } },
          { { 0, 1, 2 } },
          true,
          false },
    };

    TempFolder temp;
    const std::string database = temp.file("quads.qvr");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = drawing(faceOf(c.corners, c.fourth));
        const DxfConversion result = convertWith(text, database);
        EXPECT_EQ(result.outcome, DxfConversion::Converted);
        EXPECT_EQ(result.faces, 1);
        EXPECT_EQ(result.facesWithoutArea, c.hasArea ? 0 : 1);
        Rows expected;
        for (const auto& t : c.triangles)
            expected.push_back(
                rowOf(static_cast<int>(expected.size()), c.corners[t[0]], c.corners[t[1]], c.corners[t[2]]));
        const Tables written = tables(database);
        EXPECT_EQ(written.triangles, expected);
        EXPECT_EQ(written.index.size(), expected.size());
        if (expected.size() == 2) {
            // Given again, its corners reversed or turned on by one, it is the same two triangles.
            const std::array<Corner, 4>& k = c.corners;
            const std::string again
                = faceOf(k) + faceOf({ k[3], k[2], k[1], k[0] }) + faceOf({ k[1], k[2], k[3], k[0] });
            EXPECT_EQ(convertWith(drawing(again), database).faces, 3);
            const Rows repeated = tables(database).triangles;
            ASSERT_EQ(repeated.size(), 6u);
            EXPECT_EQ(quadCorners(repeated, 2), quadCorners(repeated, 0));
            EXPECT_EQ(quadCorners(repeated, 4), quadCorners(repeated, 0));
        }
        if (c.fourth && c.hasArea && expected.size() == 2) {
            // Two triangles turning the same way, together as large as the face.
            Pairs ring;
            for (const Corner& corner : c.corners)
                ring.emplace_back(corner[1], corner[0]);
            EXPECT_GT(doubleArea(expected[0]) * doubleArea(expected[1]), 0);
            EXPECT_DOUBLE_EQ(std::abs(doubleArea(expected[0]) + doubleArea(expected[1])) / 2, ringArea(ring));
        }

        // The other ways in read the same.
        const std::string path = temp.file("quad.dxf");
        std::ofstream(path, std::ios::binary) << text;
        ASSERT_TRUE(TrianglesWriter::convert(path, temp.file("fromfile.qvr")));
        EXPECT_EQ(tables(temp.file("fromfile.qvr")).triangles, expected);
        TriangleDxfAdapter list;
        MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        ASSERT_TRUE(readDxf(file, &list));
        EXPECT_EQ(list.getTriangles().size(), expected.size());
        EXPECT_EQ(list.facesWithoutArea(), c.hasArea ? 0 : 1);
    }
}

TEST(TrianglesWriter, QuadGivenAgainIsTheSameTwoTriangles)
{
    TempFolder temp;
    const std::string database = temp.file("again.qvr");
    // A 10 m square, not flat, given again with its corners in the other order and turned on by one: on its
    // own each of those would be split along the other diagonal. The triangles of a repeat follow its
    // corners' order.
    const std::array<Corner, 4> square { { { 0, 0, 1 }, { 10, 0, 2 }, { 10, 10, 4 }, { 0, 10, 2.5 } } };
    const std::array<Corner, 4> reversed { square[3], square[2], square[1], square[0] };
    const std::array<Corner, 4> turned { square[1], square[2], square[3], square[0] };
    DxfConversion result = convertWith(drawing(faceOf(square) + faceOf(reversed) + faceOf(turned)), database);
    EXPECT_EQ(result.faces, 3);
    EXPECT_EQ(result.facesWithoutArea, 0);
    const Rows first { rowOf(0, square[0], square[1], square[2]), rowOf(1, square[0], square[2], square[3]) };
    Tables written = tables(database);
    EXPECT_EQ(written.triangles,
              (Rows { first[0], first[1], rowOf(2, square[2], square[1], square[0]),
                      rowOf(3, square[3], square[2], square[0]), rowOf(4, square[1], square[2], square[0]),
                      rowOf(5, square[2], square[3], square[0]) }));
    EXPECT_EQ(written.index.size(), 6u);
    EXPECT_EQ(written.border, (Pairs { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } }));

    // A corner at another height makes another quad, split on its own.
    std::array<Corner, 4> higher = reversed;
    higher[1][2] += 1;
    result = convertWith(drawing(faceOf(square) + faceOf(higher)), database);
    EXPECT_EQ(result.faces, 2);
    EXPECT_EQ(tables(database, false).triangles,
              (Rows { first[0], first[1], rowOf(2, higher[0], higher[1], higher[2]),
                      rowOf(3, higher[0], higher[2], higher[3]) }));

    // A grid of 6 by 6 quads, none flat, then each again reversed, the last first: every repeat is the
    // first one's two triangles, and the border goes round the grid as round the quads given once. In a
    // grid of 48 by 48 the repeats follow quads written in an earlier batch of rows.
    auto corner = [](int i, int j) {
        return Corner { 10.0 * i, 10.0 * j, 100 + 0.5 * i * j + (i % 2) * 0.25 };
    };
    for (int n : { 6, 48 }) {
        SCOPED_TRACE(n);
        std::string once, twice;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                once += faceOf({ corner(i, j), corner(i + 1, j), corner(i + 1, j + 1), corner(i, j + 1) });
        for (int i = n - 1; i >= 0; --i)
            for (int j = n - 1; j >= 0; --j)
                twice += faceOf({ corner(i, j + 1), corner(i + 1, j + 1), corner(i + 1, j), corner(i, j) });
        const size_t quads = static_cast<size_t>(n * n);
        result = convertWith(drawing(once + twice), database);
        EXPECT_EQ(result.faces, static_cast<int>(2 * quads));
        EXPECT_EQ(result.facesWithoutArea, 0);
        written = tables(database);
        ASSERT_EQ(written.triangles.size(), 4 * quads);
        for (size_t q = 0; q < quads; ++q) {
            SCOPED_TRACE(q);
            ASSERT_EQ(quadCorners(written.triangles, 2 * quads + 2 * (quads - 1 - q)),
                      quadCorners(written.triangles, 2 * q));
        }
        ASSERT_EQ(convertWith(drawing(once), temp.file("once.qvr")).faces, static_cast<int>(quads));
        EXPECT_EQ(written.border, tables(temp.file("once.qvr")).border);
        EXPECT_DOUBLE_EQ(ringArea(written.border), 100.0 * quads);

        // Taken into a list, the same triangles.
        TriangleDxfAdapter list;
        const std::string text = drawing(once + twice);
        MemoryFile file(text.data(), static_cast<unsigned>(text.size()));
        ASSERT_TRUE(readDxf(file, &list));
        Rows listed;
        for (const Triangle3D& t : list.getTriangles()) {
            listed.push_back({ double(listed.size()) });
            for (unsigned v = 0; v < 3; ++v)
                listed.back().insert(listed.back().end(),
                                     { t.getVertex(v).x(), t.getVertex(v).y(), t.getVertex(v).z() });
        }
        EXPECT_EQ(listed, written.triangles);
    }
}

TEST(TrianglesWriter, QuadDrawingCoversItsFaces)
{
    // Six faces, quads of every kind, around a square: ten triangles covering 257.5 square units without
    // a hole.
    const std::string quads = std::string(TEST_DATA_DIR) + "/quadfaces.dxf";
    TempFolder temp;
    const std::string database = temp.file("quads.qvr");
    const DxfConversion result = convertWith(slurp(quads), database);
    EXPECT_EQ(result.outcome, DxfConversion::Converted);
    EXPECT_EQ(result.faces, 6);
    EXPECT_EQ(result.facesWithoutArea, 0);
    const Tables written = tables(database);
    ASSERT_EQ(written.triangles.size(), 10u);
    double total = 0;
    for (size_t i = 0; i < written.triangles.size(); ++i) {
        EXPECT_EQ(written.triangles[i][0], double(i));
        EXPECT_NE(doubleArea(written.triangles[i]), 0);
        total += std::abs(doubleArea(written.triangles[i])) / 2;
    }
    EXPECT_DOUBLE_EQ(total, 257.5);
    EXPECT_EQ(written.index.size(), 10u);
    EXPECT_DOUBLE_EQ(ringArea(written.border), 257.5);
    ASSERT_TRUE(TrianglesWriter::convert(quads, temp.file("file.qvr")));
    EXPECT_TRUE(tables(temp.file("file.qvr")) == written);
}

TEST(TrianglesWriter, TriangleFacesAreWrittenAsBefore)
{
    // Faces whose fourth corner is their third (seen from above), with and without an area: each is the
    // triangle of its first three corners, and the database is the one the list of those triangles gives.
    std::mt19937 random(3);
    std::uniform_int_distribution<int> coordinate(-3, 3);
    std::string faces;
    std::vector<Triangle3D> triangles;
    for (int f = 0; f < 200; ++f) {
        std::array<Corner, 4> corners;
        for (int i = 0; i < 3; ++i)
            corners[i]
                = { 1000.25 + coordinate(random), 2000.5 + coordinate(random), 0.125 * coordinate(random) };
        corners[3] = corners[2];
        if (f % 3 == 0)
            corners[3][2] += 1;
        faces += faceOf(corners, f % 5 != 0);
        Point3D vertices[3];
        for (int i = 0; i < 3; ++i)
            vertices[i] = Point3D(corners[i][1], corners[i][0], corners[i][2]);
        triangles.emplace_back(vertices);
    }
    TempFolder temp;
    const std::string converted = temp.file("converted.qvr");
    const DxfConversion result = convertWith(drawing(faces), converted);
    EXPECT_EQ(result.faces, 200);
    EXPECT_GT(result.facesWithoutArea, 0);
    const std::string written = temp.file("written.qvr");
    ASSERT_TRUE(TrianglesWriter::write(triangles, written, nullptr));
    // Random faces on a small grid overlap.
    EXPECT_EQ(tables(converted, false).triangles, tables(written, false).triangles);
    EXPECT_EQ(tables(converted, false).index, tables(written, false).index);
}

TEST(TrianglesWriter, FacesWithoutAreaAreCounted)
{
    const std::string flat = faceOf({ { { 0, 0, 1 }, { 5, 5, 2 }, { 10, 10, 3 }, { 10, 10, 3 } } })
        + faceOf({ { { 0, 0, 1 }, { 0, 0, 2 }, { 1, 3, 3 }, { 1, 3, 3 } } })
        + faceOf({ { { 2, 2, 1 }, { 1, 1, 2 }, { 3, 3, 3 }, { 0, 0, 4 } } });
    TempFolder temp;
    DxfConversion result = convertWith(drawing(flat), temp.file("flat.qvr"));
    EXPECT_EQ(result.outcome, DxfConversion::Converted);
    EXPECT_EQ(result.faces, 3);
    EXPECT_EQ(result.facesWithoutArea, 3);
    result = convertWith(drawing(flat + face(0, 0, 1, 0, 1, 1)), temp.file("some.qvr"));
    EXPECT_EQ(result.faces, 4);
    EXPECT_EQ(result.facesWithoutArea, 3);
}
