#include "SuperBarUnit.h"

#include <platform/access/AccessEvents.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace units {

namespace {

using namespace runtime::value_kind;
using B = SuperBarUnit;

// The own properties this type declares; the indexes between them are empty.
constexpr PropertyRow OwnRows[] = {
    {B::BarKind, "BarKind", Choice, choice_clamp(4)},
    {B::Orientation, "Orientation", Choice, choice_clamp(1)},
    {B::BackColour, "BackColor", BackgroundColour},
    {B::TrackColour, "TrackColor", Colour},
    {B::FillColour, "FillColor", Colour},
    {B::PageStep, "PageStep", Integer},
    {B::LineStep, "LineStep", Integer},
    {B::Minimum, "Minimum", Integer},
    {B::Maximum, "Maximum", Integer},
    {B::Position, "Position", Integer},
    {B::ShowFill, "ShowFill", Boolean},
    {B::ThumbShape, "ThumbShape", Choice, choice_clamp(1)},
    {B::Font, "Font", runtime::value_kind::Font},
    {B::SliderBehaviour, "SliderBehaviour", Boolean},
    {B::TrackWhileDragging, "TrackWhileDragging", Boolean},
    {B::ArrowImages, "ArrowImages", CustomData},
    {B::TrackImages, "TrackImages", CustomData},
    {B::ThumbImages, "ThumbImages", CustomData},
    {B::FillImages, "FillImages", CustomData},
    {B::CentreThumb, "CentreThumb", Boolean},
};

struct AllRows {
    PropertyRow rows[B::CentreThumb + 1];
};

constexpr AllRows all_rows() {
    AllRows all{};
    for (std::int32_t i = 0; i <= B::CentreThumb; ++i)
        all.rows[i] = {i, nullptr, Empty};
    for (const PropertyRow& row : OwnRows)
        all.rows[row.own_index] = row;
    return all;
}

constexpr AllRows Rows = all_rows();
constexpr PropertyTable Properties{Rows.rows};

// 多功能条
constexpr const char* DisplayName = "\xB6\xE0\xB9\xA6\xC4\xDC\xCC\xF5";

constexpr platform::COLORREF FaceColour = platform::rgb(0xF0, 0xF0, 0xF0);
constexpr platform::COLORREF DefaultTrackColour = platform::rgb(0xC4, 0xC4, 0xC4);
constexpr platform::COLORREF AccentColour = platform::rgb(0x00, 0x78, 0xD7);

std::int32_t clamp_to_word(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool register_classes() {
    return register_unit_class(SuperBarUnit::ClassName) && SuperBarUnit::register_part_class();
}

} // namespace

// ---- Settings ----------------------------------------------------------------

SuperBarUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(BackColour, static_cast<std::int32_t>(FaceColour));
    set_word(TrackColour, static_cast<std::int32_t>(DefaultTrackColour));
    set_word(FillColour, static_cast<std::int32_t>(AccentColour));
    set_word(PageStep, 10);
    set_word(LineStep, 1);
    set_word(Minimum, 0);
    set_word(Maximum, 100);
    set_word(Position, 30);
    set_word(TrackWhileDragging, 1);
    set_word(BarKind, 1);
    apply_preset(1);
}

void SuperBarUnit::Settings::apply_preset(std::int32_t preset) {
    if (preset < 1 || preset > 4)
        return;
    set_word(SliderBehaviour, preset == 1 ? 1 : 0);
    set_word(CentreThumb, preset == 1 || preset == 3 ? 1 : 0);
    set_word(ShowFill, preset != 4 ? 1 : 0);
    // The scroll-bar-like forms carry a rectangular thumb.
    set_word(ThumbShape, preset == 2 || preset == 4 ? 1 : 0);
}

bool SuperBarUnit::Settings::read(StoredDataReader& reader) {
    if (!PropertyBag::read(reader))
        return false;
    if (word(Minimum) >= word(Maximum))
        return false;
    set_word(Position, std::clamp(word(Position), word(Minimum), word(Maximum)));
    return true;
}

