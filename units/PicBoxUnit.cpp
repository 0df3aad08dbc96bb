#include "PicBoxUnit.h"

#include <platform/access/Access.h>
#include <units/framework/ControlLook.h>

#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace units {

namespace {

using namespace runtime::value_kind;
using P = PicBoxUnit;

constexpr PropertyTable Properties{{
    {P::Border, "Border", Choice, choice_clamp(2)},
    {P::BackColour, "BackColor", BackgroundColour},
    {P::Picture, "Picture", runtime::value_kind::Picture},
    {P::Layout, "Layout", Choice, choice_clamp(3)},
    {P::AutoSize, "AutoSize", Boolean},
    {P::Data1, nullptr, CustomData},
    {P::Data2, nullptr, CustomData},
}};

// 图片框
constexpr const char* DisplayName = "\xCD\xBC\xC6\xAC\xBF\xF2";

constexpr platform::COLORREF BorderColour = 0x00ADADAD;

} // namespace

PicBoxUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(BackColour, static_cast<std::int32_t>(FaceColour));
    set_word(Layout, Stretch);
}

bool PicBoxUnit::Settings::set_by_name(std::string_view name, std::string_view value) {
    if (name != "PictureFile")
        return PropertyBag::set_by_name(name, value);
    std::ifstream file{std::string(value), std::ios::binary};
    if (!file)
        return false;
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                    std::istreambuf_iterator<char>()};
    // Only a picture the unit can show is taken into a design.
    platform::HBITMAP check = platform::bitmap_from_dib(bytes.data(), bytes.size());
    if (!check)
        return false;
    platform::delete_bitmap(check);
    set_block(Picture, bytes);
    return true;
}

const runtime::UnitTypeInfo& PicBoxUnit::type_info() {
    static const runtime::UnitTypeInfo info =
        make_unit_type_info(DisplayName, "PicBox", 0, Properties, &Entries::query);
    return info;
}

bool PicBoxUnit::create_window(const CreateParameters& parameters) {
    if (!register_unit_class(PicBoxUnit::ClassName))
        return false;
    m_picture.load(m_settings.block(Picture));
    std::uint32_t style = parameters.style | platform::WS_CHILD | platform::WS_CLIPSIBLINGS;
    return create_system_window(0, ClassName, "", style, parameters.left, parameters.top,
                                parameters.width, parameters.height, parameters.parent,
                                parameters.control_id);
}

int PicBoxUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int PicBoxUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    if (!m_settings.set(own_index, value))
        return 0;
    if (own_index == Picture)
        m_picture.load(m_settings.block(Picture));
    platform::invalidate_rect(hwnd(), nullptr, true);
    return 0;
}

bool PicBoxUnit::on_message(UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg == platform::WM_ERASEBKGND) {
        result = 1;
        return true;
    }
    if (msg != platform::WM_PAINT)
        return false;
    paint();
    result = 0;
    return true;
}

void PicBoxUnit::paint() {
    platform::PaintStruct ps;
    platform::Canvas* canvas = platform::begin_paint(hwnd(), ps);
    if (!canvas)
        return;
    platform::Rect client;
    platform::get_client_rect(hwnd(), client);
    canvas->fill_rect(client, static_cast<platform::COLORREF>(m_settings.word(BackColour)));
    int inset = m_settings.word(Border) > 0 ? 1 : 0;
    platform::Rect inner{client.left + inset, client.top + inset, client.right - inset,
                         client.bottom - inset};
    m_picture.draw(*canvas, inner, m_settings.word(Layout));
    if (inset)
        canvas->frame_rect(client, BorderColour, 1);
    platform::end_paint(hwnd(), ps);
}

void PicBoxUnit::describe_access(platform::access::Node& node) {
    node.role = platform::access::Role::Image;
    if (node.name.empty())
        node.name = platform::access::preceding_label_text(hwnd());
}

} // namespace units
