// Arbitrary bytes as a DXF drawing, read through the memory file and converted into a TIN database; every
// other input is cancelled after a number of looks at the flag taken from its first byte.
#include <io/iprogress.h>
#include <io/memoryfile.h>
#include <io/triangleswriter.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

struct Canceller : Pelko::IO::IProgress
{
    void report(int) override { }
    bool isCancelled() const override { return ++asked > after; }
    int after = 0;
    mutable int asked = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string database
        = (std::filesystem::temp_directory_path() / ("io_fuzz_dxf_" + std::to_string(getpid()) + ".qvr"))
              .string();
    Pelko::IO::MemoryFile file(reinterpret_cast<const char*>(data), static_cast<unsigned>(size));
    Canceller cancel;
    const bool cancelling = size > 0 && size % 2 == 1;
    cancel.after = cancelling ? data[0] : 1 << 30;
    const Pelko::IO::DxfConversion result
        = Pelko::IO::TrianglesWriter::convertDrawing(file, database, cancelling ? &cancel : nullptr);
    // Counts stay sane, and a cancel is only reported when one was asked for.
    if (result.faces < 0 || result.skippedFaces < 0 || result.facesWithoutArea < 0
        || result.facesWithoutArea > result.faces
        || (result.skippedFaces > 0) != (result.firstSkippedLine > 0)
        || (result.outcome == Pelko::IO::DxfConversion::Cancelled && cancel.asked <= cancel.after))
        __builtin_trap();
    return 0;
}
