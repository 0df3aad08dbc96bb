#include "WindowCreation.h"

#include "EventDispatch.h"
#include "UnitObject.h"
#include "WindowObject.h"
#include <runtime/AppRuntime.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/UnitTypeInfo.h>
#include <runtime/values/PropertyConversion.h>

#include <platform/access/Access.h>
#include <platform/window/WindowSystem.h>

#include <cstring>

namespace runtime {

namespace {

using platform::HWND;

// The window unit's position property (own index 10): 2 minimised, 3 maximised.
constexpr std::int32_t WindowStartStateIndex = 18 - 8;
// The window unit's flag asking to be made anew when it is loaded again.
constexpr std::int32_t WindowRecreateFlagIndex = 21 - 8;

void suspend_events() {
    auto& app = AppRuntime::the();
    app.dispatch_waiting_messages();
    app.suppress_events();
}

void resume_events() {
    auto& app = AppRuntime::the();
    app.dispatch_waiting_messages();
    app.resume_events();
}

std::int32_t window_unit_word(WindowObject& window, std::int32_t own_index) {
    UnitRecord* unit = window.window_unit();
    auto* type = unit ? AppRuntime::the().unit_type(unit->type) : nullptr;
    auto get = type ? type->entry<UnitGetPropertyFunction>(UnitQueryGetProperty) : nullptr;
    auto* object = unit ? WindowObject::object_of(*unit) : nullptr;
    PropertyValue value;
    if (!get || !object || get(object, own_index, &value) != 1)
        return 0;
    return value.word();
}

bool raise_window_event(WindowObject& window, std::int32_t event) {
    EventRequest request;
    request.window_id = window.window_id;
    request.event = event;
    return raise_event(request) != 0;
}

void show_created_window(WindowObject& window, HWND hwnd) {
    int command = platform::SW_SHOWNORMAL;
    if (AppRuntime::the().mode() != 0) {
        switch (window_unit_word(window, WindowStartStateIndex)) {
        case 2:
            command = platform::SW_SHOWMINIMIZED;
            break;
        case 3:
            command = platform::SW_SHOWMAXIMIZED;
            break;
        default:
            break;
        }
    }
    platform::show_window(hwnd, command);
}

// The ordinary units in creation order: the last record first, the second last.
std::vector<std::size_t> creation_order(const WindowObject& window) {
    std::vector<std::size_t> order;
    for (std::size_t i = window.units.size(); i-- > 1;) {
        if (!window.units[i].is_menu_item())
            order.push_back(i);
    }
    return order;
}

void fail_creation(WindowObject& window, HWND hwnd) {
    if (platform::is_window(hwnd))
        platform::destroy_window(hwnd);
    window.restore_unit_list();
    resume_events();
}

void disable_other_top_levels(HWND modal, std::vector<HWND>& disabled) {
    for (HWND top : platform::top_level_windows()) {
        if (top == modal || !platform::is_window_enabled(top) || !platform::is_window_visible(top))
            continue;
        platform::enable_window(top, false);
        disabled.push_back(top);
    }
}

} // namespace

platform::HCURSOR cursor_from_pointer_block(const std::vector<std::uint8_t>& block) {
    if (block.size() < 4)
        return nullptr;
    std::uint32_t first;
    std::memcpy(&first, block.data(), 4);
    if (first == 0)
        return nullptr;
    return platform::load_cursor(static_cast<int>(cursor_id_of(first)));
}

namespace {

// A window that exists already is brought forward instead of made again,
// unless its window unit asks to be made anew (then the old one goes).
// True when the existing window stays.
bool keep_existing_window(WindowObject& window) {
    HWND existing = window.system_window();
    if (!existing)
        return false;
    if (window_unit_word(window, WindowRecreateFlagIndex) != 0) {
        platform::destroy_window(existing);
        return false;
    }
    if (platform::is_iconic(existing))
        platform::show_window(existing, platform::SW_RESTORE);
    else
        platform::set_active_window(existing);
    return true;
}

// Creates the window unit, then every ordinary unit, each hidden until the
// end; `shown` gets whether each is to be shown. The platform has no menu
// bar: menu item records stay in the list (their properties and events
// work) but build no menu. False when a unit cannot be made; the window is
// gone again then.
bool create_units(WindowObject& window, CreateReuse reuse, HWND parent, std::vector<bool>& shown) {
    auto& app = AppRuntime::the();
    HWND window_hwnd = nullptr;
    std::vector<std::size_t> order{0};
    auto ordinary = creation_order(window);
    order.insert(order.end(), ordinary.begin(), ordinary.end());
    int control_id = FirstControlId;
    for (std::size_t index : order) {
        UnitRecord& unit = window.units[index];
        const UnitTypeInfo* type = app.unit_type(unit.type);
        auto create = type ? type->entry<UnitCreateFunction>(UnitQueryCreate) : nullptr;
        if (!create) {
            fail_creation(window, window_hwnd);
            return false;
        }
        bool visible = !(type->flags & unit_type_flag::NoOwnVisibility) &&
                       (unit.is_visible() || (index == 0 && reuse == CreateReuse::Yes));
        std::uint32_t style = 0;
        if (unit.is_disabled())
            style |= platform::WS_DISABLED;
        if (unit.is_tab_stop())
            style |= platform::WS_TABSTOP;
        shown[index] = visible;
        const std::uint8_t* data = unit.type_data.empty() ? nullptr : unit.type_data.data();
        auto length = static_cast<std::uint32_t>(unit.type_data.size());

        UnitObject* object = nullptr;
        if (index == 0) {
            // The window itself is shown once its start-up handler has run.
            object = create(data, length, style, parent, 0, nullptr, unit.left, unit.top,
                            unit.width, unit.height, window.window_id, unit.id, 0, 0);
            if (!object || !platform::is_window(object->hwnd())) {
                delete object;
                fail_creation(window, nullptr);
                return false;
            }
            window_hwnd = object->hwnd();
        } else {
            if (visible)
                style |= platform::WS_VISIBLE;
            object = create(data, length, style, window_hwnd,
                            static_cast<std::uint32_t>(control_id), nullptr, unit.left, unit.top,
                            unit.width, unit.height, window.window_id, unit.id, 0, 0);
            control_id += ControlIdStep;
        }
        unit.object = object;
    }
    return true;
}

// Containers may be created after what they hold: the system parents are
// given once every unit exists.
void place_in_containers(WindowObject& window) {
    for (std::size_t i = 1; i < window.units.size(); ++i) {
        UnitRecord& unit = window.units[i];
        HWND hwnd = WindowObject::live_window_of(unit);
        if (!hwnd || unit.parent_id == 0)
            continue;
        UnitRecord* container = window.find_unit(unit.parent_id);
        HWND container_hwnd = container ? WindowObject::live_window_of(*container) : nullptr;
        if (container_hwnd && container_hwnd != hwnd)
            platform::set_parent(hwnd, container_hwnd);
    }
}

// Puts the units of each container in z-order as the list holds them.
void stack_in_list_order(WindowObject& window) {
    for (std::size_t i = 1; i < window.units.size(); ++i) {
        HWND hwnd = WindowObject::live_window_of(window.units[i]);
        if (!hwnd)
            continue;
        HWND after = platform::HWND_TOP;
        for (std::size_t j = i - 1; j >= 1; --j) {
            if (window.units[j].parent_id == window.units[i].parent_id) {
                if (HWND previous = WindowObject::live_window_of(window.units[j])) {
                    after = previous;
                    break;
                }
            }
        }
        platform::set_window_pos(hwnd, after, 0, 0, 0, 0, platform::ZOrderOnly);
    }
}

// What the design says to assistive clients: names, and labels that name units.
void give_access_names(WindowObject& window) {
    const ProgramHeader* header = AppRuntime::the().header();
    if (!header || !header->access_names)
        return;
    for (std::uint32_t i = 0; i < header->access_name_count; ++i) {
        const AccessName& entry = header->access_names[i];
        if (entry.window_id != window.window_id)
            continue;
        UnitRecord* unit = window.find_unit(entry.unit_id);
        HWND hwnd = unit ? WindowObject::live_window_of(*unit) : nullptr;
        if (!hwnd)
            continue;
        if (entry.name)
            platform::access::set_design_name(hwnd, entry.name);
        UnitRecord* target = entry.label_for ? window.find_unit(entry.label_for) : nullptr;
        if (HWND target_hwnd = target ? WindowObject::live_window_of(*target) : nullptr)
            platform::access::set_label_for(hwnd, target_hwnd);
    }
}

void give_cursors(WindowObject& window) {
    for (auto& unit : window.units) {
        if (unit.is_menu_item())
            continue;
        unit.cursor = cursor_from_pointer_block(unit.pointer_block);
        if (auto* object = WindowObject::object_of(unit))
            object->set_cursor(static_cast<platform::HCURSOR>(unit.cursor));
    }
}

// Tells every unit, last to first, that all exist, then the window unit
// that its units are ready, and shows or hides each ordinary unit.
void finish_units(WindowObject& window, const std::vector<bool>& shown) {
    for (std::size_t i = window.units.size(); i-- > 0;) {
        if (HWND hwnd = WindowObject::live_window_of(window.units[i]))
            platform::send_message(hwnd, MessageUnitsCreated);
    }
    platform::send_message(window.system_window(), MessageWindowUnitsReady);
    for (std::size_t i = 1; i < window.units.size(); ++i) {
        if (HWND hwnd = WindowObject::live_window_of(window.units[i]))
            platform::show_window(hwnd, shown[i] ? platform::SW_SHOWNA : platform::SW_HIDE);
    }
}

// The created events; each after the first only while the window still exists.
void raise_creation_events(WindowObject& window) {
    raise_window_event(window, window_event::Created);
    if (window.system_window())
        raise_window_event(window, window_event::CreatedSecond);
    if (window.system_window())
        raise_window_event(window, window_event::CreatedThird);
}

// Runs a modal window's loop, with every other shown top-level window
// disabled until it ends.
void run_modal(const std::vector<HWND>& disabled) {
    auto& app = AppRuntime::the();
    app.set_modal_active(true);
    app.message_loop(1);
    for (HWND top : disabled) {
        if (platform::is_window(top))
            platform::enable_window(top, true);
    }
}

} // namespace

bool create_window(WindowObject& window, CreateReuse reuse, CreateModal modal, HWND parent) {
    if (window.units.empty())
        return false;
    if (reuse == CreateReuse::No && keep_existing_window(window))
        return true;
    if (modal == CreateModal::Yes)
        parent = nullptr;
    else if (parent && !platform::is_window(parent))
        return false;

    HWND focus_before = platform::get_focus();
    suspend_events();
    window.save_unit_list();
    std::vector<bool> shown(window.units.size(), false);
    if (!create_units(window, reuse, parent, shown))
        return false;
    place_in_containers(window);
    stack_in_list_order(window);
    give_access_names(window);
    give_cursors(window);
    finish_units(window, shown);

    window.set_modal(modal == CreateModal::Yes);
    resume_events();
    raise_creation_events(window);
    HWND hwnd = window.system_window();
    if (!hwnd)
        return true;

    if (shown[0])
        show_created_window(window, hwnd);
    std::vector<HWND> disabled;
    if (modal == CreateModal::Yes)
        disable_other_top_levels(hwnd, disabled);
    for (std::size_t i = window.units.size(); i-- > 0;) {
        if (HWND unit_hwnd = WindowObject::live_window_of(window.units[i]))
            platform::send_message(unit_hwnd, MessageWindowShown);
    }
    if (focus_before && platform::is_window(focus_before))
        platform::set_focus(focus_before);
    window.set_created(true);
    if (modal == CreateModal::Yes)
        run_modal(disabled);
    return true;
}

void recreate_unit(WindowObject& window, UnitRecord& unit) {
    auto& app = AppRuntime::the();
    const UnitTypeInfo* type = app.unit_type(unit.type);
    if (!type || (type->flags & unit_type_flag::NoRecreate))
        return;
    auto save = type->entry<UnitSaveStateFunction>(UnitQuerySaveState);
    auto create = type->entry<UnitCreateFunction>(UnitQueryCreate);
    UnitObject* old_object = WindowObject::object_of(unit);
    HWND old_hwnd = WindowObject::live_window_of(unit);
    std::vector<std::uint8_t> state;
    if (!save || !create || !old_hwnd || !save(old_object, &state))
        return;

    platform::Rect rect;
    platform::get_window_placement_rect(old_hwnd, rect);
    HWND parent = platform::get_parent(old_hwnd);
    int control_id = platform::get_dlg_ctrl_id(old_hwnd);
    bool disabled = !platform::is_window_enabled(old_hwnd);
    bool had_focus = platform::get_focus() == old_hwnd;
    bool visible = platform::is_window_visible(old_hwnd);

    std::uint32_t style = disabled ? platform::WS_DISABLED : 0;
    if (unit.is_tab_stop())
        style |= platform::WS_TABSTOP;
    UnitObject* object =
        create(state.empty() ? nullptr : state.data(), static_cast<std::uint32_t>(state.size()),
               style, parent, static_cast<std::uint32_t>(control_id), nullptr, rect.left, rect.top,
               rect.width(), rect.height(), window.window_id, unit.id, 0, 0);
    if (!object)
        return;
    HWND hwnd = object->hwnd();
    if (type->flags & unit_type_flag::MovesChildren) {
        for (HWND child : platform::get_children(old_hwnd))
            platform::set_parent(child, hwnd);
    }
    unit.object = object;
    object->set_cursor(old_object->cursor());
    platform::set_window_pos(hwnd, old_hwnd, 0, 0, 0, 0, platform::ZOrderOnly);
    platform::send_message(hwnd, MessageUnitsCreated);
    platform::send_message(hwnd, MessageWindowShown);
    if (type->flags & unit_type_flag::NotifiesParent)
        platform::send_message(parent, MessageWindowUnitsReady);
    if (visible)
        platform::show_window(hwnd, platform::SW_SHOWNA);
    app.begin_unit_recreation();
    platform::destroy_window(old_hwnd);
    app.end_unit_recreation();
    give_access_names(window);
    if (had_focus)
        platform::set_focus(hwnd);
}

} // namespace runtime
