#include "MessageRecorder.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace test_support {

using namespace platform;

namespace {

MessageRecorder* g_current = nullptr;

LRESULT recorder_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    MessageRecorder* r = MessageRecorder::current();
    if (r)
        r->record(hwnd, msg, wp, lp, in_send_message() ? sent : posted);
    LRESULT answer = 0;
    if (r && r->has_answer(msg, answer))
        return answer;
    return def_window_proc(hwnd, msg, wp, lp);
}

LRESULT hook_proc(int code, WPARAM wp, LPARAM lp) {
    auto* info = reinterpret_cast<const CallWndProcInfo*>(lp);
    if (MessageRecorder* r = MessageRecorder::current())
        r->record(info->hwnd, info->message, info->wParam, info->lParam, hook);
    (void)code;
    (void)wp;
    return 0;
}

std::string flags_text(unsigned f) {
    std::string s;
    if (f & sent)
        s += "sent ";
    if (f & posted)
        s += "posted ";
    if (f & hook)
        s += "hook ";
    if (f & optional)
        s += "optional ";
    return s;
}

} // namespace

std::string describe(UINT message) {
    if (const char* n = message_name(message))
        return n;
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", message);
    return buf;
}

MessageRecorder::MessageRecorder() {
    g_current = this;
    WindowClass cls;
    cls.name = class_name;
    cls.proc = recorder_proc;
    cls.style = CS_DBLCLKS;
    cls.background = 0xFFFFFF;
    register_class(cls);
}

MessageRecorder::~MessageRecorder() {
    if (m_hook)
        unhook_windows_hook(m_hook);
    if (g_current == this)
        g_current = nullptr;
}

MessageRecorder* MessageRecorder::current() {
    return g_current;
}

void MessageRecorder::install_hook() {
    m_hook = set_windows_hook(WH_CALLWNDPROC, hook_proc);
}

void MessageRecorder::record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, unsigned flags) {
    if (std::find(m_ignored.begin(), m_ignored.end(), msg) != m_ignored.end())
        return;
    if (!m_watched.empty() &&
        std::find(m_watched.begin(), m_watched.end(), hwnd) == m_watched.end())
        return;
    m_log.push_back({hwnd, msg, flags, wp, lp});
}

bool MessageRecorder::has_answer(UINT message, LRESULT& result) const {
    for (auto& [m, r] : m_answers) {
        if (m == message) {
            result = r;
            return true;
        }
    }
    return false;
}

std::optional<std::string> MessageRecorder::compare(const std::vector<Expected>& expected) const {
    auto matches = [](const Expected& e, const Recorded& r) {
        if (e.message != r.message)
            return false;
        if (!(e.flags & any_window) && e.hwnd && e.hwnd != r.hwnd)
            return false;
        unsigned kind = e.flags & (sent | posted | hook);
        if (kind && !(kind & r.flags))
            return false;
        if ((e.flags & wparam) && e.wp != r.wp)
            return false;
        if ((e.flags & lparam) && e.lp != r.lp)
            return false;
        return true;
    };
    std::size_t i = 0, j = 0;
    bool ok = true;
    while (i < expected.size() && ok) {
        if (j < m_log.size() && matches(expected[i], m_log[j])) {
            ++i;
            ++j;
        } else if (expected[i].flags & optional) {
            ++i;
        } else {
            ok = false;
        }
    }
    if (ok && j == m_log.size())
        return std::nullopt;
    std::ostringstream out;
    out << "message sequence differs at expected #" << i << ", recorded #" << j << "\nexpected:\n";
    for (auto& e : expected)
        out << "  " << describe(e.message) << " " << flags_text(e.flags) << "hwnd=" << e.hwnd
            << "\n";
    out << "recorded:\n";
    for (auto& r : m_log)
        out << "  " << describe(r.message) << " " << flags_text(r.flags) << "hwnd=" << r.hwnd
            << " wp=" << r.wp << " lp=" << r.lp << "\n";
    return out.str();
}

} // namespace test_support
