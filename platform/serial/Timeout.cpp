#include "Timeout.h"

#include <climits>

namespace platform::serial {

void Timeout::start(unsigned limit_ms) {
    start(limit_ms, std::chrono::milliseconds(0));
}

void Timeout::start(unsigned limit_ms, std::chrono::milliseconds allowance) {
    m_limited = limit_ms != 0;
    m_end = Clock::now() + std::chrono::milliseconds(limit_ms) + allowance;
}

bool Timeout::expired() const {
    return m_limited && Clock::now() >= m_end;
}

int Timeout::remaining_ms() const {
    if (!m_limited)
        return -1;
    auto left = m_end - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

} // namespace platform::serial
