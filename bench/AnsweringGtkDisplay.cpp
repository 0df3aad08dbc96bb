#include "AnsweringGtkDisplay.h"

#include <platform/window/Input.h>
#include <platform/window/Styles.h>

namespace bench {

bool AnsweringGtkDisplay::open(std::string& error) {
    static int argc = 1;
    static char name[] = "armctl-bench";
    static char* args[] = {name, nullptr};
    static char** argv = args;
    return platform::GtkBackend::open_display(&argc, &argv, error);
}

void AnsweringGtkDisplay::message_box_shown(platform::HWND, int, std::string_view,
                                            std::string_view) {
    // The box's default button has the focus; the key is queued now and
    // reaches it once the box's own loop runs.
    platform::input::key(platform::VK_RETURN, true);
    platform::input::key(platform::VK_RETURN, false);
    ++m_boxes_answered;
}

} // namespace bench
