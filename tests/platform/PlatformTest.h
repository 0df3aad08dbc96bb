#pragma once

// The fixture of every platform test: a headless display on stepped time,
// the message recorder, and a watchdog for loops.

#include "MessageRecorder.h"
#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <tests/support/PumpUntil.h>
#include <tests/support/SteppedTime.h>
#include <tests/support/Subclass.h>

#include <functional>
#include <gtest/gtest.h>

namespace platform::testing {

using test_support::LetTimeRun;
using test_support::Subclass;
using test_support::wait_for;

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(initialize(&m_backend));
        m_recorder = std::make_unique<MessageRecorder>();
        // Hit testing asks every window under the mouse; it is noise in
        // nearly every sequence.
        m_recorder->ignore(WM_NCHITTEST);
    }
    void TearDown() override {
        shutdown();
        m_recorder.reset();
        unregister_class(MessageRecorder::class_name);
    }

    HWND make_top(std::uint32_t style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                  Rect r = {100, 100, 500, 400}) {
        return create_window_ex(0, MessageRecorder::class_name, "top", style, r.left, r.top,
                                r.width(), r.height(), nullptr, 0);
    }
    // The top window that the controls under test sit in, with the standard
    // controls registered; its messages are recorded.
    HWND make_control_parent() {
        register_standard_controls();
        HWND top = make_top();
        recorder().watch(top);
        return top;
    }
    HWND make_child(HWND parent, Rect r, int id = 1, std::uint32_t style = WS_VISIBLE) {
        return create_window_ex(0, MessageRecorder::class_name, "child", WS_CHILD | style, r.left,
                                r.top, r.width(), r.height(), parent,
                                static_cast<std::uintptr_t>(id));
    }

    bool pump_until(const std::function<bool()>& done, int limit_ms = 10000) {
        return test_support::pump_until(m_backend, done, limit_ms);
    }

    MessageRecorder& recorder() { return *m_recorder; }

    HeadlessBackend m_backend{HeadlessTime::Stepped};
    std::unique_ptr<MessageRecorder> m_recorder;
};

#define EXPECT_SEQUENCE(recorder, ...)                                                             \
    do {                                                                                           \
        auto diff = (recorder).compare(__VA_ARGS__);                                               \
        EXPECT_FALSE(diff.has_value()) << *diff;                                                   \
    } while (0)

} // namespace platform::testing
