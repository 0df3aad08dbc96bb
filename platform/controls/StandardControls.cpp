#include "Controls.h"

#include "ControlClasses.h"

namespace platform {

void register_standard_controls() {
    // Registering twice fails quietly inside each, so this is idempotent.
    controls::register_button_class();
    controls::register_static_class();
    controls::register_edit_class();
    controls::register_statusbar_class();
    controls::register_combobox_classes();
    controls::register_updown_class();
    controls::register_scrollbar_class();
}

} // namespace platform
