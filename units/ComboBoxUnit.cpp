#include "ComboBoxUnit.h"

#include <platform/controls/Controls.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cstring>

namespace units {

namespace {

using namespace runtime::value_kind;
using C = ComboBoxUnit;

constexpr PropertyTable Properties{{
    {C::Kind, "Kind", Choice, choice_clamp(2)},
    {C::EditText, "Text", Text},
    {C::MaxLength, "MaxLength", Integer, {0, 32767}},
    {C::SelectionStart, nullptr, Integer},
    {C::SelectionLength, nullptr, Integer},
    {C::SelectedText, nullptr, Text},
    {C::Sorted, "Sorted", Boolean},
    {C::ExtraItemHeight, "ExtraItemHeight", Integer, {0, 32767}},
    {C::TextColour, "TextColor", Colour},
    {C::BackColour, "BackColor", BackgroundColour},
    {C::Font, "Font", runtime::value_kind::Font},
    {C::CurrentItem, "CurrentItem", Integer},
    {C::ItemTexts, "ItemTexts", CustomData},
    {C::ItemValues, "ItemValues", CustomData},
    {C::Appearance1, nullptr, CustomData},
    {C::Appearance2, nullptr, CustomData},
    {C::Flag, nullptr, Boolean},
}};

// 组合框
constexpr const char* DisplayName = "\xD7\xE9\xBA\xCF\xBF\xF2";

// Setting its own text or selection holds the unit's events back.
class Quiet {
  public:
    explicit Quiet(int& depth) : m_depth(depth) { ++m_depth; }
    ~Quiet() { --m_depth; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    int& m_depth;
};

} // namespace

ComboBoxUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(Kind, 1);
    set_word(BackColour, static_cast<std::int32_t>(WhiteColour));
    set_word(CurrentItem, -1);
}

bool ComboBoxUnit::Settings::set_by_name(std::string_view name, std::string_view value) {
    if (name != "Items")
        return PropertyBag::set_by_name(name, value);
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= value.size() && !value.empty()) {
        std::size_t end = value.find('\n', start);
        if (end == std::string_view::npos)
            end = value.size();
        std::string_view item = value.substr(start, end - start);
        if (!item.empty() && item.back() == '\r')
            item.remove_suffix(1);
        items.emplace_back(item);
        start = end + 1;
    }
    set_block(ItemTexts, encode_items(items));
    return true;
}

std::vector<std::uint8_t> ComboBoxUnit::encode_items(const std::vector<std::string>& items) {
    StoredDataWriter writer;
    writer.write_word(static_cast<std::uint32_t>(items.size()));
    for (const auto& item : items)
        writer.write_text(item);
    return writer.take();
}

bool ComboBoxUnit::decode_items(std::span<const std::uint8_t> block,
                                std::vector<std::string>& items) {
    items.clear();
    if (block.empty())
        return true;
    StoredDataReader reader(block);
    std::uint32_t count = 0;
    if (!reader.read_word(count))
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string text;
        if (!reader.read_text(text))
            return false;
        items.push_back(std::move(text));
    }
    return reader.at_end();
}

const runtime::UnitTypeInfo& ComboBoxUnit::type_info() {
    static const runtime::UnitTypeInfo info =
        make_unit_type_info(DisplayName, "ComboBox", runtime::unit_type_flag::RaisesEvents,
                            Properties, &Entries::query);
    return info;
}

std::uint32_t ComboBoxUnit::style_for(const Settings& settings) {
    std::uint32_t style = platform::WS_CHILD | platform::WS_CLIPSIBLINGS | platform::WS_VSCROLL |
                          platform::CBS_AUTOHSCROLL;
    switch (settings.word(Kind)) {
    case 0:
        style |= platform::CBS_SIMPLE;
        break;
    case 2:
        style |= platform::CBS_DROPDOWNLIST;
        break;
    default:
        style |= platform::CBS_DROPDOWN;
        break;
    }
    if (settings.flag(Sorted))
        style |= platform::CBS_SORT;
    return style;
}

