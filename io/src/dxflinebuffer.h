#pragma once

#include <io/dxfmemoryreader.h>

#include <istream>
#include <streambuf>

class DL_CreationInterface;
class DL_Dxf;

namespace Pelko {
namespace IO {

class IProgress;
class MemoryFile;

// Hands the lines of a text DXF drawing to dxflib's stream reader, each cut to what dxflib's 1024-byte
// buffer takes (it never recovers from a longer line). On the way it counts the lines, notes whether the
// groups hold a section (a text without one is no drawing, though dxflib reads it without complaint), and
// ends the input early once the progress callback says the work is cancelled.
class DxfLineBuffer : public std::streambuf
{
public:
    // progress may be null.
    DxfLineBuffer(MemoryFile& file, IProgress* progress);
    DxfLineBuffer(std::istream& file, IProgress* progress);

    // Looks at the first line without taking it from the stream.
    bool startsBinary();
    // Lines handed out so far.
    unsigned lines() const { return m_lines; }
    bool sawSection() const { return m_sawSection; }
    bool cancelled() const { return m_cancelled; }

protected:
    int_type underflow() override;

private:
    static constexpr unsigned lineBuffer = 1024;

    // False at the end of the input.
    bool nextLine(unsigned* length);
    void watchGroup(unsigned length);

    MemoryFile* m_memory = nullptr;
    std::istream* m_stream = nullptr;
    IProgress* m_progress = nullptr;
    char m_line[lineBuffer];
    unsigned m_lines = 0;
    bool m_codeIsZero = false;
    bool m_sawSection = false;
    bool m_cancelled = false;
};

// Reads the drawing the buffer holds with the given dxflib reader.
DxfReadResult readDxf(DxfLineBuffer& buffer, DL_Dxf& reader, DL_CreationInterface* creationInterface);

} // namespace IO
} // namespace Pelko
