#include "ButtonUnit.h"

#include <platform/controls/Controls.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

namespace units {

namespace {

using namespace runtime::value_kind;
using B = ButtonUnit;

constexpr PropertyTable Properties{{
    {B::Picture, "Picture", runtime::value_kind::Picture},
    {B::DefaultButton, "Default", Choice, choice_clamp(1)},
    {B::Caption, "Caption", Text},
    {B::HorizontalAlignment, "Alignment", Choice, choice_clamp(2)},
    {B::VerticalAlignment, "VerticalAlignment", Choice, choice_clamp(2)},
    {B::Font, "Font", runtime::value_kind::Font},
}};

// 按钮
constexpr const char* DisplayName = "\xB0\xB4\xC5\xA5";

constexpr std::uint32_t AlignmentBits = platform::BS_CENTER | platform::BS_VCENTER;

} // namespace

ButtonUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(HorizontalAlignment, 1);
    set_word(VerticalAlignment, 1);
}

ButtonUnit::~ButtonUnit() {
    if (m_bitmap)
        platform::delete_bitmap(m_bitmap);
}

const runtime::UnitTypeInfo& ButtonUnit::type_info() {
    static const runtime::UnitTypeInfo info = make_unit_type_info(
        DisplayName, "Button", runtime::unit_type_flag::RaisesEvents, Properties, &Entries::query);
    return info;
}

std::uint32_t ButtonUnit::style_for(const Settings& settings, bool has_picture) {
    std::uint32_t style = platform::WS_CHILD | platform::WS_CLIPSIBLINGS | platform::BS_MULTILINE;
    style |=
        settings.word(DefaultButton) == 1 ? platform::BS_DEFPUSHBUTTON : platform::BS_PUSHBUTTON;
    switch (choice_clamp(2).apply(settings.word(HorizontalAlignment))) {
    case 0:
        style |= platform::BS_LEFT;
        break;
    case 2:
        style |= platform::BS_RIGHT;
        break;
    default:
        style |= platform::BS_CENTER;
        break;
    }
    switch (choice_clamp(2).apply(settings.word(VerticalAlignment))) {
    case 0:
        style |= platform::BS_TOP;
        break;
    case 2:
        style |= platform::BS_BOTTOM;
        break;
    default:
        style |= platform::BS_VCENTER;
        break;
    }
    if (has_picture)
        style |= platform::BS_BITMAP;
    return style;
}

bool ButtonUnit::create_window(const CreateParameters& parameters) {
    const auto& picture = m_settings.block(Picture);
    if (!picture.empty())
        m_bitmap = platform::bitmap_from_dib(picture.data(), picture.size());
    std::uint32_t style = parameters.style | style_for(m_settings, m_bitmap != nullptr);
    if (!create_system_window(0, platform::WC_BUTTON, m_settings.text(Caption), style,
                              parameters.left, parameters.top, parameters.width, parameters.height,
                              parameters.parent, parameters.control_id))
        return false;
    m_font.apply(hwnd(), m_settings.block(Font), false);
    if (m_bitmap)
        platform::send_message(hwnd(), platform::BM_SETIMAGE, platform::IMAGE_BITMAP,
                               reinterpret_cast<LPARAM>(m_bitmap));
    return true;
}

int ButtonUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int ButtonUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    if (!m_settings.set(own_index, value))
        return 0;
    switch (own_index) {
    case Picture:
        return 1;
    case Caption:
        platform::set_window_text(hwnd(), m_settings.text(Caption));
        break;
    case DefaultButton:
    case HorizontalAlignment:
    case VerticalAlignment:
        apply_style();
        break;
    case Font:
        m_font.apply(hwnd(), m_settings.block(Font), true);
        break;
    default:
        break;
    }
    return 0;
}

void ButtonUnit::apply_style() {
    constexpr std::uint32_t Owned = platform::BS_TYPEMASK | AlignmentBits;
    std::uint32_t style = (platform::get_style(hwnd()) & ~Owned) |
                          (style_for(m_settings, m_bitmap != nullptr) & Owned);
    platform::set_window_long(hwnd(), platform::GWL_STYLE, static_cast<std::intptr_t>(style));
    platform::invalidate_rect(hwnd(), nullptr, true);
}

bool ButtonUnit::on_notification(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != platform::WM_COMMAND || platform::hiword(wp) != platform::BN_CLICKED)
        return false;
    raise_event(EventClicked);
    result = 0;
    return true;
}

} // namespace units
