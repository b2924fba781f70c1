#include "tingeneratorprivate.h"

#include <io/memoryfile.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <road/atomicfile.h>

#include <utility/connection.h>

#include <text/systemerrortext.h>
#include <text/writtenwarningtext.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <limits>
#include <string>
#include <vector>

#include <sys/stat.h>

using Pelko::Corvex::Delaunay;
using Pelko::IO::DxfConversion;
using Pelko::IO::TrianglesWriter;
using Pelko::Road::AtomicFile;
using Pelko::Road::SaveError;

namespace Zemko::Trelvin {

namespace {

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

std::string fileName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// What SQLite keeps beside a database under its name and a suffix: the rollback journal, or a
// write-ahead log and its index. A super-journal ("-mj" and nine characters) comes only with a
// transaction over several attached databases, which the writers never make.
const std::vector<std::string> sqliteFiles { "-journal", "-wal", "-shm" };

// Whether SQLite would play the rollback journal at path into a database put beside it: a regular file
// whose header a finished write has not emptied or zeroed. One that cannot be read counts: SQLite run by
// another user may read it.
bool isPendingJournal(const QString& journal)
{
    const QFileInfo info(journal);
    if (!info.isFile() || info.size() == 0)
        return false;
    QFile file(journal);
    char first = 1;
    if (file.open(QIODevice::ReadOnly) && file.read(&first, 1) == 0)
        return false;
    return first != 0;
}

// Whether SQLite would play the write-ahead log at path over a database put beside it: any log with
// something in it, since it opens a database in write-ahead-log mode wherever it finds one. A program
// killed while it had the old database open leaves it, and one that still has it open keeps it.
bool isPendingLog(const QString& log)
{
    const QFileInfo info(log);
    return info.isFile() && info.size() > 0;
}

// The file a new TIN at path replaces or creates: every link followed, as the save follows them.
QString resolvedFile(const QString& path)
{
    return QFile::decodeName(AtomicFile::resolve(fileName(path)).c_str());
}

// What lies at path where SQLite looks for a database's journal or log, if it is no regular file: SQLite
// takes anything there (links followed) for one, and then cannot open the database. Empty otherwise.
QString strangeFileAt(const QString& path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    if (S_ISDIR(info.st_mode))
        return QCoreApplication::translate("TinDialog", "a folder");
    if (S_ISFIFO(info.st_mode))
        return QCoreApplication::translate("TinDialog", "a FIFO");
    if (S_ISSOCK(info.st_mode))
        return QCoreApplication::translate("TinDialog", "a socket");
    return QCoreApplication::translate("TinDialog", "a device");
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
    discardOutput();
}

void TinGeneratorPrivate::discardOutput()
{
    // Takes along whatever a writer that did not end its transaction left beside the file.
    m_output.reset();
}

bool TinGeneratorPrivate::isTinDatabase(const QString& path, bool* hotJournal, bool* inUse)
{
    return TrianglesWriter::isTinDatabase(fileName(path), hotJournal, inUse);
}

QString TinGeneratorPrivate::refusalAt(const QString& path, bool* notATin)
{
    if (notATin)
        *notATin = false;
    // A loop of links: creating the new TIN's file says so.
    const QString file = resolvedFile(path);
    if (file.isEmpty())
        return QString();
    std::size_t longest = 0;
    if (!TrianglesWriter::fitsDatabasePath(fileName(file), &longest))
        return QCoreApplication::translate(
                   "TinDialog",
                   "No TIN is written to %1: its path is too long for a TIN database. SQLite opens a "
                   "database only where its full path, links resolved, has at most %2 bytes. Nothing was "
                   "changed.")
            .arg(native(path))
            .arg(longest);
    const QFileInfo target(file);
    const QString log = file + QLatin1String("-wal");
    const QString journal = file + QLatin1String("-journal");
    for (const QString& beside : { log, journal }) {
        const QString strange = strangeFileAt(beside);
        if (strange.isEmpty())
            continue;
        const char* text = target.exists()
            ? QT_TRANSLATE_NOOP(
                "TinDialog",
                "%1 is not replaced: at %2, where SQLite keeps a database's %3, lies %4. "
                "SQLite would take it for the new TIN's %3 and could not open the TIN. Remove "
                "or rename it to replace the TIN. Nothing was changed.")
            : QT_TRANSLATE_NOOP(
                "TinDialog",
                "%1 is not written: at %2, where SQLite keeps a database's %3, lies %4. "
                "SQLite would take it for the new TIN's %3 and could not open the TIN. Remove "
                "or rename it to write the TIN there. Nothing was changed.");
        const QString kind = beside == log ? QCoreApplication::translate("TinDialog", "write-ahead log")
                                           : QCoreApplication::translate("TinDialog", "journal");
        return QCoreApplication::translate("TinDialog", text)
            .arg(pathAndLinkTarget(path, file), native(beside), kind, strange);
    }
    if (target.exists()) {
        if (isPendingLog(log))
            return QCoreApplication::translate(
                       "TinDialog",
                       "%1 is not replaced: beside it lies %2, the write-ahead log of a program that has it "
                       "open or ended without closing it, which would be played over the new TIN. Close "
                       "that program, or open the TIN once with it and close it again, which writes the log "
                       "into the TIN, or remove the log to replace the TIN all the same. Nothing was "
                       "changed.")
                .arg(native(file), native(log));
        bool hotJournal = false;
        bool inUse = false;
        // Only a regular file is read: opening a FIFO would wait for a writer.
        if (target.isFile() && isTinDatabase(file, &hotJournal, &inUse))
            return QString();
        if (inUse)
            return QCoreApplication::translate("TinDialog",
                                               "%1 is not replaced: another program is writing it. Run again "
                                               "once that program is done with it. Nothing was changed.")
                .arg(pathAndLinkTarget(path, file));
        if (hotJournal)
            return QCoreApplication::translate(
                       "TinDialog",
                       "%1 is not replaced: beside it lies %2, the journal of a write to it that did not "
                       "end. Open it once with the program that wrote it, which rolls that write back, or "
                       "remove the journal to replace it all the same.")
                .arg(native(file), native(journal));
        if (notATin)
            *notATin = true;
        return QCoreApplication::translate("TinDialog", "%1 is not a TIN database and is not replaced.")
            .arg(pathAndLinkTarget(path, file));
    }
    if (isPendingLog(log))
        return QCoreApplication::translate(
                   "TinDialog",
                   "%1 is not written: beside it lies %2, the write-ahead log of an earlier database of "
                   "that name, which would be played over the new TIN. Remove the log to write the TIN "
                   "there.")
            .arg(native(path), native(log));
    if (isPendingJournal(journal))
        return QCoreApplication::translate(
                   "TinDialog",
                   "%1 is not written: beside it lies %2, the journal of a write that did not end to an "
                   "earlier database of that name, which would be rolled back into the new TIN. Remove the "
                   "journal to write the TIN there.")
            .arg(native(path), native(journal));
    return QString();
}

TinGeneratorPrivate::CancelFlag::CancelFlag(TinGeneratorPrivate& job)
    : m_job(job)
{
}

void TinGeneratorPrivate::CancelFlag::report(int percent)
{
    // Only the writer's thread writes it.
    if (percent > m_job.writerPercent.load(std::memory_order_relaxed))
        m_job.writerPercent.store(std::min(percent, 100), std::memory_order_relaxed);
    m_job.writerCalled();
}

bool TinGeneratorPrivate::CancelFlag::isCancelled() const
{
    m_job.writerCalled();
    return m_job.cancelled;
}

int TinGeneratorPrivate::shown(int share) const
{
    // The new TIN is still to be put in place once the writer is done.
    return done ? 100 : std::clamp(share, 0, 99);
}

std::string TinGeneratorPrivate::outputFileName() const
{
    return m_output ? m_output->temporaryPath() : std::string();
}

bool TinGeneratorPrivate::createOutput()
{
    discardOutput();
    if (notATin())
        return false;
    auto output = std::make_unique<AtomicFile>(fileName(outputPath), sqliteFiles);
    switch (output->open()) {
    case SaveError::None:
        break;
    case SaveError::NotRegularFile:
        // Came to the path just now.
        notATin();
        return false;
    default:
        message = QCoreApplication::translate("TinDialog", "Cannot create the TIN database %1: %2.")
                      .arg(native(outputPath), systemErrorText(output->systemError()));
        return false;
    }
    // The new TIN's name is longer than the target's, and SQLite must open it too.
    std::size_t longest = 0;
    const std::string temporary = output->temporaryPath();
    if (!TrianglesWriter::fitsDatabasePath(temporary, &longest)) {
        const std::string target = AtomicFile::resolve(fileName(outputPath));
        const std::size_t longer = temporary.size() > target.size() ? temporary.size() - target.size() : 0;
        message
            = QCoreApplication::translate("TinDialog",
                                          "No TIN is written to %1: its path is too long for a TIN "
                                          "database. SQLite opens a database only where its full path, "
                                          "links resolved, has at most %2 bytes, and the new TIN is first "
                                          "written beside the target under a name %3 bytes longer, so "
                                          "that here the target's full path may have at most %4 bytes. "
                                          "Nothing was changed.")
                  .arg(native(outputPath))
                  .arg(longest)
                  .arg(longer)
                  .arg(longest > longer ? longest - longer : 0);
        return false;
    }
    m_output = std::move(output);
    return true;
}

bool TinGeneratorPrivate::putInPlace()
{
    if (cancelled || !m_output)
        return false;
    // Something else may have come to the target while the new TIN was written.
    if (notATin())
        return false;
    // The data sync before the rename may take a while: a cancel meanwhile still counts.
    const SaveError outcome = m_output->commit([this] { return cancelled.load(); });
    const int error = m_output->systemError();
    if (!Pelko::Road::isWritten(outcome)) {
        if (!cancelled)
            message = QCoreApplication::translate("TinDialog",
                                                  "The new TIN database cannot be put in place of %1: %2.")
                          .arg(native(outputPath), systemErrorText(error));
        return false;
    }
    m_output.reset();
    const QString warning = writtenWarningText(outcome, error, outputPath);
    if (!warning.isEmpty())
        message = message.isEmpty() ? warning : message + QLatin1Char(' ') + warning;
    return true;
}

bool TinGeneratorPrivate::notATin()
{
    const QString refusal = refusalAt(outputPath);
    if (refusal.isEmpty())
        return false;
    message = refusal;
    return true;
}

void TinGeneratorPrivate::writeFailed()
{
    if (cancelled)
        return;
    // The writers' connections note why the system refused a read or write.
    const int error = Zemko::Utility::Connection::lastSystemError();
    message = error != 0
        ? QCoreApplication::translate("TinDialog", "The TIN database %1 could not be written: %2.")
              .arg(native(outputPath), systemErrorText(error))
        : QCoreApplication::translate("TinDialog", "The TIN database %1 could not be written.")
              .arg(native(outputPath));
}

void TinGeneratorPrivate::memoryRanOut()
{
    if (cancelled)
        return;
    message = QCoreApplication::translate("TinDialog",
                                          "Memory ran out while the TIN of %1 was worked out: nothing was "
                                          "written to %2, and a TIN already there is kept as it was.")
                  .arg(native(inputPath), native(outputPath));
}

DxfData::DxfData(const QString& inputPath, const QString& outputPath)
    : TinGeneratorPrivate(inputPath, outputPath)
    , m_input(inputFile)
{
}

DxfData::~DxfData() = default;

int DxfData::progress() const
{
    return shown(writerPercent.load(std::memory_order_relaxed));
}

bool DxfData::generate()
{
    done = false;
    writerPercent = 0;
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
    case DxfConversion::OutOfMemory:
        memoryRanOut();
        return false;
    }
    if (result.faces == 0 && result.skippedFaces == 0) {
        message = QCoreApplication::translate("TinDialog",
                                              "The drawing holds no 3DFACE entities in its model space");
        return false;
    }
    const bool flat = result.faces > 0 && result.facesWithoutArea == result.faces;
    if (flat)
        message = QCoreApplication::translate("TinDialog",
                                              "No 3DFACE entity of the drawing's model space has an area: "
                                              "seen from above, the corners of each lie on one line.");
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
        const QString skipped = QCoreApplication::translate("TinDialog", text, nullptr, result.skippedFaces)
                                    .arg(result.firstSkippedLine);
        message = flat ? message + QLatin1Char(' ') + skipped : skipped;
    }
    const QString border = borderMessage(result);
    if (!border.isEmpty())
        message = message.isEmpty() ? border : message + QLatin1Char(' ') + border;
    if (result.faces > 0 && !flat && putInPlace()) {
        done = true;
        return true;
    }
    return false;
}

