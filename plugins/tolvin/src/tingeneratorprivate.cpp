#include "tingeneratorprivate.h"

#include <io/memoryfile.h>
#include <io/trianglertreecontrol.h>
#include <io/triangleswriter.h>

#include <corvex/delaunay.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

// The longest file name most file systems take, in bytes.
constexpr int longestName = 255;

// A name for the new TIN beside the target: the target's name with the suffix, the name cut short where
// the whole would be too long for a file name.
QString besideTarget(const QString& target, const QString& suffix)
{
    const QFileInfo info(target);
    QString name = info.fileName();
    while (!name.isEmpty() && QFile::encodeName(name + suffix).size() > longestName)
        name.chop(name.size() > 1 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    return info.dir().filePath(name + suffix);
}

const char* const accessAcl = "system.posix_acl_access";

// Gives the new TIN the old one's owner and group where the system allows and its mode, without the
// group's rights where the group could not be kept, so that it is never readable by more users than the
// old one. Runs before any data goes in.
void keepAccess(int fd, const QString& target)
{
    struct stat old;
    struct stat now;
    if (::stat(QFile::encodeName(target).constData(), &old) != 0 || ::fstat(fd, &now) != 0)
        return;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0
        && now.st_gid != old.st_gid) {
        const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        static_cast<void>(groupOnly);
    }
    mode_t mode = old.st_mode & 0777;
    const bool groupKept = ::fstat(fd, &now) == 0 && now.st_gid == old.st_gid;
    if (!groupKept)
        mode &= ~S_IRWXG;
    // With an access ACL the group bits are its mask: the ACL goes along, or the owner alone may read.
    const QByteArray path = QFile::encodeName(target);
    const ssize_t size = ::getxattr(path.constData(), accessAcl, nullptr, 0);
    if (size < 0 && errno != ENODATA && errno != ENOTSUP)
        mode &= S_IRWXU;
    bool ok = ::fchmod(fd, mode) == 0;
    if (size >= 0) {
        QByteArray acl(static_cast<int>(size), '\0');
        ok = ok && groupKept && ::getxattr(path.constData(), accessAcl, acl.data(), acl.size()) == size
            && ::fsetxattr(fd, accessAcl, acl.constData(), acl.size(), 0) == 0;
    } else {
        // Nor does it take the folder's default ACL.
        ok = ok && (::fremovexattr(fd, accessAcl) == 0 || errno == ENODATA || errno == ENOTSUP);
    }
    if (!ok) {
        const int owner = ::fchmod(fd, mode & S_IRWXU);
        static_cast<void>(owner);
    }
}

// Removes what runs onto the target that were killed left beside it: files named as a run names its
// new TIN (or that file's journal), regular files of this user whose process no longer runs.
void removeLeftovers(const QString& target)
{
    const QFileInfo info(target);
    const QDir folder = info.dir();
    static const QRegularExpression pattern(
        QStringLiteral("^(.*)\\.~([1-9][0-9]{0,9})\\.(0|[1-9][0-9]{0,9})(-journal)?$"));
    const uid_t user = ::geteuid();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const QString suffix = QStringLiteral(".~%1.%2").arg(match.captured(2), match.captured(3));
        if (besideTarget(target, suffix) != folder.filePath(match.captured(1) + suffix))
            continue;
        const qint64 pid = match.captured(2).toLongLong();
        if (pid > std::numeric_limits<pid_t>::max() || pid == QCoreApplication::applicationPid())
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat file;
        if (::lstat(path.constData(), &file) != 0 || !S_ISREG(file.st_mode) || file.st_uid != user)
            continue;
        // A process of another user answers EPERM: it runs.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        ::unlink(path.constData());
    }
}

// Syncs the folder so that the rename survives a crash; false where it could not be synced. A folder
// the user may not read cannot be opened for it, and a file system without folder syncs says EINVAL:
// neither is a failure.
bool syncFolder(const QString& file)
{
    const int fd = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno == EACCES;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    return ::close(fd) == 0 && synced;
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
    if (m_temporary.isEmpty())
        return;
    QFile::remove(m_temporary);
    // Left only by a writer that did not end its transaction.
    QFile::remove(m_temporary + QLatin1String("-journal"));
    m_temporary.clear();
}

