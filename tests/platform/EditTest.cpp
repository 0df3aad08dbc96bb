#include "PlatformTest.h"

#include "platform/controls/Edit.h"
#include "platform/controls/EditState.h"
#include <platform/controls/Controls.h>
#include <platform/drawing/Font.h>

#include <cairo.h>
#include <cstring>
#include <set>

namespace platform::testing {
namespace {

// GBK: 中 D6 D0, 文 CE C4.
const std::string zhong = "\xD6\xD0";
const std::string wen = "\xCE\xC4";

class Edit : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        m_top = make_control_parent();
        recorder().ignore({WM_PARENTNOTIFY, WM_SETCURSOR, WM_MOUSEMOVE, WM_PAINT, WM_ERASEBKGND,
                           WM_NCPAINT, WM_ACTIVATE, WM_NCACTIVATE, WM_KILLFOCUS, WM_SETFOCUS,
                           WM_MOUSEACTIVATE});
    }

    HWND edit(std::uint32_t style = 0, std::string_view text = "", Rect r = {10, 10, 210, 34},
              int id = 7) {
        HWND e = create_window_ex(WS_EX_CLIENTEDGE, WC_EDIT, text,
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, r.left, r.top,
                                  r.width(), r.height(), m_top, static_cast<std::uintptr_t>(id));
        m_backend.pump();
        recorder().clear();
        return e;
    }
    void focus(HWND e) {
        set_focus(e);
        m_backend.pump();
        recorder().clear();
    }
    void key(UINT vk, std::uint32_t typed = 0) {
        m_backend.press_key(vk, typed);
        m_backend.pump();
    }
    void key_with(UINT modifier, UINT vk, std::uint32_t typed = 0) {
        input::key(modifier, true);
        m_backend.press_key(vk, typed);
        input::key(modifier, false);
        m_backend.pump();
    }
    void type(std::string_view utf8) {
        m_backend.type_text(utf8);
        m_backend.pump();
    }
    // Where the caret stands after each of `times` presses of `vk`.
    std::vector<std::uint32_t> caret_stops(HWND e, UINT vk, int times) {
        std::vector<std::uint32_t> stops;
        for (int i = 0; i < times; ++i) {
            key(vk);
            stops.push_back(sel(e).second);
        }
        return stops;
    }
    // The notification codes the parent received, in order.
    std::vector<UINT> commands() {
        std::vector<UINT> codes;
        for (const Recorded& r : recorder().log())
            if (r.message == WM_COMMAND)
                codes.push_back(hiword(r.wp));
        return codes;
    }
    Expected command(HWND e, UINT code, int id = 7) {
        return {WM_COMMAND, sent | wparam | lparam, m_top, make_wparam(id, static_cast<int>(code)),
                reinterpret_cast<LPARAM>(e)};
    }
    static std::pair<std::uint32_t, std::uint32_t> sel(HWND e) {
        std::uint32_t start = 99, end = 99;
        send_message(e, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    static void set_sel(HWND e, int start, int end) {
        send_message(e, EM_SETSEL, static_cast<WPARAM>(static_cast<std::intptr_t>(start)), end);
    }
    static LRESULT send_text(HWND e, UINT msg, std::string_view text, WPARAM wp = 0) {
        std::string copy(text);
        return send_message(e, msg, wp, reinterpret_cast<LPARAM>(copy.c_str()));
    }
    COLORREF pixel(HWND e, Point p) {
        map_window_points(e, m_top, &p, 1);
        cairo_surface_t* s = window_surface(m_top);
        cairo_surface_flush(s);
        auto* row = cairo_image_surface_get_data(s) + p.y * cairo_image_surface_get_stride(s);
        std::uint32_t v;
        std::memcpy(&v, row + 4 * p.x, 4);
        return rgb((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    bool has_pixel(HWND e, COLORREF color) {
        Rect c;
        get_client_rect(e, c);
        for (int y = 0; y < c.bottom; ++y)
            for (int x = 0; x < c.right; ++x)
                if (pixel(e, {x, y}) == color)
                    return true;
        return false;
    }

    HWND m_top = nullptr;
};

using Positions = std::pair<std::uint32_t, std::uint32_t>;

// ---- Notifications and their order

TEST_F(Edit, TypingSendsUpdateThenRepaintsThenSendsChange) {
    HWND e = edit();
    focus(e);
    key('A', 'a');
    EXPECT_SEQUENCE(recorder(),
                    {command(e, EN_UPDATE), {WM_CTLCOLOREDIT, sent, m_top}, command(e, EN_CHANGE)});
    EXPECT_EQ(get_window_text(e), "a");
    EXPECT_EQ(send_message(e, EM_GETMODIFY), 1);
}

TEST_F(Edit, SetTextOnASingleLineBoxSendsUpdateRepaintChangeWithTheNewTextInPlace) {
    std::vector<std::string> seen;
    HWND e = edit(0, "old");
    Subclass parent(m_top, [&](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
        if (m == WM_COMMAND)
            seen.push_back(get_window_text(reinterpret_cast<HWND>(l)));
        return call_window_proc(previous, h, m, w, l);
    });
    EXPECT_EQ(send_text(e, WM_SETTEXT, "new"), 1);
    EXPECT_SEQUENCE(recorder(),
                    {command(e, EN_UPDATE), {WM_CTLCOLOREDIT, sent, m_top}, command(e, EN_CHANGE)});
    EXPECT_EQ(seen, (std::vector<std::string>{"new", "new"}));
    EXPECT_EQ(sel(e), (Positions{0, 0}));
    EXPECT_EQ(send_message(e, EM_GETMODIFY), 0) << "a new window text is not a modification";
    recorder().clear();
    send_text(e, WM_SETTEXT, "new");
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}))
        << "even when the text is the same";
}

TEST_F(Edit, SetTextOnAMultiLineBoxSendsNoNotification) {
    HWND e = edit(ES_MULTILINE, "", {10, 10, 210, 110});
    send_text(e, WM_SETTEXT, "a\r\nb");
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(get_window_text(e), "a\r\nb");
}

TEST_F(Edit, SelectingSendsNothingAndReplacingTheSelectionNotifies) {
    HWND e = edit(0, "hello");
    set_sel(e, 1, 3);
    EXPECT_TRUE(commands().empty());
    send_text(e, EM_REPLACESEL, "EL");
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(get_window_text(e), "hELlo");
    EXPECT_EQ(sel(e), (Positions{3, 3}));
}

TEST_F(Edit, FocusInAndOutNotifyTheParent) {
    HWND e = edit(0, "abc");
    HWND other = make_child(m_top, {300, 10, 350, 40}, 2);
    m_backend.pump();
    recorder().clear();
    set_focus(e);
    // The box shows itself focused before it tells the parent.
    EXPECT_SEQUENCE(recorder(), {{WM_CTLCOLOREDIT, sent, m_top}, command(e, EN_SETFOCUS)});
    EXPECT_EQ(sel(e), (Positions{0, 0})) << "focus alone selects nothing";
    recorder().clear();
    set_focus(other);
    EXPECT_SEQUENCE(recorder(), {command(e, EN_KILLFOCUS)});
}

TEST_F(Edit, TheCaretShowsWhileFocusedBlinksByTimerAndGoesWithTheFocus) {
    HWND e = edit();
    const Point caret{2, 10};
    const COLORREF white = rgb(0xFF, 0xFF, 0xFF);
    EXPECT_EQ(pixel(e, caret), white);
    const COLORREF black = rgb(0, 0, 0);
    focus(e);
    EXPECT_EQ(pixel(e, caret), black);
    m_backend.run_for(controls::k_caret_blink_ms - 1);
    EXPECT_EQ(pixel(e, caret), black);
    m_backend.run_for(1);
    EXPECT_EQ(pixel(e, caret), white) << "blinked off";
    m_backend.run_for(controls::k_caret_blink_ms);
    EXPECT_EQ(pixel(e, caret), black) << "and on again";
    set_focus(m_top);
    m_backend.pump();
    EXPECT_EQ(pixel(e, caret), white) << "no caret without the focus";
    m_backend.run_for(3 * controls::k_caret_blink_ms);
    EXPECT_EQ(pixel(e, caret), white);
}

TEST_F(Edit, FocusBeforeTheFirstPaintKeepsTheFrame) {
    HWND e = create_window_ex(WS_EX_CLIENTEDGE, WC_EDIT, "x", WS_CHILD | WS_VISIBLE, 10, 10, 100,
                              24, m_top, 7);
    set_focus(e); // paints the box at once, before its parent ever painted
    m_backend.pump();
    Point corner{-2, -2}; // the client edge lies two pixels outside the client area
    EXPECT_EQ(pixel(e, corner), rgb(0x8A, 0x8A, 0x8A));
}

TEST_F(Edit, AClickFocusesTheBoxAndPlacesTheCaret) {
    HWND e = edit(0, "abcdef");
    m_backend.click(e, {150, 10});
    m_backend.pump();
    EXPECT_EQ(get_focus(), e);
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_SETFOCUS}));
    EXPECT_EQ(sel(e), (Positions{6, 6})) << "a click past the text puts the caret at its end";
    EXPECT_EQ(get_capture(), nullptr);
}

