#pragma once

// Private to the GTK display's accessibility: the instance of our ATK
// objects, and the interfaces a type of them implements.

#include "GtkAccessible.h"

#include <string>
#include <vector>

namespace platform::gtk_access {

struct ArmctlAccessible {
    AtkObject parent;
    access::Object object;
    bool defunct;
    // What the last answers handed out: ATK lends these strings.
    std::string name;
    std::string description;
    std::string text_cache; // the text as the client was last told it
    std::vector<std::string> action_names;
};

struct ArmctlAccessibleClass {
    AtkObjectClass parent_class;
};

#define ARMCTL_ACCESSIBLE(o) (reinterpret_cast<::platform::gtk_access::ArmctlAccessible*>(o))

// Null for an instance that is not one of ours.
ArmctlAccessible* as_ours(gpointer instance);

enum Interface : unsigned {
    InterfaceAction = 1u << 0,
    InterfaceValue = 1u << 1,
    InterfaceText = 1u << 2,
    InterfaceEditableText = 1u << 3,
    InterfaceSelection = 1u << 4,
    InterfaceTable = 1u << 5,
};

void component_interface_init(AtkComponentIface* iface);
void add_interfaces(GType type, unsigned interfaces);

} // namespace platform::gtk_access
