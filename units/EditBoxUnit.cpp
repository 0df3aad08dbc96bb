#include "EditBoxUnit.h"

#include <platform/controls/Controls.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cstdlib>

namespace units {

namespace {

using namespace runtime::value_kind;
using E = EditBoxUnit;

constexpr PropertyTable Properties{{
    {E::Content, "Content", Text},
    {E::Border, "Border", Choice, choice_clamp(5)},
    {E::TextColour, "TextColor", Colour},
    {E::BackColour, "BackColor", BackgroundColour},
    {E::Font, "Font", runtime::value_kind::Font},
    {E::HideSelection, "HideSelection", Boolean},
    {E::MaxLength, "MaxLength", Integer, at_least(0)},
    {E::Multiline, "Multiline", Boolean},
    {E::ScrollBars, "ScrollBars", Choice, choice_clamp(3)},
    {E::Alignment, "Alignment", Choice, choice_clamp(2)},
    {E::InputMode, "InputMode", Choice, choice_clamp(11)},
    {E::PasswordChar, "PasswordChar", Text},
    {E::LetterCase, "LetterCase", Choice, choice_clamp(2)},
    {E::SpinButton, "SpinButton", Choice, choice_clamp(2)},
    {E::SpinMinimum, "SpinMinimum", Integer},
    {E::SpinMaximum, "SpinMaximum", Integer},
    {E::SelectionStart, nullptr, Integer},
    {E::SelectionLength, nullptr, Integer},
    {E::SelectedText, nullptr, Text},
    {E::InputSetting1, nullptr, Integer},
    {E::InputSetting2, nullptr, Integer},
}};

// 编辑框
constexpr const char* DisplayName = "\xB1\xE0\xBC\xAD\xBF\xF2";

constexpr std::int32_t ModeReadOnly = 1;
constexpr std::int32_t ModePassword = 2;

char password_char(const EditBoxUnit::Settings& settings) {
    const std::string& text = settings.text(E::PasswordChar);
    return text.empty() ? '*' : text.front();
}

} // namespace

EditBoxUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(Border, 1);
    set_word(BackColour, static_cast<std::int32_t>(WhiteColour));
    set_word(HideSelection, 1);
    set_text(PasswordChar, "*");
    set_word(SpinMaximum, 100);
}

const runtime::UnitTypeInfo& EditBoxUnit::type_info() {
    static const runtime::UnitTypeInfo info = make_unit_type_info(
        DisplayName, "EditBox", runtime::unit_type_flag::RaisesEvents, Properties, &Entries::query);
    return info;
}

EditBoxUnit::Styles EditBoxUnit::styles_for(const Settings& settings) {
    Styles styles;
    styles.style = platform::WS_CHILD | platform::WS_CLIPSIBLINGS;
    switch (settings.word(Border)) {
    case 0:
        break;
    case 2:
        styles.style |= platform::WS_BORDER;
        break;
    case 3:
        styles.ex_style |= platform::WS_EX_STATICEDGE;
        break;
    default:
        styles.ex_style |= platform::WS_EX_CLIENTEDGE;
        break;
    }
    if (!settings.flag(HideSelection))
        styles.style |= platform::ES_NOHIDESEL;
    if (settings.flag(Multiline)) {
        styles.style |= platform::ES_MULTILINE | platform::ES_AUTOVSCROLL | platform::ES_WANTRETURN;
        std::int32_t bars = settings.word(ScrollBars);
        if (bars == 1 || bars == 3)
            styles.style |= platform::WS_HSCROLL | platform::ES_AUTOHSCROLL;
        if (bars == 2 || bars == 3)
            styles.style |= platform::WS_VSCROLL;
    } else {
        styles.style |= platform::ES_AUTOHSCROLL;
    }
    if (settings.word(Alignment) == 1)
        styles.style |= platform::ES_CENTER;
    else if (settings.word(Alignment) == 2)
        styles.style |= platform::ES_RIGHT;
    if (settings.word(InputMode) == ModeReadOnly)
        styles.style |= platform::ES_READONLY;
    else if (settings.word(InputMode) == ModePassword)
        styles.style |= platform::ES_PASSWORD;
    if (settings.word(LetterCase) == 1)
        styles.style |= platform::ES_LOWERCASE;
    else if (settings.word(LetterCase) == 2)
        styles.style |= platform::ES_UPPERCASE;
    return styles;
}