TEST_F(Edit, TheParentMayDestroyTheBoxWhileItNotifies) {
    HWND e = edit(0, "abc");
    focus(e);
    Subclass parent(m_top, [](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
        LRESULT r = call_window_proc(previous, h, m, w, l);
        if (m == WM_COMMAND && hiword(w) == EN_UPDATE)
            destroy_window(reinterpret_cast<HWND>(l));
        return r;
    });
    key('X', 'x');
    EXPECT_FALSE(is_window(e));
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_UPDATE, EN_KILLFOCUS}))
        << "no change from a box that is gone";
}

// ---- Double-byte characters

TEST_F(Edit, ArrowKeysStepOverWholeCharacters) {
    HWND e = edit(0, "a" + zhong + "b" + wen);
    focus(e);
    EXPECT_EQ(caret_stops(e, VK_RIGHT, 5), (std::vector<std::uint32_t>{1, 3, 4, 6, 6}));
    EXPECT_EQ(caret_stops(e, VK_LEFT, 4), (std::vector<std::uint32_t>{4, 3, 1, 0}));
    EXPECT_EQ(caret_stops(e, VK_END, 1), (std::vector<std::uint32_t>{6}));
    EXPECT_EQ(caret_stops(e, VK_HOME, 1), (std::vector<std::uint32_t>{0}));
}

