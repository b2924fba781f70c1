#include "cancellooks.h"
#include "dxflinebuffer.h"
#include "progressband.h"
#include "writeahead.h"

#include <io/bordercontrol.h>
#include <io/borderextractor.h>
#include <io/iprogress.h>
#include <io/triangledxfadapter.h>
#include <io/trianglertreecontrol.h>

#include <utility/connection.h>

#include <dl_dxf.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numeric>

using Pelko::Corvex::Point;
using Pelko::Corvex::Point3D;
using Pelko::Corvex::Triangle2D;
using Pelko::Corvex::Triangle3D;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

namespace {

// Faces are written in batches so that one prepared statement serves many rows.
constexpr size_t batchSize = 4096;
// Triangles kept in one piece of the list of those written.
constexpr size_t writtenPiece = 65536;
// Shares of finish()'s progress: the index up to indexDone, the border up to borderDone, then the border's
// rows, the sync and the commit; 100 once committed.
constexpr int indexDone = 10;
constexpr int borderDone = 95;

// The group codes of the x, y and z of corners 0 to 2, which every face has, and of corner 3.
constexpr int cornerCodes[] = { 10, 20, 30, 11, 21, 31, 12, 22, 32 };
constexpr int fourthCornerCodes[] = { 13, 23, 33 };

// The two ways to split a quad into triangles, by corner: along the diagonal from corner 0 to 2 (as CAD
// programs draw a 3DFACE), or from 1 to 3. Both keep the face's turning sense.
constexpr int quadSplits[2][2][3] = { { { 0, 1, 2 }, { 0, 2, 3 } }, { { 0, 1, 3 }, { 1, 2, 3 } } };

// dxflib reads a coordinate whose text is "nan" or "inf" as 0; the text itself tells.
bool namesNonFinite(const std::string& text)
{
    std::string number;
    for (char c : text)
        if (c != ' ' && c != '\t')
            number += c == ',' ? '.' : c; // dxflib takes a decimal comma too
    const char* begin = number.data();
    const char* end = begin + number.size();
    if (begin < end && *begin == '+')
        ++begin;
    double value = 0;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && !std::isfinite(value);
}

// Exact sign of the turn from a over b to c seen from above; 0 when the three lie on one line.
int turn(const Point3D& a, const Point3D& b, const Point3D& c)
{
    return Triangle2D(Point(a.x(), a.y()), Point(b.x(), b.y()), Point(c.x(), c.y())).orientation();
}

// The triangles a face stands for, into out; returns how many. A face whose fourth corner is the third
// (seen from above) is the triangle of its first three corners. A quad is split along a diagonal that
// lies inside it, the one from corner 0 to 2 when both do; only triangles with an area are kept, and
// where the other diagonal keeps more of them (a corner on the line between two others), that one.
// A quad with no such split (all its corners on one line, or its edges crossing) keeps the triangle of
// its first three corners, as a triangle face would. hasArea tells whether a kept triangle has an area.
int faceTriangles(const Point3D (&corners)[4], bool quad, Triangle3D (&out)[2], bool* hasArea)
{
    const bool triangle = !quad || (corners[2].x() == corners[3].x() && corners[2].y() == corners[3].y());
    int signs[2][2] = {};
    int chosen = -1;
    int kept = 0;
    for (int split = 0; !triangle && split < 2; ++split) {
        for (int t = 0; t < 2; ++t) {
            const int* c = quadSplits[split][t];
            signs[split][t] = turn(corners[c[0]], corners[c[1]], corners[c[2]]);
        }
        // Triangles turning both ways overlap: the diagonal runs outside the face.
        if (signs[split][0] * signs[split][1] < 0)
            continue;
        const int proper = (signs[split][0] != 0) + (signs[split][1] != 0);
        if (proper > kept) {
            chosen = split;
            kept = proper;
        }
    }
    if (chosen < 0) {
        out[0] = Triangle3D(corners[0], corners[1], corners[2]);
        *hasArea = turn(corners[0], corners[1], corners[2]) != 0;
        return 1;
    }
    int count = 0;
    for (int t = 0; t < 2; ++t) {
        const int* c = quadSplits[chosen][t];
        if (signs[chosen][t] != 0)
            out[count++] = Triangle3D(corners[c[0]], corners[c[1]], corners[c[2]]);
    }
    *hasArea = true;
    return count;
}

bool cornerLess(const Point3D& a, const Point3D& b)
{
    if (a.x() != b.x())
        return a.x() < b.x();
    if (a.y() != b.y())
        return a.y() < b.y();
    return a.z() < b.z();
}

// The corners in one order whatever order they came in.
std::array<Point3D, 4> sortedCorners(const Point3D* corners)
{
    std::array<Point3D, 4> sorted { corners[0], corners[1], corners[2], corners[3] };
    std::sort(sorted.begin(), sorted.end(), cornerLess);
    return sorted;
}

// A hash of sorted corners; -0 and 0 hash alike, as they compare equal.
std::uint32_t cornersHash(const std::array<Point3D, 4>& sorted)
{
    std::uint64_t h = 0x9e3779b97f4a7c15u;
    for (const Point3D& corner : sorted)
        for (double value : { corner.x(), corner.y(), corner.z() }) {
            value += 0.0;
            std::uint64_t bits;
            std::memcpy(&bits, &value, sizeof bits);
            h = (h ^ bits) * 0xff51afd7ed558ccdu;
            h ^= h >> 32;
        }
    return static_cast<std::uint32_t>(h >> 32);
}

// The place of a corner among the four; the four differ.
unsigned cornerIndex(const Point3D (&corners)[4], const Point3D& corner)
{
    return static_cast<unsigned>(std::find(corners, corners + 4, corner) - corners);
}

} // namespace