bool EditBoxUnit::create_window(const CreateParameters& parameters) {
    Styles styles = styles_for(m_settings);
    m_setting_text = true;
    bool made = create_system_window(styles.ex_style, platform::WC_EDIT, m_settings.text(Content),
                                     parameters.style | styles.style, parameters.left,
                                     parameters.top, parameters.width, parameters.height,
                                     parameters.parent, parameters.control_id);
    m_setting_text = false;
    if (!made)
        return false;
    m_font.apply(hwnd(), m_settings.block(Font), false);
    if (m_settings.word(MaxLength) > 0)
        platform::send_message(hwnd(), platform::EM_LIMITTEXT,
                               static_cast<WPARAM>(m_settings.word(MaxLength)));
    if (m_settings.word(InputMode) == ModePassword)
        platform::send_message(hwnd(), platform::EM_SETPASSWORDCHAR,
                               static_cast<unsigned char>(password_char(m_settings)));
    if (m_settings.word(SpinButton) != 0 && !m_settings.flag(Multiline))
        create_spin(parameters);
    return true;
}

void EditBoxUnit::create_spin(const CreateParameters& parameters) {
    std::uint32_t style = platform::WS_CHILD | (parameters.style & platform::WS_VISIBLE) |
                          platform::UDS_SETBUDDYINT | platform::UDS_ALIGNRIGHT |
                          platform::UDS_ARROWKEYS | platform::UDS_NOTHOUSANDS;
    if (m_settings.word(SpinButton) == 2)
        style |= platform::UDS_HORZ;
    m_spin = platform::create_window_ex(0, platform::UPDOWN_CLASS, "", style, 0, 0, 0, 0,
                                        parameters.parent, 0);
    if (!m_spin)
        return;
    platform::send_message(m_spin, platform::UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd()));
    // The spin button starts where the text stands. Attaching it writes its
    // position into the box, which must neither fire nor change the text.
    m_setting_text = true;
    apply_spin_range();
    platform::send_message(m_spin, platform::UDM_SETPOS32, 0,
                           std::atoi(m_settings.text(Content).c_str()));
    platform::set_window_text(hwnd(), m_settings.text(Content));
    m_setting_text = false;
}

void EditBoxUnit::apply_spin_range() {
    if (!m_spin)
        return;
    std::int32_t a = m_settings.word(SpinMinimum);
    std::int32_t b = m_settings.word(SpinMaximum);
    platform::send_message(m_spin, platform::UDM_SETRANGE32,
                           static_cast<WPARAM>(static_cast<std::intptr_t>(std::min(a, b))),
                           std::max(a, b));
}

const EditBoxUnit::Settings& EditBoxUnit::settings() {
    if (hwnd() && platform::is_window(hwnd()))
        m_settings.set_text(Content, platform::get_window_text(hwnd()));
    return m_settings;
}

void EditBoxUnit::selection(std::uint32_t& start, std::uint32_t& end) const {
    start = end = 0;
    platform::send_message(hwnd(), platform::EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                           reinterpret_cast<LPARAM>(&end));
}

void EditBoxUnit::select(std::int32_t start, std::int32_t end) {
    platform::send_message(hwnd(), platform::EM_SETSEL,
                           static_cast<WPARAM>(static_cast<std::intptr_t>(start)), end);
}

int EditBoxUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    std::uint32_t start = 0, end = 0;
    switch (own_index) {
    case Content:
        settings();
        break;
    case SelectionStart:
        selection(start, end);
        value.data = start;
        return 1;
    case SelectionLength:
        selection(start, end);
        value.data = end - start;
        return 1;
    case SelectedText: {
        selection(start, end);
        m_selected = window_text_between(hwnd(), start, end);
        value.set_pointer(m_selected.c_str(), m_selected.size());
        return 1;
    }
    default:
        break;
    }
    return m_settings.get(own_index, value) ? 1 : 0;
}

bool EditBoxUnit::recreates(std::int32_t own_index) const {
    switch (own_index) {
    case HideSelection:
    case Multiline:
    case ScrollBars:
    case Alignment:
    case LetterCase:
    case SpinButton:
        return true;
    default:
        return false;
    }
}

int EditBoxUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    std::uint64_t before = m_settings.number(own_index);
    if (!m_settings.set(own_index, value))
        return 0;
    if (recreates(own_index))
        return m_settings.number(own_index) != before ? 1 : 0;
    switch (own_index) {
    case Content:
        write_content();
        break;
    case Border:
        apply_border();
        break;
    case TextColour:
    case BackColour:
        platform::invalidate_rect(hwnd(), nullptr, true);
        break;
    case Font:
        m_font.apply(hwnd(), m_settings.block(Font), true);
        break;
    case MaxLength:
        platform::send_message(hwnd(), platform::EM_LIMITTEXT,
                               static_cast<WPARAM>(m_settings.word(MaxLength)));
        break;
    case InputMode:
    case PasswordChar:
        apply_input_mode();
        break;
    case SpinMinimum:
    case SpinMaximum:
        apply_spin_range();
        break;
    case SelectionStart: {
        std::int32_t start = m_settings.word(SelectionStart);
        if (start < 0)
            start = static_cast<std::int32_t>(platform::get_window_text(hwnd()).size());
        select(start, start);
        break;
    }
    case SelectionLength: {
        std::int32_t length = m_settings.word(SelectionLength);
        std::uint32_t start = 0, end = 0;
        selection(start, end);
        if (length < 0)
            select(0, -1);
        else
            select(static_cast<std::int32_t>(start), static_cast<std::int32_t>(start) + length);
        break;
    }
    case SelectedText:
        platform::send_message(hwnd(), platform::EM_REPLACESEL, 1,
                               reinterpret_cast<LPARAM>(m_settings.text(SelectedText).c_str()));
        break;
    default:
        break;
    }
    return 0;
}

void EditBoxUnit::write_content() {
    m_setting_text = true;
    platform::set_window_text(hwnd(), m_settings.text(Content));
    m_setting_text = false;
    platform::send_message(
        hwnd(), platform::WM_COMMAND,
        platform::make_wparam(platform::get_dlg_ctrl_id(hwnd()), platform::EN_CHANGE),
        reinterpret_cast<LPARAM>(hwnd()));
}

void EditBoxUnit::apply_input_mode() {
    std::int32_t mode = m_settings.word(InputMode);
    std::uint32_t style = platform::get_style(hwnd()) & ~platform::ES_PASSWORD;
    if (mode == ModePassword)
        style |= platform::ES_PASSWORD;
    platform::set_window_long(hwnd(), platform::GWL_STYLE, static_cast<std::intptr_t>(style));
    platform::send_message(
        hwnd(), platform::EM_SETPASSWORDCHAR,
        mode == ModePassword ? static_cast<unsigned char>(password_char(m_settings)) : 0);
    platform::send_message(hwnd(), platform::EM_SETREADONLY, mode == ModeReadOnly ? 1 : 0);
}

void EditBoxUnit::apply_border() {
    Styles styles = styles_for(m_settings);
    restyle(platform::WS_BORDER, styles.style,
            platform::WS_EX_CLIENTEDGE | platform::WS_EX_STATICEDGE, styles.ex_style);
}

bool EditBoxUnit::on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case platform::WM_COMMAND:
        // The one notification a content write sends the unit itself.
        if (reinterpret_cast<HWND>(lp) != hwnd() || platform::hiword(wp) != platform::EN_CHANGE)
            return false;
        m_settings.set_text(Content, platform::get_window_text(hwnd()));
        raise_event(EventContentChanged);
        result = 0;
        return true;
    case platform::WM_DESTROY:
        if (m_spin) {
            platform::destroy_window(m_spin);
            m_spin = nullptr;
        }
        return false;
    default:
        return false;
    }
}

bool EditBoxUnit::on_notification(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
    case platform::WM_COMMAND:
        if (platform::hiword(wp) != platform::EN_CHANGE)
            return false;
        result = 0;
        if (m_setting_text)
            return true;
        m_settings.set_text(Content, platform::get_window_text(hwnd()));
        raise_event(EventContentChanged);
        return true;
    case platform::WM_CTLCOLOREDIT:
    case platform::WM_CTLCOLORSTATIC:
        result = colour_answer(wp, static_cast<platform::COLORREF>(m_settings.word(TextColour)),
                               static_cast<platform::COLORREF>(m_settings.word(BackColour)));
        return true;
    default:
        return false;
    }
}

} // namespace units
