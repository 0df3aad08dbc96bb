#include "LabelUnit.h"

#include <platform/access/Access.h>
#include <platform/controls/Controls.h>
#include <platform/drawing/Bitmap.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>

namespace units {

namespace {

using namespace runtime::value_kind;
using L = LabelUnit;

constexpr PropertyTable Properties{{
    {L::Caption, "Caption", Text},
    {L::Border, "Border", Choice, choice_clamp(5)},
    {L::Alignment, "Alignment", Choice, choice_clamp(2)},
    {L::VerticalAlignment, "VerticalAlignment", Choice, choice_clamp(2)},
    {L::WordWrap, "WordWrap", Boolean},
    {L::TextColour, "TextColor", Colour},
    {L::BackColour, "BackColor", BackgroundColour},
    {L::Transparent, "Transparent", Boolean},
    {L::Effect, "Effect", Choice, choice_clamp(3)},
    {L::EffectColour, "EffectColor", Colour},
    {L::Indent, "Indent", Integer, at_least(0)},
    {L::LineSpacing, "LineSpacing", Integer, at_least(0)},
    {L::TransparentColour, "TransparentColor", Colour},
    {L::Font, "Font", runtime::value_kind::Font},
    {L::Picture, "Picture", runtime::value_kind::Picture},
    {L::PictureLayout, "PictureLayout", Choice, choice_clamp(3)},
    {L::ImageList, "ImageList", CustomData},
    {L::ImageIndex, "ImageIndex", Integer},
    {L::HotColour, "HotColor", Colour},
    {L::Data, "Data", CustomData},
    {L::Reserved, nullptr, Integer},
}};

// 标签
constexpr const char* DisplayName = "\xB1\xEA\xC7\xA9";

constexpr platform::COLORREF BorderColour = 0x00ADADAD;
constexpr platform::COLORREF GreyText = 0x00838383;

} // namespace

LabelUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(VerticalAlignment, 1);
    set_word(BackColour, static_cast<std::int32_t>(FaceColour));
    set_word(TransparentColour, static_cast<std::int32_t>(0x00FF00FF));
    set_word(ImageIndex, -1);
}

const runtime::UnitTypeInfo& LabelUnit::type_info() {
    static const runtime::UnitTypeInfo info = make_unit_type_info(
        DisplayName, "Label", runtime::unit_type_flag::RaisesEvents, Properties, &Entries::query);
    return info;
}

bool LabelUnit::create_window(const CreateParameters& parameters) {
    if (!register_unit_class(LabelUnit::ClassName))
        return false;
    std::uint32_t style = parameters.style | platform::WS_CHILD | platform::WS_CLIPSIBLINGS;
    if (!create_system_window(0, ClassName, m_settings.text(Caption), style, parameters.left,
                              parameters.top, parameters.width, parameters.height,
                              parameters.parent, parameters.control_id))
        return false;
    m_font.apply(hwnd(), m_settings.block(Font), false);
    m_picture.load(m_settings.block(Picture));
    return true;
}

int LabelUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int LabelUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    if (!m_settings.set(own_index, value))
        return 0;
    if (own_index == Caption)
        platform::set_window_text(hwnd(), m_settings.text(Caption));
    else if (own_index == Font)
        m_font.apply(hwnd(), m_settings.block(Font), false);
    else if (own_index == Picture)
        m_picture.load(m_settings.block(Picture));
    platform::invalidate_rect(hwnd(), nullptr, true);
    return 0;
}

bool LabelUnit::on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case MessageFeedback: {
        std::uint32_t answer = 0;
        raise_event(EventFeedback, {static_cast<std::uint32_t>(wp), static_cast<std::uint32_t>(lp)},
                    &answer);
        result = static_cast<LRESULT>(static_cast<std::int32_t>(answer));
        return true;
    }
    case platform::WM_ERASEBKGND:
        result = 1;
        return true;
    case platform::WM_PAINT:
        paint();
        result = 0;
        return true;
    case platform::WM_ENABLE:
        platform::invalidate_rect(hwnd(), nullptr, true);
        return false;
    default:
        return false;
    }
}

void LabelUnit::paint() {
    platform::PaintStruct ps;
    platform::Canvas* canvas = platform::begin_paint(hwnd(), ps);
    if (!canvas)
        return;
    platform::Rect client;
    platform::get_client_rect(hwnd(), client);
    if (!m_settings.flag(Transparent))
        canvas->fill_rect(client, static_cast<platform::COLORREF>(m_settings.word(BackColour)));
    m_picture.draw(*canvas, client, m_settings.word(PictureLayout));
    std::int32_t border = m_settings.word(Border);
    if (border > 0)
        canvas->frame_rect(client, BorderColour, border >= 3 ? 2 : 1);

    platform::Rect text = client;
    int inset = std::min(m_settings.word(Indent), client.width() / 2) + (border > 0 ? 2 : 0);
    text.left += inset;
    text.right -= inset;
    platform::UINT format = platform::DT_NOPREFIX;
    switch (m_settings.word(Alignment)) {
    case 1:
        format |= platform::DT_CENTER;
        break;
    case 2:
        format |= platform::DT_RIGHT;
        break;
    default:
        break;
    }
    canvas->set_font(m_font.handle());
    canvas->set_bk_mode(platform::BkMode::Transparent);
    canvas->set_text_color(platform::is_window_enabled(hwnd())
                               ? static_cast<platform::COLORREF>(m_settings.word(TextColour))
                               : GreyText);
    const std::string& caption = m_settings.text(Caption);
    if (m_settings.flag(WordWrap)) {
        // Wrapped text is placed by its measured height.
        platform::Rect measure = text;
        int height = canvas->draw_text(caption, measure,
                                       format | platform::DT_WORDBREAK | platform::DT_CALCRECT);
        std::int32_t vertical = m_settings.word(VerticalAlignment);
        if (vertical == 1)
            text.top += std::max(0, (text.height() - height) / 2);
        else if (vertical == 2)
            text.top = std::max(text.top, text.bottom - height);
        canvas->draw_text(caption, text, format | platform::DT_WORDBREAK);
    } else {
        std::int32_t vertical = m_settings.word(VerticalAlignment);
        format |= platform::DT_SINGLELINE;
        if (vertical == 1)
            format |= platform::DT_VCENTER;
        else if (vertical == 2)
            format |= platform::DT_BOTTOM;
        canvas->draw_text(caption, text, format);
    }
    platform::end_paint(hwnd(), ps);
}

// A label reads as its caption, and names the control after it.
void LabelUnit::describe_access(platform::access::Node& node) {
    node.role = platform::access::Role::Label;
    node.states &= ~platform::access::Focusable;
    node.has_text = true;
}

} // namespace units
