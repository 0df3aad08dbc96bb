#include "WindowUnit.h"

#include <platform/drawing/Font.h>
#include <platform/window/DialogNavigation.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <array>

namespace units {

namespace {

using namespace runtime::value_kind;
using platform::HWND;

using W = WindowUnit;

constexpr PropertyTable Properties{{
    {W::Title, "Title", Text},
    {W::Border, "Border", Choice, choice_clamp(6)},
    {W::BackgroundColour, "BackColor", runtime::value_kind::BackgroundColour},
    {W::Picture, "Picture", runtime::value_kind::Picture},
    {W::PictureLayout, "PictureLayout", Choice, choice_clamp(3)},
    {W::Sound, "Sound", runtime::value_kind::Sound},
    {W::SoundMode, "SoundMode", Choice, choice_clamp(2)},
    {W::ControlBox, "ControlBox", Boolean},
    {W::MaximizeButton, "MaxButton", Boolean},
    {W::MinimizeButton, "MinButton", Boolean},
    {W::Position, "Position", Choice, choice_clamp(3)},
    {W::Movable, "Movable", Boolean},
    {W::Icon, "Icon", Block1010},
    {W::RecreateOnLoad, "RecreateOnLoad", Boolean},
    {W::Flag22, nullptr, Boolean},
    {W::Flag23, nullptr, Boolean},
    {W::HelpFile, "HelpFile", FileName},
    {W::HelpTopic, "HelpTopic", Integer},
    {W::Flag26, nullptr, Boolean},
    {W::Flag27, nullptr, Boolean},
    {W::Appearance, "Appearance", Choice, choice_clamp(29)},
    {W::TopMost, "TopMost", Boolean},
    {W::Flag30, nullptr, Boolean},
    {W::ClassText, "ClassText", Text},
}};

// Face colour of windows, 0x00BBGGRR.
constexpr std::uint32_t DefaultBackground = 0x00F0F0F0;

// 窗口
constexpr const char* DisplayName = "\xB4\xB0\xBF\xDA";

// Where a window of this size stands centred in the screen's work area.
platform::Point centred_on_screen(int width, int height) {
    platform::Rect area = platform::get_work_area();
    return {area.left + (area.width() - width) / 2, area.top + (area.height() - height) / 2};
}

bool is_sizable(std::int32_t border) {
    return border == 1 || border == 3 || border == 5;
}

} // namespace

WindowUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(Border, 2);
    set_word(BackgroundColour, static_cast<std::int32_t>(DefaultBackground));
    set_word(ControlBox, 1);
    set_word(MinimizeButton, 1);
    set_word(Movable, 1);
}

const runtime::UnitTypeInfo& WindowUnit::type_info() {
    static const runtime::UnitTypeInfo info = make_unit_type_info(
        DisplayName, "window",
        runtime::unit_type_flag::RaisesEvents | runtime::unit_type_flag::NoRecreate, Properties,
        &Entries::query);
    return info;
}

WindowUnit::Styles WindowUnit::styles_for(const Settings& settings, std::uint32_t runtime_style,
                                          bool has_parent) {
    Styles styles;
    styles.style = runtime_style | platform::WS_CLIPCHILDREN;
    // Stored data is taken as written; the styles use the choices in range.
    std::int32_t border = choice_clamp(6).apply(settings.word(Border));
    bool control_box = settings.flag(ControlBox);
    if (border != 0) {
        styles.style |= platform::WS_DLGFRAME;
        if (!settings.text(Title).empty() || control_box)
            styles.style |= platform::WS_CAPTION;
        if (control_box)
            styles.style |= platform::WS_SYSMENU;
        if (is_sizable(border))
            styles.style |= platform::WS_THICKFRAME;
        if (border == 3 || border == 4)
            styles.ex_style |= platform::WS_EX_TOOLWINDOW;
        if (border == 5 || border == 6)
            styles.ex_style |= platform::WS_EX_CLIENTEDGE;
    }
    if (settings.flag(MaximizeButton))
        styles.style |= platform::WS_MAXIMIZEBOX;
    if (settings.flag(MinimizeButton))
        styles.style |= platform::WS_MINIMIZEBOX;
    std::int32_t position = choice_clamp(3).apply(settings.word(Position));
    if (position == 2)
        styles.style |= platform::WS_MINIMIZE;
    if (position == 3 && is_sizable(border))
        styles.style |= platform::WS_MAXIMIZE;
    if (has_parent)
        styles.style |= platform::WS_POPUP;
    return styles;
}

