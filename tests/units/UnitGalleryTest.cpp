// Renders one of every basic unit type in its usual states into one picture
// (units_gallery.png in the working folder) for a person to look at, and
// checks that each visible unit put ink where it stands.

#include "BasicUnitFixture.h"

#include <units/ButtonUnit.h>
#include <units/ComboBoxUnit.h>
#include <units/CommonDlgUnit.h>
#include <units/EditBoxUnit.h>
#include <units/GroupBoxUnit.h>
#include <units/LabelUnit.h>
#include <units/PicBoxUnit.h>

#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cairo.h>

#include <algorithm>

using namespace units_test;
using namespace units;

namespace {

// Counts the colours inside `area`, clipped to the picture.
int distinct_colours(cairo_surface_t* surface, const platform::Rect& area) {
    cairo_surface_flush(surface);
    platform::Rect r = area;
    r.right = std::min(r.right, cairo_image_surface_get_width(surface));
    r.bottom = std::min(r.bottom, cairo_image_surface_get_height(surface));
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::vector<std::uint32_t> seen;
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            auto px = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
            if (std::find(seen.begin(), seen.end(), px) == seen.end())
                seen.push_back(px);
        }
    }
    return static_cast<int>(seen.size());
}

// A picture of sky over ground with a sun, so scaling is easy to judge.
std::vector<std::uint8_t> landscape(int width, int height) {
    auto dib = solid_bitmap(width, height, 0, 0, 0);
    int stride = (width * 3 + 3) & ~3;
    for (int row = 0; row < height; ++row) {
        int y = height - 1 - row; // bottom-up
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = dib.data() + 40 + row * stride + x * 3;
            bool sun =
                (x - width * 3 / 4) * (x - width * 3 / 4) + (y - height / 4) * (y - height / 4) <
                (height / 8) * (height / 8);
            if (sun) {
                p[0] = 0x30, p[1] = 0xC0, p[2] = 0xFF;
            } else if (y < height * 2 / 3) {
                p[0] = 0xF0, p[1] = static_cast<std::uint8_t>(0x90 + y * 0x50 / height),
                p[2] = 0x60;
            } else {
                p[0] = 0x40, p[1] = 0x90, p[2] = 0x50;
            }
        }
    }
    return dib;
}

