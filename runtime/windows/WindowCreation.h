#pragma once

// Creating a window of the program with all its units, and re-creating one
// unit after a property change that its type can only show that way.

#include <platform/Types.h>

#include <cstdint>
#include <vector>

namespace runtime {

class WindowObject;
struct UnitRecord;

enum class CreateReuse { No, Yes };
enum class CreateModal { No, Yes };

// Control ids of ordinary units: 100, 110, 120, ... in creation order.
inline constexpr int FirstControlId = 100;
inline constexpr int ControlIdStep = 10;

// Messages the runtime sends to units' windows after creating them.
inline constexpr platform::UINT MessageUnitsCreated = 0x806F;
inline constexpr platform::UINT MessageWindowUnitsReady = 0x8004;
inline constexpr platform::UINT MessageWindowShown = 0x8076;

// Creates the window and its units, raises its events 0, 3 and 4 and shows
// it. False when the window cannot be made (nothing of it is left then).
bool create_window(WindowObject& window, CreateReuse reuse, CreateModal modal,
                   platform::HWND parent);

// Re-creates a unit from its saved state in the same place (the window's own
// unit is never re-created). Events are suspended meanwhile.
void recreate_unit(WindowObject& window, UnitRecord& unit);

// The cursor made from a pointer block: null for an empty block or a first
// word of 0 (the class cursor); a table index is mapped to its system id.
platform::HCURSOR cursor_from_pointer_block(const std::vector<std::uint8_t>& block);

} // namespace runtime
