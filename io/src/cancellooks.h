#pragma once

#include <io/iprogress.h>

#include <cstddef>

namespace Pelko {
namespace IO {

// Whether the work is cancelled; a null callback never cancels.
inline bool isCancelled(const IProgress* progress)
{
    return progress && progress->isCancelled();
}

// Asks the callback whether the work is cancelled once per `every` units of work counted in, and stays
// cancelled once it said so.
class CancelLooks
{
public:
    // Items passed over in memory between two looks: a few milliseconds of work.
    static constexpr size_t batch = 65536;
    // Rows written to the database between two looks: as long as a batch passed over in memory.
    static constexpr size_t rowBatch = 4096;

    // With askFirst, the first count asks at once: for work that should not start once cancelled.
    explicit CancelLooks(const IProgress* progress, size_t every = batch, bool askFirst = false)
        : m_progress(progress)
        , m_every(every)
        , m_units(askFirst ? every - 1 : 0)
    {
    }
    // Counts units of work done; true once cancelled.
    bool operator()(size_t units = 1)
    {
        if (m_cancelled || !m_progress)
            return m_cancelled;
        m_units += units;
        if (m_units < m_every)
            return false;
        m_units %= m_every;
        return now();
    }
    // Asks at once.
    bool now() { return m_cancelled = m_cancelled || isCancelled(m_progress); }
    bool cancelled() const { return m_cancelled; }

private:
    const IProgress* m_progress;
    size_t m_every;
    size_t m_units;
    bool m_cancelled = false;
};

// Passes on whether the work is cancelled, and no reports: for work whose progress is told elsewhere.
class CancelOnly final : public IProgress
{
public:
    explicit CancelOnly(const IProgress* progress)
        : m_progress(progress)
    {
    }
    void report(int) override { }
    bool isCancelled() const override { return IO::isCancelled(m_progress); }

private:
    const IProgress* m_progress;
};

} // namespace IO
} // namespace Pelko