bool WindowUnit::create_window(const CreateParameters& parameters) {
    if (!register_unit_class(WindowUnit::ClassName))
        return false;
    m_has_parent = parameters.parent != nullptr;
    Styles styles = styles_for(m_settings, parameters.style, m_has_parent);
    int left = parameters.left;
    int top = parameters.top;
    if (choice_clamp(3).apply(m_settings.word(Position)) == 1) {
        platform::Point centred = centred_on_screen(parameters.width, parameters.height);
        left = centred.x;
        top = centred.y;
    }
    if (!create_system_window(styles.ex_style, ClassName, m_settings.text(Title), styles.style,
                              left, top, parameters.width, parameters.height, parameters.parent,
                              reinterpret_cast<std::uintptr_t>(parameters.menu)))
        return false;
    platform::Rect rect;
    platform::get_window_rect(hwnd(), rect);
    if (rect.width() != parameters.width || rect.height() != parameters.height)
        platform::set_window_pos(hwnd(), nullptr, 0, 0, parameters.width, parameters.height,
                                 platform::SWP_NOMOVE | platform::SWP_NOZORDER |
                                     platform::SWP_NOACTIVATE);
    platform::send_message(hwnd(), platform::WM_SETFONT,
                           reinterpret_cast<WPARAM>(platform::default_gui_font()), 0);
    if (m_settings.flag(TopMost))
        apply_topmost();
    // The platform's windows have no system menu to take the Move entry
    // from; property 19 is kept and read back unchanged.
    return true;
}

int WindowUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int WindowUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    if (!m_settings.set(own_index, value))
        return 0;
    switch (own_index) {
    case Title:
        platform::set_window_text(hwnd(), m_settings.text(Title));
        apply_styles();
        break;
    case Border:
    case ControlBox:
    case MaximizeButton:
    case MinimizeButton:
        apply_styles();
        break;
    case BackgroundColour:
    case Picture:
    case PictureLayout:
        platform::invalidate_rect(hwnd(), nullptr, true);
        break;
    case Position:
        apply_position();
        break;
    case TopMost:
        apply_topmost();
        break;
    default:
        break;
    }
    return 0;
}

void WindowUnit::apply_styles() {
    constexpr std::uint32_t Owned = platform::WS_DLGFRAME | platform::WS_CAPTION |
                                    platform::WS_SYSMENU | platform::WS_THICKFRAME |
                                    platform::WS_MAXIMIZEBOX | platform::WS_MINIMIZEBOX;
    constexpr std::uint32_t OwnedEx = platform::WS_EX_TOOLWINDOW | platform::WS_EX_CLIENTEDGE;
    Styles styles = styles_for(m_settings, 0, m_has_parent);
    restyle(Owned, styles.style, OwnedEx, styles.ex_style);
}

void WindowUnit::apply_position() {
    if (!platform::is_window_visible(hwnd()))
        return;
    switch (m_settings.word(Position)) {
    case 1: {
        platform::Rect rect;
        platform::get_window_rect(hwnd(), rect);
        platform::Point centred = centred_on_screen(rect.width(), rect.height());
        platform::set_window_pos(hwnd(), nullptr, centred.x, centred.y, 0, 0,
                                 platform::SWP_NOSIZE | platform::SWP_NOZORDER |
                                     platform::SWP_NOACTIVATE);
        break;
    }
    case 2:
        platform::show_window(hwnd(), platform::SW_MINIMIZE);
        break;
    case 3:
        platform::show_window(hwnd(), platform::SW_MAXIMIZE);
        break;
    default:
        platform::show_window(hwnd(), platform::SW_RESTORE);
        break;
    }
}

void WindowUnit::apply_topmost() {
    if (m_settings.flag(TopMost)) {
        platform::set_window_pos(hwnd(), platform::HWND_TOPMOST, 0, 0, 0, 0, platform::ZOrderOnly);
        return;
    }
    platform::set_window_pos(hwnd(), platform::HWND_NOTOPMOST, 0, 0, 0, 0, platform::ZOrderOnly);
    // Leaving the band must not take the program's other topmost windows with it.
    for (HWND top : platform::top_level_windows()) {
        if (top != hwnd() && (platform::get_ex_style(top) & platform::WS_EX_TOPMOST))
            platform::set_window_pos(top, platform::HWND_TOPMOST, 0, 0, 0, 0, platform::ZOrderOnly);
    }
}

bool WindowUnit::pre_translate_message(platform::Msg& msg) {
    if (msg.message != platform::WM_KEYDOWN && msg.message != platform::WM_CHAR &&
        msg.message != platform::WM_SYSKEYDOWN)
        return false;
    return platform::is_dialog_message(hwnd(), msg);
}

bool WindowUnit::on_message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != platform::WM_ERASEBKGND)
        return false;
    auto* canvas = reinterpret_cast<platform::Canvas*>(wp);
    if (!canvas)
        return false;
    platform::Rect client;
    platform::get_client_rect(hwnd(), client);
    canvas->fill_rect(client, static_cast<platform::COLORREF>(m_settings.word(BackgroundColour)));
    result = 1;
    return true;
}

} // namespace units
