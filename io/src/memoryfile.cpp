#include <io/memoryfile.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace Pelko {
namespace IO {

namespace {

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

} // namespace

MemoryFile::MemoryFile(const char* data, unsigned length)
    : m_begin(data)
    , m_position(data)
    , m_end(data ? data + length : data)
{
    if (!data || length == 0)
        return;
    unsigned count = 0;
    const char* p = data;
    while (p < m_end) {
        const void* hit = std::memchr(p, '\n', static_cast<size_t>(m_end - p));
        if (!hit)
            break;
        const char* lf = static_cast<const char*>(hit);
        m_lineEnds.push_back(static_cast<unsigned>(lf - data));
        ++count;
        p = lf + 1;
    }
    if (data[length - 1] != '\n')
        m_lineEnds.push_back(length - 1);
    m_lineEnds.shrink_to_fit();
    m_lineCount.store(count, std::memory_order_relaxed);
}

MemoryFile::~MemoryFile() = default;

unsigned MemoryFile::getline(char* buffer, unsigned size)
{
    if (!good())
        return 0;
    unsigned offset = static_cast<unsigned>(m_position - m_begin);
    unsigned index = m_lineIndex.load(std::memory_order_relaxed);
    // read() may have moved the position past the indexed line: continue with the line holding it.
    if (index >= m_lineEnds.size() || m_lineEnds[index] < offset)
        index = static_cast<unsigned>(std::lower_bound(m_lineEnds.begin(), m_lineEnds.end(), offset)
                                      - m_lineEnds.begin());
    // The table always ends at the block's last byte, so a line end exists for every position.
    unsigned last = m_lineEnds[index];
    unsigned lineLength = last - offset + 1;

    unsigned copied = 0;
    if (buffer && size > 0) {
        copied = std::min(lineLength, size - 1);
        std::memcpy(buffer, m_position, copied);
        while (copied > 0 && isLineEnd(buffer[copied - 1]))
            --copied;
        buffer[copied] = '\0';
    }
    m_position += lineLength;
    m_lineIndex.store(index + 1, std::memory_order_relaxed);
    return copied;
}

unsigned MemoryFile::read(void* buffer, unsigned size, unsigned count)
{
    if (!good() || !buffer)
        return 0;
    uint64_t wanted = static_cast<uint64_t>(size) * count;
    uint64_t left = static_cast<uint64_t>(m_end - m_position);
    unsigned n = static_cast<unsigned>(std::min(wanted, left));
    std::memcpy(buffer, m_position, n);
    m_position += n;
    return n;
}

bool MemoryFile::eof() const
{
    return m_position == m_end;
}

bool MemoryFile::good() const
{
    return m_position != nullptr && m_position < m_end;
}

int MemoryFile::close()
{
    m_begin = m_position = m_end = nullptr;
    return 0;
}

int MemoryFile::progress() const
{
    uint64_t count = m_lineCount.load(std::memory_order_relaxed);
    uint64_t index = m_lineIndex.load(std::memory_order_relaxed);
    if (count == 0)
        return index > 0 ? 100 : 0;
    return static_cast<int>(std::min<uint64_t>(index * 100 / count, INT32_MAX));
}

} // namespace IO
} // namespace Pelko
