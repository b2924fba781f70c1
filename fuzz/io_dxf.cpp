// Arbitrary bytes as a DXF drawing, read through the memory file and converted into a TIN database.
#include <io/memoryfile.h>
#include <io/triangleswriter.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string database
        = (std::filesystem::temp_directory_path() / ("io_fuzz_dxf_" + std::to_string(getpid()) + ".qvr"))
              .string();
    Pelko::IO::MemoryFile file(reinterpret_cast<const char*>(data), static_cast<unsigned>(size));
    Pelko::IO::TrianglesWriter::convert(file, database);
    return 0;
}