TEST_F(Edit, SetSelSnapsToCharacterStartsAndFollowsThePlatformsRules) {
    HWND e = edit(0, "a" + zhong + "b" + wen); // 6 bytes
    set_sel(e, 2, 2);
    EXPECT_EQ(sel(e), (Positions{1, 1})) << "inside 中";
    set_sel(e, 0, 5);
    EXPECT_EQ(sel(e), (Positions{0, 4})) << "inside 文";
    set_sel(e, 5, 1);
    EXPECT_EQ(sel(e), (Positions{1, 4})) << "start after end";
    set_sel(e, 0, -1);
    EXPECT_EQ(sel(e), (Positions{0, 6})) << "-1 ends at the end";
    set_sel(e, 3, 100);
    EXPECT_EQ(sel(e), (Positions{3, 6})) << "out of range clamps";
    set_sel(e, 1, 3);
    set_sel(e, -1, 0);
    EXPECT_EQ(sel(e), (Positions{3, 3})) << "-1 start drops the selection, leaving the caret";
    EXPECT_EQ(send_message(e, EM_GETSEL), make_lparam(3, 3));
    EXPECT_EQ(send_message(e, EM_GETSEL, 0, 0), make_lparam(3, 3)) << "the pointers are optional";
}

TEST_F(Edit, AClickAnywhereOnAGlyphLandsOnACharacterBoundary) {
    HWND e = edit(0, zhong + wen + zhong + wen);
    std::set<std::uint32_t> seen;
    std::uint32_t last = 0;
    for (int x = 0; x < 120; ++x) {
        send_message(e, WM_LBUTTONDOWN, MK_LBUTTON, make_lparam(x, 8));
        send_message(e, WM_LBUTTONUP, 0, make_lparam(x, 8));
        auto [start, end] = sel(e);
        ASSERT_EQ(start, end);
        ASSERT_EQ(start % 2, 0u) << "x " << x << " put the caret inside a character";
        ASSERT_GE(start, last) << "positions grow with x";
        last = start;
        seen.insert(start);
    }
    EXPECT_EQ(seen, (std::set<std::uint32_t>{0, 2, 4, 6, 8}))
        << "both halves of each glyph are reachable";
}

TEST_F(Edit, BackspaceAndDeleteRemoveTheWholeCharacter) {
    HWND e = edit(0, "a" + zhong + "b");
    focus(e);
    set_sel(e, 3, 3);
    key(VK_BACK, 0x08);
    EXPECT_EQ(get_window_text(e), "ab");
    EXPECT_EQ(sel(e), (Positions{1, 1}));
    send_text(e, WM_SETTEXT, wen + zhong);
    set_sel(e, 0, 0);
    recorder().clear();
    key(VK_DELETE);
    EXPECT_EQ(get_window_text(e), zhong);
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
}

