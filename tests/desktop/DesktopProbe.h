#pragma once

// The fixture of the tests that drive real GTK windows with xdotool: a GTK
// display in this process, a probe window with two child windows whose
// messages are recorded, and helpers that run xdotool while our message
// loop keeps turning. Nothing waits a fixed time: a wait ends on what it
// waits for, or fails at its time limit.

#include <platform/gtk/GtkBackend.h>
#include <platform/process/ChildProcess.h>
#include <platform/window/WindowSystem.h>

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace test_support {

using namespace platform;

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
    // Lets the probe window's frame clock run a whole frame (GTK moves,
    // sizes and paints its windows there), then makes a round trip to the
    // X server and dispatches what came back, until nothing more comes:
    // on return every event the server made before (for the input xdotool
    // sent, say) has been handled, and every request of ours has reached it.
    void settle();
    // Settles and asks `shown` (what the server shows, typically) until it
    // holds or limit_ms passes.
    bool settle_until(const std::function<bool()>& shown, int limit_ms = 3000);
    // Runs xdotool with these arguments, dispatching our messages meanwhile,
    // and settles once it has ended.
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

  private:
    void take_quit();
    void wait_for_frame(int limit_ms);

  public:
    static LRESULT probe_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

} // namespace test_support
