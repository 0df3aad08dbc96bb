// The registry of our ATK objects, the drawing surface whose accessible
// reports a top-level window's children, and the model's events turned
// into the ATK signals GTK's bridge sends on to clients.

#include "GtkAccessible.h"

#include "GtkAccessibleInterfaces.h"
#include <platform/access/AccessEvents.h>
#include <platform/access/TextUnits.h>
#include <platform/window/WindowSystem.h>

#include <gtk/gtk-a11y.h>

#include <climits>
#include <map>
#include <utility>

namespace platform::gtk_access {

using namespace platform::access;

namespace {

constexpr const char* k_top_key = "armctl-top";

using Key = std::pair<std::uintptr_t, int>;

struct Registry {
    std::map<Key, AtkObject*> objects;
    std::map<HWND, GtkWidget*> surfaces;
};

Registry& registry() {
    static Registry* r = new Registry; // lives as long as GTK may ask
    return *r;
}

Key key_of(Object o) {
    return {handle_value(o.hwnd), o.part};
}

// ---- The drawing surface and its accessible

struct ArmctlSurface {
    GtkDrawingArea parent;
};
struct ArmctlSurfaceClass {
    GtkDrawingAreaClass parent_class;
};
struct ArmctlSurfaceAccessible {
    GtkWidgetAccessible parent;
};
struct ArmctlSurfaceAccessibleClass {
    GtkWidgetAccessibleClass parent_class;
};

G_DEFINE_TYPE(ArmctlSurfaceAccessible, armctl_surface_accessible, GTK_TYPE_WIDGET_ACCESSIBLE)
G_DEFINE_TYPE(ArmctlSurface, armctl_surface, GTK_TYPE_DRAWING_AREA)

HWND top_of_accessible(AtkObject* atk) {
    GtkWidget* widget = gtk_accessible_get_widget(GTK_ACCESSIBLE(atk));
    return widget ? static_cast<HWND>(g_object_get_data(G_OBJECT(widget), k_top_key)) : nullptr;
}

// A window under another one (a combo box's list) is reported there, not here.
std::vector<Object> surface_children(AtkObject* atk) {
    HWND top = top_of_accessible(atk);
    if (!top || !is_window(top) || describe({top, 0}).container)
        return {};
    return children({top, 0});
}

gint surface_n_children(AtkObject* atk) {
    return static_cast<gint>(surface_children(atk).size());
}

AtkObject* surface_ref_child(AtkObject* atk, gint index) {
    std::vector<Object> list = surface_children(atk);
    if (index < 0 || static_cast<std::size_t>(index) >= list.size())
        return nullptr;
    return ref_object(list[static_cast<std::size_t>(index)]);
}

AtkRole surface_role(AtkObject*) {
    return ATK_ROLE_FILLER;
}

void surface_initialize(AtkObject* atk, gpointer data) {
    ATK_OBJECT_CLASS(armctl_surface_accessible_parent_class)->initialize(atk, data);
    // A client is looking: from now on the model's events are worth sending.
    start_listening();
}

void armctl_surface_accessible_class_init(ArmctlSurfaceAccessibleClass* cls) {
    AtkObjectClass* atk = ATK_OBJECT_CLASS(cls);
    atk->initialize = surface_initialize;
    atk->get_n_children = surface_n_children;
    atk->ref_child = surface_ref_child;
    atk->get_role = surface_role;
}

void armctl_surface_accessible_init(ArmctlSurfaceAccessible*) {}

// GTK restyles a widget whenever its state changes (made insensitive under
// a modal box, in the backdrop when its window loses the focus) and draws it
// again in full, through a window-sized buffer on the X server. Nothing of
// our picture follows GTK's style: once the surface is up, a restyle has
// nothing to draw.
void surface_style_updated(GtkWidget* widget) {
    if (!gtk_widget_get_realized(widget))
        GTK_WIDGET_CLASS(armctl_surface_parent_class)->style_updated(widget);
}

void armctl_surface_class_init(ArmctlSurfaceClass* cls) {
    GTK_WIDGET_CLASS(cls)->style_updated = surface_style_updated;
    gtk_widget_class_set_accessible_type(GTK_WIDGET_CLASS(cls),
                                         armctl_surface_accessible_get_type());
}

void armctl_surface_init(ArmctlSurface*) {}

void surface_destroyed(GtkWidget* widget, gpointer) {
    auto top = static_cast<HWND>(g_object_get_data(G_OBJECT(widget), k_top_key));
    auto& surfaces = registry().surfaces;
    if (auto it = surfaces.find(top); it != surfaces.end() && it->second == widget)
        surfaces.erase(it);
}

// The ATK object for a parent: a top-level window's surface accessible
// only when a client has seen it.
AtkObject* peek_parent(Object o) {
    if (o.hwnd && o.part == 0 && !get_parent(o.hwnd)) {
        auto& surfaces = registry().surfaces;
        auto it = surfaces.find(o.hwnd);
        if (it == surfaces.end())
            return nullptr;
        return describe(o).container ? peek_object(o) : gtk_widget_get_accessible(it->second);
    }
    return peek_object(o);
}

AtkStateType atk_state(std::uint32_t state) {
    switch (state) {
    case Enabled:
        return ATK_STATE_ENABLED;
    case Focused:
        return ATK_STATE_FOCUSED;
    case Checked:
        return ATK_STATE_CHECKED;
    case Expanded:
        return ATK_STATE_EXPANDED;
    case Selected:
        return ATK_STATE_SELECTED;
    case Pressed:
        return ATK_STATE_PRESSED;
    case Showing:
        return ATK_STATE_SHOWING;
    case Visible:
        return ATK_STATE_VISIBLE;
    default:
        return ATK_STATE_INVALID;
    }
}

// A text that changed without telling us how: everything out, everything in.
void text_replaced(AtkObject* atk) {
    ArmctlAccessible* self = as_ours(atk);
    if (!self || !ATK_IS_TEXT(atk))
        return;
    TextState now;
    text(self->object, now);
    if (now.text == self->text_cache)
        return;
    std::string was = std::exchange(self->text_cache, now.text);
    if (!was.empty())
        g_signal_emit_by_name(atk, "text-remove", 0, utf8_length(was), was.c_str());
    if (!now.text.empty())
        g_signal_emit_by_name(atk, "text-insert", 0, utf8_length(now.text), now.text.c_str());
}

class Bridge final : public Listener {
  public:
    void on_access_event(const Event& e) override {
        switch (e.kind) {
        case EventKind::Focus:
            return focus(e.object);
        case EventKind::Value:
            if (AtkObject* atk = peek_object(e.object))
                g_object_notify(G_OBJECT(atk), "accessible-value");
            return;
        case EventKind::Name:
            if (AtkObject* atk = peek_object(e.object)) {
                g_object_notify(G_OBJECT(atk), "accessible-name");
                text_replaced(atk);
            }
            return;
        case EventKind::State:
            return state(e);
        case EventKind::TextInserted:
        case EventKind::TextRemoved:
            return text_changed(e);
        case EventKind::Caret:
            if (AtkObject* atk = peek_object(e.object); atk && ATK_IS_TEXT(atk))
                g_signal_emit_by_name(atk, "text-caret-moved", e.offset);
            return;
        case EventKind::ChildAdded:
        case EventKind::ChildRemoved:
            return child_changed(e);
        case EventKind::Destroyed:
            forget_window(e.object.hwnd, e.child.hwnd);
            return;
        case EventKind::Selection:
            if (AtkObject* atk = peek_object(e.object); atk && ATK_IS_SELECTION(atk))
                g_signal_emit_by_name(atk, "selection-changed");
            return;
        case EventKind::Shown:
            return;
        }
    }

