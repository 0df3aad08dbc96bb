#include "Unit.h"

#include <runtime/services/LibraryHost.h>

#include <platform/access/Access.h>
#include <platform/controls/Controls.h>
#include <platform/window/MessageParams.h>
#include <platform/window/WindowSystem.h>

namespace units {

namespace {

constexpr const char* UnitProperty = "armctl.unit";

} // namespace

bool register_unit_class(std::string_view name, UINT class_style, platform::WNDPROC proc) {
    platform::WindowClass cls;
    cls.name = std::string(name);
    cls.proc = proc ? proc : platform::def_window_proc;
    cls.style = class_style;
    cls.cursor = platform::load_cursor(platform::IDC_ARROW);
    platform::WindowClass existing;
    return platform::register_class(cls) || platform::get_class_info(cls.name, existing);
}

Unit* Unit::from_window(HWND hwnd) {
    return reinterpret_cast<Unit*>(platform::get_prop(hwnd, UnitProperty));
}

bool Unit::create_system_window(std::uint32_t ex_style, std::string_view class_name,
                                std::string_view text, std::uint32_t style, int x, int y, int width,
                                int height, HWND parent, std::uintptr_t id_or_menu) {
    m_hwnd = platform::create_window_ex(ex_style, class_name, text, style, x, y, width, height,
                                        parent, id_or_menu);
    if (!m_hwnd)
        return false;
    platform::set_prop(m_hwnd, UnitProperty, reinterpret_cast<std::intptr_t>(this));
    m_original = platform::set_window_proc(m_hwnd, unit_proc);
    return true;
}

void Unit::restyle(std::uint32_t owned, std::uint32_t style, std::uint32_t owned_ex,
                   std::uint32_t ex_style) {
    std::uint32_t fresh = (platform::get_style(m_hwnd) & ~owned) | (style & owned);
    std::uint32_t fresh_ex = (platform::get_ex_style(m_hwnd) & ~owned_ex) | (ex_style & owned_ex);
    platform::set_window_long(m_hwnd, platform::GWL_STYLE, static_cast<std::intptr_t>(fresh));
    platform::set_window_long(m_hwnd, platform::GWL_EXSTYLE, static_cast<std::intptr_t>(fresh_ex));
    platform::set_window_pos(m_hwnd, nullptr, 0, 0, 0, 0,
                             platform::SWP_NOMOVE | platform::SWP_NOSIZE | platform::SWP_NOZORDER |
                                 platform::SWP_NOACTIVATE | platform::SWP_FRAMECHANGED);
}

bool Unit::raise_event(std::int32_t event, std::initializer_list<std::uint32_t> args,
                       std::uint32_t* result) {
    runtime::EventRequest request;
    request.window_id = window_id();
    request.unit_id = notice_unit_id();
    request.event = event;
    for (std::uint32_t arg : args) {
        if (request.arg_count == runtime::MaxEventWordArgs)
            break;
        request.args[request.arg_count++] = arg;
    }
    bool ran = runtime::library_host_call(runtime::host_service::RaiseEvent,
                                          reinterpret_cast<std::intptr_t>(&request)) != 0;
    if (result && request.result_present)
        *result = request.result;
    return ran;
}

LRESULT Unit::call_original(UINT msg, WPARAM wp, LPARAM lp) {
    return platform::call_window_proc(m_original, m_hwnd, msg, wp, lp);
}

LRESULT Unit::unit_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Unit* unit = from_window(hwnd);
    if (!unit)
        return platform::def_window_proc(hwnd, msg, wp, lp);
    return unit->handle(msg, wp, lp);
}

bool Unit::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    HWND from = nullptr;
    switch (msg) {
    case platform::WM_COMMAND:
    case platform::WM_HSCROLL:
    case platform::WM_VSCROLL:
    case platform::WM_CTLCOLOREDIT:
    case platform::WM_CTLCOLORLISTBOX:
    case platform::WM_CTLCOLORBTN:
    case platform::WM_CTLCOLORSTATIC:
        from = reinterpret_cast<HWND>(lp);
        break;
    case platform::WM_NOTIFY:
        if (auto* header = reinterpret_cast<const platform::NMHDR*>(lp))
            from = header->hwndFrom;
        break;
    default:
        return false;
    }
    Unit* child = from && from != m_hwnd ? from_window(from) : nullptr;
    return child && child->on_notification(msg, wp, lp, result);
}

LRESULT Unit::handle(UINT msg, WPARAM wp, LPARAM lp) {
    Frame frame{false, m_frames};
    m_frames = &frame;
    LRESULT result = dispatch(msg, wp, lp, frame.destroyed);
    if (!frame.destroyed)
        m_frames = frame.outer;
    return result;
}

LRESULT Unit::dispatch(UINT msg, WPARAM wp, LPARAM lp, bool& destroyed) {
    LRESULT result = 0;
    switch (msg) {
    case runtime::MessageQueryObject:
        return reinterpret_cast<LRESULT>(static_cast<runtime::UnitObject*>(this));
    case platform::WM_SETCURSOR:
        if (cursor() && reinterpret_cast<HWND>(wp) == m_hwnd &&
            platform::hit_test_code(lp) == platform::HTCLIENT) {
            platform::set_cursor(cursor());
            return 1;
        }
        break;
    case platform::WM_NCDESTROY: {
        result = call_original(msg, wp, lp);
        platform::remove_prop(m_hwnd, UnitProperty);
        runtime::library_host_call(runtime::host_service::UnitDestroyed,
                                   static_cast<std::intptr_t>(window_id()),
                                   static_cast<std::intptr_t>(notice_unit_id()));
        for (Frame* frame = m_frames; frame; frame = frame->outer)
            frame->destroyed = true;
        delete this;
        return result;
    }
    default:
        break;
    }
    if (reflect(msg, wp, lp, result) || destroyed)
        return result;
    if (on_message(msg, wp, lp, result) || destroyed)
        return result;
    result = call_original(msg, wp, lp);
    if (destroyed)
        return result;
    if (auto* request = platform::access::request_of(msg, lp);
        request && request->handled && request->node && request->part == 0 &&
        static_cast<platform::access::Query>(wp) == platform::access::Query::Describe)
        describe_access(*request->node);
    if (takes_focus() && msg == platform::WM_SETFOCUS)
        raise_event(EventGotFocus);
    else if (takes_focus() && msg == platform::WM_KILLFOCUS)
        raise_event(EventLostFocus);
    return result;
}

} // namespace units
