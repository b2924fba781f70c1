#pragma once

#include <io/bordercontrol.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <utility/connection.h>

#include <tinborder.h>

#include <sqlite3.h>

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

// What a generated TIN database holds, read back through the storage library.
struct TinContents
{
    bool opened = false;
    // Each triangle as its vertices (north, east, height) in ascending order; the list sorted, so that
    // two databases compare whatever order the triangulation chose.
    std::vector<std::array<std::array<double, 3>, 3>> triangles;
    // Ids whose index box overlaps the whole model.
    std::vector<int> indexed;
    std::vector<Pelko::Corvex::Point> border;
};

// A TIN of two triangles at the path, as an earlier run would have left it; false when it cannot be written.
inline bool writeTin(const QString& path)
{
    using Pelko::Corvex::Point3D;
    const std::vector<Pelko::Corvex::Triangle3D> triangles {
        { Point3D(0, 0, 1), Point3D(0, 10, 2), Point3D(10, 0, 3) },
        { Point3D(0, 10, 2), Point3D(10, 10, 4), Point3D(10, 0, 3) },
    };
    return Pelko::IO::TrianglesWriter::write(triangles, QFile::encodeName(path).toStdString(), nullptr);
}

// Leaves beside the database at path the journal of a write that did not end, as a program killed while
// writing it would; false when that fails.
inline bool leaveHotJournal(const QString& path)
{
    sqlite3* db = nullptr;
    // More than the cache holds: the journal is synced and marked before pages go to the database.
    const char* const write = "PRAGMA cache_size = 1; BEGIN; CREATE TABLE pending (x);"
                              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20)"
                              "INSERT INTO pending SELECT randomblob(1000) FROM n;";
    const bool begun = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK
        && sqlite3_exec(db, write, nullptr, nullptr, nullptr) == SQLITE_OK;
    QFile journal(path + QStringLiteral("-journal"));
    const QByteArray bytes = begun && journal.open(QIODevice::ReadOnly) ? journal.readAll() : QByteArray();
    journal.close();
    sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return !bytes.isEmpty() && journal.open(QIODevice::WriteOnly) && journal.write(bytes) == bytes.size();
}

// Leaves beside the database at path the write-ahead log of a program that had it open in that mode and
// was killed, its last writes in the log alone; false when that fails.
inline bool leaveWriteAheadLog(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    const pid_t writer = ::fork();
    if (writer == 0) {
        const char* const write
            = "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0; CREATE TABLE pending (x);"
              "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20)"
              "INSERT INTO pending SELECT randomblob(1000) FROM n;";
        sqlite3* db = nullptr;
        if (sqlite3_open(file.constData(), &db) == SQLITE_OK
            && sqlite3_exec(db, write, nullptr, nullptr, nullptr) == SQLITE_OK)
            ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    return writer > 0 && ::waitpid(writer, &status, 0) == writer && WIFSIGNALED(status)
        && QFileInfo(path + QStringLiteral("-wal")).size() > 0;
}

inline TinContents readTin(const QString& path)
{
    TinContents contents;
    std::unique_ptr<Zemko::Utility::Connection, void (*)(Zemko::Utility::Connection*)> connection(
        Zemko::Utility::Connection::create(QFile::encodeName(path).toStdString(), false),
        &Zemko::Utility::Connection::destory);
    if (!connection)
        return contents;
    contents.opened = true;
    for (const Pelko::Corvex::Triangle3D& triangle :
         Pelko::IO::TriangleRTreeControl::getAllTriangles(connection.get())) {
        std::array<std::array<double, 3>, 3> vertices;
        for (unsigned v = 0; v < 3; ++v) {
            const Pelko::Corvex::Point3D p = triangle.getVertex(v);
            vertices[v] = { p.x(), p.y(), p.z() };
        }
        std::sort(vertices.begin(), vertices.end());
        contents.triangles.push_back(vertices);
    }
    std::sort(contents.triangles.begin(), contents.triangles.end());
    contents.indexed = Pelko::IO::TriangleRTreeControl::getBelongedRect(
        connection.get(), Pelko::Corvex::Rect(-1e9, -1e9, 1e9, 1e9));
    std::sort(contents.indexed.begin(), contents.indexed.end());
    const Pelko::Corvex::Polygon border = Pelko::IO::BorderControl::getPolygon(connection.get());
    for (unsigned i = 0; i < border.getPointCount(); ++i)
        contents.border.push_back(border.getPoint(i));
    return contents;
}

// What is wrong with the border of each TIN database (".qvr" file) in the folder and below it, a line each;
// empty when nothing is. Called once a test is over, it walks every TIN the test built.
inline QString tinBorderFaults(const QString& folder)
{
    QString faults;
    QDirIterator files(folder, { QStringLiteral("*.qvr") }, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const std::string fault = tinBorderFault(QFile::encodeName(path).toStdString());
        if (!fault.empty())
            faults
                += QFileInfo(path).fileName() + QStringLiteral(": ") + QString::fromStdString(fault) + '\n';
    }
    return faults;
}
