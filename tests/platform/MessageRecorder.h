#pragma once

// Records every message the windows of a test see, and compares the record
// with an expected sequence, printing both when they differ.

#include <platform/window/WindowSystem.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace platform::testing {

enum Flags : unsigned {
    sent = 1,       // reached the procedure through a send
    posted = 2,     // reached the procedure through dispatch
    hook = 4,       // seen by a WH_CALLWNDPROC hook
    optional = 8,   // expected entries only: may be missing
    wparam = 16,    // expected entries only: compare wParam
    lparam = 32,    // expected entries only: compare lParam
    any_window = 64 // expected entries only: do not compare the window
};

struct Recorded {
    HWND hwnd = nullptr;
    UINT message = 0;
    unsigned flags = 0;
    WPARAM wp = 0;
    LPARAM lp = 0;
};

struct Expected {
    UINT message;
    unsigned flags = 0;
    HWND hwnd = nullptr;
    WPARAM wp = 0;
    LPARAM lp = 0;
};

class MessageRecorder {
  public:
    MessageRecorder();
    ~MessageRecorder();

    // The class "Recorder" records, then passes everything to
    // def_window_proc. Tests can override answers per message.
    static constexpr const char* class_name = "Recorder";

    void record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, unsigned flags);
    void clear() { m_log.clear(); }
    const std::vector<Recorded>& log() const { return m_log; }
    // Messages to leave out of the record (painting noise, cursor updates).
    void ignore(UINT message) { m_ignored.push_back(message); }
    void ignore(std::initializer_list<UINT> messages) {
        m_ignored.insert(m_ignored.end(), messages);
    }
    // Only messages of these windows are recorded (all when empty).
    void watch(HWND hwnd) { m_watched.push_back(hwnd); }
    // Records the messages the hook sees too.
    void install_hook();

    // Compares the record with `expected` (in order; optional entries may be
    // missing). On a mismatch the returned text shows both sequences.
    std::optional<std::string> compare(const std::vector<Expected>& expected) const;

    // Answers for the Recorder class's procedure: a message with an answer
    // here is not passed to def_window_proc.
    void answer(UINT message, LRESULT result) { m_answers.push_back({message, result}); }
    bool has_answer(UINT message, LRESULT& result) const;

    static MessageRecorder* current();

  private:
    std::vector<Recorded> m_log;
    std::vector<UINT> m_ignored;
    std::vector<HWND> m_watched;
    std::vector<std::pair<UINT, LRESULT>> m_answers;
    HHOOK m_hook = nullptr;
};

std::string describe(UINT message);

} // namespace platform::testing
