#include "PlatformTest.h"

#include <string>
#include <vector>

namespace test_support {

using namespace platform;
namespace {

class WindowLifecycle : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        recorder().ignore(
            {WM_PAINT, WM_ERASEBKGND, WM_NCPAINT, WM_SETCURSOR, WM_GETTEXT, WM_GETTEXTLENGTH});
    }
};

TEST_F(WindowLifecycle, ChildCreationSendsTheMessagesInThePlatformOrder) {
    HWND top = make_top(WS_OVERLAPPEDWINDOW);
    recorder().clear();
    HWND child = make_child(top, {10, 20, 110, 70}, 7);
    ASSERT_NE(child, nullptr);
    EXPECT_SEQUENCE(recorder(),
                    {{WM_NCCREATE, sent, child},
                     {WM_CREATE, sent, child},
                     {WM_SIZE, sent | wparam | lparam, child, SIZE_RESTORED, make_lparam(100, 50)},
                     {WM_MOVE, sent | lparam, child, 0, make_lparam(10, 20)},
                     {WM_PARENTNOTIFY, sent | wparam, top, make_wparam(WM_CREATE, 7)},
                     {WM_SHOWWINDOW, sent | wparam, child, 1}});
}

TEST_F(WindowLifecycle, CreationParametersReachCreate) {
    int token = 42;
    CreateStruct seen;
    static CreateStruct* out;
    out = &seen;
    WindowClass cls;
    cls.name = "ParamProbe";
    cls.proc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_CREATE)
            *out = *reinterpret_cast<CreateStruct*>(l);
        return def_window_proc(h, m, w, l);
    };
    ASSERT_TRUE(register_class(cls));
    HWND h = create_window_ex(WS_EX_CLIENTEDGE, "paramprobe", "title", WS_POPUP, 1, 2, 3, 4,
                              nullptr, 0, &token);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(seen.create_params, &token);
    EXPECT_EQ(seen.ex_style, WS_EX_CLIENTEDGE);
    EXPECT_EQ(seen.x, 1);
    EXPECT_EQ(seen.cy, 4);
    EXPECT_EQ(get_class_name(h), "ParamProbe") << "class names match without regard to case";
    EXPECT_EQ(get_window_text(h), "title");
    unregister_class("ParamProbe");
}

TEST_F(WindowLifecycle, AProcedureCanRefuseCreation) {
    recorder().answer(WM_NCCREATE, 0);
    EXPECT_EQ(make_top(), nullptr);
    recorder().clear();
    m_recorder = std::make_unique<MessageRecorder>();
    recorder().ignore(WM_NCHITTEST);
    recorder().answer(WM_CREATE, -1);
    recorder().ignore(WM_NCCREATE);
    EXPECT_EQ(make_top(WS_OVERLAPPEDWINDOW), nullptr);
    EXPECT_SEQUENCE(recorder(), {{WM_CREATE, sent}, {WM_DESTROY, sent}, {WM_NCDESTROY, sent}});
    EXPECT_TRUE(top_level_windows().empty());
}

TEST_F(WindowLifecycle, DestructionReachesChildrenBeforeTheirParentIsFreed) {
    HWND top = make_top(WS_OVERLAPPEDWINDOW);
    HWND child = make_child(top, {0, 0, 50, 50}, 1, 0);
    HWND grandchild = make_child(child, {0, 0, 10, 10}, 2, 0);
    recorder().clear();
    recorder().ignore(WM_PARENTNOTIFY);
    ASSERT_TRUE(destroy_window(top));
    EXPECT_SEQUENCE(recorder(), {{WM_DESTROY, sent, top},
                                 {WM_DESTROY, sent, child},
                                 {WM_DESTROY, sent, grandchild},
                                 {WM_NCDESTROY, sent, grandchild},
                                 {WM_NCDESTROY, sent, child},
                                 {WM_NCDESTROY, sent, top}});
    EXPECT_FALSE(is_window(top));
    EXPECT_FALSE(is_window(child));
    EXPECT_FALSE(is_window(grandchild));
}

TEST_F(WindowLifecycle, StaleHandlesAreNeverReusedAndAnswerNothing) {
    HWND first = make_top();
    destroy_window(first);
    HWND second = make_top();
    EXPECT_NE(first, second);
    EXPECT_FALSE(is_window(first));
    EXPECT_EQ(send_message(first, WM_GETTEXTLENGTH), 0);
    EXPECT_FALSE(post_message(first, WM_USER));
    EXPECT_FALSE(destroy_window(first));
    EXPECT_FALSE(show_window(first, SW_SHOW));
    EXPECT_EQ(get_parent(first), nullptr);
    EXPECT_EQ(set_timer(first, 1, 10), 0u);
    Rect r;
    EXPECT_FALSE(get_window_rect(first, r));
}