  private:
    void focus(Object now) {
        Object before = std::exchange(m_focus, now);
        if (AtkObject* old = before == now ? nullptr : peek_object(before))
            atk_object_notify_state_change(old, ATK_STATE_FOCUSED, FALSE);
        if (!now.hwnd || (now.part == 0 && !get_parent(now.hwnd)))
            return;
        if (AtkObject* atk = ref_object(now)) {
            atk_object_notify_state_change(atk, ATK_STATE_FOCUSED, TRUE);
            g_object_unref(atk);
        }
    }

    void state(const Event& e) {
        AtkObject* atk = peek_object(e.object);
        AtkStateType type = atk_state(e.state);
        if (!atk || type == ATK_STATE_INVALID)
            return;
        atk_object_notify_state_change(atk, type, e.on);
        if (e.state == Enabled)
            atk_object_notify_state_change(atk, ATK_STATE_SENSITIVE, e.on);
    }

    void text_changed(const Event& e) {
        AtkObject* atk = peek_object(e.object);
        ArmctlAccessible* self = as_ours(atk);
        if (!self || !ATK_IS_TEXT(atk))
            return;
        bool insert = e.kind == EventKind::TextInserted;
        TextState now;
        text(e.object, now);
        self->text_cache = now.text;
        g_signal_emit_by_name(atk, insert ? "text-insert" : "text-remove", e.offset, e.length,
                              e.text.c_str());
    }

