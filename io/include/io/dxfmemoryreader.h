#pragma once

#include <io/io_global.h>

#include <string>

class DL_CreationInterface;

namespace Pelko {
namespace IO {

class MemoryFile;

// Reads a DXF drawing from a memory file with dxflib, handing every entity to the creation interface.
// False when the file has nothing left to read, is a binary DXF (dxflib reads text only, and would
// pass it for an empty drawing) or dxflib gives up; true once the drawing was read.
IO_EXPORT bool readDxf(MemoryFile& file, DL_CreationInterface* creationInterface);
// The same for a DXF file on disk; false when it cannot be opened.
IO_EXPORT bool readDxf(const std::string& path, DL_CreationInterface* creationInterface);

} // namespace IO
} // namespace Pelko