TEST_F(BasicUnitTest, GalleryOfEveryBasicUnit) {
    GroupBoxUnit::Settings frame;
    frame.set_text(GroupBoxUnit::Caption, "Serial");
    ButtonUnit::Settings open;
    open.set_text(ButtonUnit::Caption, "Open");
    open.set_word(ButtonUnit::DefaultButton, 1);
    ButtonUnit::Settings help;
    help.set_text(ButtonUnit::Caption, "\xB0\xEF\xD6\xFA"); // 帮助
    ButtonUnit::Settings disabled;
    disabled.set_text(ButtonUnit::Caption, "Stop");
    LabelUnit::Settings name;
    name.set_text(LabelUnit::Caption, "Gripper");
    LabelUnit::Settings value;
    value.set_text(LabelUnit::Caption, "80");
    value.set_word(LabelUnit::Alignment, 1);
    value.set_word(LabelUnit::Border, 1);
    value.set_word(LabelUnit::BackColour, 0xFFFFFF);
    LabelUnit::Settings wrapped;
    wrapped.set_text(LabelUnit::Caption, "A label that wraps over two lines");
    wrapped.set_word(LabelUnit::WordWrap, 1);
    wrapped.set_word(LabelUnit::TextColour, 0x00C00000);
    EditBoxUnit::Settings speed;
    speed.set_text(EditBoxUnit::Content, "10");
    EditBoxUnit::Settings spin;
    spin.set_text(EditBoxUnit::Content, "40");
    spin.set_word(EditBoxUnit::SpinButton, 1);
    spin.set_word(EditBoxUnit::SpinMaximum, 179);
    EditBoxUnit::Settings password;
    password.set_text(EditBoxUnit::Content, "secret");
    password.set_word(EditBoxUnit::InputMode, 2);
    EditBoxUnit::Settings multi;
    multi.set_text(EditBoxUnit::Content, "line one\r\nline two");
    multi.set_word(EditBoxUnit::Multiline, 1);
    ComboBoxUnit::Settings ports;
    ports.set_by_name("Items", "COM1\nCOM2\nCOM3\nCOM4\nCOM5\nCOM6\nCOM7\nCOM8\nCOM9\nCOM10");
    ports.set_word(ComboBoxUnit::Kind, 2);
    ports.set_word(ComboBoxUnit::CurrentItem, 2);
    ComboBoxUnit::Settings editable = ports;
    editable.set_word(ComboBoxUnit::Kind, 1);
    editable.set_text(ComboBoxUnit::EditText, "COM7");
    PicBoxUnit::Settings picture;
    picture.set_block(PicBoxUnit::Picture, landscape(47, 34));
    picture.set_word(PicBoxUnit::Border, 1);
    PicBoxUnit::Settings broken;
    broken.set_block(PicBoxUnit::Picture, std::vector<std::uint8_t>{1, 2, 3});

    auto disabled_record = unit_record(0x16010008, ButtonUnit::TypeCode, disabled, 210, 30, 80, 32);
    disabled_record.flags |= runtime::UnitRecord::FlagDisabled;
    std::vector<runtime::UnitRecord> records = {
        unit_record(0x16010001, GroupBoxUnit::TypeCode, frame, 8, 8, 190, 64),
        unit_record(0x16010002, ComboBoxUnit::TypeCode, ports, 18, 32, 90, 20),
        unit_record(0x16010003, ButtonUnit::TypeCode, open, 114, 30, 76, 32),
        unit_record(0x16010004, ButtonUnit::TypeCode, help, 210, 30, 80, 32),
        unit_record(0x16010005, LabelUnit::TypeCode, name, 10, 90, 62, 24),
        unit_record(0x16010006, LabelUnit::TypeCode, value, 80, 90, 80, 24),
        unit_record(0x16010007, LabelUnit::TypeCode, wrapped, 170, 84, 120, 40),
        disabled_record,
        unit_record(0x16010009, EditBoxUnit::TypeCode, speed, 10, 130, 80, 20),
        unit_record(0x1601000a, EditBoxUnit::TypeCode, spin, 100, 130, 70, 20),
        unit_record(0x1601000b, EditBoxUnit::TypeCode, password, 180, 130, 90, 20),
        unit_record(0x1601000c, EditBoxUnit::TypeCode, multi, 10, 160, 160, 44),
        unit_record(0x1601000d, ComboBoxUnit::TypeCode, editable, 180, 160, 90, 20),
        unit_record(0x1601000e, PicBoxUnit::TypeCode, picture, 10, 212, 160, 50),
        unit_record(0x1601000f, PicBoxUnit::TypeCode, broken, 180, 212, 60, 40),
        unit_record(0x16010010, CommonDlgUnit::TypeCode, CommonDlgUnit::Settings{}, 300, 250, 26,
                    26),
    };
    records[3].left = 300; // the help button stands right of the frame
    records[7].left = 300;
    records[7].top = 70;
    create(records);
    platform::set_focus(unit_window(0x16010009));
    m_backend.pump();

    ASSERT_TRUE(platform::save_window_png(window(), "units_gallery.png"));
    cairo_surface_t* surface = platform::window_surface(window());
    for (const auto& record : records) {
        platform::HWND hwnd = unit_window(record.id);
        ASSERT_TRUE(hwnd) << std::hex << record.id;
        if (record.type == CommonDlgUnit::TypeCode) {
            EXPECT_FALSE(platform::is_window_visible(hwnd));
            continue;
        }
        platform::Rect r;
        platform::get_window_placement_rect(hwnd, r);
        int expected = record.id == 0x1601000f ? 1 : 2; // the broken picture is plain
        EXPECT_GE(distinct_colours(surface, r), expected)
            << std::hex << record.id << " drew nothing";
        if (record.id == 0x1601000f) {
            EXPECT_EQ(distinct_colours(surface, r), 1) << "a broken picture shows nothing";
        }
    }
}

} // namespace