bool ComboBoxUnit::create_window(const CreateParameters& parameters) {
    int height = parameters.height;
    if (m_settings.word(Kind) != 0)
        height = std::max(height, MinimumDropHeight);
    Quiet quiet(m_setting_own);
    if (!create_system_window(
            0, platform::WC_COMBOBOX, "", parameters.style | style_for(m_settings), parameters.left,
            parameters.top, parameters.width, height, parameters.parent, parameters.control_id))
        return false;
    m_font.apply(hwnd(), m_settings.block(Font), false);
    if (std::int32_t extra = m_settings.word(ExtraItemHeight); extra > 0) {
        LRESULT item_height = platform::send_message(hwnd(), platform::CB_GETITEMHEIGHT, 0);
        if (item_height > 0)
            platform::send_message(hwnd(), platform::CB_SETITEMHEIGHT, 0, item_height + extra);
    }
    platform::send_message(hwnd(), platform::CB_LIMITTEXT,
                           static_cast<WPARAM>(m_settings.word(MaxLength)));
    fill_items();
    set_current_item(m_settings.word(CurrentItem));
    if (has_edit()) {
        set_edit_text(m_settings.text(EditText));
        set_edit_selection();
    }
    return true;
}

void ComboBoxUnit::fill_items() {
    std::vector<std::string> items;
    // Item texts that are not a list show no items; the stored block is kept.
    if (!decode_items(m_settings.block(ItemTexts), items))
        items.clear();
    const auto& values = m_settings.block(ItemValues);
    std::size_t value_count = values.size() / 4;
    for (std::size_t i = 0; i < items.size(); ++i) {
        LRESULT index = platform::send_message(hwnd(), platform::CB_ADDSTRING, 0,
                                               reinterpret_cast<LPARAM>(items[i].c_str()));
        if (index < 0 || i >= value_count)
            continue;
        std::uint32_t value = 0;
        std::memcpy(&value, values.data() + i * 4, sizeof value);
        platform::send_message(hwnd(), platform::CB_SETITEMDATA, static_cast<WPARAM>(index),
                               static_cast<LPARAM>(static_cast<std::int32_t>(value)));
    }
}

void ComboBoxUnit::set_current_item(std::int32_t index) {
    auto count = static_cast<std::int32_t>(platform::send_message(hwnd(), platform::CB_GETCOUNT));
    index = std::clamp(index, -1, count - 1);
    m_settings.set_word(CurrentItem, index);
    Quiet quiet(m_setting_own);
    platform::send_message(hwnd(), platform::CB_SETCURSEL,
                           static_cast<WPARAM>(static_cast<std::intptr_t>(index)));
}

void ComboBoxUnit::set_edit_text(const std::string& text) {
    Quiet quiet(m_setting_own);
    platform::set_window_text(hwnd(), text);
}

void ComboBoxUnit::set_edit_selection() {
    std::int32_t start = m_settings.word(SelectionStart);
    std::int32_t length = m_settings.word(SelectionLength);
    auto size = static_cast<std::int32_t>(platform::get_window_text(hwnd()).size());
    std::int32_t from = start < 0 ? size : start;
    std::int32_t to = length < 0 ? -1 : from + length;
    if (length < 0)
        from = 0;
    Quiet quiet(m_setting_own);
    platform::send_message(hwnd(), platform::CB_SETEDITSEL, 0, platform::make_lparam(from, to));
}

void ComboBoxUnit::sync() {
    if (!hwnd() || !platform::is_window(hwnd()))
        return;
    m_settings.set_word(CurrentItem, static_cast<std::int32_t>(
                                         platform::send_message(hwnd(), platform::CB_GETCURSEL)));
    if (has_edit())
        m_settings.set_text(EditText, platform::get_window_text(hwnd()));
}

const ComboBoxUnit::Settings& ComboBoxUnit::settings() {
    sync();
    return m_settings;
}

int ComboBoxUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    switch (own_index) {
    case CurrentItem:
    case EditText:
        sync();
        break;
    case SelectionStart:
    case SelectionLength:
    case SelectedText: {
        auto range =
            static_cast<std::uintptr_t>(platform::send_message(hwnd(), platform::CB_GETEDITSEL));
        std::uint32_t start = platform::loword(range);
        std::uint32_t end = platform::hiword(range);
        if (own_index == SelectionStart) {
            value.data = start;
        } else if (own_index == SelectionLength) {
            value.data = end >= start ? end - start : 0;
        } else {
            m_selected = window_text_between(hwnd(), start, end);
            value.set_pointer(m_selected.c_str(), m_selected.size());
        }
        return 1;
    }
    default:
        break;
    }
    return m_settings.get(own_index, value) ? 1 : 0;
}

int ComboBoxUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    std::uint64_t before = m_settings.number(own_index);
    if (!m_settings.set(own_index, value))
        return 0;
    switch (own_index) {
    case Kind:
    case Sorted:
        return m_settings.number(own_index) != before ? 1 : 0;
    case EditText:
        if (has_edit())
            set_edit_text(m_settings.text(EditText));
        break;
    case MaxLength:
        platform::send_message(hwnd(), platform::CB_LIMITTEXT,
                               static_cast<WPARAM>(m_settings.word(MaxLength)));
        break;
    case SelectionStart:
    case SelectionLength:
        if (has_edit())
            set_edit_selection();
        break;
    case SelectedText:
        if (has_edit()) {
            // The edit field is the combo box's child; replacing its selection
            // is the user's kind of change, so its notification fires.
            for (HWND child : platform::get_children(hwnd())) {
                if (platform::get_class_name(child) == platform::WC_EDIT)
                    platform::send_message(
                        child, platform::EM_REPLACESEL, 1,
                        reinterpret_cast<LPARAM>(m_settings.text(SelectedText).c_str()));
            }
        }
        break;
    case ExtraItemHeight:
    case Font:
        if (own_index == Font)
            m_font.apply(hwnd(), m_settings.block(Font), true);
        break;
    case TextColour:
    case BackColour:
        platform::invalidate_rect(hwnd(), nullptr, true);
        break;
    case CurrentItem:
        set_current_item(m_settings.word(CurrentItem));
        break;
    case ItemTexts:
    case ItemValues: {
        std::int32_t current =
            static_cast<std::int32_t>(platform::send_message(hwnd(), platform::CB_GETCURSEL));
        std::string text = has_edit() ? platform::get_window_text(hwnd()) : std::string();
        {
            Quiet quiet(m_setting_own);
            platform::send_message(hwnd(), platform::CB_RESETCONTENT);
            fill_items();
        }
        set_current_item(current);
        if (has_edit())
            set_edit_text(text);
        break;
    }
    default:
        break;
    }
    return 0;
}

LRESULT ComboBoxUnit::colours(WPARAM canvas) const {
    return colour_answer(canvas, static_cast<platform::COLORREF>(m_settings.word(TextColour)),
                         static_cast<platform::COLORREF>(m_settings.word(BackColour)));
}

bool ComboBoxUnit::on_message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
    case MessageSelectionChanged:
        result = 0;
        if (m_setting_own > 0)
            return true;
        sync();
        raise_event(EventSelectionChanged);
        return true;
    case platform::WM_CTLCOLOREDIT:
    case platform::WM_CTLCOLORLISTBOX:
    case platform::WM_CTLCOLORSTATIC:
        // Asked by the edit field and the list inside the combo box.
        result = colours(wp);
        return true;
    default:
        return false;
    }
}

bool ComboBoxUnit::on_notification(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == platform::WM_CTLCOLOREDIT || msg == platform::WM_CTLCOLORLISTBOX ||
        msg == platform::WM_CTLCOLORSTATIC) {
        result = colours(wp);
        return true;
    }
    if (msg != platform::WM_COMMAND)
        return false;
    result = 0;
    switch (platform::hiword(wp)) {
    case platform::CBN_SELENDOK:
        platform::post_message(hwnd(), MessageSelectionChanged);
        return true;
    case platform::CBN_EDITCHANGE:
        if (m_setting_own == 0)
            raise_event(EventEditChanged);
        return true;
    case platform::CBN_DROPDOWN:
        raise_event(EventDroppedDown);
        return true;
    case platform::CBN_CLOSEUP:
        raise_event(EventClosedUp);
        return true;
    case platform::CBN_DBLCLK:
        raise_event(EventDoubleClicked);
        return true;
    case platform::CBN_SETFOCUS:
        raise_event(EventGotFocus);
        return true;
    case platform::CBN_KILLFOCUS:
        raise_event(EventLostFocus);
        return true;
    default:
        return false;
    }
}

} // namespace units
