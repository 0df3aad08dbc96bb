#include "PropertyRouting.h"

#include "RuntimeMessages.h"
#include "UnitObject.h"
#include "WindowCreation.h"
#include "WindowObject.h"
#include <runtime/AppRuntime.h>
#include <runtime/image/UnitTypeInfo.h>
#include <runtime/services/ErrorReport.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/PropertyConversion.h>

#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cstring>

namespace runtime {

namespace {

using platform::HWND;

const char* text_argument(std::uint64_t value) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(value));
}

WindowObject& window_for_access(std::uint32_t window_id) {
    WindowObject* window = AppRuntime::the().find_window(window_id);
    if (!window)
        report_runtime_error(messages::UnitWindowNotLoaded);
    return *window;
}

// A unit id that names no unit of the window is the same failure as a
// window that is not loaded: there is nothing to read or write.
UnitRecord& unit_for_access(WindowObject& window, std::uint32_t unit_id) {
    UnitRecord* unit = window.find_unit_or_window(unit_id);
    if (!unit)
        report_runtime_error(messages::WindowOrUnitMissing);
    return *unit;
}

std::uint64_t read_menu_item(const UnitRecord& unit, std::int32_t index) {
    switch (index) {
    case 0:
        return pointer_word(make_text(unit.menu.caption));
    case 1:
        return (unit.menu.flags >> 2) & 1;
    case 2:
        return (unit.menu.flags >> 1) & 1;
    case 3:
        return (~unit.menu.flags) & 1;
    default:
        return 0;
    }
}

void write_menu_item(UnitRecord& unit, std::int32_t index, std::uint64_t value) {
    bool on = static_cast<std::uint32_t>(value) != 0;
    switch (index) {
    case 0:
        unit.menu.caption = std::string(text_of(text_argument(value)));
        break;
    case 1:
        unit.menu.flags = on ? unit.menu.flags | 4u : unit.menu.flags & ~4u;
        break;
    case 2:
        unit.menu.flags = on ? unit.menu.flags | 2u : unit.menu.flags & ~2u;
        break;
    case 3:
        unit.menu.flags = on ? unit.menu.flags & ~1u : unit.menu.flags | 1u;
        break;
    default:
        break;
    }
}

std::uint64_t read_common(const UnitRecord& unit, std::int32_t index) {
    HWND hwnd = WindowObject::live_window_of(unit);
    platform::Rect rect;
    bool live = hwnd && platform::get_window_placement_rect(hwnd, rect);
    auto word = [](std::int32_t v) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(v));
    };
    switch (index) {
    case common_property::Left:
        return word(live ? rect.left : unit.left);
    case common_property::Top:
        return word(live ? rect.top : unit.top);
    case common_property::Width:
        return word(live ? rect.width() : unit.width);
    case common_property::Height:
        return word(live ? rect.height() : unit.height);
    case common_property::Tag:
        return pointer_word(make_text(unit.tag));
    case common_property::Visible:
        return hwnd ? platform::is_window_visible(hwnd) : unit.is_visible();
    case common_property::Disabled:
        return hwnd ? !platform::is_window_enabled(hwnd) : unit.is_disabled();
    case common_property::MousePointer:
        return byte_set_value(unit.pointer_block, true);
    default:
        return 0;
    }
}

std::int32_t clamp_size(std::int32_t value) {
    return std::clamp(value, 0, MaxCoordinate);
}

std::int32_t clamp_position(std::int32_t value) {
    return std::clamp(value, -MaxCoordinate, MaxCoordinate);
}

void set_flag(UnitRecord& unit, std::uint32_t flag, bool on) {
    unit.flags = on ? unit.flags | flag : unit.flags & ~flag;
}

void write_common(UnitRecord& unit, std::int32_t index, std::uint64_t value) {
    HWND hwnd = WindowObject::live_window_of(unit);
    auto word = static_cast<std::int32_t>(value);
    platform::Rect rect;
    if (hwnd)
        platform::get_window_placement_rect(hwnd, rect);
    constexpr platform::UINT Keep = platform::SWP_NOZORDER | platform::SWP_NOACTIVATE;
    switch (index) {
    case common_property::Width:
    case common_property::Height: {
        std::int32_t size = clamp_size(word);
        (index == common_property::Width ? unit.width : unit.height) = size;
        if (hwnd) {
            int width = index == common_property::Width ? size : rect.width();
            int height = index == common_property::Height ? size : rect.height();
            platform::set_window_pos(hwnd, nullptr, 0, 0, width, height,
                                     Keep | platform::SWP_NOMOVE);
        }
        break;
    }
    case common_property::Left:
    case common_property::Top: {
        std::int32_t position = clamp_position(word);
        (index == common_property::Left ? unit.left : unit.top) = position;
        if (hwnd) {
            int x = index == common_property::Left ? position : rect.left;
            int y = index == common_property::Top ? position : rect.top;
            platform::set_window_pos(hwnd, nullptr, x, y, 0, 0, Keep | platform::SWP_NOSIZE);
        }
        break;
    }
    case common_property::Tag:
        unit.tag = std::string(text_of(text_argument(value)));
        break;
    case common_property::Visible:
        set_flag(unit, UnitRecord::FlagVisible, word != 0);
        // Tab pages of a tab unit are not part of this system: nothing keeps a unit hidden.
        if (hwnd)
            platform::show_window(hwnd, word != 0 ? platform::SW_SHOWNA : platform::SW_HIDE);
        break;
    case common_property::Disabled:
        set_flag(unit, UnitRecord::FlagDisabled, word != 0);
        if (hwnd)
            platform::enable_window(hwnd, word == 0);
        break;
    case common_property::MousePointer: {
        unit.pointer_block = pointer_block_from_value(value, true);
        unit.cursor = cursor_from_pointer_block(unit.pointer_block);
        if (auto* object = WindowObject::object_of(unit))
            object->set_cursor(static_cast<platform::HCURSOR>(unit.cursor));
        if (hwnd) {
            platform::Point point;
            if (platform::get_cursor_pos(point) && platform::window_from_point(point) == hwnd)
                platform::send_message(hwnd, platform::WM_SETCURSOR, platform::handle_value(hwnd),
                                       platform::HTCLIENT);
        }
        break;
    }
    default:
        break;
    }
}

