#pragma once

#include <io/io_global.h>

namespace Pelko {
namespace IO {

// Progress callback of the writers, called on the writing thread with a percentage.
class IO_EXPORT IProgress
{
public:
    virtual void report(int percent) = 0;
    // Asked on the writing thread between batches of work: true stops the work, which then rolls back
    // and fails. Never cancelled unless overridden.
    virtual bool isCancelled() const { return false; }

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
