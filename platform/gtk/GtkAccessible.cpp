// The ATK object of one of our accessible objects: the AtkObject methods
// and AtkComponent on every one, and the other interfaces on the types
// that need them (GtkAccessibleInterfaces.cpp).

#include "GtkAccessible.h"

#include "GtkAccessibleInterfaces.h"
#include <platform/window/WindowSystem.h>

#include <map>
#include <string>
#include <vector>

namespace platform::gtk_access {

using namespace platform::access;

namespace {

G_DEFINE_TYPE_WITH_CODE(ArmctlAccessible, armctl_accessible, ATK_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(ATK_TYPE_COMPONENT, component_interface_init))

const gchar* object_get_name(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    self->name = describe(self->object).name;
    return self->name.c_str();
}

const gchar* object_get_description(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    self->description = describe(self->object).description;
    return self->description.c_str();
}

AtkObject* object_get_parent(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    if (self->defunct)
        return nullptr;
    AtkObject* up = ref_object(parent(self->object));
    // The registry (or the surface's widget) keeps the parent alive.
    if (up)
        g_object_unref(up);
    return up;
}

gint object_get_n_children(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    return self->defunct ? 0 : static_cast<gint>(children(self->object).size());
}

AtkObject* object_ref_child(AtkObject* atk, gint index) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    if (self->defunct || index < 0)
        return nullptr;
    std::vector<Object> list = children(self->object);
    if (static_cast<std::size_t>(index) >= list.size())
        return nullptr;
    return ref_object(list[static_cast<std::size_t>(index)]);
}

gint object_get_index_in_parent(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    if (self->defunct)
        return -1;
    return index_in_parent(self->object);
}

AtkRole object_get_role(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    if (self->defunct)
        return ATK_ROLE_INVALID;
    return atk_role(describe(self->object).role);
}

void add_state(AtkStateSet* set, std::uint32_t states, std::uint32_t ours, AtkStateType atk) {
    if (states & ours)
        atk_state_set_add_state(set, atk);
}

AtkStateSet* object_ref_state_set(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    AtkStateSet* set = atk_state_set_new();
    Node node = self->defunct ? Node{} : describe(self->object);
    if (self->defunct || (node.states & Defunct)) {
        atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
        return set;
    }
    std::uint32_t s = node.states;
    add_state(set, s, Showing, ATK_STATE_SHOWING);
    add_state(set, s, Visible, ATK_STATE_VISIBLE);
    add_state(set, s, Enabled, ATK_STATE_ENABLED);
    add_state(set, s, Enabled, ATK_STATE_SENSITIVE);
    add_state(set, s, Focusable, ATK_STATE_FOCUSABLE);
    add_state(set, s, Focused, ATK_STATE_FOCUSED);
    add_state(set, s, Checked, ATK_STATE_CHECKED);
    add_state(set, s, Editable, ATK_STATE_EDITABLE);
    add_state(set, s, SingleLine, ATK_STATE_SINGLE_LINE);
    add_state(set, s, MultiLine, ATK_STATE_MULTI_LINE);
    add_state(set, s, Horizontal, ATK_STATE_HORIZONTAL);
    add_state(set, s, Vertical, ATK_STATE_VERTICAL);
    add_state(set, s, Expandable, ATK_STATE_EXPANDABLE);
    add_state(set, s, Expanded, ATK_STATE_EXPANDED);
    add_state(set, s, Selectable, ATK_STATE_SELECTABLE);
    add_state(set, s, Selected, ATK_STATE_SELECTED);
    add_state(set, s, Pressed, ATK_STATE_PRESSED);
    add_state(set, s, Modal, ATK_STATE_MODAL);
    add_state(set, s, Active, ATK_STATE_ACTIVE);
    return set;
}

void add_relation(AtkRelationSet* set, HWND target, AtkRelationType type) {
    AtkObject* other = target ? ref_object({target, 0}) : nullptr;
    if (!other)
        return;
    AtkObject* targets[] = {other};
    AtkRelation* relation = atk_relation_new(targets, 1, type);
    atk_relation_set_add(set, relation);
    g_object_unref(relation);
    g_object_unref(other);
}

AtkRelationSet* object_ref_relation_set(AtkObject* atk) {
    auto* self = ARMCTL_ACCESSIBLE(atk);
    AtkRelationSet* set = atk_relation_set_new();
    if (self->defunct)
        return set;
    Node node = describe(self->object);
    add_relation(set, node.labelled_by, ATK_RELATION_LABELLED_BY);
    add_relation(set, node.label_for, ATK_RELATION_LABEL_FOR);
    return set;
}

void finalize(GObject* object) {
    auto* self = ARMCTL_ACCESSIBLE(object);
    self->name.~basic_string();
    self->description.~basic_string();
    self->text_cache.~basic_string();
    self->action_names.~vector();
    G_OBJECT_CLASS(armctl_accessible_parent_class)->finalize(object);
}

void armctl_accessible_class_init(ArmctlAccessibleClass* cls) {
    G_OBJECT_CLASS(cls)->finalize = finalize;
    AtkObjectClass* atk = ATK_OBJECT_CLASS(cls);
    atk->get_name = object_get_name;
    atk->get_description = object_get_description;
    atk->get_parent = object_get_parent;
    atk->get_n_children = object_get_n_children;
    atk->ref_child = object_ref_child;
    atk->get_index_in_parent = object_get_index_in_parent;
    atk->get_role = object_get_role;
    atk->ref_state_set = object_ref_state_set;
    atk->ref_relation_set = object_ref_relation_set;
}

void armctl_accessible_init(ArmctlAccessible* self) {
    new (&self->name) std::string();
    new (&self->description) std::string();
    new (&self->text_cache) std::string();
    new (&self->action_names) std::vector<std::string>();
}

// One type per set of interfaces, made when first needed.
GType type_for(unsigned interfaces) {
    static std::map<unsigned, GType> types;
    if (auto it = types.find(interfaces); it != types.end())
        return it->second;
    std::string name = "ArmctlAccessible" + std::to_string(interfaces);
    GTypeQuery base;
    g_type_query(armctl_accessible_get_type(), &base);
    GType type =
        g_type_register_static_simple(armctl_accessible_get_type(), name.c_str(), base.class_size,
                                      nullptr, base.instance_size, nullptr, GTypeFlags(0));
    add_interfaces(type, interfaces);
    types.emplace(interfaces, type);
    return type;
}

} // namespace