// A window that destroys itself from inside its own procedure.
LRESULT self_destroying_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN || msg == WM_USER) {
        destroy_window(hwnd);
        // The handle is dead now; further calls about it are harmless.
        send_message(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
        post_message(hwnd, WM_USER);
        return 0;
    }
    return def_window_proc(hwnd, msg, wp, lp);
}

TEST_F(WindowLifecycle, AWindowDestroyedInsideItsOwnProcedureLeavesTheLoopSound) {
    WindowClass cls;
    cls.name = "SelfDestroying";
    cls.proc = self_destroying_proc;
    ASSERT_TRUE(register_class(cls));
    HWND top = make_top();
    HWND victim =
        create_window_ex(0, "SelfDestroying", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top, 3);
    ASSERT_NE(victim, nullptr);
    m_backend.click(victim, {5, 5});
    post_message(victim, WM_USER); // arrives after the window is gone
    m_backend.pump();
    EXPECT_FALSE(is_window(victim));
    EXPECT_TRUE(is_window(top));
    EXPECT_TRUE(get_children(top).empty());
    unregister_class("SelfDestroying");
}

TEST_F(WindowLifecycle, ChildrenListInZOrderAndEnumerateRecursively) {
    HWND top = make_top();
    HWND a = make_child(top, {0, 0, 10, 10}, 1);
    HWND b = make_child(top, {0, 0, 10, 10}, 2);
    HWND a1 = make_child(a, {0, 0, 5, 5}, 3);
    EXPECT_EQ(get_children(top), (std::vector<HWND>{a, b}))
        << "a newer child goes below the older ones";
    std::vector<HWND> seen;
    enum_child_windows(top, [&](HWND h) {
        seen.push_back(h);
        return true;
    });
    EXPECT_EQ(seen, (std::vector<HWND>{a, a1, b}));
    EXPECT_EQ(get_dlg_item(top, 2), b);
    EXPECT_TRUE(is_child(top, a1));
    EXPECT_FALSE(is_child(a, b));
    EXPECT_EQ(get_ancestor_root(a1), top);
    set_window_pos(b, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(get_children(top), (std::vector<HWND>{b, a}));
}

TEST_F(WindowLifecycle, ShowAndEnableNotify) {
    HWND top = make_top();
    HWND child = make_child(top, {0, 0, 10, 10}, 1, 0);
    recorder().clear();
    recorder().watch(child);
    EXPECT_FALSE(show_window(child, SW_SHOW));
    EXPECT_TRUE(show_window(child, SW_SHOW)) << "already visible";
    EXPECT_FALSE(enable_window(child, false));
    EXPECT_TRUE(enable_window(child, false)) << "answers that it was disabled";
    EXPECT_TRUE(enable_window(child, true));
    show_window(child, SW_HIDE);
    EXPECT_SEQUENCE(recorder(), {{WM_SHOWWINDOW, sent | wparam, child, 1},
                                 {WM_ENABLE, sent | wparam, child, 0},
                                 {WM_ENABLE, sent | wparam, child, 1},
                                 {WM_SHOWWINDOW, sent | wparam, child, 0}});
    EXPECT_FALSE(is_window_visible(child));
    EXPECT_EQ(get_style(child) & WS_DISABLED, 0u);
}

TEST_F(WindowLifecycle, GeometryAndCoordinateMapping) {
    HWND top = make_top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
    HWND child = create_window_ex(WS_EX_CLIENTEDGE, MessageRecorder::class_name, "",
                                  WS_CHILD | WS_VISIBLE, 10, 20, 100, 50, top, 1);
    Rect client;
    ASSERT_TRUE(get_client_rect(child, client));
    EXPECT_EQ(client, (Rect{0, 0, 96, 46})) << "the client edge takes two pixels on each side";
    Rect tc;
    get_client_rect(top, tc);
    EXPECT_EQ(tc.width(), 400 - 8);
    EXPECT_EQ(tc.height(), 300 - 8 - 23);
    Point p{0, 0};
    client_to_screen(child, p);
    EXPECT_EQ(p, (Point{100 + 4 + 10 + 2, 100 + 4 + 23 + 20 + 2}));
    Point q{5, 5};
    map_window_points(child, top, &q, 1);
    EXPECT_EQ(q, (Point{17, 27}));
    EXPECT_EQ(window_from_point({p.x + 1, p.y + 1}), child);

    recorder().clear();
    recorder().watch(child);
    ASSERT_TRUE(set_window_pos(child, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    Rect placed;
    get_window_placement_rect(child, placed);
    EXPECT_EQ(placed, (Rect{30, 40, 130, 90}));
    EXPECT_SEQUENCE(recorder(), {{WM_WINDOWPOSCHANGING, sent},
                                 {WM_WINDOWPOSCHANGED, sent},
                                 {WM_MOVE, sent | lparam, child, 0, make_lparam(32, 42)}});
}

TEST_F(WindowLifecycle, ATransparentFrameLetsThePointThroughToWhatItHolds) {
    HWND top = make_top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 500, 400});
    HWND beneath = create_window_ex(0, MessageRecorder::class_name, "", WS_CHILD | WS_VISIBLE, 120,
                                    100, 80, 50, top, 1);
    HWND frame = create_window_ex(WS_EX_TRANSPARENT, MessageRecorder::class_name, "",
                                  WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, top, 2);
    HWND inside = create_window_ex(0, MessageRecorder::class_name, "", WS_CHILD | WS_VISIBLE, 20,
                                   20, 50, 30, frame, 3);
    Point on_inside{25, 25};
    client_to_screen(inside, on_inside);
    EXPECT_EQ(window_from_point(on_inside), inside);
    Point on_frame{150, 120};
    client_to_screen(frame, on_frame);
    EXPECT_EQ(window_from_point(on_frame), beneath);
}

TEST_F(WindowLifecycle, SubclassingChainsToThePreviousProcedure) {
    static WNDPROC previous;
    static std::vector<UINT> seen;
    seen.clear();
    HWND top = make_top();
    previous = set_window_proc(top, [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        seen.push_back(m);
        if (m == WM_USER + 1)
            return 99;
        return call_window_proc(previous, h, m, w, l);
    });
    ASSERT_NE(previous, nullptr);
    recorder().clear();
    EXPECT_EQ(send_message(top, WM_USER + 1), 99);
    send_message(top, WM_USER + 2);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    // The first message stopped in the subclass.
    EXPECT_SEQUENCE(recorder(), {{WM_USER + 2, sent, top}});
    set_window_proc(top, previous);
    EXPECT_EQ(get_window_proc(top), previous);
}

TEST_F(WindowLifecycle, TestSubclassesNestAndPutTheProcedureBackInTurn) {
    HWND top = make_top();
    const WNDPROC own = get_window_proc(top);
    std::vector<std::string> seen;
    auto passing = [&](const char* name) {
        return [&seen, name](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
            if (m == WM_USER + 1)
                seen.push_back(name);
            return call_window_proc(previous, h, m, w, l);
        };
    };
    {
        Subclass outer(top, passing("outer"));
        {
            Subclass inner(top, passing("inner"));
            EXPECT_NE(inner.previous(), own) << "the inner subclass passes on to the outer one";
            send_message(top, WM_USER + 1);
            EXPECT_EQ(seen, (std::vector<std::string>{"inner", "outer"}));
        }
        seen.clear();
        send_message(top, WM_USER + 1);
        EXPECT_EQ(seen, (std::vector<std::string>{"outer"}));
        EXPECT_EQ(outer.previous(), own);
    }
    EXPECT_EQ(get_window_proc(top), own);

    // A window destroyed under its subclass ends it too.
    Subclass gone(top, passing("gone"));
    destroy_window(top);
    EXPECT_FALSE(is_window(top));
}

TEST_F(WindowLifecycle, HooksSeeSentMessagesIncludingCreation) {
    recorder().install_hook();
    HWND top = make_top(WS_OVERLAPPEDWINDOW);
    recorder().clear();
    HWND child = make_child(top, {0, 0, 10, 10}, 1, 0);
    post_message(child, WM_USER);
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_NCCREATE, hook, child},
                                 {WM_NCCREATE, sent, child},
                                 {WM_CREATE, hook, child},
                                 {WM_CREATE, sent, child},
                                 {WM_SIZE, hook},
                                 {WM_SIZE, sent},
                                 {WM_MOVE, hook},
                                 {WM_MOVE, sent},
                                 {WM_PARENTNOTIFY, hook, top},
                                 {WM_PARENTNOTIFY, sent, top},
                                 {WM_USER, posted, child}});
}

TEST_F(WindowLifecycle, WindowDataSlotsAndProperties) {
    WindowClass cls;
    cls.name = "WithExtra";
    cls.proc = def_window_proc;
    cls.extra_bytes = 16;
    ASSERT_TRUE(register_class(cls));
    EXPECT_FALSE(register_class(cls)) << "a class name is registered once";
    HWND h = create_window_ex(0, "WithExtra", "", WS_POPUP, 0, 0, 10, 10, nullptr, 0);
    EXPECT_EQ(set_window_extra(h, 8, 1234), 0);
    EXPECT_EQ(get_window_extra(h, 8), 1234);
    EXPECT_EQ(set_window_extra(h, 16, 1), 0) << "past the class's extra bytes";
    set_window_long(h, GWL_USERDATA, 77);
    EXPECT_EQ(get_window_long(h, GWL_USERDATA), 77);
    set_prop(h, "Owner", 5);
    EXPECT_EQ(get_prop(h, "Owner"), 5);
    EXPECT_EQ(remove_prop(h, "Owner"), 5);
    EXPECT_EQ(get_prop(h, "Owner"), 0);
    destroy_window(h);
    unregister_class("WithExtra");
}

} // namespace
} // namespace test_support