TEST_F(Edit, ShiftArrowsSelectWholeCharactersOfMixedText) {
    HWND e = edit(0, "a" + zhong + "b");
    focus(e);
    input::key(VK_SHIFT, true);
    m_backend.press_key(VK_RIGHT);
    m_backend.press_key(VK_RIGHT);
    m_backend.pump();
    EXPECT_EQ(sel(e), (Positions{0, 3}));
    m_backend.press_key(VK_LEFT);
    m_backend.pump();
    EXPECT_EQ(sel(e), (Positions{0, 1}));
    m_backend.press_key(VK_END);
    input::key(VK_SHIFT, false);
    m_backend.pump();
    EXPECT_EQ(sel(e), (Positions{0, 4}));
    key(VK_LEFT);
    EXPECT_EQ(sel(e), (Positions{3, 3})) << "without shift the caret moves and the selection goes";
    EXPECT_TRUE(commands().empty());
}

TEST_F(Edit, ADoubleByteCharacterArrivesAsLeadThenTrailAndChangesTheTextOnce) {
    HWND e = edit();
    focus(e);
    type("中");
    EXPECT_EQ(get_window_text(e), zhong);
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
    recorder().clear();
    send_message(e, WM_CHAR, 0xD6);
    EXPECT_TRUE(commands().empty()) << "a lone lead byte waits for its trail";
    send_message(e, WM_CHAR, 0x08);
    EXPECT_EQ(get_window_text(e), "")
        << "a lead byte without a trail is dropped, the backspace still works";
}

// ---- Limit

TEST_F(Edit, LimitZeroMeansThePlatformsDefault) {
    HWND single = edit();
    EXPECT_EQ(send_message(single, EM_GETLIMITTEXT), 30000);
    send_message(single, EM_LIMITTEXT, 0);
    EXPECT_EQ(static_cast<std::size_t>(send_message(single, EM_GETLIMITTEXT)),
              EDIT_DEFAULT_LIMIT_SINGLE);
    HWND multi = edit(ES_MULTILINE, "", {10, 50, 210, 110}, 8);
    send_message(multi, EM_SETLIMITTEXT, 0);
    EXPECT_EQ(static_cast<std::size_t>(send_message(multi, EM_GETLIMITTEXT)),
              EDIT_DEFAULT_LIMIT_MULTI);
}

TEST_F(Edit, TypingPastTheLimitSendsMaxTextAndKeepsTheText) {
    HWND e = edit(0, "abc");
    send_message(e, EM_LIMITTEXT, 3);
    focus(e);
    key(VK_END);
    key('D', 'd');
    type("中");
    EXPECT_EQ(get_window_text(e), "abc");
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_MAXTEXT, EN_MAXTEXT}));
    EXPECT_EQ(send_message(e, EM_CANUNDO), 0) << "nothing changed";
}

TEST_F(Edit, APasteThatWouldSplitACharacterStopsBeforeIt) {
    for (int limit : {4, 5}) {
        HWND e = edit(0, "ab");
        send_message(e, EM_LIMITTEXT, static_cast<WPARAM>(limit));
        set_sel(e, 2, 2);
        set_clipboard_text(zhong + wen);
        recorder().clear();
        send_message(e, WM_PASTE);
        EXPECT_EQ(get_window_text(e), "ab" + zhong) << "limit " << limit;
        EXPECT_EQ(commands(), (std::vector<UINT>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));
        destroy_window(e);
    }
}

TEST_F(Edit, TheLimitBindsInputNotTheWindowText) {
    HWND e = edit();
    send_message(e, EM_LIMITTEXT, 2);
    send_text(e, WM_SETTEXT, "abcdef");
    EXPECT_EQ(get_window_text(e), "abcdef");
    send_text(e, WM_SETTEXT, "");
    recorder().clear();
    send_text(e, EM_REPLACESEL, "xyz");
    EXPECT_EQ(get_window_text(e), "xy");
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));
}

// ---- Foreign text

TEST_F(Edit, PastedTextStopsAtNulAndAtTheFirstLineOfASingleLineBox) {
    HWND e = edit(0, "[]");
    set_sel(e, 1, 1);
    set_clipboard_text(std::string_view("x\0y", 3));
    send_message(e, WM_PASTE);
    EXPECT_EQ(get_window_text(e), "[x]");
    set_clipboard_text("one\r\ntwo");
    send_message(e, WM_PASTE);
    EXPECT_EQ(get_window_text(e), "[xone]");
    HWND multi = edit(ES_MULTILINE, "", {10, 50, 210, 110}, 8);
    send_message(multi, WM_PASTE);
    EXPECT_EQ(get_window_text(multi), "one\r\ntwo");
}