TriangleDxfAdapter::TriangleDxfAdapter() = default;

TriangleDxfAdapter::TriangleDxfAdapter(const std::string& databasePath)
    : m_databaseMode(true)
{
    m_connection = Connection::create(databasePath, true);
    if (!m_connection) {
        m_failed = true;
        return;
    }
    bool ok = m_connection->beginTransactionWithExclusive() && TriangleRTreeControl::createTable(m_connection)
        && TriangleRTreeControl::removeRecords(m_connection);
    if (!ok) {
        (void)m_connection->getLastError();
        close(false);
        m_failed = true;
    }
}

TriangleDxfAdapter::~TriangleDxfAdapter()
{
    close(false);
}

void TriangleDxfAdapter::close(bool commit)
{
    if (!m_connection)
        return;
    if (!commit)
        m_connection->rollback();
    Connection::destory(m_connection);
    m_connection = nullptr;
}

void TriangleDxfAdapter::addBlock(const DL_BlockData&)
{
    m_inBlock = true;
}

void TriangleDxfAdapter::endBlock()
{
    m_inBlock = false;
}

DxfReadResult TriangleDxfAdapter::read(DxfLineBuffer& buffer)
{
    DL_Dxf reader;
    m_reader = &reader;
    m_buffer = &buffer;
    const DxfReadResult result = readDxf(buffer, reader, this);
    m_reader = nullptr;
    m_buffer = nullptr;
    return result;
}

DxfReadResult TriangleDxfAdapter::read(MemoryFile& file, IProgress* progress)
{
    DxfLineBuffer buffer(file, progress);
    return read(buffer);
}

DxfReadResult TriangleDxfAdapter::read(const std::string& path, IProgress* progress)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return DxfReadResult::Unreadable;
    DxfLineBuffer buffer(file, progress);
    return read(buffer);
}

bool TriangleDxfAdapter::isUsable(const DL_3dFaceData& data) const
{
    for (int i = 0; i < 3; ++i)
        if (!TriangleRTreeControl::isStorable(data.x[i]) || !TriangleRTreeControl::isStorable(data.y[i])
            || !TriangleRTreeControl::isStorable(data.z[i]))
            return false;
    if (m_reader)
        for (int code : cornerCodes)
            if (namesNonFinite(m_reader->getStringValue(code, std::string())))
                return false;
    return true;
}

bool TriangleDxfAdapter::hasFourthCorner(const DL_3dFaceData& data) const
{
    // dxflib gives a corner it did not read as (0, 0, 0): only the texts tell it from one that is there.
    if (!m_reader || !m_reader->hasValue(13) || !m_reader->hasValue(23))
        return false;
    if (!TriangleRTreeControl::isStorable(data.x[3]) || !TriangleRTreeControl::isStorable(data.y[3])
        || !TriangleRTreeControl::isStorable(data.z[3]))
        return false;
    for (int code : fourthCornerCodes)
        if (namesNonFinite(m_reader->getStringValue(code, std::string())))
            return false;
    return true;
}