bool TinGeneratorPrivate::isTinDatabase(const QString& path)
{
    return Pelko::IO::TrianglesWriter::isTinDatabase(QFile::encodeName(path).toStdString());
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
    return QFile::encodeName(m_temporary).toStdString();
}

bool TinGeneratorPrivate::createOutput()
{
    discardOutput();
    const QFileInfo target(outputPath);
    // Through a link the file it leads to is replaced, and the link kept.
    m_target = target.exists() ? target.canonicalFilePath() : target.absoluteFilePath();
    if (target.exists() && !isTinDatabase(m_target)) {
        notATin();
        return false;
    }
    // Renaming needs only the folder to be writable: a TIN the user may not write stays as it is.
    if (target.exists() && !target.isWritable()) {
        message = QCoreApplication::translate("TinDialog", "Cannot create the TIN database %1: %2.")
                      .arg(native(outputPath), QString::fromLocal8Bit(std::strerror(EACCES)));
        return false;
    }
    removeLeftovers(m_target);
    // A name of its own, so that runs at once never write into each other's file.
    static std::atomic<unsigned> counter { 0 };
    const QString stem = QStringLiteral(".~%1.").arg(QCoreApplication::applicationPid());
    QString error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        QFile file(besideTarget(m_target, stem + QString::number(counter.fetch_add(1))));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_temporary = file.fileName();
            if (target.exists())
                keepAccess(file.handle(), m_target);
            return true;
        }
        error = file.errorString();
        if (!file.exists())
            break;
    }
    message = QCoreApplication::translate("TinDialog", "Cannot create the TIN database %1: %2.")
                  .arg(native(outputPath), error);
    return false;
}

bool TinGeneratorPrivate::putInPlace()
{
    if (cancelled || m_temporary.isEmpty())
        return false;
    // Something else may have come to the target while the new TIN was written.
    if (QFileInfo::exists(m_target)) {
        if (!isTinDatabase(m_target)) {
            notATin();
            return false;
        }
        // A TIN that came to the target during the run.
        const int fd = ::open(QFile::encodeName(m_temporary).constData(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            keepAccess(fd, m_target);
            ::close(fd);
        }
    }
    if (std::rename(QFile::encodeName(m_temporary).constData(), QFile::encodeName(m_target).constData())
        != 0) {
        const int error = errno;
        message = QCoreApplication::translate("TinDialog",
                                              "The new TIN database cannot be put in place of %1: %2.")
                      .arg(native(outputPath), QString::fromLocal8Bit(std::strerror(error)));
        return false;
    }
    m_temporary.clear();
    if (!syncFolder(m_target)) {
        const QString note = QCoreApplication::translate(
                                 "TinDialog",
                                 "The folder of %1 could not be synced: should the system stop now, the "
                                 "new TIN database may be lost.")
                                 .arg(native(outputPath));
        message = message.isEmpty() ? note : message + QLatin1Char(' ') + note;
    }
    return true;
}

void TinGeneratorPrivate::notATin()
{
    message = QCoreApplication::translate("TinDialog", "%1 is not a TIN database and is not replaced.")
                  .arg(native(outputPath));
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
    if (result.parts > 1) {
        // Whole percent, 0 and 100 only for none and all.
        const double share = 100 * result.borderShare;
        int percent = static_cast<int>(share + 0.5);
        if (share > 0 && share < 100)
            percent = std::clamp(percent, 1, 99);
        const QString parts
            = QCoreApplication::translate("TinDialog",
                                          "The drawing has %n separate parts; the border goes round the "
                                          "largest and encloses %1 % of the area of the faces.",
                                          nullptr, result.parts)
                  .arg(percent);
        message = message.isEmpty() ? parts : message + QLatin1Char(' ') + parts;
    }
    return result.faces > 0 && !flat && putInPlace();
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
        return putInPlace();
    writeFailed();
    return false;
}

} // namespace Zemko::Trelvin
