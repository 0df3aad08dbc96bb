#pragma once

// A display with no screen: every top-level window keeps its picture in an
// image surface, and tests inject input at client coordinates, read texts
// and save PNG pictures. Nothing waits on anything outside the process, so
// runs are deterministic; with stepped time not even on the real clock.

#include <platform/DisplayBackend.h>
#include <platform/dialogs/Dialogs.h>
#include <platform/window/Input.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Real: time passes as on a real display (a program run headless).
// Stepped: the window system reads test_clock(), which moves only when the
// test advances it (run_for, or test_clock().advance from any thread) or,
// while it is let run, when the user-interface thread would block.
enum class HeadlessTime { Real, Stepped };

class HeadlessBackend final : public DisplayBackend {
  public:
    explicit HeadlessBackend(HeadlessTime time = HeadlessTime::Real);
    ~HeadlessBackend() override;

    const char* name() const override { return "headless"; }
    const Clock& clock() const override;
    void window_created(HWND, const Rect&) override {}
    void window_destroyed(HWND) override {}
    void window_title_changed(HWND, std::string_view) override {}
    void window_geometry_changed(HWND, const Rect&) override {}
    void window_shown(HWND, NativeShow, bool) override {}
    void window_enabled(HWND, bool) override {}
    void window_topmost_changed(HWND, bool) override {}
    void window_activated(HWND) override {}
    void present(HWND, cairo_surface_t*, const Rect& dirty) override {
        ++m_presents;
        m_presented_pixels += static_cast<std::int64_t>(dirty.width()) * dirty.height();
    }
    void set_cursor(HWND, int cursor_id) override { m_cursor = cursor_id; }
    void process_pending() override {}
    void wait(std::chrono::microseconds timeout) override;
    void wake() override;
    void set_clipboard_text(std::string_view utf8) override { m_clipboard = std::string(utf8); }
    std::string clipboard_text() override { return m_clipboard; }
    bool cursor_position(Point& screen) override;
    Rect work_area() override { return m_work_area; }
    // The screen this display pretends to have; 1920 by 1080 unless set.
    void set_work_area(const Rect& area) { m_work_area = area; }
    std::optional<FileDialogAnswer> file_dialog(const FileDialogRequest& request) override;
    std::optional<std::string> folder_dialog(const FolderDialogRequest& request) override;
    void message_box_shown(HWND box, int default_id, std::string_view caption,
                           std::string_view text) override;

    // ---- Dialog answers, taken in order. A dialog shown with nothing queued
    // is cancelled (a message box takes its default button) and says so on
    // standard error, so a headless run never waits for a click.
    void queue_file_answer(std::optional<std::string> gbk_path);
    void queue_folder_answer(std::optional<std::string> gbk_path);
    // A message box answered with a button id, or by an action that gets the
    // box's handle and may inject input (it runs inside the box's loop).
    void queue_message_box_answer(int id);
    void queue_message_box_action(std::function<void(HWND box)> action);

    struct ShownMessageBox {
        std::string caption;
        std::string text;
        int default_id;
    };
    const std::vector<FileDialogRequest>& file_requests() const { return m_file_requests; }
    const std::vector<FolderDialogRequest>& folder_requests() const { return m_folder_requests; }
    const std::vector<ShownMessageBox>& message_boxes() const { return m_message_boxes; }

    // ---- Test input: coordinates are client coordinates of `hwnd`, which
    // may be any window; events go through the queue like real input.
    void mouse_move(HWND hwnd, Point client);
    void mouse_down(HWND hwnd, Point client, input::Button button = input::Button::Left);
    void mouse_up(HWND hwnd, Point client, input::Button button = input::Button::Left);
    void click(HWND hwnd, Point client, input::Button button = input::Button::Left);
    void wheel(HWND hwnd, Point client, int delta);
    // The mouse leaves the top-level window of `hwnd`.
    void mouse_leave(HWND hwnd);
    // A key press and release; `typed_char` as for input::key.
    void press_key(UINT vk, std::uint32_t typed_char = 0);
    void type_text(std::string_view utf8);

    // dispatch_ready_messages: every message that is ready, without waiting.
    int pump();
    // Stepped time only: lets `ms` pass as a real run with an idle loop
    // would. The clock moves to each moment a timer falls due, in order, and
    // what is ready there is dispatched, so a 100 ms timer fires ten times in
    // run_for(1000) and a timer set by a timer's handler fires in its turn.
    // Returns how many messages were dispatched.
    int run_for(std::uint32_t ms);

    // For measuring a program's start-up: the first time the window system
    // would wait after a frame has been presented, the display writes
    // "first frame: <CLOCK_MONOTONIC ns> ns, VmRSS <kB> kB" to standard
    // error and posts the quit message, so the program ends as if closed.
    void quit_after_first_frame() { m_quit_after_first_frame = true; }

    int cursor_id() const { return m_cursor; }
    int presents() const { return m_presents; }
    // The pixels of all the parts presented so far, counted each time.
    std::int64_t presented_pixels() const { return m_presented_pixels; }
    // How many waits the window system has begun on this display, how many
    // of them have ended, and how many times it was woken: another thread can
    // tell from these that the user-interface thread is blocked, or that a
    // send or post reached it.
    int waits() const { return m_waits.load(); }
    int waits_ended() const { return m_waits_ended.load(); }
    int wakes() const { return m_wakes.load(); }

  private:
    bool top_point(HWND hwnd, Point client, HWND& top, Point& top_client);

    HeadlessTime m_time;
    bool m_quit_after_first_frame = false;
    int m_wake_fd = -1;
    std::atomic<int> m_waits{0};
    std::atomic<int> m_waits_ended{0};
    std::atomic<int> m_wakes{0};
    int m_cursor = 0;
    int m_presents = 0;
    std::int64_t m_presented_pixels = 0;
    Rect m_work_area{0, 0, 1920, 1080};
    std::string m_clipboard;
    std::deque<std::optional<std::string>> m_file_answers;
    std::deque<std::optional<std::string>> m_folder_answers;
    std::deque<std::function<void(HWND)>> m_box_actions;
    std::vector<FileDialogRequest> m_file_requests;
    std::vector<FolderDialogRequest> m_folder_requests;
    std::vector<ShownMessageBox> m_message_boxes;
};

} // namespace platform