void TriangleDxfAdapter::add3dFace(const DL_3dFaceData& data)
{
    if (m_inBlock)
        return;
    if (!isUsable(data)) {
        // dxflib hands over a face once it has read the group that ends it: a code line and its value.
        if (m_skipped++ == 0 && m_buffer)
            m_firstSkippedLine = m_buffer->lines() > 2 ? m_buffer->lines() - 2 : 1;
        return;
    }
    if (m_databaseMode && m_failed)
        return;
    // A fourth corner over the third makes a triangle face; only a quad's fourth corner is looked into.
    const bool quad = (data.x[3] != data.x[2] || data.y[3] != data.y[2]) && hasFourthCorner(data);
    Point3D corners[4];
    for (int i = 0; i < (quad ? 4 : 3); ++i)
        corners[i] = Point3D(data.y[i], data.x[i], data.z[i]);
    Triangle3D triangles[2];
    bool hasArea = true;
    int count = 2;
    // A quad given again in another order would be split along the other diagonal: two triangles over the
    // first two, each with other heights where the quad is not flat.
    std::uint32_t hash = 0;
    bool repeated = false;
    if (quad) {
        const std::array<Point3D, 4> sorted = sortedCorners(corners);
        hash = cornersHash(sorted);
        repeated = splitAsBefore(corners, sorted, hash, triangles);
    }
    if (!repeated) {
        count = faceTriangles(corners, quad, triangles, &hasArea);
        if (count == 2)
            fileQuad(hash, m_faceCount + m_triangles.size());
    }
    ++m_faces;
    if (!hasArea)
        ++m_facesWithoutArea;
    m_triangles.insert(m_triangles.end(), triangles, triangles + count);
    if (m_databaseMode && m_triangles.size() >= batchSize && !flush())
        m_failed = true;
}

bool TriangleDxfAdapter::flush()
{
    if (m_triangles.size() > static_cast<size_t>(INT_MAX - m_faceCount))
        return false;
    std::vector<int> ids(m_triangles.size());
    for (int& id : ids)
        id = m_faceCount++;
    bool ok = TriangleRTreeControl::insertTriangles(m_connection, ids, m_triangles);
    // Kept for the index, built once at the end as one packed tree, and for the border, walked over them in
    // memory once every row is in. In pieces of one size: one growing list would be copied whole as it
    // grows, hundreds of megabytes at once in a large drawing.
    for (size_t from = 0; from < m_triangles.size();) {
        if (m_written.empty() || m_written.back().size() == writtenPiece) {
            m_written.emplace_back();
            m_written.back().reserve(writtenPiece);
        }
        std::vector<Triangle3D>& piece = m_written.back();
        const size_t taken = std::min(writtenPiece - piece.size(), m_triangles.size() - from);
        piece.insert(piece.end(), m_triangles.begin() + from, m_triangles.begin() + from + taken);
        from += taken;
    }
    m_triangles.clear();
    return ok;
}

const Triangle3D& TriangleDxfAdapter::taken(size_t position) const
{
    const size_t written = static_cast<size_t>(m_faceCount);
    if (position >= written)
        return m_triangles[position - written];
    return m_written[position / writtenPiece][position % writtenPiece];
}

// The earlier quad's corners are those of its two triangles: they tell a quad given again from one whose
// corners only hash alike.
bool TriangleDxfAdapter::splitAsBefore(const Point3D (&corners)[4], const std::array<Point3D, 4>& sorted,
                                       std::uint32_t hash, Triangle3D (&out)[2]) const
{
    if (m_quads.empty())
        return false;
    const size_t mask = m_quads.size() - 1;
    for (size_t slot = hash & mask; m_quads[slot] != 0; slot = (slot + 1) & mask) {
        if (m_quads[slot] >> 32 != hash)
            continue;
        const size_t position = (m_quads[slot] & 0xffffffffu) - 1;
        const Triangle3D earlier[2] = { taken(position), taken(position + 1) };
        Point3D before[4] = { earlier[0].getVertex(0), earlier[0].getVertex(1), earlier[0].getVertex(2) };
        for (unsigned v = 0; v < 3; ++v)
            if (std::find(before, before + 3, earlier[1].getVertex(v)) == before + 3)
                before[3] = earlier[1].getVertex(v);
        if (sortedCorners(before) != sorted)
            continue;
        // The earlier triangles over these corners, each in the order the corners come here, as a split of
        // this quad would give them.
        for (int t = 0; t < 2; ++t) {
            unsigned at[3];
            for (unsigned v = 0; v < 3; ++v)
                at[v] = cornerIndex(corners, earlier[t].getVertex(v));
            std::sort(at, at + 3);
            out[t] = Triangle3D(corners[at[0]], corners[at[1]], corners[at[2]]);
        }
        return true;
    }
    return false;
}

