#pragma once

#include <io/io_global.h>

class DL_CreationInterface;

namespace Pelko {
namespace IO {

class MemoryFile;

// Reads a DXF drawing from a memory file with dxflib, handing every entity to the creation interface.
// False when the file has nothing left to read or dxflib gives up; true once the drawing was read.
IO_EXPORT bool readDxf(MemoryFile& file, DL_CreationInterface* creationInterface);

} // namespace IO
} // namespace Pelko
