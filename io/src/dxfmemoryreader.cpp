#include "cancellooks.h"
#include "dxflinebuffer.h"

#include <io/iprogress.h>
#include <io/memoryfile.h>
#include <io/triangledxfadapter.h>

#include <dl_dxf.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>

namespace Pelko {
namespace IO {

namespace {

bool isBinaryDxf(const char* begin, std::size_t size)
{
    static const char sentinel[] = "AutoCAD Binary DXF";
    return size >= sizeof(sentinel) - 1 && std::memcmp(begin, sentinel, sizeof(sentinel) - 1) == 0;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text between leading and trailing blanks.
std::pair<const char*, const char*> trimmed(const char* begin, const char* end)
{
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
    return { begin, end };
}

bool isReadable(DxfReadResult result)
{
    return result == DxfReadResult::Read || result == DxfReadResult::NotADrawing;
}

} // namespace

DxfLineBuffer::DxfLineBuffer(MemoryFile& file, IProgress* progress)
    : m_memory(&file)
    , m_progress(progress)
{
}

DxfLineBuffer::DxfLineBuffer(std::istream& file, IProgress* progress)
    : m_stream(&file)
    , m_progress(progress)
{
}

bool DxfLineBuffer::startsBinary()
{
    if (underflow() == traits_type::eof())
        return false;
    return isBinaryDxf(gptr(), static_cast<std::size_t>(egptr() - gptr()));
}

bool DxfLineBuffer::nextLine(unsigned* length)
{
    if (m_memory) {
        if (!m_memory->good())
            return false;
        *length = m_memory->getline(m_line, lineBuffer);
        return true;
    }
    if (!m_stream->getline(m_line, lineBuffer)) {
        if (m_stream->gcount() == 0 || m_stream->eof())
            return m_stream->gcount() > 0;
        // A longer line: keep its head, as the memory file does, and skip the rest.
        m_stream->clear();
        m_stream->ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    unsigned n = static_cast<unsigned>(std::strlen(m_line));
    while (n > 0 && (m_line[n - 1] == '\r' || m_line[n - 1] == '\n'))
        --n;
    *length = n;
    return true;
}

void DxfLineBuffer::watchGroup(unsigned length)
{
    const auto [begin, end] = trimmed(m_line, m_line + length);
    // dxflib reads the lines in pairs from the first: a group code, then its value.
    if (m_lines % 2 == 0) {
        const std::string code(begin, end);
        char* stop = nullptr;
        m_codeIsZero = !code.empty() && std::strtol(code.c_str(), &stop, 10) == 0 && *stop == '\0';
    } else if (m_codeIsZero && end - begin == 7 && std::memcmp(begin, "SECTION", 7) == 0) {
        m_sawSection = true;
    }
}

DxfLineBuffer::int_type DxfLineBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (m_cancelled || isCancelled(m_progress)) {
        m_cancelled = true;
        return traits_type::eof();
    }
    unsigned length = 0;
    if (!nextLine(&length))
        return traits_type::eof();
    watchGroup(length);
    ++m_lines;
    m_line[length] = '\n';
    setg(m_line, m_line, m_line + length + 1);
    return traits_type::to_int_type(*gptr());
}

DxfReadResult readDxf(DxfLineBuffer& buffer, DL_Dxf& reader, DL_CreationInterface* creationInterface)
{
    if (!creationInterface)
        return DxfReadResult::Unreadable;
    try {
        if (buffer.startsBinary())
            return DxfReadResult::Binary;
        std::istream stream(&buffer);
        const bool read = reader.in(stream, creationInterface);
        if (buffer.cancelled())
            return DxfReadResult::Cancelled;
        if (!read)
            return DxfReadResult::Unreadable;
        return buffer.sawSection() ? DxfReadResult::Read : DxfReadResult::NotADrawing;
    } catch (...) {
        return DxfReadResult::Unreadable;
    }
}

bool readDxf(MemoryFile& file, DL_CreationInterface* creationInterface)
{
    if (!file.good())
        return false;
    // An adapter reading for itself sees the group texts too, which tell whether a face has a fourth corner.
    if (auto* adapter = dynamic_cast<TriangleDxfAdapter*>(creationInterface))
        return isReadable(adapter->read(file, nullptr));
    DxfLineBuffer buffer(file, nullptr);
    DL_Dxf reader;
    return isReadable(readDxf(buffer, reader, creationInterface));
}

bool readDxf(const std::string& path, DL_CreationInterface* creationInterface)
{
    if (auto* adapter = dynamic_cast<TriangleDxfAdapter*>(creationInterface))
        return isReadable(adapter->read(path, nullptr));
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    DxfLineBuffer buffer(file, nullptr);
    DL_Dxf reader;
    return isReadable(readDxf(buffer, reader, creationInterface));
}

} // namespace IO
} // namespace Pelko
