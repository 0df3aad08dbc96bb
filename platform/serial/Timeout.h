#pragma once

// A time-out for one I/O operation: started once, then checked and asked
// for the milliseconds left, to hand to poll(). A limit of 0 means none, as
// with the serial time-outs of the platform the units were designed for.

#include <chrono>

namespace platform::serial {

class Timeout {
  public:
    using Clock = std::chrono::steady_clock;

    void start(unsigned limit_ms);
    // Starts with an extra allowance on top of the limit; without a limit
    // the allowance is ignored too.
    void start(unsigned limit_ms, std::chrono::milliseconds allowance);

    bool has_limit() const { return m_limited; }
    bool expired() const;
    // Milliseconds left, rounded up so that a wait never ends early; 0 when
    // expired and -1 (poll's "no limit") when there is no limit.
    int remaining_ms() const;

  private:
    bool m_limited = false;
    Clock::time_point m_end{};
};

} // namespace platform::serial
