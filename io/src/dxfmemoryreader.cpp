#include <io/dxfmemoryreader.h>
#include <io/memoryfile.h>

#include <dl_dxf.h>

#include <cstring>
#include <fstream>
#include <istream>
#include <streambuf>

namespace Pelko {
namespace IO {

namespace {

// dxflib reads lines with a 1024-byte buffer and never recovers from a longer one, so every line is
// handed over with at most 1023 characters plus its line feed.
constexpr unsigned dxfLineBuffer = 1024;

bool isBinaryDxf(const char* begin, std::size_t size)
{
    static const char sentinel[] = "AutoCAD Binary DXF";
    return size >= sizeof(sentinel) - 1 && std::memcmp(begin, sentinel, sizeof(sentinel) - 1) == 0;
}

class MemoryFileBuffer : public std::streambuf
{
public:
    explicit MemoryFileBuffer(MemoryFile& file)
        : m_file(file)
    {
    }

    // Looks at the first line without taking it from the stream.
    bool startsBinary()
    {
        if (underflow() == traits_type::eof())
            return false;
        return isBinaryDxf(gptr(), static_cast<std::size_t>(egptr() - gptr()));
    }

protected:
    int_type underflow() override
    {
        if (gptr() < egptr())
            return traits_type::to_int_type(*gptr());
        if (!m_file.good())
            return traits_type::eof();
        unsigned length = m_file.getline(m_line, dxfLineBuffer);
        m_line[length] = '\n';
        setg(m_line, m_line, m_line + length + 1);
        return traits_type::to_int_type(*gptr());
    }

private:
    MemoryFile& m_file;
    char m_line[dxfLineBuffer];
};

} // namespace

bool readDxf(MemoryFile& file, DL_CreationInterface* creationInterface)
{
    if (!file.good() || !creationInterface)
        return false;
    try {
        MemoryFileBuffer buffer(file);
        if (buffer.startsBinary())
            return false;
        std::istream stream(&buffer);
        DL_Dxf reader;
        return reader.in(stream, creationInterface);
    } catch (...) {
        return false;
    }
}

bool readDxf(const std::string& path, DL_CreationInterface* creationInterface)
{
    if (!creationInterface)
        return false;
    try {
        char head[32] = {};
        std::ifstream file(path, std::ios::binary);
        file.read(head, sizeof(head));
        if (isBinaryDxf(head, static_cast<std::size_t>(file.gcount())))
            return false;
        DL_Dxf reader;
        return reader.in(path, creationInterface);
    } catch (...) {
        return false;
    }
}

} // namespace IO
} // namespace Pelko
