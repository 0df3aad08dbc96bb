#include "PlatformTest.h"

#include "platform/controls/ComboListBox.h"
#include <platform/controls/Controls.h>
#include <platform/window/MessageParams.h>

#include <string>
#include <utility>
#include <vector>

namespace platform::testing {
namespace {

using controls::combo_list_top_index;

class ComboListScroll : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        register_standard_controls();
        m_top = make_top();
        recorder().install_hook();
    }

    HWND make_combo(std::uint32_t kind, int height, int items, int id = 7) {
        HWND combo = create_window_ex(0, WC_COMBOBOX, "",
                                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | kind, 20,
                                      20, 150, height, m_top, static_cast<std::uintptr_t>(id));
        for (int i = 0; i < items; ++i) {
            std::string text = "COM" + std::to_string(i + 1);
            send_message(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        m_backend.pump();
        return combo;
    }

    // The combo box's list: the child of a simple one, or else the open pop-up.
    static HWND list_of(HWND combo) {
        for (HWND w : get_children(combo))
            if (get_class_name(w) == WC_COMBOLBOX)
                return w;
        for (HWND w : top_level_windows())
            if (get_class_name(w) == WC_COMBOLBOX && is_window_visible(w))
                return w;
        return nullptr;
    }
    static HWND bar_of(HWND list) {
        for (HWND w : get_children(list))
            if (get_class_name(w) == WC_SCROLLBAR)
                return w;
        return nullptr;
    }
    static bool shown(HWND w) { return w && (get_style(w) & WS_VISIBLE); }
    static ScrollInfo info_of(HWND bar) {
        ScrollInfo info;
        info.fMask = SIF_ALL;
        EXPECT_TRUE(get_scroll_info(bar, SB_CTL, info));
        return info;
    }
    // The lower arrow of the bar, in the list's client coordinates.
    static Point lower_arrow(HWND list) {
        Rect c;
        get_client_rect(list, c);
        return {c.right - 1 - ScrollBarSize / 2, c.bottom - 1 - 4};
    }

    // The scroll requests the list received, in order: (code, sender).
    std::vector<std::pair<int, HWND>> scroll_requests(HWND list) {
        std::vector<std::pair<int, HWND>> seen;
        for (const Recorded& r : recorder().log())
            if (r.hwnd == list && r.message == WM_VSCROLL && (r.flags & hook))
                seen.emplace_back(loword(r.wp), reinterpret_cast<HWND>(r.lp));
        return seen;
    }

    HWND m_top = nullptr;
};

TEST_F(ComboListScroll, TheListHasABarOnlyWhileItHoldsMoreItemsThanRows) {
    HWND many = make_combo(CBS_DROPDOWNLIST, 160, 30);
    send_message(many, CB_SHOWDROPDOWN, 1, 0);
    HWND list = list_of(many);
    ASSERT_NE(list, nullptr);
    HWND bar = bar_of(list);
    ASSERT_TRUE(shown(bar));
    int rows = controls::combo_list_page_size(list);
    ScrollInfo info = info_of(bar);
    EXPECT_EQ(info.nMax, 29) << "one position per item";
    EXPECT_EQ(info.nPage, static_cast<UINT>(rows));
    EXPECT_EQ(info.nPos, 0);
    Rect c, b;
    get_client_rect(list, c);
    get_window_placement_rect(bar, b);
    EXPECT_EQ(b.right, c.right - 1) << "inside the list's border, along its right edge";
    EXPECT_EQ(b.width(), ScrollBarSize);
    send_message(many, CB_SHOWDROPDOWN, 0, 0);

    HWND few = make_combo(CBS_DROPDOWNLIST, 160, 3, 8);
    send_message(few, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_FALSE(shown(bar_of(list_of(few))));
    send_message(few, CB_SHOWDROPDOWN, 0, 0);

    // Items added to a list that held few bring the bar.
    for (int i = 0; i < 20; ++i)
        send_message(few, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("more"));
    send_message(few, CB_SHOWDROPDOWN, 1, 0);
    EXPECT_TRUE(shown(bar_of(list_of(few))));
    send_message(few, CB_SHOWDROPDOWN, 0, 0);
}

TEST_F(ComboListScroll, ClickingTheBarScrollsTheOpenListWhichStaysOpenForAChoice) {
    HWND combo = make_combo(CBS_DROPDOWNLIST, 160, 30);
    m_backend.click(combo, {10, 5});
    m_backend.pump();
    HWND list = list_of(combo);
    ASSERT_NE(send_message(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
    HWND bar = bar_of(list);
    recorder().clear();

    m_backend.click(list, lower_arrow(list));
    m_backend.pump();
    EXPECT_EQ(scroll_requests(list),
              (std::vector<std::pair<int, HWND>>{{SB_LINEDOWN, bar}, {SB_ENDSCROLL, bar}}));
    EXPECT_EQ(combo_list_top_index(list), 1);
    EXPECT_EQ(get_scroll_pos(bar, SB_CTL), 1);
    EXPECT_NE(send_message(combo, CB_GETDROPPEDSTATE, 0, 0), 0) << "the bar's press closes nothing";
    EXPECT_EQ(get_capture(), list) << "the list follows the mouse again";

    // The first row now shows the second item, and a click there chooses it.
    int row = static_cast<int>(send_message(combo, CB_GETITEMHEIGHT, 0, 0));
    m_backend.click(list, {20, 1 + row / 2});
    m_backend.pump();
    EXPECT_EQ(send_message(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
    EXPECT_EQ(send_message(combo, CB_GETCURSEL, 0, 0), 1);
}

TEST_F(ComboListScroll, KeysAndTheWheelScrollTheListAndTheBarFollows) {
    HWND combo = make_combo(CBS_DROPDOWNLIST, 160, 30);
    set_focus(combo);
    m_backend.press_key(VK_F4);
    m_backend.pump();
    HWND list = list_of(combo);
    HWND bar = bar_of(list);
    int last_top = 30 - controls::combo_list_page_size(list);

    m_backend.press_key(VK_END);
    m_backend.pump();
    EXPECT_EQ(combo_list_top_index(list), last_top);
    EXPECT_EQ(get_scroll_pos(bar, SB_CTL), last_top);

    send_message(list, WM_MOUSEWHEEL, make_wparam(0, WHEEL_DELTA), 0);
    EXPECT_EQ(combo_list_top_index(list), last_top - 3);
    EXPECT_EQ(get_scroll_pos(bar, SB_CTL), last_top - 3);

    m_backend.press_key(VK_HOME);
    m_backend.pump();
    EXPECT_EQ(combo_list_top_index(list), 0);
    EXPECT_EQ(get_scroll_pos(bar, SB_CTL), 0);
}

TEST_F(ComboListScroll, ASimpleComboBoxesListScrollsByItsBarDirectly) {
    HWND combo = make_combo(CBS_SIMPLE, 120, 30);
    HWND list = list_of(combo);
    ASSERT_NE(list, nullptr);
    HWND bar = bar_of(list);
    ASSERT_TRUE(shown(bar));
    recorder().clear();
    m_backend.click(list, lower_arrow(list));
    m_backend.pump();
    EXPECT_EQ(scroll_requests(list),
              (std::vector<std::pair<int, HWND>>{{SB_LINEDOWN, bar}, {SB_ENDSCROLL, bar}}));
    EXPECT_EQ(combo_list_top_index(list), 1);
    EXPECT_EQ(get_scroll_pos(bar, SB_CTL), 1);
    EXPECT_EQ(get_capture(), nullptr);
}

} // namespace
} // namespace platform::testing
