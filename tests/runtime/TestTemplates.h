#pragma once

// Window templates for the loader tests, shaped like the arm controller's:
// a window unit, a group frame holding a button, a label and a menu item.

#include <runtime/image/WindowTemplate.h>

#include <cstdint>
#include <vector>

namespace test_support {

inline constexpr std::uint32_t MainWindowId = 0x52010001;
inline constexpr std::uint32_t SecondWindowId = 0x52010002;
inline constexpr std::uint32_t WindowUnitId = 0x06010000;
inline constexpr std::uint32_t GroupId = 0x16010001;
inline constexpr std::uint32_t ButtonId = 0x16010002;
inline constexpr std::uint32_t LabelId = 0x16010003;
inline constexpr std::uint32_t MenuItemId = 0x26010001;

runtime::WindowTemplate sample_window(std::uint32_t window_id);
std::vector<runtime::WindowTemplate> sample_windows();

} // namespace test_support
