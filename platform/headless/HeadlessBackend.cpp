#include "HeadlessBackend.h"

#include <platform/window/WindowSystem.h>

#include <platform/Encoding.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

namespace {

// The resident set size of this process in kilobytes, -1 when unknown.
long resident_kilobytes() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    long kilobytes = -1;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, "VmRSS:", 6) == 0) {
            kilobytes = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kilobytes;
}

void report_first_frame() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    long long nanoseconds = static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
    std::fprintf(stderr, "first frame: %lld ns, VmRSS %ld kB\n", nanoseconds, resident_kilobytes());
    std::fflush(stderr);
}

} // namespace

HeadlessBackend::HeadlessBackend(HeadlessTime time)
    : m_time(time), m_wake_fd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

HeadlessBackend::~HeadlessBackend() {
    if (m_wake_fd >= 0)
        close(m_wake_fd);
}

void HeadlessBackend::wait(std::chrono::microseconds timeout) {
    // The window system waits only when nothing, painting included, is left
    // to do: every window shown so far has been painted in full.
    if (m_quit_after_first_frame && m_presents > 0) {
        m_quit_after_first_frame = false;
        report_first_frame();
        post_quit_message(0);
        return;
    }
    ++m_waits;
    pollfd p{m_wake_fd, POLLIN, 0};
    const auto limit = timespec_of(timeout);
    int r;
    do {
        r = ppoll(&p, 1, limit ? &*limit : nullptr, nullptr);
    } while (r < 0 && errno == EINTR);
    if (r > 0) {
        std::uint64_t count;
        [[maybe_unused]] auto n = read(m_wake_fd, &count, sizeof count);
    }
    ++m_waits_ended;
}

void HeadlessBackend::wake() {
    ++m_wakes;
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = write(m_wake_fd, &one, sizeof one);
}

const Clock& HeadlessBackend::clock() const {
    if (m_time == HeadlessTime::Stepped)
        return test_clock();
    return real_clock();
}

bool HeadlessBackend::cursor_position(Point& screen) {
    return get_cursor_pos(screen);
}

bool HeadlessBackend::top_point(HWND hwnd, Point client, HWND& top, Point& top_client) {
    top = get_ancestor_root(hwnd);
    if (!top)
        return false;
    top_client = client;
    map_window_points(hwnd, top, &top_client, 1);
    return true;
}

void HeadlessBackend::mouse_move(HWND hwnd, Point client) {
    HWND top;
    Point p;
    if (top_point(hwnd, client, top, p))
        input::mouse_move(top, p);
}

void HeadlessBackend::mouse_down(HWND hwnd, Point client, input::Button button) {
    HWND top;
    Point p;
    if (!top_point(hwnd, client, top, p))
        return;
    input::mouse_move(top, p);
    input::mouse_button(top, p, button, true);
}

void HeadlessBackend::mouse_up(HWND hwnd, Point client, input::Button button) {
    HWND top;
    Point p;
    if (!top_point(hwnd, client, top, p))
        return;
    input::mouse_move(top, p);
    input::mouse_button(top, p, button, false);
}

void HeadlessBackend::click(HWND hwnd, Point client, input::Button button) {
    HWND top;
    Point p;
    if (!top_point(hwnd, client, top, p))
        return;
    input::mouse_move(top, p);
    input::mouse_button(top, p, button, true);
    input::mouse_button(top, p, button, false);
}

void HeadlessBackend::wheel(HWND hwnd, Point client, int delta) {
    HWND top;
    Point p;
    if (top_point(hwnd, client, top, p))
        input::mouse_wheel(top, p, delta);
}

void HeadlessBackend::mouse_leave(HWND hwnd) {
    if (HWND top = get_ancestor_root(hwnd))
        input::mouse_left(top);
}

void HeadlessBackend::press_key(UINT vk, std::uint32_t typed_char) {
    input::key(vk, true, typed_char);
    input::key(vk, false);
}

void HeadlessBackend::type_text(std::string_view utf8) {
    input::text(utf8);
}

std::optional<FileDialogAnswer> HeadlessBackend::file_dialog(const FileDialogRequest& request) {
    m_file_requests.push_back(request);
    if (m_file_answers.empty()) {
        std::fprintf(stderr, "headless: no answer queued for the %s dialog \"%s\"; cancelled\n",
                     request.kind == FileDialogKind::Save ? "save" : "open",
                     gbk_to_utf8(request.title).c_str());
        return std::nullopt;
    }
    auto answer = m_file_answers.front();
    m_file_answers.pop_front();
    if (!answer)
        return std::nullopt;
    return FileDialogAnswer{*answer, request.filter_index};
}

std::optional<std::string> HeadlessBackend::folder_dialog(const FolderDialogRequest& request) {
    m_folder_requests.push_back(request);
    if (m_folder_answers.empty()) {
        std::fprintf(stderr, "headless: no answer queued for the folder dialog \"%s\"; cancelled\n",
                     gbk_to_utf8(request.title).c_str());
        return std::nullopt;
    }
    auto answer = m_folder_answers.front();
    m_folder_answers.pop_front();
    return answer;
}

void HeadlessBackend::message_box_shown(HWND box, int default_id, std::string_view caption,
                                        std::string_view text) {
    m_message_boxes.push_back({std::string(caption), std::string(text), default_id});
    if (!m_box_actions.empty()) {
        auto action = std::move(m_box_actions.front());
        m_box_actions.pop_front();
        action(box);
        return;
    }
    std::fprintf(stderr, "headless: message box \"%s\": %s\n", gbk_to_utf8(caption).c_str(),
                 gbk_to_utf8(text).c_str());
    end_modal_loop(box, default_id);
}

void HeadlessBackend::queue_file_answer(std::optional<std::string> gbk_path) {
    m_file_answers.push_back(std::move(gbk_path));
}

void HeadlessBackend::queue_folder_answer(std::optional<std::string> gbk_path) {
    m_folder_answers.push_back(std::move(gbk_path));
}

void HeadlessBackend::queue_message_box_answer(int id) {
    m_box_actions.push_back([id](HWND box) { end_modal_loop(box, id); });
}

void HeadlessBackend::queue_message_box_action(std::function<void(HWND box)> action) {
    m_box_actions.push_back(std::move(action));
}

int HeadlessBackend::pump() {
    return dispatch_ready_messages();
}

int HeadlessBackend::run_for(std::uint32_t ms) {
    if (m_time != HeadlessTime::Stepped) {
        std::fprintf(stderr, "headless: run_for needs a display made with stepped time\n");
        std::abort();
    }
    SteppedClock& clock = test_clock();
    const std::uint64_t end = clock.now_ms() + ms;
    int count = pump();
    for (;;) {
        int due = next_timer_due_ms();
        std::uint64_t now = clock.now_ms();
        // A due timer left undispatched (the loop stopped at WM_QUIT) must
        // not hold the clock still.
        if (due <= 0 || now + static_cast<std::uint64_t>(due) > end)
            break;
        clock.advance(static_cast<std::uint32_t>(due));
        count += pump();
    }
    if (std::uint64_t now = clock.now_ms(); now < end)
        clock.advance(static_cast<std::uint32_t>(end - now));
    return count + pump();
}

} // namespace platform
