// Renders every standard control in its states into one picture
// (controls_gallery.png in the working folder) for a person to look at, and
// checks that each control put ink where it stands.

#include "PlatformTest.h"

#include <platform/controls/Controls.h>

#include <cairo.h>

namespace platform::testing {
namespace {

class Gallery : public PlatformTest {};

int distinct_colors(cairo_surface_t* s, Rect r) {
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    std::vector<std::uint32_t> seen;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            auto px = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4) & 0xFFFFFF;
            if (std::find(seen.begin(), seen.end(), px) == seen.end())
                seen.push_back(px);
            if (seen.size() > 3)
                return static_cast<int>(seen.size());
        }
    return static_cast<int>(seen.size());
}

TEST_F(Gallery, EveryControlInItsStates) {
    register_standard_controls();
    WindowClass cls;
    cls.name = "GalleryFrame";
    cls.proc = def_window_proc;
    cls.background = 0xF0F0F0;
    ASSERT_TRUE(register_class(cls));
    HWND top = create_window_ex(0, "GalleryFrame", "gallery", WS_POPUP | WS_VISIBLE, 0, 0, 640, 420,
                                nullptr, 0);
    struct Item {
        const char* cls;
        const char* text;
        std::uint32_t style;
        std::uint32_t ex_style;
        Rect r;
    };
    const char* port = "\xB6\xCB\xBF\xDA\xA3\xBA"
                       "Close"; // 端口：Close
    const Item items[] = {
        {WC_BUTTON, "Push", BS_PUSHBUTTON, 0, {10, 10, 110, 36}},
        {WC_BUTTON, "Default", BS_DEFPUSHBUTTON, 0, {120, 10, 220, 36}},
        {WC_BUTTON, "Disabled", BS_PUSHBUTTON | WS_DISABLED, 0, {230, 10, 330, 36}},
        {WC_BUTTON, "Pressed", BS_PUSHBUTTON, 0, {340, 10, 440, 36}},
        {WC_BUTTON, "Check", BS_AUTOCHECKBOX, 0, {10, 50, 110, 70}},
        {WC_BUTTON, "Checked", BS_AUTOCHECKBOX, 0, {120, 50, 220, 70}},
        {WC_BUTTON, "Radio", BS_AUTORADIOBUTTON | WS_GROUP, 0, {230, 50, 330, 70}},
        {WC_BUTTON, "Chosen", BS_AUTORADIOBUTTON, 0, {340, 50, 440, 70}},
        {WC_BUTTON, "\xB7\xD6\xD7\xE9", BS_GROUPBOX, 0, {10, 80, 300, 170}}, // 分组
        {WC_STATIC, port, SS_LEFT, 0, {20, 105, 200, 125}},
        {WC_STATIC, "Centred", SS_CENTER, 0, {20, 135, 290, 155}},
        {WC_EDIT, "Servo 90", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, {320, 90, 480, 114}},
        {WC_EDIT, "read only", ES_READONLY, WS_EX_CLIENTEDGE, {320, 120, 480, 144}},
        {WC_EDIT, "disabled", WS_DISABLED, WS_EX_CLIENTEDGE, {490, 90, 630, 114}},
        {WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_VSCROLL, 0, {10, 190, 150, 350}},
        {WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_DISABLED, 0, {160, 190, 300, 350}},
        {WC_EDIT, "7", ES_NUMBER, WS_EX_CLIENTEDGE, {320, 190, 380, 214}},
        {WC_SCROLLBAR, "", SBS_VERT, 0, {610, 130, 626, 330}},
        {WC_SCROLLBAR, "", SBS_HORZ, 0, {400, 340, 626, 356}},
        {WC_SCROLLBAR, "", SBS_HORZ | WS_DISABLED, 0, {400, 362, 626, 378}},
    };
    std::vector<HWND> made;
    int id = 100;
    for (const Item& it : items) {
        HWND h = create_window_ex(it.ex_style, it.cls, it.text, WS_CHILD | WS_VISIBLE | it.style,
                                  it.r.left, it.r.top, it.r.width(), it.r.height(), top,
                                  static_cast<std::uintptr_t>(id++));
        ASSERT_NE(h, nullptr) << it.cls << " " << it.text;
        made.push_back(h);
    }
    HWND updown = create_window_ex(0, UPDOWN_CLASS, "",
                                   WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0,
                                   0, 0, top, 200);
    send_message(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(made[16]));
    send_message(updown, UDM_SETRANGE32, 1, 20);
    send_message(updown, UDM_SETPOS32, 0, 7);
    for (int i = 1; i <= 10; ++i) {
        std::string name = "COM" + std::to_string(i);
        send_message(made[14], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        send_message(made[15], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    send_message(made[14], CB_SETCURSEL, 2);
    send_message(made[15], CB_SETCURSEL, 0);
    send_message(made[3], BM_SETSTATE, 1);
    send_message(made[5], BM_SETCHECK, BST_CHECKED);
    send_message(made[7], BM_SETCHECK, BST_CHECKED);
    send_message(made[11], EM_SETSEL, 0, 5);
    set_focus(made[11]);
    for (std::size_t i = 17; i < 20; ++i) {
        ScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = 99;
        info.nPage = 20;
        info.nPos = i == 17 ? 30 : 60;
        set_scroll_info(made[i], SB_CTL, info);
    }
    // A window with both standard bars, scrolled part way.
    HWND both = create_window_ex(WS_EX_CLIENTEDGE, "GalleryFrame", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 400, 230, 200,
                                 100, top, 301);
    for (int bar : {SB_VERT, SB_HORZ}) {
        ScrollInfo info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        info.nMax = 49;
        info.nPage = 10;
        info.nPos = bar == SB_VERT ? 5 : 30;
        set_scroll_info(both, bar, info);
    }
    HWND sb = create_window_ex(0, STATUSCLASSNAME, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, top, 300);
    int edges[] = {200, -1};
    send_message(sb, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    send_message(sb, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(port));
    send_message(sb, SB_SETTEXTA, 1 | SBT_POPOUT,
                 reinterpret_cast<LPARAM>("\xBE\xCD\xD0\xF7")); // 就绪
    m_backend.pump();

    ASSERT_TRUE(save_window_png(top, "controls_gallery.png"));
    cairo_surface_t* s = window_surface(top);
    for (HWND h : made) {
        Rect r;
        get_window_placement_rect(h, r);
        EXPECT_GE(distinct_colors(s, r), 2)
            << get_class_name(h) << " " << get_window_text(h) << " drew nothing";
    }
    unregister_class("GalleryFrame");
}

} // namespace
} // namespace platform::testing