const UnitTypeInfo& type_for(const UnitRecord& unit) {
    const UnitTypeInfo* type = AppRuntime::the().unit_type(unit.type);
    // A type the program names but no library provides has no own properties to reach.
    if (!type)
        report_runtime_error(messages::WindowOrUnitMissing);
    return *type;
}

// Reads an own property through the type's get entry; `object` is live.
std::uint64_t read_own(const UnitTypeInfo& type, UnitObject* object, std::int32_t index,
                       std::int32_t member) {
    auto get = type.entry<UnitGetPropertyFunction>(UnitQueryGetProperty);
    PropertyValue supplied;
    if (get)
        get(object, index - common_property::FirstOwn, &supplied);
    return property_read_value(type.property_kind(index), member, supplied);
}

// Writes an own property through the type's set entry; true when the unit
// asked to be re-created.
bool write_own(const UnitTypeInfo& type, UnitObject* object, std::int32_t index,
               std::int32_t member, std::uint64_t value) {
    auto set = type.entry<UnitSetPropertyFunction>(UnitQuerySetProperty);
    if (!set)
        return false;
    std::uint16_t kind = type.property_kind(index);
    PropertyValue current;
    if (kind == value_kind::Font) {
        if (auto get = type.entry<UnitGetPropertyFunction>(UnitQueryGetProperty))
            get(object, index - common_property::FirstOwn, &current);
    }
    std::vector<std::uint8_t> storage;
    PropertyValue converted = property_write_value(kind, member, value, current, storage);
    std::uint32_t result = 0;
    return set(object, index - common_property::FirstOwn, &converted, &result) == 1;
}

} // namespace

std::uint64_t read_property(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t index,
                            std::int32_t member) {
    WindowObject& window = window_for_access(window_id);
    UnitRecord& unit = unit_for_access(window, unit_id);
    if (unit.is_menu_item())
        return read_menu_item(unit, index);
    if (index >= common_property::FirstOwn) {
        const UnitTypeInfo& type = type_for(unit);
        if (!WindowObject::live_window_of(unit))
            report_runtime_error(messages::WindowNotLoaded);
        return read_own(type, WindowObject::object_of(unit), index, member);
    }
    return read_common(unit, index);
}

void write_property(std::uint32_t window_id, std::uint32_t unit_id, std::int32_t index,
                    std::int32_t member, std::uint64_t value) {
    WindowObject& window = window_for_access(window_id);
    UnitRecord& unit = unit_for_access(window, unit_id);
    if (unit.is_menu_item()) {
        write_menu_item(unit, index, value);
        return;
    }
    if (index < common_property::FirstOwn) {
        write_common(unit, index, value);
        return;
    }
    const UnitTypeInfo& type = type_for(unit);
    if (!WindowObject::live_window_of(unit))
        report_runtime_error(messages::WindowNotLoaded);
    bool recreate = write_own(type, WindowObject::object_of(unit), index, member, value);
    if (!recreate || &unit == window.window_unit() || !WindowObject::live_window_of(unit))
        return;
    auto& app = AppRuntime::the();
    app.dispatch_waiting_messages();
    app.suppress_events();
    // The record may have moved while waiting messages ran.
    if (UnitRecord* again = window.find_unit_or_window(unit_id);
        again && WindowObject::live_window_of(*again))
        recreate_unit(window, *again);
    app.dispatch_waiting_messages();
    app.resume_events();
}

std::uint64_t read_object_property(std::uint32_t type_code, UnitObject* object, std::int32_t index,
                                   std::int32_t member) {
    const UnitTypeInfo* type = AppRuntime::the().unit_type(type_code);
    if (!type || !object || index < common_property::FirstOwn)
        return 0;
    return read_own(*type, object, index, member);
}

void write_object_property(std::uint32_t type_code, UnitObject* object, std::int32_t index,
                           std::int32_t member, std::uint64_t value) {
    const UnitTypeInfo* type = AppRuntime::the().unit_type(type_code);
    if (!type || !object || index < common_property::FirstOwn)
        return;
    write_own(*type, object, index, member, value);
}

} // namespace runtime
