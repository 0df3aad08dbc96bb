#include "PlatformTest.h"

#include <platform/controls/Controls.h>
#include <platform/dialogs/Dialogs.h>
#include <platform/window/DialogNavigation.h>

#include <optional>

namespace platform::testing {
namespace {

class Dialogs : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        register_standard_controls();
        m_top = make_top();
        m_backend.pump();
    }
    // The button of a box with a given id.
    static HWND box_button(HWND box, int id) { return get_dlg_item(box, id); }
    HWND m_top = nullptr;
};

struct BoxCase {
    UINT type;
    std::vector<int> ids;
};

TEST_F(Dialogs, EveryButtonSetAnswersItsCodesByMouse) {
    const BoxCase cases[] = {
        {MB_OK, {IDOK}},
        {MB_OKCANCEL, {IDOK, IDCANCEL}},
        {MB_ABORTRETRYIGNORE, {IDABORT, IDRETRY, IDIGNORE}},
        {MB_YESNOCANCEL, {IDYES, IDNO, IDCANCEL}},
        {MB_YESNO, {IDYES, IDNO}},
        {MB_RETRYCANCEL, {IDRETRY, IDCANCEL}},
    };
    for (const auto& c : cases) {
        for (int id : c.ids) {
            HeadlessBackend* backend = &m_backend;
            m_backend.queue_message_box_action([backend, id](HWND box) {
                HWND b = box_button(box, id);
                ASSERT_NE(b, nullptr);
                backend->click(b, {10, 10});
            });
            EXPECT_EQ(message_box(m_top, "text", "caption", c.type), id) << "type " << c.type;
        }
    }
}

TEST_F(Dialogs, KeyboardAnswersEnterEscapeAndTab) {
    struct KeyCase {
        UINT type;
        std::vector<UINT> keys;
        int expected;
    };
    const KeyCase cases[] = {
        {MB_OKCANCEL, {VK_RETURN}, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON2, {VK_RETURN}, IDCANCEL},
        {MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
        {MB_OK, {VK_ESCAPE}, IDOK},
        {MB_YESNO, {VK_TAB, VK_RETURN}, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, {VK_TAB, VK_RETURN}, IDYES},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, {VK_RIGHT, VK_SPACE}, IDIGNORE},
        {MB_YESNO, {VK_ESCAPE, VK_RETURN}, IDYES}, // Escape does nothing without Cancel
    };
    for (const auto& c : cases) {
        std::vector<UINT> keys = c.keys;
        HeadlessBackend* backend = &m_backend;
        m_backend.queue_message_box_action([backend, keys](HWND) {
            for (UINT k : keys)
                backend->press_key(k, k == VK_RETURN   ? '\r'
                                      : k == VK_ESCAPE ? 0x1B
                                      : k == VK_SPACE  ? ' '
                                                       : 0);
        });
        EXPECT_EQ(message_box(m_top, "text", "caption", c.type), c.expected) << "type " << c.type;
    }
}

TEST_F(Dialogs, OwnersAreDisabledWhileTheBoxShowsAndEnabledAfter) {
    HWND other = make_top();
    static bool owner_enabled_inside, other_enabled_inside;
    HWND top = m_top;
    m_backend.queue_message_box_action([top, other](HWND box) {
        owner_enabled_inside = is_window_enabled(top);
        other_enabled_inside = is_window_enabled(other);
        end_modal_loop(box, IDOK);
    });
    message_box(m_top, "t", "c", MB_OK);
    EXPECT_FALSE(owner_enabled_inside);
    EXPECT_TRUE(other_enabled_inside) << "an owned box disables only its owner";
    EXPECT_TRUE(is_window_enabled(m_top));

    m_backend.queue_message_box_action([top, other](HWND box) {
        owner_enabled_inside = is_window_enabled(top);
        other_enabled_inside = is_window_enabled(other);
        end_modal_loop(box, IDOK);
    });
    message_box(m_top, "t", "c", MB_OK | MB_TASKMODAL);
    EXPECT_FALSE(owner_enabled_inside);
    EXPECT_FALSE(other_enabled_inside) << "a task-modal box disables every window";
    EXPECT_TRUE(is_window_enabled(m_top));
    EXPECT_TRUE(is_window_enabled(other));

    enable_window(other, false);
    m_backend.queue_message_box_answer(IDOK);
    message_box(nullptr, "t", "c", MB_OK);
    EXPECT_FALSE(is_window_enabled(other)) << "a window disabled before stays disabled";
}