void TriangleDxfAdapter::fileQuad(std::uint32_t hash, size_t position)
{
    if (position >= 0xffffffffu)
        return;
    if (2 * (m_quadCount + 1) > m_quads.size()) {
        std::vector<std::uint64_t> old(std::max<size_t>(1024, 2 * m_quads.size()));
        old.swap(m_quads);
        m_quadCount = 0;
        for (std::uint64_t entry : old)
            if (entry != 0)
                fileQuad(static_cast<std::uint32_t>(entry >> 32), (entry & 0xffffffffu) - 1);
    }
    const size_t mask = m_quads.size() - 1;
    size_t slot = hash & mask;
    while (m_quads[slot] != 0)
        slot = (slot + 1) & mask;
    m_quads[slot] = (std::uint64_t(hash) << 32) | (position + 1);
    ++m_quadCount;
}

bool TriangleDxfAdapter::finish(IProgress* progress)
{
    if (!m_databaseMode)
        return true;
    // Every way out below closes the connection before this goes.
    WriteAhead writeAhead;
    bool indexed = false;
    std::vector<Triangle3D> written;
    if (!m_failed && m_connection && !isCancelled(progress) && flush()) {
        // One list, and the boxes of the index, a piece at a time between looks at the flag.
        size_t count = 0;
        for (const std::vector<Triangle3D>& piece : m_written)
            count += piece.size();
        written.reserve(count);
        std::vector<Pelko::Corvex::Rect> boxes;
        boxes.reserve(count);
        bool cancelled = false;
        for (std::vector<Triangle3D>& piece : m_written) {
            written.insert(written.end(), piece.begin(), piece.end());
            for (const Triangle3D& triangle : piece)
                boxes.push_back(TriangleRTreeControl::grownRect(triangle));
            piece = std::vector<Triangle3D>();
            if ((cancelled = isCancelled(progress)))
                break;
        }
        std::vector<int> ids(boxes.size());
        std::iota(ids.begin(), ids.end(), 0);
        // Index rows too, so that the queries and the border see the faces. The index reports up to 50, half
        // its share.
        ProgressBand index(progress, 0, indexDone);
        indexed = !cancelled && !isCancelled(progress)
            && TriangleRTreeControl::insertIndex(m_connection, ids, boxes, &index);
    }
    m_written = std::vector<std::vector<Triangle3D>>();
    m_quads = std::vector<std::uint64_t>();
    m_quadCount = 0;
    if (!indexed || isCancelled(progress)) {
        m_failed = true;
        close(false);
        return false;
    }
    ProgressBand borderBand(progress, indexDone, borderDone);
    borderBand.begin();
    Pelko::Corvex::Polygon border = BorderExtractor::extract(written, m_connection, &borderBand, &m_coverage);
    written = std::vector<Triangle3D>();
    // Without a border for want of memory nothing is kept: the run tells why.
    if (isCancelled(progress) || m_coverage.outOfMemory) {
        m_failed = true;
        close(false);
        return false;
    }
    ProgressBand rest(progress, borderDone, 99);
    rest.begin();
    // As when writing a triangle list: a border failure still keeps the triangles, a cancel nothing.
    bool created = BorderControl::createTable(m_connection);
    bool cleared = BorderControl::removeRecords(m_connection);
    bool inserted = BorderControl::insertPolygon(m_connection, border, progress);
    rest.report(50);
    if ((!inserted && isCancelled(progress)) || !writeAhead(m_connection, progress)) {
        close(false);
        m_failed = true;
        return false;
    }
    rest.end();
    bool committed = m_connection->commit();
    bool ok = created && cleared && inserted && committed;
    if (!ok)
        (void)m_connection->getLastError();
    close(committed);
    m_failed = !ok;
    if (ok && progress)
        progress->report(100);
    return ok;
}

const std::vector<Triangle3D>& TriangleDxfAdapter::getTriangles() const
{
    return m_triangles;
}

int TriangleDxfAdapter::faces() const
{
    return m_faces;
}

int TriangleDxfAdapter::facesWithoutArea() const
{
    return m_facesWithoutArea;
}

int TriangleDxfAdapter::skippedFaces() const
{
    return m_skipped;
}

unsigned TriangleDxfAdapter::firstSkippedLine() const
{
    return m_firstSkippedLine;
}

const BorderCoverage& TriangleDxfAdapter::borderCoverage() const
{
    return m_coverage;
}

bool TriangleDxfAdapter::isWritable() const
{
    return !(m_databaseMode && m_failed);
}

} // namespace IO
} // namespace Pelko
