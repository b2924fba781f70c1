#pragma once

#include <ctime>

// Milliseconds of CPU the process has used since start(), where QElapsedTimer counts those of the wall:
// a bound on the work a step does then holds however busy the machine is.
class CpuTimer
{
public:
    void start() { m_start = now(); }
    long long elapsed() const { return now() - m_start; }

private:
    static long long now()
    {
        timespec t {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
    }

    long long m_start = now();
};
