#include <io/dxfmemoryreader.h>
#include <io/memoryfile.h>

#include <dl_dxf.h>

#include <istream>
#include <streambuf>

namespace Pelko {
namespace IO {

namespace {

// dxflib reads lines with a 1024-byte buffer and never recovers from a longer one, so every line is
// handed over with at most 1023 characters plus its line feed.
constexpr unsigned dxfLineBuffer = 1024;

class MemoryFileBuffer : public std::streambuf
{
public:
    explicit MemoryFileBuffer(MemoryFile& file)
        : m_file(file)
    {
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
        std::istream stream(&buffer);
        DL_Dxf reader;
        return reader.in(stream, creationInterface);
    } catch (...) {
        return false;
    }
}

} // namespace IO
} // namespace Pelko
