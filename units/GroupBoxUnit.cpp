#include "GroupBoxUnit.h"

#include <platform/controls/Controls.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

namespace units {

namespace {

using namespace runtime::value_kind;
using G = GroupBoxUnit;

constexpr PropertyTable Properties{{
    {G::Caption, "Caption", Text},
    {G::Alignment, "Alignment", Choice, choice_clamp(2)},
    {G::TextColour, "TextColor", Colour},
    {G::BackColour, "BackColor", BackgroundColour},
    {G::Font, "Font", runtime::value_kind::Font},
}};

// 分组框
constexpr const char* DisplayName = "\xB7\xD6\xD7\xE9\xBF\xF2";

} // namespace

GroupBoxUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(BackColour, static_cast<std::int32_t>(FaceColour));
}

const runtime::UnitTypeInfo& GroupBoxUnit::type_info() {
    static const runtime::UnitTypeInfo info =
        make_unit_type_info(DisplayName, "GroupBox", 0, Properties, &Entries::query);
    return info;
}

std::uint32_t GroupBoxUnit::alignment_style(const Settings& settings) {
    switch (settings.word(Alignment)) {
    case 1:
        return platform::BS_CENTER;
    case 2:
        return platform::BS_RIGHT;
    default:
        return platform::BS_LEFT;
    }
}

bool GroupBoxUnit::create_window(const CreateParameters& parameters) {
    std::uint32_t style = parameters.style | platform::WS_CHILD | platform::WS_CLIPSIBLINGS |
                          platform::BS_GROUPBOX | alignment_style(m_settings);
    // A frame is passed over by the keyboard, but the units placed in it
    // are in the window's tab order.
    style &= ~platform::WS_TABSTOP;
    if (!create_system_window(platform::WS_EX_CONTROLPARENT, platform::WC_BUTTON,
                              m_settings.text(Caption), style, parameters.left, parameters.top,
                              parameters.width, parameters.height, parameters.parent,
                              parameters.control_id))
        return false;
    m_font.apply(hwnd(), m_settings.block(Font), false);
    return true;
}

int GroupBoxUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int GroupBoxUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    if (!m_settings.set(own_index, value))
        return 0;
    switch (own_index) {
    case Caption:
        platform::set_window_text(hwnd(), m_settings.text(Caption));
        break;
    case Alignment: {
        constexpr std::uint32_t Owned = platform::BS_CENTER;
        std::uint32_t style = (platform::get_style(hwnd()) & ~Owned) | alignment_style(m_settings);
        platform::set_window_long(hwnd(), platform::GWL_STYLE, static_cast<std::intptr_t>(style));
        break;
    }
    case Font:
        m_font.apply(hwnd(), m_settings.block(Font), false);
        break;
    default:
        break;
    }
    platform::invalidate_rect(hwnd(), nullptr, true);
    return 0;
}

bool GroupBoxUnit::on_notification(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != platform::WM_CTLCOLORSTATIC && msg != platform::WM_CTLCOLORBTN)
        return false;
    result = colour_answer(wp, static_cast<platform::COLORREF>(m_settings.word(TextColour)),
                           static_cast<platform::COLORREF>(m_settings.word(BackColour)));
    return true;
}

} // namespace units
