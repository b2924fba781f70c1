#include "inputfile.h"

#include <QCoreApplication>

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

namespace Zemko::Trelvin {

namespace {

template<class Stat> qint64 nanoseconds(const Stat& info)
{
    return qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
}

// Room for a whole file. Faulting in fresh memory page by page costs more than reading the file into it
// (several times more on virtual machines): a large block asks for huge pages.
char* allocate(qint64 size)
{
    constexpr size_t hugePage = size_t(2) << 20;
    void* data = nullptr;
    if (size_t(size) < hugePage)
        return static_cast<char*>(std::malloc(size_t(size)));
    if (posix_memalign(&data, hugePage, size_t(size)) != 0)
        return nullptr;
    (void)madvise(data, size_t(size), MADV_HUGEPAGE);
    return static_cast<char*>(data);
}

} // namespace

void InputFile::Free::operator()(char* data) const
{
    std::free(data);
}

bool InputFile::Stamp::operator==(const Stamp& other) const
{
    return valid && other.valid && size == other.size && modified == other.modified && device == other.device
        && inode == other.inode;
}

InputFile::InputFile(QFile& file)
    : m_file(file)
{
}

InputFile::Stamp InputFile::openStamp() const
{
    struct stat info;
    if (fstat(m_file.handle(), &info) != 0)
        return Stamp();
    return { true, qint64(info.st_size), nanoseconds(info), quint64(info.st_dev), quint64(info.st_ino) };
}

InputFile::Stamp InputFile::pathStamp() const
{
    struct stat info;
    if (stat(QFile::encodeName(m_file.fileName()).constData(), &info) != 0)
        return Stamp();
    return { true, qint64(info.st_size), nanoseconds(info), quint64(info.st_dev), quint64(info.st_ino) };
}

InputFile::Outcome InputFile::fail(Outcome outcome, const QString& error)
{
    clear();
    m_error = error;
    return outcome;
}

InputFile::Outcome InputFile::open(quint64 largest)
{
    clear();
    m_error.clear();
    m_file.close();
    // Unbuffered: each chunk goes straight into place.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(CannotOpen, m_file.errorString());
    m_before = openStamp();
    if (!m_before.valid)
        return fail(CannotOpen, m_file.errorString());
    if (m_before.size <= 0)
        return fail(Empty);
    if (quint64(m_before.size) > largest)
        return fail(TooLarge);
    return Read;
}

InputFile::Outcome InputFile::pass(const std::function<bool()>& stop, qint64 chunk, char* block,
                                   const std::function<void(const char*, qint64)>& take)
{
    if (!m_file.isOpen() || !m_before.valid || !m_file.seek(0))
        return fail(ReadFailed, m_file.errorString());
    const qint64 size = m_before.size;
    std::unique_ptr<char[]> buffer;
    if (!block)
        buffer.reset(new char[size_t(std::min(chunk, size))]);
    for (qint64 done = 0; done < size;) {
        if (stop && stop())
            return fail(Cancelled);
        char* at = block ? block + done : buffer.get();
        const qint64 got = m_file.read(at, std::min(chunk, size - done));
        if (got < 0)
            return fail(ReadFailed, m_file.errorString());
        // Ended before the size it had when opened: cut short.
        if (got == 0)
            return fail(Changed);
        if (take)
            take(at, got);
        done += got;
    }
    char more;
    const qint64 beyond = m_file.read(&more, 1);
    if (beyond < 0)
        return fail(ReadFailed, m_file.errorString());
    if (beyond > 0 || !unchanged())
        return fail(Changed);
    return Read;
}

InputFile::Outcome InputFile::read(const std::function<bool()>& stop, qint64 chunk)
{
    clear();
    if (!m_before.valid)
        return fail(ReadFailed, m_file.errorString());
    m_data.reset(allocate(m_before.size));
    if (!m_data)
        return fail(ReadFailed, QCoreApplication::translate("TinDialog", "not enough memory"));
    const Outcome outcome = pass(stop, chunk, m_data.get(), nullptr);
    if (outcome == Read)
        m_size = quint64(m_before.size);
    return outcome;
}

InputFile::Outcome InputFile::scan(const std::function<bool()>& stop,
                                   const std::function<void(const char*, qint64)>& take, qint64 chunk)
{
    clear();
    return pass(stop, chunk, nullptr, take);
}

bool InputFile::unchanged() const
{
    // Grown, cut, rewritten in place, or another file put in its place.
    return openStamp() == m_before && pathStamp() == m_before;
}

const char* InputFile::data() const
{
    return m_data.get();
}

quint64 InputFile::size() const
{
    return m_size;
}

QString InputFile::errorString() const
{
    return m_error;
}

void InputFile::clear()
{
    m_data.reset();
    m_size = 0;
}

} // namespace Zemko::Trelvin