TEST_F(Edit, InvalidBytesNeverCorruptTheText) {
    HWND e = edit(0, "abcd");
    set_sel(e, 2, 2);
    send_text(e, EM_REPLACESEL, "\xD6");
    EXPECT_EQ(get_window_text(e), "ab?cd") << "a cut-off character cannot swallow the 'c'";
    send_text(e, WM_SETTEXT, "\xFF\x80z" + zhong);
    EXPECT_EQ(get_window_text(e), "\xFF\x80z" + zhong) << "bytes that are not GBK are kept";
    EXPECT_EQ(controls::edit_display_text(e), "\xEF\xBF\xBD\xEF\xBF\xBDz中")
        << "and drawn as replacement marks";
    set_sel(e, 0, 0);
    focus(e);
    EXPECT_EQ(caret_stops(e, VK_RIGHT, 4), (std::vector<std::uint32_t>{1, 2, 3, 5}));
    set_clipboard_text("\x81");
    send_message(e, WM_PASTE);
    EXPECT_EQ(get_window_text(e), "\xFF\x80z" + zhong + "?");
    char buffer[6];
    EXPECT_EQ(send_message(e, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_STREQ(buffer, "\xFF\x80z") << "a short buffer gets no half character";
}

TEST_F(Edit, CaseAndNumberStylesFilterWhatComesIn) {
    HWND upper = edit(ES_UPPERCASE);
    focus(upper);
    type("ab");
    send_text(upper, EM_REPLACESEL, "\x81\x61x");
    EXPECT_EQ(get_window_text(upper), "AB\x81\x61X") << "the trail byte 'a' stays";
    HWND lower = edit(ES_LOWERCASE, "MiXed", {10, 50, 210, 74}, 8);
    EXPECT_EQ(get_window_text(lower), "mixed");
    HWND number = edit(ES_NUMBER, "", {10, 90, 210, 114}, 9);
    focus(number);
    type("1a-2中");
    EXPECT_EQ(get_window_text(number), "12");
}

TEST_F(Edit, ANewFontLaysTheTextOutAgain) {
    HWND e = edit(ES_MULTILINE | ES_AUTOVSCROLL, zhong + zhong + zhong + zhong + zhong + zhong,
                  {10, 10, 110, 200});
    LRESULT before = send_message(e, EM_GETLINECOUNT);
    LogFont lf = default_gui_log_font();
    lf.height = -30;
    HFONT big = create_font_indirect(lf);
    send_message(e, WM_SETFONT, reinterpret_cast<WPARAM>(big), 1);
    EXPECT_EQ(send_message(e, WM_GETFONT), reinterpret_cast<LRESULT>(big));
    EXPECT_GT(send_message(e, EM_GETLINECOUNT), before) << "bigger glyphs wrap sooner";
    destroy_window(e);
    delete_font(big);
}

// ---- Undo, clipboard keys, read-only, password

TEST_F(Edit, UndoTakesBackTheTypedRunAndUndoAgainRedoes) {
    HWND e = edit(0, "x");
    focus(e);
    key(VK_END);
    type("abc");
    EXPECT_EQ(send_message(e, EM_CANUNDO), 1);
    recorder().clear();
    key_with(VK_CONTROL, 'Z', 0x1A);
    EXPECT_EQ(get_window_text(e), "x");
    EXPECT_EQ(commands(), (std::vector<UINT>{EN_UPDATE, EN_CHANGE}));
    EXPECT_EQ(send_message(e, EM_UNDO), 1);
    EXPECT_EQ(get_window_text(e), "xabc");
    send_message(e, EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(send_message(e, EM_CANUNDO), 0);
    EXPECT_EQ(send_message(e, WM_UNDO), 0);
    EXPECT_EQ(get_window_text(e), "xabc");
}

TEST_F(Edit, ControlKeysSelectAllCopyCutAndPaste) {
    HWND e = edit(0, "one" + zhong);
    focus(e);
    key_with(VK_CONTROL, 'A', 0x01);
    EXPECT_EQ(sel(e), (Positions{0, 5}));
    key_with(VK_CONTROL, 'C', 0x03);
    EXPECT_EQ(get_clipboard_text(), "one" + zhong);
    key_with(VK_CONTROL, 'X', 0x18);
    EXPECT_EQ(get_window_text(e), "");
    key_with(VK_CONTROL, 'V', 0x16);
    key_with(VK_CONTROL, 'V', 0x16);
    EXPECT_EQ(get_window_text(e), "one" + zhong + "one" + zhong);
}

TEST_F(Edit, ReadOnlyRejectsChangesButAllowsSelectionAndCopy) {
    HWND e = edit(ES_READONLY, "abc");
    focus(e);
    key(VK_END);
    key('X', 'x');
    key(VK_BACK, 0x08);
    key(VK_DELETE);
    input::key(VK_SHIFT, true);
    m_backend.press_key(VK_LEFT);
    m_backend.press_key(VK_LEFT);
    input::key(VK_SHIFT, false);
    m_backend.pump();
    EXPECT_EQ(sel(e), (Positions{1, 3}));
    key_with(VK_CONTROL, 'C', 0x03);
    EXPECT_EQ(get_clipboard_text(), "bc");
    key_with(VK_CONTROL, 'X', 0x18);
    key_with(VK_CONTROL, 'V', 0x16);
    send_message(e, WM_CLEAR);
    EXPECT_EQ(get_window_text(e), "abc");
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(send_message(e, WM_GETDLGCODE), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
}

TEST_F(Edit, ColoursComeFromTheParentStaticOnesWhileReadOnly) {
    recorder().answer(WM_CTLCOLOREDIT,
                      reinterpret_cast<LRESULT>(create_solid_brush(rgb(0xFF, 0xFF, 0x00))));
    HWND e = edit(ES_READONLY, "abc");
    EXPECT_EQ(pixel(e, {150, 10}), rgb(0xF0, 0xF0, 0xF0)) << "the parent gave no static brush";
    invalidate_rect(e, nullptr, false);
    update_window(e);
    EXPECT_SEQUENCE(recorder(), {{WM_CTLCOLORSTATIC, sent, m_top}});
    EXPECT_EQ(send_message(e, EM_SETREADONLY, 0), 1);
    EXPECT_EQ(get_style(e) & ES_READONLY, 0u);
    recorder().clear();
    update_window(e);
    EXPECT_SEQUENCE(recorder(), {{WM_CTLCOLOREDIT, sent, m_top}});
    EXPECT_EQ(pixel(e, {150, 10}), rgb(0xFF, 0xFF, 0x00)) << "the parent's brush";
}

TEST_F(Edit, PasswordShowsThePasswordCharacterAndNeverCopies) {
    HWND e = edit(ES_PASSWORD, "ab" + zhong);
    EXPECT_EQ(controls::edit_display_text(e), "***") << "one mark per character";
    EXPECT_EQ(send_message(e, EM_GETPASSWORDCHAR), '*');
    EXPECT_EQ(get_window_text(e), "ab" + zhong);
    set_clipboard_text("before");
    set_sel(e, 0, -1);
    send_message(e, WM_COPY);
    send_message(e, WM_CUT);
    EXPECT_EQ(get_clipboard_text(), "before");
    EXPECT_EQ(get_window_text(e), "ab" + zhong);
    send_message(e, EM_SETPASSWORDCHAR, '#');
    EXPECT_EQ(controls::edit_display_text(e), "###");
    send_message(e, EM_SETPASSWORDCHAR, 0);
    EXPECT_EQ(controls::edit_display_text(e), "ab中");
    EXPECT_EQ(get_style(e) & ES_PASSWORD, 0u);
    HWND plain = edit(0, "", {10, 50, 210, 74}, 8);
    EXPECT_EQ(send_message(plain, EM_GETPASSWORDCHAR), 0);
}

// ---- Multi-line

TEST_F(Edit, MultiLineLinesIndexesAndLengths) {
    const std::string text = "first\r\n" + zhong + wen + "\r\n\r\nlast"; // lines at 0, 7, 13, 15
    HWND e = edit(ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, text, {10, 10, 210, 110});
    EXPECT_EQ(send_message(e, EM_GETLINECOUNT), 4);
    std::vector<LRESULT> starts;
    for (int line = 0; line < 5; ++line)
        starts.push_back(send_message(e, EM_LINEINDEX, static_cast<WPARAM>(line)));
    EXPECT_EQ(starts, (std::vector<LRESULT>{0, 7, 13, 15, -1}));
    EXPECT_EQ(send_message(e, EM_LINELENGTH, 8), 4);
    EXPECT_EQ(send_message(e, EM_LINELENGTH, 13), 0);
    EXPECT_EQ(send_message(e, EM_LINEFROMCHAR, 9), 1);
    EXPECT_EQ(send_message(e, EM_LINEFROMCHAR, 100), 3);
    set_sel(e, 2, 9);
    EXPECT_EQ(send_message(e, EM_LINELENGTH, static_cast<WPARAM>(-1)), 2 + 2)
        << "unselected parts of lines 0 and 1";
    EXPECT_EQ(send_message(e, EM_LINEFROMCHAR, static_cast<WPARAM>(-1)), 0);
    EXPECT_EQ(send_message(e, EM_LINEINDEX, static_cast<WPARAM>(-1)), 7) << "the caret's line";

    // EM_GETLINE finds the buffer's size in its first word.
    auto get_line = [e](int line, std::uint16_t size) {
        char buffer[16] = {};
        std::memcpy(buffer, &size, sizeof size);
        auto n = send_message(e, EM_GETLINE, static_cast<WPARAM>(line),
                              reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer, static_cast<std::size_t>(n));
    };
    EXPECT_EQ(get_line(1, 16), zhong + wen);
    EXPECT_EQ(get_line(1, 3), zhong) << "never half a character";
    EXPECT_EQ(get_line(9, 16), "");
    EXPECT_EQ(send_message(e, WM_GETDLGCODE),
              DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS);

    HWND single = edit(0, "abc", {10, 120, 210, 144}, 8);
    EXPECT_EQ(send_message(single, EM_GETLINECOUNT), 1);
    EXPECT_EQ(send_message(single, EM_LINEINDEX, 1), -1);
    EXPECT_EQ(send_message(single, EM_LINELENGTH, 99), 3)
        << "a single line's length, whatever asked";
}

TEST_F(Edit, EnterBreaksTheLineOnlyInAMultiLineBox) {
    for (std::uint32_t style : {ES_MULTILINE | ES_WANTRETURN, ES_MULTILINE}) {
        HWND multi = edit(style, "ab", {10, 10, 210, 110});
        focus(multi);
        key(VK_END);
        key(VK_RETURN, '\r');
        type("c");
        EXPECT_EQ(get_window_text(multi), "ab\r\nc");
        EXPECT_EQ(send_message(multi, EM_GETLINECOUNT), 2);
        destroy_window(multi);
    }
    HWND single = edit(ES_WANTRETURN, "ab");
    focus(single);
    key(VK_RETURN, '\r');
    key(VK_TAB, '\t');
    EXPECT_EQ(get_window_text(single), "ab");
    EXPECT_TRUE(commands().empty());
}

TEST_F(Edit, UpAndDownKeepTheColumnAndBackspaceJoinsLines) {
    HWND e = edit(ES_MULTILINE | ES_AUTOHSCROLL, "abcd\r\n\r\nabcd", {10, 10, 210, 110});
    focus(e);
    set_sel(e, 2, 2);
    key(VK_DOWN);
    EXPECT_EQ(sel(e).first, 6u) << "the empty line";
    key(VK_DOWN);
    EXPECT_EQ(sel(e).first, 10u) << "back at the same column";
    key(VK_UP);
    key(VK_UP);
    EXPECT_EQ(sel(e).first, 2u);
    set_sel(e, 6, 6);
    key(VK_BACK, 0x08);
    EXPECT_EQ(get_window_text(e), "abcd\r\nabcd");
}

TEST_F(Edit, AMultiLineBoxWithoutHorizontalScrollingWrapsAtCharacterBoundaries) {
    std::string text;
    for (int i = 0; i < 20; ++i)
        text += i % 2 ? wen : zhong;
    HWND e = edit(ES_MULTILINE | ES_AUTOVSCROLL, text, {10, 10, 70, 200});
    LRESULT lines = send_message(e, EM_GETLINECOUNT);
    ASSERT_GT(lines, 1);
    LRESULT total = 0;
    for (LRESULT line = 0; line < lines; ++line) {
        LRESULT start = send_message(e, EM_LINEINDEX, static_cast<WPARAM>(line));
        EXPECT_EQ(start % 2, 0) << "line " << line;
        total += send_message(e, EM_LINELENGTH, static_cast<WPARAM>(start));
    }
    EXPECT_EQ(total, 40) << "the wrapped lines cover the text exactly";
}

// ---- Mouse

TEST_F(Edit, DraggingSelectsWithCaptureEvenOutsideTheBox) {
    HWND e = edit(0, "abc" + zhong);
    m_backend.mouse_down(e, {1, 10});
    m_backend.mouse_move(e, {500, 10});
    m_backend.pump();
    EXPECT_EQ(get_capture(), e);
    EXPECT_EQ(sel(e), (Positions{0, 5}));
    m_backend.mouse_up(e, {500, 10});
    m_backend.pump();
    EXPECT_EQ(get_capture(), nullptr);
    EXPECT_EQ(sel(e), (Positions{0, 5}));
    m_backend.mouse_move(e, {1, 10});
    m_backend.pump();
    EXPECT_EQ(sel(e), (Positions{0, 5})) << "moving after the release selects nothing";
}

TEST_F(Edit, ADoubleClickSelectsTheWordAndShiftClickExtends) {
    HWND e = edit(0, "hello " + zhong + wen);
    m_backend.click(e, {6, 10});
    m_backend.click(e, {6, 10});
    m_backend.pump();
    EXPECT_EQ(sel(e), (Positions{0, 6}));
    send_message(e, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, make_lparam(199, 10));
    send_message(e, WM_LBUTTONUP, 0, make_lparam(199, 10));
    EXPECT_EQ(sel(e), (Positions{0, 10}));
}

// ---- Picture

TEST_F(Edit, ANarrowBoxGivesUpItsMarginsForAThreeDigitNumber) {
    HWND wide = edit(0, "120", {10, 10, 110, 26}, 1);
    HWND narrow = edit(0, "120", {10, 40, 34, 56}, 2);
    m_backend.pump();
    // The rightmost inked column of the text, in client coordinates.
    auto last_ink = [&](HWND e) {
        Rect c;
        get_client_rect(e, c);
        int last = -1;
        for (int y = 0; y < c.bottom; ++y)
            for (int x = 0; x < c.right; ++x) {
                COLORREF px = pixel(e, {x, y});
                if ((px & 0xFF) + ((px >> 8) & 0xFF) + ((px >> 16) & 0xFF) < 3 * 128)
                    last = std::max(last, x);
            }
        return last;
    };
    const int width = last_ink(wide) - 2; // the wide box keeps its margin of 2
    ASSERT_GT(width, 10);
    Rect c;
    get_client_rect(narrow, c);
    ASSERT_LT(c.width(), width + 4) << "the digits would not fit inside two margins";
    EXPECT_GE(last_ink(narrow), width - 1) << "the last digit is shown whole";
}

TEST_F(Edit, StatesPicture) {
    destroy_window(m_top);
    m_top = make_top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {60, 60, 60 + 460, 60 + 300});
    const std::string speed = "\xCB\xD9\xB6\xC8"; // 速度
    edit(0, "", {10, 10, 210, 33}, 1);
    edit(0, "Servo 1 " + speed + " 90", {10, 40, 210, 63}, 2);
    HWND selected = edit(0, "select " + zhong + wen + " here", {10, 70, 210, 93}, 3);
    HWND disabled = edit(WS_DISABLED, "disabled " + speed, {10, 100, 210, 123}, 4);
    HWND read_only = edit(ES_READONLY, "read-only " + speed, {10, 130, 210, 153}, 5);
    edit(ES_PASSWORD, "secret" + zhong, {10, 160, 210, 183}, 6);
    edit(ES_CENTER, "centre", {10, 190, 210, 213}, 7);
    HWND unfocused = edit(ES_RIGHT | ES_NOHIDESEL, "right, kept selection", {10, 220, 210, 243}, 8);
    set_sel(unfocused, 7, 11);
    const std::string poem =
        "\xB4\xB2\xC7\xB0\xC3\xF7\xD4\xC2\xB9\xE2\xA3\xAC\xD2\xC9\xCA\xC7\xB5\xD8\xC9\xCF\xCB\xAA"
        "\xA1\xA3"; // 床前明月光，疑是地上霜。
    HWND multi = edit(ES_MULTILINE | ES_AUTOVSCROLL,
                      "Line one\r\n" + poem + "\r\n" + zhong + wen + " 3", {230, 10, 330, 130}, 9);
    edit(ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL, "no wrap: " + poem + "\r\nsecond",
         {230, 140, 440, 200}, 10);
    focus(selected);
    set_sel(selected, 7, 11);
    m_backend.pump();
    std::string path = ::testing::TempDir() + "edit_states.png";
    ASSERT_TRUE(save_window_png(m_top, path.c_str()));
    std::printf("edit states picture: %s\n", path.c_str());

    EXPECT_TRUE(has_pixel(selected, rgb(0x00, 0x78, 0xD7)))
        << "the focused selection is highlighted";
    EXPECT_TRUE(has_pixel(unfocused, rgb(0xCC, 0xCC, 0xCC)))
        << "ES_NOHIDESEL keeps it visible unfocused";
    EXPECT_FALSE(has_pixel(multi, rgb(0x00, 0x78, 0xD7)));
    EXPECT_EQ(pixel(disabled, {190, 10}), rgb(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(pixel(read_only, {190, 10}), rgb(0xF0, 0xF0, 0xF0));
    EXPECT_GT(send_message(multi, EM_GETLINECOUNT), 3) << "the poem wraps";
}

} // namespace
} // namespace platform::testing
