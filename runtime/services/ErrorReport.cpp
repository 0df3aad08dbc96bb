#include "ErrorReport.h"

#include <runtime/AppRuntime.h>
#include <runtime/windows/RuntimeMessages.h>

#include <platform/Encoding.h>

#include <cstdio>
#include <string>

namespace runtime {

ErrorReport& ErrorReport::the() {
    static ErrorReport report;
    return report;
}

void ErrorReport::set_message_box(MessageBoxFunction box) {
    m_message_box = box;
}

void ErrorReport::report(std::string_view message, int error_number) {
    auto& app = AppRuntime::the();
    app.suppress_events();

    // The handler gets a terminated copy; the view may not be terminated.
    std::string message_text(message);
    bool box_wanted = true;
    if (m_user_handler && !m_handler_running) {
        m_handler_running = true;
        int handled = m_user_handler(error_number, message_text.c_str());
        m_handler_running = false;
        box_wanted = handled == 0;
    }

    if (box_wanted) {
        std::string text = compose_error_text(error_number, message_text);
        std::string readable = error_text_for_stderr(text);
        std::fprintf(stderr, "%s\n%s", platform::gbk_to_utf8(messages::ErrorCaption).c_str(),
                     readable.c_str());
        std::fflush(stderr);
        if (m_message_box)
            m_message_box(text.c_str(), messages::ErrorCaption, MB_ICONERROR);
    }

    app.set_exit_routine(nullptr);
    app.end_program(-1);
}

std::string compose_error_text(int error_number, std::string_view message) {
    std::string text = messages::ErrorHeading;
    text += "\r\n\r\n";
    if (error_number != 0) {
        text += messages::ErrorCodeLabel;
        text += std::to_string(error_number);
        text += "\r\n\r\n";
    }
    if (!message.empty()) {
        text += messages::ErrorInfoLabel;
        text += message;
        text += "\r\n";
    }
    return text;
}

std::string error_text_for_stderr(std::string_view composed) {
    std::string utf8 = platform::gbk_to_utf8(composed);
    std::string text;
    text.reserve(utf8.size());
    for (char c : utf8) {
        if (c != '\r')
            text += c;
    }
    return text;
}

void report_runtime_error(std::string_view message, int error_number) {
    ErrorReport::the().report(message, error_number);
}

void report_numbered_error(int number) {
    const char* message = messages::numbered_message(number);
    ErrorReport::the().report(message ? message : "", number);
}

} // namespace runtime
