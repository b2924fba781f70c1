#pragma once

#include <io/io_global.h>

#include <atomic>
#include <vector>

namespace Pelko {
namespace IO {

// Line reader over a caller-owned block of bytes; the block must outlive the reader.
// progress() may be called from another thread while one thread reads lines.
class IO_EXPORT MemoryFile
{
public:
    MemoryFile(const char* data, unsigned length);
    ~MemoryFile();

    // The line-end table is owned per object and a reader has a single position: no copies.
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Copies the next line without its trailing carriage returns and line feeds and ends it with a NUL.
    // At most size - 1 bytes are copied; the rest of a longer line is skipped. Returns the length.
    unsigned getline(char* buffer, unsigned size);
    // Copies raw bytes from the position; the line index does not move.
    unsigned read(void* buffer, unsigned size, unsigned count);

    bool eof() const;
    bool good() const;
    int close();
    // Lines taken so far, in percent of the line feeds in the block.
    int progress() const;

private:
    const char* m_begin = nullptr;
    const char* m_position = nullptr;
    const char* m_end = nullptr;
    // Offsets of every line feed, then of the last byte when the block does not end with one.
    std::vector<unsigned> m_lineEnds;
    std::atomic<unsigned> m_lineCount { 0 };
    std::atomic<unsigned> m_lineIndex { 0 };
};

} // namespace IO
} // namespace Pelko
