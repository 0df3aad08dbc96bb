#pragma once

// The fixture of the tests that drive real GTK windows with xdotool: a GTK
// display in this process, a probe window with two child windows whose
// messages are recorded, and helpers that run xdotool while our message
// loop keeps turning. Every wait has a time limit.

#include <platform/gtk/GtkBackend.h>
#include <platform/window/WindowSystem.h>
#include <tests/support/ProcessRunner.h>

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace platform::testing {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wp;
    LPARAM lp;
};

class DesktopProbe : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Dispatches messages until `done` holds or limit_ms passes.
    bool pump_until(const std::function<bool()>& done, int limit_ms = 3000);
    // Dispatches what arrives during `ms`.
    void pump_for(int ms);
    // Runs xdotool with these arguments, dispatching our messages meanwhile.
    ProcessResult xdotool(const std::vector<std::string>& args, int limit_ms = 5000);
    std::string window_id() const;

    // Messages of the given kinds the window received, in order.
    std::vector<Seen> seen(HWND hwnd, std::initializer_list<UINT> messages) const;
    // The bytes of the WM_CHAR messages a window received.
    std::string typed_bytes(HWND hwnd) const;
    bool received(HWND hwnd, UINT message) const;

    std::unique_ptr<GtkBackend> m_backend;
    std::string m_title; // UTF-8, unique to this process
    HWND m_top = nullptr;
    HWND m_left = nullptr;  // child at (20, 30), 100 x 60
    HWND m_right = nullptr; // child at (200, 30), 100 x 60, takes double clicks
    std::vector<Seen> m_seen;
    bool m_quit_seen = false;
    int m_quit_code = -1;

  public:
    static LRESULT probe_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

} // namespace platform::testing