TEST_F(Dialogs, TimersKeepRunningWhileTheBoxShows) {
    int ticks = 0;
    set_timer(m_top, 1, 10);
    Subclass owner(m_top, [&](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
        if (m == WM_TIMER)
            ++ticks;
        return call_window_proc(previous, h, m, w, l);
    });
    std::optional<Subclass> box_subclass;
    m_backend.queue_message_box_action([&](HWND box) {
        set_timer(box, 7, 60);
        box_subclass.emplace(box, [](HWND h, UINT m, WPARAM w, LPARAM l, WNDPROC previous) {
            if (m == WM_TIMER && w == 7)
                end_modal_loop(h, IDOK);
            return call_window_proc(previous, h, m, w, l);
        });
    });
    const std::uint64_t start = test_clock().now_ms();
    {
        LetTimeRun run;
        EXPECT_EQ(message_box(m_top, "t", "c", MB_OK), IDOK);
    }
    EXPECT_EQ(test_clock().now_ms() - start, 60u) << "the box's timer ended its loop";
    EXPECT_GE(ticks, 5) << "the owner's timer fired inside the box's loop";
}

TEST_F(Dialogs, WithNothingQueuedTheDefaultButtonAnswersAndStderrSaysSo) {
    ::testing::internal::CaptureStderr();
    int answer = message_box(m_top, "\xC4\xDA\xC8\xDD", "Title", MB_YESNO | MB_DEFBUTTON2);
    std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, IDNO);
    EXPECT_NE(err.find("Title"), std::string::npos);
    EXPECT_NE(err.find("内容"), std::string::npos) << "the text is written as UTF-8";
    ASSERT_EQ(m_backend.message_boxes().size(), 1u);
    EXPECT_EQ(m_backend.message_boxes()[0].default_id, IDNO);
}

TEST_F(Dialogs, FileDialogsTakeQueuedAnswersAndRecordTheRequest) {
    FileDialogRequest req;
    req.kind = FileDialogKind::Save;
    req.title = "Save";
    req.filters = parse_filter_text("Text (*.txt)|*.txt|All|*.*|");
    req.default_extension = "txt";
    m_backend.queue_file_answer(std::string("/tmp/actions"));
    m_backend.queue_file_answer(std::string("/tmp/a.b/actions.log"));
    m_backend.queue_file_answer(std::nullopt);
    auto first = run_file_dialog(req);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->path, "/tmp/actions.txt") << "the default extension is added";
    EXPECT_EQ(run_file_dialog(req)->path, "/tmp/a.b/actions.log");
    EXPECT_FALSE(run_file_dialog(req).has_value());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(run_file_dialog(req).has_value()) << "an empty queue cancels";
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("cancelled"), std::string::npos);
    ASSERT_EQ(m_backend.file_requests().size(), 4u);
    ASSERT_EQ(m_backend.file_requests()[0].filters.size(), 2u);
    EXPECT_EQ(m_backend.file_requests()[0].filters[1].second, "*.*");

    FolderDialogRequest folder;
    folder.title = "Pick";
    m_backend.queue_folder_answer(std::string("/home"));
    EXPECT_EQ(run_folder_dialog(folder), std::optional<std::string>("/home"));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(run_folder_dialog(folder).has_value());
    ::testing::internal::GetCapturedStderr();
}

TEST_F(Dialogs, TabMovesBetweenTabStopsAndEnterPressesTheDefaultButton) {
    auto make = [&](std::uint32_t style, int id, int y) {
        return create_window_ex(0, WC_BUTTON, "b", WS_CHILD | WS_VISIBLE | style, 10, y, 80, 24,
                                m_top, static_cast<std::uintptr_t>(id));
    };
    HWND a = make(WS_TABSTOP, 11, 10);
    make(0, 12, 40); // not a tab stop
    HWND c = make(WS_TABSTOP | BS_DEFPUSHBUTTON, 13, 70);
    HWND d = make(WS_TABSTOP, 14, 100);
    enable_window(d, false);
    set_focus(a);
    auto key = [&](UINT vk) {
        Msg m;
        m.hwnd = get_focus();
        m.message = WM_KEYDOWN;
        m.wParam = vk;
        return is_dialog_message(m_top, m);
    };
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(get_focus(), c) << "skips the control without WS_TABSTOP";
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(get_focus(), a) << "skips the disabled one and wraps";
    input::key(VK_SHIFT, true);
    m_backend.pump();
    EXPECT_TRUE(key(VK_TAB));
    EXPECT_EQ(get_focus(), c) << "Shift+Tab goes back";
    input::key(VK_SHIFT, false);
    m_backend.pump();

    recorder().clear();
    recorder().watch(m_top);
    recorder().ignore(WM_CTLCOLORBTN);
    set_focus(m_top);
    EXPECT_TRUE(key(VK_RETURN));
    ASSERT_FALSE(recorder().log().empty());
    auto last = recorder().log().back();
    EXPECT_EQ(last.message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(last.wp, make_wparam(13, BN_CLICKED)) << "Enter presses the default push button";
}

} // namespace
} // namespace platform::testing
