#pragma once

// The GTK display with one addition for the benchmarks that drive the arm
// controller in-process on a real X server: every message box is answered
// with Enter, posted through the window system's input as the keyboard
// would, the moment the box is shown. Everything else is the GTK display's.

#include <platform/gtk/GtkBackend.h>

#include <string>

namespace bench {

class AnsweringGtkDisplay final : public platform::GtkBackend {
  public:
    // Connects to $DISPLAY; false, with the reason, when there is none.
    static bool open(std::string& error);

    void message_box_shown(platform::HWND box, int default_id, std::string_view caption,
                           std::string_view text) override;

    int boxes_answered() const { return m_boxes_answered; }

  private:
    int m_boxes_answered = 0;
};

} // namespace bench
