#pragma once

#include "cancellooks.h"

#include <io/iprogress.h>

#include <algorithm>

namespace Pelko {
namespace IO {

// Maps the 0 to 100 a piece of work reports into the band from..to of its caller's progress, never
// reporting less than before, and passes the caller's cancel on. The caller may be null.
class ProgressBand final : public IProgress
{
public:
    ProgressBand(IProgress* progress, int from, int to)
        : m_progress(progress)
        , m_from(from)
        , m_to(to)
        , m_last(from)
    {
    }
    void report(int percent) override
    {
        const int mapped = m_from + (m_to - m_from) * std::clamp(percent, 0, 100) / 100;
        if (!m_progress || mapped <= m_last)
            return;
        m_last = mapped;
        m_progress->report(mapped);
    }
    bool isCancelled() const override { return IO::isCancelled(m_progress); }
    // Reports the band's start; a band entered reports at least that.
    void begin()
    {
        if (m_progress)
            m_progress->report(m_from);
    }
    void end() { report(100); }

private:
    IProgress* m_progress;
    int m_from;
    int m_to;
    int m_last;
};

} // namespace IO
} // namespace Pelko