    void child_changed(const Event& e) {
        AtkObject* up = peek_parent(e.object);
        if (!up)
            return;
        if (e.kind == EventKind::ChildAdded) {
            AtkObject* child = ref_object(e.child);
            if (!child)
                return;
            g_signal_emit_by_name(up, "children-changed::add", index_in_parent(e.child), child);
            g_object_unref(child);
        } else if (AtkObject* child = peek_object(e.child)) {
            g_signal_emit_by_name(up, "children-changed::remove", -1, child);
        }
    }

    Object m_focus;
};

} // namespace

GtkWidget* make_surface(HWND top) {
    GtkWidget* area = GTK_WIDGET(g_object_new(armctl_surface_get_type(), nullptr));
    g_object_set_data(G_OBJECT(area), k_top_key, top);
    registry().surfaces[top] = area;
    g_signal_connect(area, "destroy", G_CALLBACK(surface_destroyed), nullptr);
    return area;
}

AtkObject* peek_object(Object o) {
    auto& objects = registry().objects;
    auto it = objects.find(key_of(o));
    return it == objects.end() ? nullptr : it->second;
}

AtkObject* ref_object(Object o) {
    if (!o.hwnd || !is_window(o.hwnd))
        return nullptr;
    if (o.part == 0 && !get_parent(o.hwnd) && !describe(o).container) {
        auto& surfaces = registry().surfaces;
        auto it = surfaces.find(o.hwnd);
        if (it == surfaces.end())
            return nullptr;
        return ATK_OBJECT(g_object_ref(gtk_widget_get_accessible(it->second)));
    }
    if (AtkObject* atk = peek_object(o))
        return ATK_OBJECT(g_object_ref(atk));
    AtkObject* atk = make_object(o);
    if (!atk)
        return nullptr;
    registry().objects.emplace(key_of(o), atk);
    return ATK_OBJECT(g_object_ref(atk));
}

void forget_window(HWND hwnd, HWND former_parent) {
    auto& objects = registry().objects;
    auto first = objects.lower_bound({handle_value(hwnd), INT_MIN});
    auto last = objects.upper_bound({handle_value(hwnd), INT_MAX});
    std::vector<AtkObject*> gone;
    for (auto it = first; it != last; ++it)
        gone.push_back(it->second);
    objects.erase(first, last);
    AtkObject* up = former_parent ? peek_parent({former_parent, 0}) : nullptr;
    for (AtkObject* atk : gone) {
        ArmctlAccessible* self = as_ours(atk);
        if (up && self && self->object.part == 0)
            g_signal_emit_by_name(up, "children-changed::remove", -1, atk);
        set_defunct(atk);
        // A client may still hold the object: it answers as defunct.
        g_object_unref(atk);
    }
}

void start_listening() {
    static Bridge bridge;
    if (!listening())
        set_listener(&bridge);
}

} // namespace platform::gtk_access