QString DxfData::borderMessage(const DxfConversion& result)
{
    QString message;
    auto add = [&message](const QString& text) {
        message = message.isEmpty() ? text : message + QLatin1Char(' ') + text;
    };
    if (result.borderHull) {
        // Parts found through shared corners may be overstated where faces cross: not told.
        add(QCoreApplication::translate("TinDialog",
                                        "The border is the convex hull of the corners of every face, which "
                                        "encloses them all: the ground they cover would have cost far more "
                                        "to work out exactly."));
        return message;
    }
    // Whole percent, 0 and 100 only for none and all.
    const double share = 100 * result.borderShare;
    int percent = static_cast<int>(share + 0.5);
    if (share > 0 && share < 100)
        percent = std::clamp(percent, 1, 99);
    // Where the drawing has several parts, the overlap may lie in one the border does not go round.
    if (result.overlapping && result.parts > 1)
        add(QCoreApplication::translate(
            "TinDialog", "Faces of the drawing overlap: each part is the ground its faces cover together."));
    else if (result.overlapping)
        add(QCoreApplication::translate("TinDialog",
                                        "Faces of the drawing overlap: the border goes round the ground they "
                                        "cover together."));
    if (result.parts > 1 && result.borderShare >= 0)
        add(QCoreApplication::translate("TinDialog",
                                        "The drawing has %n separate parts; the border goes round the "
                                        "largest and encloses %1 % of the area of the faces.",
                                        nullptr, result.parts)
                .arg(percent));
    if (!result.borderEnclosesPart && result.faces > 0)
        add(result.borderShare < 0
                ? QCoreApplication::translate("TinDialog",
                                              "The border could not be checked against the faces: some may "
                                              "lie outside it.")
                : QCoreApplication::translate(
                      "TinDialog",
                      "The border could not be made to enclose every face of its part; "
                      "it encloses %1 % of the area of the faces.")
                      .arg(percent));
    return message;
}

DatData::DatData(const QString& inputPath, const QString& outputPath)
    : TinGeneratorPrivate(inputPath, outputPath)
    , m_reader(inputPath)
{
    m_reader.setCancelFlag(&cancelled);
}

int DatData::progress() const
{
    // The reader's count passes 100 at its final read.
    return shown(static_cast<int>(writerPercent.load(std::memory_order_relaxed) * 0.2
                                  + std::min(m_reader.progress(), 100) * 0.8));
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
    CancelFlag progress(*this);
    if (!TrianglesWriter::write(delaunay, outputFileName(), &progress)) {
        writeFailed();
        return false;
    }
    if (!putInPlace())
        return false;
    done = true;
    return true;
}

} // namespace Zemko::Trelvin
