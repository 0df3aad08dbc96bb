#pragma once

// Each standard control registers its own window class.

namespace platform::controls {

void register_button_class();
void register_static_class();
void register_edit_class();
void register_combobox_classes(); // "COMBOBOX" and its list, "ComboLBox"
void register_updown_class();
void register_statusbar_class();
void register_scrollbar_class();

} // namespace platform::controls
