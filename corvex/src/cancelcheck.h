#pragma once

#include <cstddef>
#include <functional>

namespace Pelko::Corvex::detail {

// Steps between two looks at the cancel flag: a few milliseconds of work.
constexpr std::size_t cancelBatch = 4096;

// Thrown out of the work on a cancel, and caught where it began.
struct Cancelled
{
};

// Counts steps and asks isCancelled (which may be empty) once every cancelBatch of them; once it said
// true, the work stays cancelled.
class CancelCheck
{
public:
    explicit CancelCheck(std::function<bool()> const& isCancelled)
        : m_isCancelled(isCancelled)
    {
    }
    // Counts a step; true once cancelled.
    bool due()
    {
        if (!m_cancelled && ++m_steps % cancelBatch == 0 && m_isCancelled)
            m_cancelled = m_isCancelled();
        return m_cancelled;
    }
    // Counts a step; throws Cancelled once cancelled.
    void operator()()
    {
        if (due())
            throw Cancelled();
    }
    // Asks at once.
    void now()
    {
        if (!m_cancelled && m_isCancelled)
            m_cancelled = m_isCancelled();
        if (m_cancelled)
            throw Cancelled();
    }

private:
    std::function<bool()> const& m_isCancelled;
    std::size_t m_steps = 0;
    bool m_cancelled = false;
};

} // namespace Pelko::Corvex::detail
