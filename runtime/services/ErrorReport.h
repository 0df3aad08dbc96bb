#pragma once

// The runtime's single fatal error report. Every runtime error ends the
// process: the report shows the error box ("运行时出错!", an optional error
// code line and the message, caption "错误"), writes the same text to
// standard error, and exits with code -1 without running the program's exit
// routine.

#include <string>
#include <string_view>

namespace runtime {

// Returns non-zero when it has dealt with the error itself (no box is shown).
using UserErrorHandler = int (*)(int error_number, const char* message);

// Shows the composed GBK text; the platform installs its message box here.
using MessageBoxFunction = void (*)(const char* text, const char* caption, unsigned style);

inline constexpr unsigned MB_ICONERROR = 0x10;

class ErrorReport {
  public:
    static ErrorReport& the();

    void set_user_error_handler(UserErrorHandler handler) { m_user_handler = handler; }
    UserErrorHandler user_error_handler() const { return m_user_handler; }
    bool is_handler_running() const { return m_handler_running; }

    // Null restores the default, which shows nothing beyond standard error.
    void set_message_box(MessageBoxFunction box);

    [[noreturn]] void report(std::string_view message, int error_number);

  private:
    UserErrorHandler m_user_handler = nullptr;
    bool m_handler_running = false;
    MessageBoxFunction m_message_box = nullptr;
};

// The box text for an error number (0: no code line) and GBK message.
std::string compose_error_text(int error_number, std::string_view message);

// The same text made readable on a UTF-8 terminal: UTF-8, LF line ends.
std::string error_text_for_stderr(std::string_view composed);

[[noreturn]] void report_runtime_error(std::string_view message, int error_number = 0);

// Slot 0 of the call table: a message of the numbered table, the number
// being the error code. A number outside the table is reported with no message.
[[noreturn]] void report_numbered_error(int number);

} // namespace runtime
