#pragma once

// Four hobby servos. Each turns towards its commanded angle at a fixed
// speed; a command outside the servo's travel is clamped to it. Time is
// passed in by the caller (milliseconds on any steady scale), so the model
// can be stepped without a clock.

#include "CommandParser.h"

#include <array>
#include <cstdint>

namespace arm {

using Millis = std::int64_t;

struct ServoSettings {
    int min_angle = 0;
    int max_angle = 180;
    // A common micro servo turns 60 degrees in 0.15 seconds.
    double ms_per_degree = 150.0 / 60.0;
};

struct CommandEffect {
    int target = 0;       // the angle the servo now turns towards
    bool clamped = false; // the commanded value was outside the travel
};

class ArmModel {
  public:
    // Every servo starts at rest in the middle of its travel, at time `start`.
    explicit ArmModel(ServoSettings settings = {}, Millis start = 0);

    const ServoSettings& settings() const { return m_settings; }

    // Moves the arm on to `now`, then points the servo at `value`.
    CommandEffect command(int servo, std::int32_t value, Millis now);
    // Moves every servo on to `now`. Time never runs backwards: an earlier
    // `now` changes nothing.
    void advance(Millis now);

    double angle(int servo) const { return m_angle[servo]; }
    int target(int servo) const { return m_target[servo]; }
    bool is_moving() const;
    // When the last moving servo will reach its target (now when still).
    Millis arrival_time() const;
    Millis time() const { return m_time; }

  private:
    ServoSettings m_settings;
    Millis m_time;
    std::array<double, k_servo_count> m_angle{};
    std::array<int, k_servo_count> m_target{};
};

} // namespace arm
