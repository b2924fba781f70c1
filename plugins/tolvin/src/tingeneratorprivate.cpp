#include "tingeneratorprivate.h"

#include <io/memoryfile.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <limits>

using Pelko::Corvex::Delaunay;
using Pelko::IO::DxfConversion;
using Pelko::IO::TrianglesWriter;

namespace Zemko::Trelvin {

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

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

TinGeneratorPrivate::CancelFlag::CancelFlag(const TinGeneratorPrivate& job)
    : m_job(job)
{
}

bool TinGeneratorPrivate::CancelFlag::isCancelled() const
{
    return m_job.cancelled;
}

std::string TinGeneratorPrivate::outputFileName() const
{
    return QFile::encodeName(outputPath).toStdString();
}

bool TinGeneratorPrivate::createOutput()
{
    QFile file(outputPath);
    // Appending creates the file without truncating one that is there: replacing it is the writer's job.
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    message = QCoreApplication::translate("TinDialog", "Cannot create the TIN database %1: %2.")
                  .arg(native(outputPath), file.errorString());
    return false;
}

void TinGeneratorPrivate::writeFailed()
{
    if (!cancelled)
        message = QCoreApplication::translate("TinDialog", "The TIN database %1 could not be written.")
                      .arg(native(outputPath));
}

DxfData::DxfData(const QString& inputPath, const QString& outputPath)
    : TinGeneratorPrivate(inputPath, outputPath)
    , m_input(inputFile)
{
}

DxfData::~DxfData() = default;

int DxfData::progress() const
{
    const Pelko::IO::MemoryFile* file = m_progressFile.load();
    // A last line without a line feed takes the memory file's count past 100.
    return file ? std::min(file->progress(), 100) : 0;
}

bool DxfData::generate()
{
    m_progressFile = nullptr;
    m_file.reset();
    // The memory file counts bytes in an unsigned.
    switch (m_input.open(std::numeric_limits<unsigned>::max())) {
    case InputFile::Read:
        break;
    case InputFile::Empty:
        message = QCoreApplication::translate("TinDialog", "The drawing %1 is empty.").arg(native(inputPath));
        return false;
    case InputFile::TooLarge:
        message = QCoreApplication::translate("TinDialog", "The drawing %1 is larger than 4 GB.")
                      .arg(native(inputPath));
        return false;
    default:
        message = QCoreApplication::translate("TinDialog", "Cannot open the drawing %1: %2.")
                      .arg(native(inputPath), m_input.errorString());
        return false;
    }
    if (!createOutput())
        return false;
    switch (m_input.read([this] { return cancelled.load(); })) {
    case InputFile::Read:
        break;
    case InputFile::Cancelled:
        return false;
    case InputFile::Changed:
        message = QCoreApplication::translate("TinDialog", "The drawing %1 changed while it was read.")
                      .arg(native(inputPath));
        return false;
    default:
        message = QCoreApplication::translate("TinDialog", "Cannot read the drawing %1: %2.")
                      .arg(native(inputPath), m_input.errorString());
        return false;
    }
    inputFile.close();
    m_file = std::make_unique<Pelko::IO::MemoryFile>(m_input.data(), static_cast<unsigned>(m_input.size()));
    m_progressFile = m_file.get();
    CancelFlag cancel(*this);
    const DxfConversion result = TrianglesWriter::convertDrawing(*m_file, outputFileName(), &cancel);
    const QString drawing = native(inputPath);
    switch (result.outcome) {
    case DxfConversion::Converted:
        break;
    case DxfConversion::NotADrawing:
        message = QCoreApplication::translate("TinDialog", "%1 is not a DXF drawing.").arg(drawing);
        return false;
    case DxfConversion::BinaryDrawing:
        message = QCoreApplication::translate("TinDialog",
                                              "%1 is a binary DXF drawing, which cannot be read; save it as "
                                              "an ASCII DXF drawing.")
                      .arg(drawing);
        return false;
    case DxfConversion::Unreadable:
        message
            = QCoreApplication::translate("TinDialog", "%1 cannot be read as a DXF drawing.").arg(drawing);
        return false;
    case DxfConversion::WriteFailed:
    case DxfConversion::Cancelled:
        writeFailed();
        return false;
    }
    if (result.faces == 0 && result.skippedFaces == 0) {
        message = QCoreApplication::translate("TinDialog",
                                              "The drawing holds no 3DFACE entities in its model space");
        return false;
    }
    if (result.skippedFaces > 0) {
        const char* text = result.faces == 0
            ? QT_TRANSLATE_NOOP(
                "TinDialog",
                "No 3DFACE entity of the drawing's model space can be used: each has a corner "
                "that is not a finite number or is larger than 1e38 (%n left out; the first "
                "ends at line %1).")
            : QT_TRANSLATE_NOOP(
                "TinDialog",
                "3DFACE entities left out for a corner that is not a finite number or is larger "
                "than 1e38: %n (the first ends at line %1).");
        message = QCoreApplication::translate("TinDialog", text, nullptr, result.skippedFaces)
                      .arg(result.firstSkippedLine);
    }
    return result.faces > 0;
}

DatData::Progress::Progress(DatData& data)
    : CancelFlag(data)
    , m_data(data)
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
    m_reader.setCancelFlag(&cancelled);
}

int DatData::progress() const
{
    return static_cast<int>(m_writerPercent.load(std::memory_order_relaxed) * 0.2
                            + m_reader.progress() * 0.8);
}

bool DatData::generate()
{
    if (!createOutput())
        return false;
    if (!m_reader.read()) {
        message = m_reader.errorString();
        return false;
    }
    if (cancelled)
        return false;
    Delaunay delaunay(m_reader.points());
    delaunay.buildDelaunayTriangulation(Delaunay::PlainDelaunay, &cancelled);
    if (cancelled)
        return false;
    if (delaunay.getTriangleCount() == 0) {
        message = QCoreApplication::translate("TinDialog",
                                              "The points of %1 make no triangle: there are fewer than three "
                                              "distinct points, or all lie on one line.")
                      .arg(native(inputPath));
        return false;
    }
    Progress progress(*this);
    if (TrianglesWriter::write(delaunay, outputFileName(), &progress))
        return true;
    writeFailed();
    return false;
}

} // namespace Zemko::Trelvin
