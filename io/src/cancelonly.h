#pragma once

#include <io/iprogress.h>

namespace Pelko {
namespace IO {

// Passes on whether the work is cancelled, and no reports: for work whose progress is told elsewhere.
class CancelOnly final : public IProgress
{
public:
    explicit CancelOnly(IProgress* progress)
        : m_progress(progress)
    {
    }
    void report(int) override { }
    bool isCancelled() const override { return m_progress && m_progress->isCancelled(); }

private:
    IProgress* m_progress;
};

} // namespace IO
} // namespace Pelko
