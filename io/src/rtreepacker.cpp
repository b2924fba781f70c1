#include "rtreepacker.h"

#include "cancellooks.h"

#include <io/iprogress.h>

#include <utility/connection.h>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

using Pelko::Corvex::Rect;
using Zemko::Utility::Connection;

namespace Pelko {
namespace IO {

namespace {

// rtreecheck(), which can read a packed tree back, arrived with 3.24.0; older versions are left to the
// module.
constexpr int firstCheckedVersion = 3024000;
constexpr int cellBytes = 8 + 4 * 4;
constexpr int nodeHeader = 4;
// The node sizes SQLite gives the trees it creates: from pages of 512 bytes up to its cap of 51 cells.
// Larger nodes come only from elsewhere and are left to the module.
constexpr int smallestNode = 512 - 64;
constexpr int largestNode = nodeHeader + 51 * cellBytes;
using Cell = RTreePacker::Cell;
template<class T> using Array = std::vector<T, LargeAllocator<T>>;
using Cells = Array<Cell>;

// The module's own roundings of a double to its 32-bit coordinates, outwards, so that a packed box is the
// inserted box bit for bit.
constexpr double towardsZero = 1.0 - 1.0 / 8388608.0;
constexpr double awayFromZero = 1.0 + 1.0 / 8388608.0;

float roundDown(double d)
{
    float f = static_cast<float>(d);
    if (f > d)
        f = static_cast<float>(d * (d < 0 ? awayFromZero : towardsZero));
    return f;
}

float roundUp(double d)
{
    float f = static_cast<float>(d);
    if (f < d)
        f = static_cast<float>(d * (d < 0 ? towardsZero : awayFromZero));
    return f;
}

struct StatementDeleter
{
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement prepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    return Statement(stmt);
}

bool exec(sqlite3* db, const std::string& sql)
{
    return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The first column of the first row of a query; false when there is none or it is null.
std::pair<sqlite3_int64, bool> integerOf(sqlite3* db, const std::string& sql)
{
    Statement stmt = prepare(db, sql);
    if (!stmt || sqlite3_step(stmt.get()) != SQLITE_ROW || sqlite3_column_type(stmt.get(), 0) == SQLITE_NULL)
        return { 0, false };
    return { sqlite3_column_int64(stmt.get(), 0), true };
}

// The first column of the first row of a query with one text parameter; empty when there is none.
std::string textOf(sqlite3* db, const char* sql, const std::string& parameter)
{
    Statement stmt = prepare(db, sql);
    if (!stmt)
        return {};
    sqlite3_bind_text(stmt.get(), 1, parameter.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        return {};
    const unsigned char* text = sqlite3_column_text(stmt.get(), 0);
    return text ? reinterpret_cast<const char*>(text) : std::string();
}

std::string quoted(const std::string& name)
{
    std::string result = "\"";
    for (char c : name) {
        result += c;
        if (c == '"')
            result += c;
    }
    return result + "\"";
}

std::string shadow(const std::string& table, const char* suffix)
{
    return quoted(table + suffix);
}

// Only a plain two-dimensional R*Tree of 32-bit floats has the cells written here: not rtree_i32, no
// auxiliary columns.
bool isPlainRTree(sqlite3* db, const std::string& table)
{
    std::string sql;
    for (unsigned char c :
         textOf(db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?", table))
        if (!std::isspace(c))
            sql += static_cast<char>(std::tolower(c));
    if (sql.find("usingrtree(") == std::string::npos)
        return false;
    Statement columns = prepare(db, "SELECT * FROM " + quoted(table) + " LIMIT 0");
    return columns && sqlite3_column_count(columns.get()) == 5;
}

void putBig(unsigned char* out, std::uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i) {
        out[i] = static_cast<unsigned char>(value & 0xff);
        value >>= 8;
    }
}

class NodeWriter
{
public:
    NodeWriter(sqlite3* db, const std::string& table, int nodeSize)
        : m_insert(prepare(db, "INSERT INTO " + shadow(table, "_node") + "(nodeno, data) VALUES(?, ?)"))
        , m_blob(static_cast<size_t>(nodeSize))
    {
    }

    bool ready() const { return m_insert != nullptr; }

    // The depth goes into the root only: the first two bytes of every other node stay zero.
    bool write(sqlite3_int64 node, const Cell* cells, size_t count, int depth)
    {
        std::fill(m_blob.begin(), m_blob.end(), 0);
        putBig(m_blob.data(), static_cast<std::uint64_t>(depth), 2);
        putBig(m_blob.data() + 2, count, 2);
        unsigned char* out = m_blob.data() + nodeHeader;
        for (size_t i = 0; i < count; ++i, out += cellBytes) {
            putBig(out, static_cast<std::uint64_t>(cells[i].id), 8);
            for (int k = 0; k < 4; ++k) {
                std::uint32_t bits;
                std::memcpy(&bits, &cells[i].box[k], 4);
                putBig(out + 8 + 4 * k, bits, 4);
            }
        }
        sqlite3_stmt* stmt = m_insert.get();
        sqlite3_bind_int64(stmt, 1, node);
        sqlite3_bind_blob(stmt, 2, m_blob.data(), static_cast<int>(m_blob.size()), SQLITE_STATIC);
        bool ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
        return ok;
    }

private:
    Statement m_insert;
    std::vector<unsigned char> m_blob;
};

float centreKey(const Cell& cell, int axis)
{
    return cell.box[2 * axis] * 0.5f + cell.box[2 * axis + 1] * 0.5f;
}

// The bits of a finite float as an unsigned number in the float's order.
std::uint32_t orderedBits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits & 0x80000000u ? ~bits : bits | 0x80000000u;
}

// Stable sort of cells by their centres along one axis. Radix passes move whole cells in streams instead of
// comparing them: millions of cells sort several times faster, and every later pass over them reads memory
// in order.
class CentreSorter
{
public:
    // False when cancelled on the way; the cells are then in no particular order.
    bool sort(Cell* begin, Cell* end, int axis, CancelLooks& looks)
    {
        const size_t n = static_cast<size_t>(end - begin);
        if (m_spare.size() < n && !grow(n, looks))
            return false;
        std::fill(m_starts.begin(), m_starts.end(), 0);
        for (size_t i = 0; i < n; i += CancelLooks::batch) {
            const size_t stop = std::min(n, i + CancelLooks::batch);
            for (const Cell* cell = begin + i; cell != begin + stop; ++cell)
                for (int pass = 0; pass < passes; ++pass)
                    ++m_starts[pass * digits + digit(*cell, axis, pass)];
            if (looks(stop - i))
                return false;
        }
        Cell* from = begin;
        Cell* to = m_spare.data();
        for (int pass = 0; pass < passes; ++pass) {
            size_t* starts = m_starts.data() + pass * digits;
            size_t sum = 0;
            for (size_t d = 0; d < digits; ++d)
                sum += std::exchange(starts[d], sum);
            for (size_t i = 0; i < n; i += CancelLooks::batch) {
                const size_t stop = std::min(n, i + CancelLooks::batch);
                for (size_t k = i; k < stop; ++k)
                    to[starts[digit(from[k], axis, pass)]++] = from[k];
                if (looks(stop - i))
                    return false;
            }
            std::swap(from, to);
        }
        if (from != begin)
            std::copy(from, from + n, begin);
        return true;
    }

private:
    // The cells of a pass go to places all over the spare array: the first pass would fault in all of its
    // pages at once. Cleared a block at a time between looks instead.
    bool grow(size_t n, CancelLooks& looks)
    {
        m_spare.resize(n);
        unsigned char* bytes = reinterpret_cast<unsigned char*>(m_spare.data());
        const size_t size = n * sizeof(Cell);
        constexpr size_t block = size_t(2) << 20;
        for (size_t at = 0; at < size; at += block) {
            std::memset(bytes + at, 0, std::min(block, size - at));
            if (looks.now())
                return false;
        }
        return true;
    }

    static constexpr int digitBits = 11;
    static constexpr int passes = 3; // 11 + 11 + 10 bits
    static constexpr size_t digits = size_t(1) << digitBits;

    static size_t digit(const Cell& cell, int axis, int pass)
    {
        return (orderedBits(centreKey(cell, axis)) >> (pass * digitBits)) & (digits - 1);
    }

    Cells m_spare;
    std::vector<size_t> m_starts = std::vector<size_t>(passes * digits);
};

// Orders the cells sort-tile-recursive and returns where each node's run ends: vertical slices of whole
// nodes by x, each cut by y into nodes of at most `capacity` cells, filled evenly. Empty when cancelled.
std::vector<size_t> tile(Cells& cells, size_t capacity, CentreSorter& sorter, CancelLooks& looks)
{
    const size_t n = cells.size();
    const size_t nodes = (n + capacity - 1) / capacity;
    const size_t slices = static_cast<size_t>(std::ceil(std::sqrt(static_cast<double>(nodes))));
    const size_t sliceCells = ((nodes + slices - 1) / slices) * capacity;
    std::vector<size_t> ends;
    if (!sorter.sort(cells.data(), cells.data() + n, 0, looks))
        return ends;
    ends.reserve(nodes + slices);
    for (size_t begin = 0; begin < n; begin += sliceCells) {
        const size_t count = std::min(sliceCells, n - begin);
        if (!sorter.sort(cells.data() + begin, cells.data() + begin + count, 1, looks))
            return std::vector<size_t>();
        const size_t groups = (count + capacity - 1) / capacity;
        for (size_t g = 1; g <= groups; ++g)
            ends.push_back(begin + count * g / groups);
    }
    return ends;
}

Cell bounding(sqlite3_int64 node, const Cell* begin, const Cell* end)
{
    Cell result { node, { begin->box[0], begin->box[1], begin->box[2], begin->box[3] } };
    for (const Cell* cell = begin; cell != end; ++cell) {
        result.box[0] = std::min(result.box[0], cell->box[0]);
        result.box[1] = std::max(result.box[1], cell->box[1]);
        result.box[2] = std::min(result.box[2], cell->box[2]);
        result.box[3] = std::max(result.box[3], cell->box[3]);
    }
    return result;
}

// Rows this small cost mostly the statement around them, so many go in per statement.
constexpr size_t rowsPerStatement = 100;
// Statements, and nodes, written between two looks at the cancel flag: a few milliseconds of work.
constexpr size_t statementsPerCancelCheck = 40;
constexpr size_t nodesPerCancelCheck = 256;

std::string insertText(const std::string& table, const char* columns, size_t rows)
{
    std::string sql = "INSERT INTO " + table + columns + " VALUES(?,?)";
    for (size_t i = 1; i < rows; ++i)
        sql += ",(?,?)";
    return sql;
}

// Writes count (key, value) rows, row(i) giving row i; with `report`, progress hears of each row.
template<class Row>
bool writeLinks(sqlite3* db, const std::string& table, const char* columns, size_t count, Row row,
                IProgress* progress, bool report)
{
    Statement many = prepare(db, insertText(table, columns, rowsPerStatement));
    Statement one = prepare(db, insertText(table, columns, 1));
    if (!many || !one)
        return false;
    const double n = static_cast<double>(count);
    CancelLooks looks(progress, statementsPerCancelCheck, true);
    for (size_t i = 0; i < count;) {
        if (looks())
            return false;
        const size_t rows = count - i >= rowsPerStatement ? rowsPerStatement : 1;
        sqlite3_stmt* stmt = rows == 1 ? one.get() : many.get();
        for (size_t r = 0; r < rows; ++r) {
            std::pair<sqlite3_int64, sqlite3_int64> link = row(i + r);
            sqlite3_bind_int64(stmt, static_cast<int>(2 * r + 1), link.first);
            sqlite3_bind_int64(stmt, static_cast<int>(2 * r + 2), link.second);
        }
        bool ok = sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_reset(stmt);
        if (!ok)
            return false;
        for (size_t end = i + rows; i < end; ++i)
            if (report && progress)
                progress->report(static_cast<int>((i + 1) * 50.0 / n));
    }
    return true;
}

using Links = Array<std::pair<sqlite3_int64, sqlite3_int64>>;

// Links sorted by key, each key once.
bool sortUnique(Links& links)
{
    std::sort(links.begin(), links.end());
    return std::adjacent_find(links.begin(), links.end(),
                              [](const auto& a, const auto& b) { return a.first == b.first; })
        == links.end();
}

bool writeLinks(sqlite3* db, const std::string& table, const char* columns, const Links& links,
                IProgress* progress, bool report)
{
    return writeLinks(
        db, table, columns, links.size(), [&](size_t i) { return links[i]; }, progress, report);
}

// The leaf node of every row, written in ascending rowid order so that every insert appends. Ids that fill
// a range (the usual 0 to n - 1) are placed directly, others sorted.
class RowLinks
{
public:
    explicit RowLinks(const Cells& cells)
        : m_rows(cells.size())
    {
        auto [low, high] = std::minmax_element(cells.begin(), cells.end(),
                                               [](const Cell& a, const Cell& b) { return a.id < b.id; });
        m_first = low->id;
        if (static_cast<std::uint64_t>(high->id) - static_cast<std::uint64_t>(m_first) == cells.size() - 1)
            m_nodes.assign(cells.size(), 0);
        else
            m_links.reserve(cells.size());
    }

    // False for an id seen before.
    bool link(sqlite3_int64 id, sqlite3_int64 node)
    {
        if (m_nodes.empty()) {
            m_links.emplace_back(id, node);
            return true;
        }
        std::uint32_t& slot = m_nodes[static_cast<size_t>(id - m_first)];
        if (slot != 0) // nodes count from 1
            return false;
        slot = static_cast<std::uint32_t>(node);
        return true;
    }

    // Every row in exactly one leaf.
    bool complete()
    {
        if (m_nodes.empty())
            return m_links.size() == m_rows && sortUnique(m_links);
        return std::find(m_nodes.begin(), m_nodes.end(), 0u) == m_nodes.end();
    }

    // Once complete().
    bool write(sqlite3* db, const std::string& table, IProgress* progress)
    {
        if (m_nodes.empty())
            return writeLinks(db, table, "(rowid, nodeno)", m_links, progress, true);
        return writeLinks(
            db, table, "(rowid, nodeno)", m_nodes.size(),
            [&](size_t i) {
                return std::make_pair(m_first + static_cast<sqlite3_int64>(i), sqlite3_int64(m_nodes[i]));
            },
            progress, true);
    }

private:
    size_t m_rows;
    sqlite3_int64 m_first = 0;
    Array<std::uint32_t> m_nodes; // by id - m_first
    Links m_links;
};

bool encloses(const Cell& parent, const Cell* begin, const Cell* end)
{
    return std::all_of(begin, end, [&](const Cell& child) {
        return parent.box[0] <= child.box[0] && child.box[1] <= parent.box[1] && parent.box[2] <= child.box[2]
            && child.box[3] <= parent.box[3];
    });
}

// Writes the whole tree over the cleared shadow tables and checks it on the way. Reorders the leaves.
bool writeTree(sqlite3* db, const std::string& table, Cells& leaves, int nodeSize, IProgress* progress)
{
    const size_t capacity = static_cast<size_t>((nodeSize - nodeHeader) / cellBytes);
    NodeWriter nodes(db, table, nodeSize);
    if (!nodes.ready())
        return false;
    RowLinks rows(leaves);
    Links parents;
    auto linkChildren = [&](int depth, const Cell* begin, const Cell* end, sqlite3_int64 node) {
        for (const Cell* cell = begin; cell != end; ++cell) {
            if (depth > 0)
                parents.emplace_back(cell->id, node);
            else if (!rows.link(cell->id, node))
                return false;
        }
        return true;
    };
    auto filled = [capacity](const Cell* begin, const Cell* end) {
        return begin < end && static_cast<size_t>(end - begin) <= capacity;
    };

    Cells* level = &leaves;
    Cells above;
    CentreSorter sorter;
    CancelLooks looks(progress);
    CancelLooks nodeLooks(progress, nodesPerCancelCheck, true);
    sqlite3_int64 next = 2; // 1 is the root
    int depth = 0;
    for (; level->size() > capacity; ++depth) {
        std::vector<size_t> ends = tile(*level, capacity, sorter, looks);
        if (ends.empty())
            return false;
        Cells built;
        built.reserve(ends.size());
        const Cell* begin = level->data();
        for (size_t end : ends) {
            if (nodeLooks())
                return false;
            const Cell* stop = level->data() + end;
            const sqlite3_int64 node = next++;
            if (!filled(begin, stop) || !linkChildren(depth, begin, stop, node)
                || !nodes.write(node, begin, stop - begin, 0))
                return false;
            built.push_back(bounding(node, begin, stop));
            if (!encloses(built.back(), begin, stop))
                return false;
            begin = stop;
        }
        above = std::move(built);
        level = &above;
    }
    const Cell* top = level->data();
    if (!filled(top, top + level->size()) || !linkChildren(depth, top, top + level->size(), 1)
        || !nodes.write(1, top, level->size(), depth))
        return false;
    // A parent for every node below the root, one leaf entry for every row.
    if (static_cast<sqlite3_int64>(parents.size()) != next - 2 || !sortUnique(parents) || !rows.complete())
        return false;
    return writeLinks(db, shadow(table, "_parent"), "(nodeno, parentnode)", parents, progress, false)
        && rows.write(db, shadow(table, "_rowid"), progress);
}

// The node size the module uses for the table: the length of its root node.
sqlite3_int64 nodeSize(sqlite3* db, const std::string& table)
{
    return integerOf(db, "SELECT length(data) FROM " + shadow(table, "_node") + " WHERE nodeno = 1").first;
}

bool checked(sqlite3* db, const std::string& table)
{
    return textOf(db, "SELECT rtreecheck(?)", table) == "ok";
}

} // namespace

RTreePacker::RTreePacker(size_t expectedRows)
{
    m_cells.reserve(expectedRows);
}

void RTreePacker::add(std::int64_t id, const Rect& box)
{
    Cell cell { id,
                { roundDown(box.getMinX()), roundUp(box.getMaxX()), roundDown(box.getMinY()),
                  roundUp(box.getMaxY()) } };
    // Infinite or NaN coordinates would break the ordering; inverted boxes are the module's to refuse.
    for (float v : cell.box)
        m_packable = m_packable && std::isfinite(v);
    m_packable = m_packable && cell.box[0] <= cell.box[1] && cell.box[2] <= cell.box[3];
    m_cells.push_back(cell);
}

bool RTreePacker::write(Connection* connection, const std::string& table, IProgress* progress,
                        bool checkWithSqlite)
{
    if (!m_packable || m_cells.empty() || m_cells.size() > UINT32_MAX || !connection || !connection->handle())
        return false;
    if (sqlite3_libversion_number() < firstCheckedVersion)
        return false;
    sqlite3* db = connection->handle();
    const sqlite3_int64 size = nodeSize(db, table);
    if (size < smallestNode || size > largestNode || !isPlainRTree(db, table))
        return false;
    std::pair<sqlite3_int64, bool> used
        = integerOf(db, "SELECT EXISTS(SELECT 1 FROM " + shadow(table, "_rowid") + ")");
    if (!used.second || used.first != 0)
        return false;

    if (!exec(db, "SAVEPOINT rtree_pack"))
        return false;
    bool ok = exec(db, "DELETE FROM " + shadow(table, "_node"))
        && exec(db, "DELETE FROM " + shadow(table, "_parent"))
        && exec(db, "DELETE FROM " + shadow(table, "_rowid"))
        && writeTree(db, table, m_cells, static_cast<int>(size), progress)
        && (!checkWithSqlite || checked(db, table));
    if (!ok)
        exec(db, "ROLLBACK TO rtree_pack");
    return exec(db, "RELEASE rtree_pack") && ok;
}

} // namespace IO
} // namespace Pelko
