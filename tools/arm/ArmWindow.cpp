#include "ArmWindow.h"

#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

namespace arm {

using namespace platform;

namespace {

constexpr const char* k_class = "ArmctlArm";

} // namespace

ArmWindow::ArmWindow(const ServoSettings& settings, std::string port_gbk,
                     std::function<Millis()> clock)
    : m_clock(std::move(clock)), m_session(settings, m_clock()), m_port(std::move(port_gbk)),
      m_shown_angles(angles()) {}

std::unique_ptr<ArmWindow> ArmWindow::create(const ServoSettings& settings, std::string port_gbk,
                                             std::function<Millis()> clock) {
    WindowClass cls;
    if (!get_class_info(k_class, cls)) {
        cls.name = k_class;
        cls.proc = proc;
        cls.cursor = load_cursor(IDC_ARROW);
        if (!register_class(cls))
            return nullptr;
    }
    std::unique_ptr<ArmWindow> window(
        new ArmWindow(settings, std::move(port_gbk), std::move(clock)));
    std::uint32_t style = WS_OVERLAPPEDWINDOW;
    FrameInsets frame = frame_insets(style, 0, true);
    HWND hwnd = create_window_ex(0, k_class, "Virtual arm", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 ArmPainter::k_width + frame.left + frame.right,
                                 ArmPainter::k_height + frame.top + frame.bottom, nullptr, 0);
    if (!hwnd)
        return nullptr;
    window->m_hwnd = hwnd;
    set_window_long(hwnd, GWL_USERDATA, reinterpret_cast<std::intptr_t>(window.get()));
    show_window(hwnd, SW_SHOW);
    update_window(hwnd);
    return window;
}

ArmWindow::~ArmWindow() {
    m_inbox.close();
    if (is_window(m_hwnd)) {
        set_window_long(m_hwnd, GWL_USERDATA, 0);
        destroy_window(m_hwnd);
    }
}

void ArmWindow::receive(std::string_view bytes, Millis time) {
    m_received.clear();
    m_session.receive(bytes, time, m_received);
    for (ReceivedCommand& r : m_received)
        m_log.push_back(r);
    while (m_log.size() > k_log_limit)
        m_log.pop_front();
    const ArmLayout layout = ArmPainter::layout(client());
    // Garbage or half a command changes only the counts. A command also adds
    // to the log, moves the targets' arrows and moves the target's ghost
    // from where it stood; the arm itself moves in the frames that follow.
    invalidate_part(layout.counts);
    if (!m_received.empty()) {
        invalidate_part(layout.log);
        for (const Rect& row : layout.angle_rows)
            invalidate_part(row);
        const ArmExtent target = ArmPainter::extent(layout, m_session.model(), true);
        const ArmExtent& before = m_shown_target;
        for (std::size_t i = 0; i < ArmExtent::k_parts; ++i) {
            for (const ArmExtent* e : {&target, &before}) {
                invalidate_part(e->side[i]);
                invalidate_part(e->top[i]);
            }
        }
        m_shown_target = target;
        m_shown_angles = angles();
    }
    update_animation();
}

void ArmWindow::sender_closed() {
    m_session.sender_closed();
    invalidate_part(ArmPainter::layout(client()).counts);
}

void ArmWindow::frame() {
    m_session.model().advance(m_clock());
    // Where the arm was drawn and where it is now, and the rows of the
    // angles that moved. The target's ghost stays where it is while the arm
    // moves; once the arm has arrived, it lies under the arm's new place.
    ArmLayout layout = ArmPainter::layout(client());
    ArmExtent now_at = ArmPainter::extent(layout, m_session.model());
    for (std::size_t i = 0; i < ArmExtent::k_parts; ++i) {
        for (const ArmExtent* e : {&now_at, &m_shown_extent}) {
            invalidate_part(e->side[i]);
            invalidate_part(e->top[i]);
        }
    }
    std::array<double, k_servo_count> now = angles();
    const ArmModel& model = m_session.model();
    for (std::size_t i = 0; i < now.size(); ++i) {
        const int servo = static_cast<int>(i);
        for (const Rect& part : ArmPainter::angle_change(
                 layout, model.settings(), servo, m_shown_angles[i], now[i], model.target(servo)))
            invalidate_part(part);
    }
    m_shown_angles = now;
    update_animation();
}

Rect ArmWindow::client() const {
    Rect r;
    get_client_rect(m_hwnd, r);
    return r;
}

void ArmWindow::invalidate_part(const Rect& part) {
    if (!part.is_empty())
        invalidate_rect(m_hwnd, &part, false);
}

std::array<double, k_servo_count> ArmWindow::angles() const {
    std::array<double, k_servo_count> a{};
    for (int i = 0; i < k_servo_count; ++i)
        a[static_cast<std::size_t>(i)] = m_session.model().angle(i);
    return a;
}

void ArmWindow::update_animation() {
    bool moving = m_session.model().is_moving();
    if (moving == m_animating)
        return;
    if (moving)
        m_animating = set_timer(m_hwnd, k_frame_timer, k_frame_ms) != 0;
    else
        m_animating = !kill_timer(m_hwnd, k_frame_timer);
}

void ArmWindow::take_inbox() {
    for (InboxItem& item : m_inbox.take()) {
        if (item.sender_closed)
            sender_closed();
        else
            receive(item.bytes, item.time);
    }
}

void ArmWindow::paint() {
    PaintStruct ps;
    Canvas* c = begin_paint(m_hwnd, ps);
    if (!c)
        return;
    Rect client;
    get_client_rect(m_hwnd, client);
    ArmView view;
    view.model = &m_session.model();
    view.counts = m_session.counts();
    view.log = &m_log;
    view.port = m_port;
    m_painter.paint(*c, client, view);
    m_shown_extent = ArmPainter::extent(ArmPainter::layout(client), m_session.model());
    end_paint(m_hwnd, ps);
}

LRESULT ArmWindow::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<ArmWindow*>(get_window_long(hwnd, GWL_USERDATA));
    if (!self)
        return def_window_proc(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_ARM_INPUT:
        self->take_inbox();
        return 0;
    case WM_TIMER:
        if (wp == k_frame_timer)
            self->frame();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        self->paint();
        return 0;
    case WM_DESTROY:
        self->m_hwnd = nullptr;
        self->m_animating = false;
        post_quit_message(0);
        return 0;
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

} // namespace arm