bool SuperBarUnit::Settings::set_by_name(std::string_view name, std::string_view value) {
    if (!PropertyBag::set_by_name(name, value))
        return false;
    if (name == "BarKind")
        apply_preset(word(BarKind));
    return true;
}

// ---- Type --------------------------------------------------------------------

const runtime::UnitTypeInfo& SuperBarUnit::type_info() {
    static const runtime::UnitTypeInfo info =
        make_unit_type_info(DisplayName, "SuperBar", runtime::unit_type_flag::RaisesEvents,
                            Properties, &Entries::query);
    return info;
}

SuperBarUnit::~SuperBarUnit() = default;

bool SuperBarUnit::create_window(const CreateParameters& parameters) {
    if (!register_classes())
        return false;
    if (!create_system_window(0, ClassName, "", parameters.style | platform::WS_CHILD,
                              parameters.left, parameters.top, parameters.width, parameters.height,
                              parameters.parent, parameters.control_id))
        return false;
    return create_parts();
}

bool SuperBarUnit::create_parts() {
    // New children go below their older siblings: the thumb first, so that
    // it lies above the fill, and the fill above the track.
    constexpr BarPart order[] = {BarPart::Thumb, BarPart::Fill, BarPart::Track, BarPart::Decrease,
                                 BarPart::Increase};
    for (BarPart part : order) {
        HWND window = platform::create_window_ex(0, PartClassName, "",
                                                 platform::WS_CHILD | platform::WS_VISIBLE, 0, 0, 0,
                                                 0, hwnd(), static_cast<std::uintptr_t>(part));
        if (!window)
            return false;
        m_parts[static_cast<int>(part)] = window;
    }
    lay_out();
    return true;
}

platform::HWND SuperBarUnit::part_window(BarPart part) const {
    return m_parts[static_cast<int>(part)];
}

platform::Rect SuperBarUnit::part_rect_now(BarPart part) const {
    platform::Rect r;
    platform::get_window_placement_rect(part_window(part), r);
    return r;
}

int SuperBarUnit::thumb_window_offset() const {
    platform::Rect thumb = part_rect_now(BarPart::Thumb);
    return m_layout.along({thumb.left, thumb.top}) - m_layout.track_start();
}

int SuperBarUnit::thumb_offset_now() const {
    return m_layout.thumb_offset(position(), minimum(), maximum());
}

// ---- Properties ----------------------------------------------------------------

int SuperBarUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int SuperBarUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    std::int32_t v = value.word();
    switch (own_index) {
    case Minimum:
        if (v >= maximum())
            return 0;
        m_settings.set_word(Minimum, v);
        platform::access::notify(platform::access::EventKind::Value, hwnd());
        redraw();
        set_position(std::max(position(), v), MoveThumb::Yes);
        return 0;
    case Maximum:
        if (v <= minimum())
            return 0;
        m_settings.set_word(Maximum, v);
        platform::access::notify(platform::access::EventKind::Value, hwnd());
        redraw();
        set_position(std::min(position(), v), MoveThumb::Yes);
        return 0;
    case Position:
        set_position(v, MoveThumb::Yes);
        return 0;
    default:
        break;
    }
    if (!m_settings.set(own_index, value))
        return 0;
    switch (own_index) {
    case BarKind:
        m_settings.apply_preset(m_settings.word(BarKind));
        lay_out();
        break;
    case Orientation:
        lay_out();
        break;
    case PageStep:
    case LineStep:
    case TrackWhileDragging:
        break;
    default:
        redraw();
        break;
    }
    return 0;
}

// ---- Position ----------------------------------------------------------------

bool SuperBarUnit::set_position(std::int64_t value, MoveThumb move) {
    if (m_moving_thumb)
        return true;
    std::int32_t v = clamp_to_word(std::clamp<std::int64_t>(value, minimum(), maximum()));
    std::int32_t old = position();
    m_settings.set_word(Position, v);
    if (move == MoveThumb::Yes) {
        if (m_layout.track_length() < 1)
            return true;
        m_moving_thumb = true;
        place_thumb(m_layout.thumb_offset(v, minimum(), maximum()));
        m_moving_thumb = false;
    }
    if (v != old) {
        HWND self = hwnd();
        platform::access::notify(platform::access::EventKind::Value, self);
        raise_event(PositionChanged);
        if (!platform::is_window(self))
            return false;
    }
    place_fill();
    return true;
}

