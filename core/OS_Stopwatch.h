// OS_Stopwatch: the program's one clock for frame pacing and for timing
// long-running passes (the main loop's frame stopwatch, the application
// clock, the path tracer). Time is the monotonic counter of the system in
// seconds as a double; the counter's frequency is fixed, so it is read once.
// Header-only so that any library can time itself without the platform layer.
#pragma once

#include <time.h>

// Seconds from an arbitrary fixed start; never goes backwards.
inline double OS_Seconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

class OS_Stopwatch {
public:
    void Start() {
        if (m_running) return;
        m_running = true;
        m_start = OS_Seconds();
    }
    void Stop() {
        if (!m_running) return;
        m_accumulated += OS_Seconds() - m_start;
        m_running = false;
    }
    // Zero, running from now.
    void Restart() {
        m_accumulated = 0.0;
        m_running = true;
        m_start = OS_Seconds();
    }
    void Reset() {
        m_accumulated = 0.0;
        m_running = false;
    }
    bool IsRunning() const { return m_running; }
    double Elapsed() const { return m_accumulated + (m_running ? OS_Seconds() - m_start : 0.0); }

private:
    bool m_running = false;
    double m_start = 0.0;
    double m_accumulated = 0.0;
};
