// A small program that shows the platform layer at work on either display:
// a window with pads that react to the mouse and the keyboard, Chinese text,
// and a status line with the last message a pad received.
//
//   armctl-demo [--backend=gtk|headless]
//   ARMCTL_DEMO_SCREENSHOT=demo.png armctl-demo   (paints, saves, exits)

#include "platform/BackendChoice.h"
#include "platform/Encoding.h"
#include <platform/drawing/Canvas.h>
#include <platform/drawing/Font.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace platform;

constexpr const char* MainClass = "ArmctlDemoMain";
constexpr const char* PadClass = "ArmctlDemoPad";
constexpr COLORREF Face = rgb(0xF0, 0xF0, 0xF0);
constexpr COLORREF Accent = rgb(0x00, 0x78, 0xD7);
constexpr int StatusHeight = 26;

enum class PadKind { Button, TextEntry };

struct Pad {
    PadKind kind = PadKind::Button;
    std::string label; // GBK
    bool hover = false;
    bool pressed = false;
    bool focused = false;
    int clicks = 0;
    std::string typed; // GBK bytes, as WM_CHAR delivered them
};

struct Demo {
    HWND main = nullptr;
    std::vector<std::unique_ptr<Pad>> pads;
    HWND hovered = nullptr;
    std::string status; // GBK
    HFONT title_font = nullptr;
};

Demo& demo() {
    static Demo d;
    return d;
}

Pad* pad_of(HWND hwnd) {
    return reinterpret_cast<Pad*>(get_window_long(hwnd, GWL_USERDATA));
}

Rect status_rect(HWND main) {
    Rect r;
    get_client_rect(main, r);
    return {0, r.bottom - StatusHeight, r.right, r.bottom};
}

void set_status(const std::string& gbk) {
    Demo& d = demo();
    if (d.status == gbk || !is_window(d.main))
        return;
    d.status = gbk;
    Rect r = status_rect(d.main);
    invalidate_rect(d.main, &r, true);
}

void note_message(HWND pad, UINT msg, WPARAM wp, LPARAM lp) {
    const char* name = message_name(msg);
    char text[160];
    std::string label = pad_of(pad) ? pad_of(pad)->label : std::string();
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL)
        std::snprintf(text, sizeof text, "%s (%d, %d) ", name, get_x_lparam(lp), get_y_lparam(lp));
    else if (msg == WM_CHAR || msg == WM_KEYDOWN || msg == WM_KEYUP)
        std::snprintf(text, sizeof text, "%s 0x%02lX ", name, static_cast<unsigned long>(wp));
    else
        std::snprintf(text, sizeof text, "%s ", name ? name : "message");
    set_status(utf8_to_gbk("最后的消息：") + text + label);
}

void set_hovered(HWND hwnd) {
    Demo& d = demo();
    if (d.hovered == hwnd)
        return;
    for (HWND h : {d.hovered, hwnd}) {
        if (Pad* p = pad_of(h)) {
            p->hover = h == hwnd;
            invalidate_rect(h, nullptr, true);
        }
    }
    d.hovered = hwnd;
}

// ---- Pads -------------------------------------------------------------------