bool SuperBarUnit::thumb_to_position() {
    return set_position(m_layout.value_at_thumb(thumb_window_offset(), minimum(), maximum()),
                        MoveThumb::No);
}

void SuperBarUnit::thumb_moved() {
    // The bar's own moves of the thumb are not drags.
    if (m_held != BarPart::Thumb || m_moving_thumb)
        return;
    if (m_settings.flag(TrackWhileDragging))
        thumb_to_position();
}

// ---- Layout and drawing ----------------------------------------------------------

void SuperBarUnit::lay_out() {
    platform::Rect client;
    platform::get_client_rect(hwnd(), client);
    m_layout = SuperBarLayout({client.width(), client.height()}, m_settings.word(Orientation) == 1);
    for (BarPart part : {BarPart::Decrease, BarPart::Track, BarPart::Increase}) {
        platform::Rect r = m_layout.part_rect(part, 0);
        platform::move_window(part_window(part), r.left, r.top, r.width(), r.height(), false);
    }
    platform::Rect thumb = m_layout.part_rect(BarPart::Thumb, 0);
    platform::set_window_pos(
        part_window(BarPart::Thumb), nullptr, 0, 0, thumb.width(), thumb.height(),
        platform::SWP_NOMOVE | platform::SWP_NOZORDER | platform::SWP_NOACTIVATE);
    m_moving_thumb = true;
    place_thumb(thumb_offset_now());
    m_moving_thumb = false;
    place_fill();
    redraw();
}

void SuperBarUnit::place_thumb(int offset) {
    platform::Rect r = m_layout.part_rect(BarPart::Thumb, offset);
    platform::set_window_pos(part_window(BarPart::Thumb), nullptr, r.left, r.top, 0, 0,
                             platform::SWP_NOSIZE | platform::SWP_NOZORDER |
                                 platform::SWP_NOACTIVATE);
    redraw();
}

void SuperBarUnit::place_fill() {
    HWND fill = part_window(BarPart::Fill);
    platform::Rect r = m_layout.part_rect(BarPart::Fill, thumb_window_offset());
    platform::move_window(fill, r.left, r.top, r.width(), r.height(), false);
    bool shown = m_settings.flag(ShowFill);
    if (platform::is_window_visible(fill) != shown)
        platform::show_window(fill, shown ? platform::SW_SHOWNA : platform::SW_HIDE);
    redraw();
}

void SuperBarUnit::redraw() {
    platform::invalidate_rect(hwnd(), nullptr, false);
    for (HWND part : m_parts) {
        if (part)
            platform::invalidate_rect(part, nullptr, false);
    }
}

// ---- Mouse ---------------------------------------------------------------------

void SuperBarUnit::part_pressed(BarPart part, platform::Point bar_point) {
    HWND self = hwnd();
    if (platform::get_focus() != self) {
        platform::set_focus(self);
        if (!platform::is_window(self))
            return;
    }
    switch (part) {
    case BarPart::Thumb: {
        m_grab = m_layout.along(bar_point) - m_layout.track_start() - thumb_window_offset();
        m_held = BarPart::Thumb;
        platform::set_capture(self);
        break;
    }
    case BarPart::Track:
    case BarPart::Fill:
        click_track(bar_point);
        break;
    case BarPart::Decrease:
    case BarPart::Increase:
        m_held = part;
        m_pressed_inside = true;
        platform::set_capture(self);
        platform::set_timer(self, HoldDelayTimer, HoldDelayMs);
        redraw();
        break;
    case BarPart::None:
        break;
    }
}

void SuperBarUnit::part_hovered(BarPart part) {
    if (m_hot == part)
        return;
    m_hot = part;
    if (part != BarPart::None)
        platform::track_mouse_leave(part_window(part));
    redraw();
}

