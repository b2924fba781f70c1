#include "tingeneratorprivate.h"

#include <io/memoryfile.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <limits>
#include <vector>

using Pelko::Corvex::Delaunay;
using Pelko::Corvex::Triangle3D;
using Pelko::IO::TrianglesWriter;

namespace Zemko::Trelvin {

TinGeneratorPrivate::TinGeneratorPrivate(const QString& inputPath, const QString& outputPath)
    : inputPath(inputPath)
    , inputFile(inputPath)
    , outputPath(outputPath)
{
}

TinGeneratorPrivate::~TinGeneratorPrivate()
{
    if (started && (cancelled || !succeeded))
        QFile::remove(outputPath);
}

std::string TinGeneratorPrivate::outputFileName() const
{
    return QFile::encodeName(outputPath).toStdString();
}

DxfData::DxfData(const QString& inputPath, const QString& outputPath)
    : TinGeneratorPrivate(inputPath, outputPath)
{
    if (!inputFile.open(QIODevice::ReadOnly))
        return;
    // The memory file counts bytes in an unsigned; an empty file has nothing to map.
    const qint64 size = inputFile.size();
    if (size <= 0 || static_cast<quint64>(size) > std::numeric_limits<unsigned>::max())
        return;
    m_mapping = inputFile.map(0, size);
    if (m_mapping)
        m_file = std::make_unique<Pelko::IO::MemoryFile>(reinterpret_cast<const char*>(m_mapping),
                                                         static_cast<unsigned>(size));
}

DxfData::~DxfData()
{
    m_file.reset();
    if (m_mapping)
        inputFile.unmap(m_mapping);
}

int DxfData::progress() const
{
    return m_file ? m_file->progress() : 0;
}

bool DxfData::generate()
{
    if (!m_file)
        return false;
    return TrianglesWriter::convert(*m_file, outputFileName());
}

DatData::Progress::Progress(DatData& data)
    : m_data(data)
{
}

void DatData::Progress::report(int percent)
{
    m_data.m_writerPercent.store(percent, std::memory_order_relaxed);
}

DatData::DatData(const QString& inputPath, const QString& outputPath)
    : TinGeneratorPrivate(inputPath, outputPath)
    , m_reader(inputPath)
{
}

int DatData::progress() const
{
    return static_cast<int>(m_writerPercent.load(std::memory_order_relaxed) * 0.2
                            + m_reader.progress() * 0.8);
}

bool DatData::generate()
{
    // A cancelled job's output is removed anyway: stop at the next phase rather than write it.
    if (!m_reader.read() || cancelled)
        return false;
    std::vector<Triangle3D> triangles;
    {
        Delaunay delaunay(m_reader.points());
        delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay);
        triangles = delaunay.getAllTriangles();
    }
    if (triangles.empty() || cancelled)
        return false;
    Progress progress(*this);
    return TrianglesWriter::write(triangles, outputFileName(), &progress);
}

} // namespace Zemko::Trelvin
