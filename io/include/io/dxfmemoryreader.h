#pragma once

#include <io/io_global.h>

#include <string>

class DL_CreationInterface;

namespace Pelko {
namespace IO {

class MemoryFile;

// How reading a DXF drawing ended.
enum class DxfReadResult {
    Read, // a text drawing, read to its end
    NotADrawing, // a text that holds no DXF section (dxflib reads any text without complaint)
    Binary, // a binary DXF: dxflib reads text only, and would pass it for an empty drawing
    Unreadable, // nothing to read, the file cannot be opened, or dxflib gave up
    Cancelled, // the progress callback cancelled the reading
};

// Reads a DXF drawing from a memory file with dxflib, handing every entity to the creation interface.
// True when dxflib read it to its end: a drawing, or a text without sections, which dxflib takes for an
// empty one.
IO_EXPORT bool readDxf(MemoryFile& file, DL_CreationInterface* creationInterface);
// The same for a DXF file on disk; false when it cannot be opened.
IO_EXPORT bool readDxf(const std::string& path, DL_CreationInterface* creationInterface);

} // namespace IO
} // namespace Pelko