bool SuperBarUnit::click_track(platform::Point bar_point) {
    if (!m_settings.flag(SliderBehaviour) || m_layout.track_length() < 1)
        return true;
    int offset = m_layout.along(bar_point) - m_layout.track_start();
    if (m_settings.flag(CentreThumb))
        offset -= m_layout.thumb_length() / 2;
    return set_position(m_layout.value_at_click(offset, minimum(), maximum()), MoveThumb::Yes);
}

bool SuperBarUnit::click_arrow(BarPart arrow) {
    bool increase = arrow == BarPart::Increase;
    HWND self = hwnd();
    // A handler that returned false cancels the step; no value lets it be.
    std::uint32_t answer = 1;
    raise_event(increase ? IncreaseClicked : DecreaseClicked, {}, &answer);
    if (!platform::is_window(self))
        return false;
    if (answer == 0 || !m_settings.flag(SliderBehaviour))
        return true;
    std::int64_t step = m_settings.word(LineStep);
    return set_position(std::int64_t{position()} + (increase ? step : -step), MoveThumb::Yes);
}

bool SuperBarUnit::hold_tick() {
    bool increase = m_held == BarPart::Increase;
    std::int64_t step = m_settings.word(PageStep);
    if (!set_position(std::int64_t{position()} + (increase ? step : -step), MoveThumb::Yes))
        return false;
    if (position() == (increase ? maximum() : minimum()))
        platform::kill_timer(hwnd(), HoldRepeatTimer);
    return true;
}

bool SuperBarUnit::mouse_moved(platform::Point bar_point) {
    if (m_held == BarPart::Decrease || m_held == BarPart::Increase) {
        bool inside = part_rect_now(m_held).contains(bar_point);
        if (inside != m_pressed_inside) {
            m_pressed_inside = inside;
            redraw();
        }
        return true;
    }
    if (m_held != BarPart::Thumb)
        return true;
    // The thumb stays between the two arrow buttons.
    int offset = std::clamp(m_layout.along(bar_point) - m_grab - m_layout.track_start(), 0,
                            std::max(0, m_layout.track_length()));
    platform::Rect r = m_layout.part_rect(BarPart::Thumb, offset);
    if (r == part_rect_now(BarPart::Thumb))
        return true;
    HWND self = hwnd();
    platform::set_window_pos(part_window(BarPart::Thumb), nullptr, r.left, r.top, 0, 0,
                             platform::SWP_NOSIZE | platform::SWP_NOZORDER |
                                 platform::SWP_NOACTIVATE);
    if (!platform::is_window(self))
        return false;
    place_fill();
    return true;
}

void SuperBarUnit::end_hold() {
    platform::kill_timer(hwnd(), HoldDelayTimer);
    platform::kill_timer(hwnd(), HoldRepeatTimer);
    m_held = BarPart::None;
    m_pressed_inside = false;
    redraw();
}

bool SuperBarUnit::mouse_released(platform::Point bar_point) {
    BarPart held = m_held;
    if (held == BarPart::None)
        return true;
    bool inside = m_pressed_inside;
    if (held != BarPart::Thumb)
        inside = part_rect_now(held).contains(bar_point);
    end_hold();
    platform::release_capture();
    if (held == BarPart::Thumb)
        return thumb_to_position();
    return inside ? click_arrow(held) : true;
}

// ---- Keys ------------------------------------------------------------------------

bool SuperBarUnit::key_down(UINT vk, unsigned repeat) {
    if (!m_settings.flag(SliderBehaviour))
        return true;
    std::int64_t n = repeat;
    std::int64_t page = m_settings.word(PageStep);
    std::int64_t line = m_settings.word(LineStep);
    std::int64_t now = position();
    switch (vk) {
    case platform::VK_PRIOR:
        return set_position(now - n * page, MoveThumb::Yes);
    case platform::VK_NEXT:
        return set_position(now + n * page, MoveThumb::Yes);
    case platform::VK_HOME:
        return set_position(minimum(), MoveThumb::Yes);
    case platform::VK_END:
        return set_position(maximum(), MoveThumb::Yes);
    case platform::VK_LEFT:
    case platform::VK_DOWN:
        return set_position(now - n * line, MoveThumb::Yes);
    case platform::VK_RIGHT:
    case platform::VK_UP:
        return set_position(now + n * line, MoveThumb::Yes);
    default:
        return true;
    }
}

