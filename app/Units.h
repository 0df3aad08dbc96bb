#pragma once

// What the handlers know of the window beyond its design: which units make
// up each servo. The units, their types' property indexes and the window
// come from the design by alias (ArmController_design.h).

#include "ArmController_design.h"
#include "Runtime.h"

#include <array>
#include <cstddef>

namespace app {

// One servo: its slider, value label, range boxes and command letter.
struct Servo {
    UnitRef slider;
    UnitRef value_label;
    UnitRef minimum_box;
    UnitRef maximum_box;
    const char* letter;
};

enum ServoNumber : std::size_t { Gripper = 0, Shoulder = 1, Elbow = 2, Base = 3 };

inline constexpr std::array<Servo, 4> Servos = {{
    {GripperSlider, GripperValue, GripperMinimum, GripperMaximum, "a"},
    {ShoulderSlider, ShoulderValue, ShoulderMinimum, ShoulderMaximum, "b"},
    {ElbowSlider, ElbowValue, ElbowMinimum, ElbowMaximum, "c"},
    {BaseSlider, BaseValue, BaseMinimum, BaseMaximum, "d"},
}};

} // namespace app