void paint_button(Canvas& c, const Rect& r, const Pad& pad) {
    COLORREF fill = pad.pressed ? rgb(0xCC, 0xE4, 0xF7)
                    : pad.hover ? rgb(0xE5, 0xF1, 0xFB)
                                : rgb(0xE1, 0xE1, 0xE1);
    COLORREF edge = pad.hover || pad.pressed ? Accent : rgb(0xAD, 0xAD, 0xAD);
    c.fill_rect(r, fill);
    c.frame_rect(r, edge);
    std::string text = pad.label;
    if (pad.clicks > 0)
        text += " (" + std::to_string(pad.clicks) + ")";
    Rect t = pad.pressed ? r.offset(1, 1) : r;
    c.set_bk_mode(BkMode::Transparent);
    c.set_text_color(rgb(0, 0, 0));
    c.draw_text(text, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void paint_entry(Canvas& c, const Rect& r, const Pad& pad) {
    c.fill_rect(r, rgb(0xFF, 0xFF, 0xFF));
    c.frame_rect(r,
                 pad.focused ? Accent
                 : pad.hover ? rgb(0x33, 0x33, 0x33)
                             : rgb(0x7A, 0x7A, 0x7A),
                 pad.focused ? 2 : 1);
    c.set_bk_mode(BkMode::Transparent);
    Rect t{r.left + 8, r.top + 6, r.right - 8, r.bottom - 6};
    if (pad.typed.empty() && !pad.focused) {
        c.set_text_color(rgb(0x80, 0x80, 0x80));
        c.draw_text(pad.label, t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        return;
    }
    c.set_text_color(rgb(0, 0, 0));
    c.draw_text(pad.typed + (pad.focused ? "|" : ""), t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}

void on_char(HWND hwnd, Pad& pad, WPARAM ch) {
    if (pad.kind != PadKind::TextEntry)
        return;
    if (ch == 0x08) {
        if (!pad.typed.empty())
            pad.typed.erase(gbk_char_start(pad.typed, pad.typed.size() - 1));
    } else if (ch >= 0x20 && ch <= 0xFF) {
        // A double-byte character arrives as two messages; both bytes are
        // kept, so the text reads as GBK once the trail byte is in.
        pad.typed.push_back(static_cast<char>(ch));
    } else {
        return;
    }
    invalidate_rect(hwnd, nullptr, true);
}

LRESULT pad_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Pad* pad = pad_of(hwnd);
    if (!pad)
        return def_window_proc(hwnd, msg, wp, lp);
    if (msg != WM_PAINT && msg != WM_ERASEBKGND && msg != WM_SETCURSOR && msg != WM_NCDESTROY)
        note_message(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_SETCURSOR:
        set_hovered(hwnd);
        set_cursor(load_cursor(pad->kind == PadKind::TextEntry ? IDC_IBEAM : IDC_HAND));
        return 1;
    case WM_MOUSEMOVE:
        set_hovered(hwnd);
        if (get_capture() == hwnd) {
            Rect r;
            get_client_rect(hwnd, r);
            bool inside = r.contains(mouse_point(lp));
            if (inside != pad->pressed) {
                pad->pressed = inside;
                invalidate_rect(hwnd, nullptr, true);
            }
        }
        return 0;
    case WM_LBUTTONDOWN:
        set_capture(hwnd);
        pad->pressed = true;
        if (pad->kind == PadKind::TextEntry)
            set_focus(hwnd);
        invalidate_rect(hwnd, nullptr, true);
        return 0;
    case WM_LBUTTONUP:
        if (get_capture() != hwnd)
            return 0;
        if (pad->pressed)
            ++pad->clicks;
        release_capture(); // WM_CAPTURECHANGED clears the pressed look
        return 0;
    case WM_CAPTURECHANGED:
        pad->pressed = false;
        invalidate_rect(hwnd, nullptr, true);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        pad->focused = msg == WM_SETFOCUS;
        invalidate_rect(hwnd, nullptr, true);
        return 0;
    case WM_CHAR:
        on_char(hwnd, *pad, wp);
        return 0;
    case WM_PAINT: {
        PaintStruct ps;
        Canvas* c = begin_paint(hwnd, ps);
        Rect r;
        get_client_rect(hwnd, r);
        if (pad->kind == PadKind::TextEntry)
            paint_entry(*c, r, *pad);
        else
            paint_button(*c, r, *pad);
        end_paint(hwnd, ps);
        return 0;
    }
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

// ---- Main window -----------------------------------------------------------------

void paint_main(HWND hwnd) {
    Demo& d = demo();
    PaintStruct ps;
    Canvas* c = begin_paint(hwnd, ps);
    Rect client;
    get_client_rect(hwnd, client);
    c->set_bk_mode(BkMode::Transparent);

    HFONT old = c->set_font(d.title_font);
    c->set_text_color(rgb(0x20, 0x20, 0x20));
    Rect title{16, 10, client.right - 16, 44};
    c->draw_text(utf8_to_gbk("机械臂控制 · platform demo"), title,
                 DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    c->set_font(old);

    c->set_text_color(rgb(0x40, 0x40, 0x40));
    Rect servos{16, 210, client.right - 16, 236};
    c->draw_text(utf8_to_gbk("舵机 1–4：90°  90°  90°  90°    速度：中"), servos,
                 DT_LEFT | DT_SINGLELINE);

    Rect status = status_rect(hwnd);
    c->fill_rect(status, rgb(0xE6, 0xE6, 0xE6));
    c->draw_line(0, status.top, status.right, status.top, rgb(0xB0, 0xB0, 0xB0));
    Rect st{status.left + 10, status.top, status.right - 10, status.bottom};
    c->set_text_color(rgb(0, 0, 0));
    c->draw_text(d.status.empty() ? utf8_to_gbk("就绪") : d.status, st,
                 DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    end_paint(hwnd, ps);
}

LRESULT main_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SETCURSOR:
        // The pads ask their parent first; the mouse over the background
        // means no pad is hovered any more.
        if (reinterpret_cast<HWND>(wp) == hwnd)
            set_hovered(nullptr);
        return def_window_proc(hwnd, msg, wp, lp) && reinterpret_cast<HWND>(wp) == hwnd;
    case WM_PAINT:
        paint_main(hwnd);
        return 0;
    case WM_SIZE: {
        Rect r = status_rect(hwnd);
        invalidate_rect(hwnd, &r, true);
        return 0;
    }
    case WM_DESTROY:
        post_quit_message(0);
        return 0;
    default:
        return def_window_proc(hwnd, msg, wp, lp);
    }
}

void add_pad(HWND parent, PadKind kind, const char* label_utf8, Rect r, int id) {
    auto pad = std::make_unique<Pad>();
    pad->kind = kind;
    pad->label = utf8_to_gbk(label_utf8);
    HWND hwnd =
        create_window_ex(0, PadClass, pad->label, WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left, r.top,
                         r.width(), r.height(), parent, static_cast<std::uintptr_t>(id));
    if (!hwnd)
        return;
    set_window_long(hwnd, GWL_USERDATA, reinterpret_cast<std::intptr_t>(pad.get()));
    demo().pads.push_back(std::move(pad));
}

bool create_demo() {
    WindowClass main_class;
    main_class.name = MainClass;
    main_class.proc = main_proc;
    main_class.background = static_cast<std::int64_t>(Face);
    WindowClass pad_class;
    pad_class.name = PadClass;
    pad_class.proc = pad_proc;
    pad_class.style = CS_DBLCLKS;
    if (!register_class(main_class) || !register_class(pad_class))
        return false;

    LogFont lf = default_gui_log_font();
    lf.height = -20;
    lf.weight = FW_BOLD;
    demo().title_font = create_font_indirect(lf);

    HWND main =
        create_window_ex(0, MainClass, "Platform demo", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                         CW_USEDEFAULT, CW_USEDEFAULT, 640, 400, nullptr, 0);
    if (!main)
        return false;
    demo().main = main;
    add_pad(main, PadKind::Button, "端口：Close", {16, 56, 196, 100}, 101);
    add_pad(main, PadKind::Button, "机械臂控制", {212, 56, 392, 100}, 102);
    add_pad(main, PadKind::Button, "Hover me", {408, 56, 588, 100}, 103);
    add_pad(main, PadKind::TextEntry, "Click here and type (中文 too)", {16, 116, 588, 196}, 104);
    show_window(main, SW_SHOW);
    update_window(main);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    OpenedBackend opened = open_backend(argc, argv);
    if (!opened.backend) {
        std::fprintf(stderr, "armctl-demo: %s\n", opened.error.c_str());
        return 1;
    }
    initialize(opened.backend.get());
    if (!create_demo()) {
        std::fprintf(stderr, "armctl-demo: cannot create the demo window\n");
        shutdown();
        return 1;
    }
    const char* screenshot = std::getenv("ARMCTL_DEMO_SCREENSHOT");
    if (screenshot && *screenshot) {
        bool saved = save_window_png(demo().main, screenshot);
        if (!saved)
            std::fprintf(stderr, "armctl-demo: cannot write %s\n", screenshot);
        shutdown();
        return saved ? 0 : 1;
    }
    if (std::string_view(opened.backend->name()) == "headless") {
        std::fprintf(stderr, "armctl-demo: the headless display has no screen; set "
                             "ARMCTL_DEMO_SCREENSHOT=file.png\n");
        shutdown();
        return 2;
    }
    Msg msg;
    while (get_message(msg)) {
        translate_message(msg);
        dispatch_message(msg);
    }
    shutdown();
    return static_cast<int>(msg.wParam);
}