ArmctlAccessible* as_ours(gpointer instance) {
    if (!instance || !G_TYPE_CHECK_INSTANCE_TYPE(instance, armctl_accessible_get_type()))
        return nullptr;
    return reinterpret_cast<ArmctlAccessible*>(instance);
}

AtkObject* make_object(Object object) {
    Node node = describe(object);
    if (node.states & Defunct)
        return nullptr;
    unsigned interfaces = 0;
    if (!node.actions.empty())
        interfaces |= InterfaceAction;
    if (node.has_value)
        interfaces |= InterfaceValue;
    if (node.has_text)
        interfaces |= InterfaceText;
    if (node.editable_text)
        interfaces |= InterfaceEditableText;
    if (node.selection)
        interfaces |= InterfaceSelection;
    if (node.rows > 0 && node.columns > 0)
        interfaces |= InterfaceTable;
    auto* self = static_cast<ArmctlAccessible*>(g_object_new(type_for(interfaces), nullptr));
    self->object = object;
    AtkObject* atk = ATK_OBJECT(self);
    atk->role = atk_role(node.role);
    atk_object_initialize(atk, nullptr);
    if (node.has_text) {
        TextState text_state;
        text(object, text_state);
        self->text_cache = text_state.text;
    }
    return atk;
}

Object object_of(AtkObject* atk) {
    ArmctlAccessible* self = as_ours(atk);
    return self && !self->defunct ? self->object : Object{};
}

void set_defunct(AtkObject* atk) {
    ArmctlAccessible* self = as_ours(atk);
    if (!self || self->defunct)
        return;
    self->defunct = true;
    atk_object_notify_state_change(atk, ATK_STATE_DEFUNCT, TRUE);
}

AtkRole atk_role(Role role) {
    switch (role) {
    case Role::None:
        return ATK_ROLE_INVALID;
    case Role::Frame:
        return ATK_ROLE_FRAME;
    case Role::Dialog:
        return ATK_ROLE_DIALOG;
    case Role::Alert:
        return ATK_ROLE_ALERT;
    case Role::Panel:
        return ATK_ROLE_PANEL;
    case Role::Filler:
        return ATK_ROLE_FILLER;
    case Role::PushButton:
        return ATK_ROLE_PUSH_BUTTON;
    case Role::CheckBox:
        return ATK_ROLE_CHECK_BOX;
    case Role::RadioButton:
        return ATK_ROLE_RADIO_BUTTON;
    case Role::Label:
        return ATK_ROLE_LABEL;
    case Role::Text:
        return ATK_ROLE_TEXT;
    case Role::ComboBox:
        return ATK_ROLE_COMBO_BOX;
    case Role::List:
        return ATK_ROLE_LIST;
    case Role::ListItem:
        return ATK_ROLE_LIST_ITEM;
    case Role::Slider:
        return ATK_ROLE_SLIDER;
    case Role::SpinButton:
        return ATK_ROLE_SPIN_BUTTON;
    case Role::ScrollBar:
        return ATK_ROLE_SCROLL_BAR;
    case Role::Image:
        return ATK_ROLE_IMAGE;
    case Role::Table:
        return ATK_ROLE_TABLE;
    case Role::TableCell:
        return ATK_ROLE_TABLE_CELL;
    case Role::ColumnHeader:
        return ATK_ROLE_COLUMN_HEADER;
    case Role::RowHeader:
        return ATK_ROLE_ROW_HEADER;
    case Role::StatusBar:
        return ATK_ROLE_STATUSBAR;
    case Role::ToolTip:
        return ATK_ROLE_TOOL_TIP;
    }
    return ATK_ROLE_UNKNOWN;
}

} // namespace platform::gtk_access