// ---- Messages ----------------------------------------------------------------------

// A slider (with its slider behaviour) or a scroll bar, with its position
// as the value and the line step as the step.
void SuperBarUnit::describe_access(platform::access::Node& node) {
    using namespace platform::access;
    bool slider = m_settings.word(SliderBehaviour) != 0;
    node.role = slider ? Role::Slider : Role::ScrollBar;
    node.states |= Focusable | (m_settings.word(Orientation) == 0 ? Horizontal : Vertical);
    if (node.name.empty())
        node.name = preceding_label_text(hwnd(), &node.labelled_by);
    node.has_value = true;
    node.value = {static_cast<double>(position()), static_cast<double>(minimum()),
                  static_cast<double>(maximum()),
                  static_cast<double>(std::max<std::int32_t>(1, m_settings.word(LineStep)))};
}

bool SuperBarUnit::on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case MessageAccessSetValue:
        // As a key would move it: the position changes and the event runs.
        set_position(static_cast<std::int32_t>(wp), MoveThumb::Yes);
        return true;
    case platform::WM_GETOBJECT: {
        auto* request = platform::access::request_of(msg, lp);
        if (!request || request->part != 0 ||
            static_cast<platform::access::Query>(wp) != platform::access::Query::SetValue)
            return false;
        // Posted: the handler of PositionChanged runs after the client's call returns.
        request->handled =
            platform::post_message(hwnd(), MessageAccessSetValue,
                                   static_cast<WPARAM>(static_cast<std::uint32_t>(clamp_to_word(
                                       static_cast<std::int64_t>(std::llround(request->value))))));
        result = 1;
        return true;
    }
    case platform::WM_KEYDOWN:
        if (!key_down(static_cast<UINT>(wp), platform::loword(lp)))
            return true;
        // Every key goes on to the default handling as well.
        result = call_original(msg, wp, lp);
        return true;
    case platform::WM_GETDLGCODE:
        result = platform::DLGC_WANTARROWS;
        return true;
    case platform::WM_LBUTTONDOWN:
    case platform::WM_LBUTTONDBLCLK:
        // A press on the bar itself, outside every part (there is none
        // unless the parts were hidden); it counts as the track.
        part_pressed(BarPart::Track, platform::mouse_point(lp));
        return true;
    case platform::WM_MOUSEMOVE:
        mouse_moved(platform::mouse_point(lp));
        return true;
    case platform::WM_LBUTTONUP:
        mouse_released(platform::mouse_point(lp));
        return true;
    case platform::WM_CAPTURECHANGED:
        // Capture taken away mid-drag or mid-hold ends it without a click.
        if (m_held != BarPart::None && reinterpret_cast<HWND>(lp) != hwnd())
            end_hold();
        return false;
    case platform::WM_TIMER:
        if (wp == HoldDelayTimer) {
            platform::kill_timer(hwnd(), HoldDelayTimer);
            platform::set_timer(hwnd(), HoldRepeatTimer, HoldRepeatMs);
            return true;
        }
        if (wp == HoldRepeatTimer) {
            if (m_held == BarPart::Decrease || m_held == BarPart::Increase)
                hold_tick();
            else
                platform::kill_timer(hwnd(), HoldRepeatTimer);
            return true;
        }
        return false;
    case platform::WM_SIZE:
        lay_out();
        return false;
    case platform::WM_SETFOCUS:
    case platform::WM_KILLFOCUS:
    case platform::WM_ENABLE:
        redraw();
        return false;
    case platform::WM_ERASEBKGND:
        result = 1;
        return true;
    case platform::WM_PAINT: {
        platform::PaintStruct ps;
        if (platform::Canvas* canvas = platform::begin_paint(hwnd(), ps))
            paint(*canvas);
        platform::end_paint(hwnd(), ps);
        return true;
    }
    default:
        return false;
    }
}

} // namespace units
