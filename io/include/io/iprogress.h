#pragma once

#include <io/io_global.h>

namespace Pelko {
namespace IO {

// Progress callback of the writers, called on the writing thread with a percentage.
class IO_EXPORT IProgress
{
public:
    virtual void report(int percent) = 0;

protected:
    // Never deleted through the interface.
    ~IProgress() = default;
};

// Stands in for a null callback.
class IO_EXPORT NullProgress : public IProgress
{
public:
    void report(int) override { }
    static IProgress* instance();
};

} // namespace IO
} // namespace Pelko
