#include "StatusBarUnit.h"

#include <units/framework/UnitMethod.h>

#include <platform/controls/Controls.h>
#include <platform/drawing/Font.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <runtime/services/HostNotify.h>

#include <algorithm>
#include <array>

namespace units {

namespace {

using namespace runtime::value_kind;
using S = StatusBarUnit;

constexpr PropertyTable Properties{{
    {S::BackgroundColour, "BackColor", runtime::value_kind::BackgroundColour},
    {S::Style, "Style", Choice, choice_clamp(2)},
    {S::SizeGrip, "SizeGrip", Boolean},
    {S::Font, "Font", runtime::value_kind::Font},
    {S::ImageList, "ImageList", CustomData},
    {S::Data, "Data", CustomData},
}};

// 状态条
constexpr const char* DisplayName = "\xD7\xB4\xCC\xAC\xCC\xF5";
constexpr std::uint32_t DefaultBackground = 0x00F0F0F0;

// AddPanel's style argument: 1 no border, 2 raised, anything else normal.
std::uint32_t panel_style(std::optional<std::int32_t> argument) {
    if (argument == 1)
        return StatusBarUnit::StyleNoBorders;
    if (argument == 2)
        return StatusBarUnit::StyleRaised;
    return StatusBarUnit::StyleNormal;
}

void add_panel(runtime::TypedValue* result, std::int32_t count, const runtime::TypedValue* args) {
    auto* bar = method_unit<StatusBarUnit>(count, args);
    if (!bar)
        return;
    StatusBarUnit::Panel panel;
    panel.text = method_text(count, args, 1);
    panel.width = std::max(method_integer(count, args, 2).value_or(50), -1);
    panel.tip = method_text(count, args, 3);
    panel.icon = std::max(method_integer(count, args, 4).value_or(-1), -1);
    panel.style = panel_style(method_integer(count, args, 5));
    std::int32_t index = bar->add_panel(std::move(panel));
    *result =
        runtime::TypedValue::of(runtime::type_code::Integer, static_cast<std::uint32_t>(index));
}

void set_panel_text(runtime::TypedValue*, std::int32_t count, const runtime::TypedValue* args) {
    auto* bar = method_unit<StatusBarUnit>(count, args);
    auto index = method_integer(count, args, 1);
    if (bar && index)
        bar->set_panel_text(*index, method_text(count, args, 2));
}

void set_panel_tip(runtime::TypedValue*, std::int32_t count, const runtime::TypedValue* args) {
    auto* bar = method_unit<StatusBarUnit>(count, args);
    auto index = method_integer(count, args, 1);
    if (bar && index)
        bar->set_panel_tip(*index, method_text(count, args, 2));
}

constexpr std::array<runtime::LibraryCommand, 3> Commands = {add_panel, set_panel_text,
                                                             set_panel_tip};

} // namespace

std::span<const runtime::LibraryCommand> status_bar_commands() {
    return Commands;
}

StatusBarUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(BackgroundColour, static_cast<std::int32_t>(DefaultBackground));
}

StatusBarUnit::~StatusBarUnit() {
    for (platform::HBITMAP icon : m_icons)
        platform::delete_bitmap(icon);
}

const runtime::UnitTypeInfo& StatusBarUnit::type_info() {
    static const runtime::UnitTypeInfo info =
        make_unit_type_info(DisplayName, "StatusBar", 0, Properties, &Entries::query);
    return info;
}

bool StatusBarUnit::create_window(const CreateParameters& parameters) {
    // Like any status bar it docks along the bottom of its window, full width,
    // wherever the design placed it.
    std::uint32_t style = parameters.style | platform::WS_CHILD | platform::WS_CLIPSIBLINGS;
    if (m_settings.flag(SizeGrip))
        style |= platform::SBARS_SIZEGRIP;
    if (!create_system_window(0, platform::STATUSCLASSNAME, "", style, parameters.left,
                              parameters.top, parameters.width, parameters.height,
                              parameters.parent, parameters.control_id))
        return false;
    platform::send_message(hwnd(), platform::WM_SETFONT,
                           reinterpret_cast<WPARAM>(platform::default_gui_font()), 0);
    return true;
}

int StatusBarUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int StatusBarUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    if (!m_settings.set(own_index, value))
        return 0;
    if (own_index == ImageList) {
        for (std::size_t i = 0; i < m_panels.size(); ++i)
            show_icon(i);
    }
    platform::invalidate_rect(hwnd(), nullptr, true);
    return 0;
}

std::vector<std::int32_t> StatusBarUnit::right_edges(std::span<const Panel> panels) {
    std::vector<std::int32_t> edges(panels.size(), 0);
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < panels.size(); ++i) {
        if (panels[i].width == -1) {
            edges[i] = -1;
            break;
        }
        sum += panels[i].width;
        edges[i] = sum;
    }
    return edges;
}

std::int32_t StatusBarUnit::add_panel(Panel panel) {
    auto index = static_cast<std::int32_t>(m_panels.size());
    m_panels.push_back(std::move(panel));
    m_icons.push_back(nullptr);
    lay_out();
    return index;
}

void StatusBarUnit::set_panel_text(std::int32_t index, std::string_view text) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_panels.size())
        return;
    Panel& panel = m_panels[static_cast<std::size_t>(index)];
    panel.text = std::string(text);
    platform::send_message(hwnd(), platform::SB_SETTEXTA, static_cast<WPARAM>(index) | panel.style,
                           reinterpret_cast<LPARAM>(panel.text.c_str()));
}

void StatusBarUnit::set_panel_tip(std::int32_t index, std::string_view tip) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_panels.size())
        return;
    Panel& panel = m_panels[static_cast<std::size_t>(index)];
    panel.tip = std::string(tip);
    platform::send_message(hwnd(), platform::SB_SETTIPTEXTA, static_cast<WPARAM>(index),
                           reinterpret_cast<LPARAM>(panel.tip.c_str()));
}

void StatusBarUnit::lay_out() {
    std::vector<std::int32_t> edges32 = right_edges(m_panels);
    std::vector<int> edges(edges32.begin(), edges32.end());
    platform::send_message(hwnd(), platform::SB_SETPARTS, edges.size(),
                           reinterpret_cast<LPARAM>(edges.data()));
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        show_panel(i);
}

void StatusBarUnit::show_panel(std::size_t index) {
    const Panel& panel = m_panels[index];
    platform::send_message(hwnd(), platform::SB_SETTEXTA, index | panel.style,
                           reinterpret_cast<LPARAM>(panel.text.c_str()));
    show_icon(index);
    platform::send_message(hwnd(), platform::SB_SETTIPTEXTA, index,
                           reinterpret_cast<LPARAM>(panel.tip.c_str()));
}

// The image list is a bitmap of square icons side by side, each as high as
// the bitmap; icon i is the i-th square from the left.
void StatusBarUnit::show_icon(std::size_t index) {
    platform::HBITMAP icon = nullptr;
    std::int32_t which = m_panels[index].icon;
    const std::vector<std::uint8_t>& list = m_settings.block(ImageList);
    if (which >= 0 && !list.empty()) {
        platform::HBITMAP strip = platform::bitmap_from_dib(list.data(), list.size());
        int size = platform::bitmap_height(strip);
        if (strip && which < platform::bitmap_width(strip) / std::max(size, 1))
            icon = platform::bitmap_part(strip, which * size, 0, size, size);
        platform::delete_bitmap(strip);
    }
    bool shown = platform::send_message(hwnd(), platform::SB_SETICON, index,
                                        reinterpret_cast<LPARAM>(icon)) != 0;
    if (icon && !shown) {
        platform::delete_bitmap(icon);
        icon = nullptr;
    }
    // The control holds the new icon now, so the old one can go.
    platform::delete_bitmap(m_icons[index]);
    m_icons[index] = icon;
}

} // namespace units
