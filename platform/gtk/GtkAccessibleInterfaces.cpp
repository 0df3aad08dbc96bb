// The ATK interfaces of our objects, each answered from the model. A bad
// index, an offset out of range or a defunct object gets an empty answer.

#include "GtkAccessibleInterfaces.h"

#include <platform/access/TextUnits.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cstring>

namespace platform::gtk_access {

using namespace platform::access;

namespace {

// The object behind an interface call, or {} when it is defunct.
Object alive(gpointer instance) {
    ArmctlAccessible* self = as_ours(instance);
    if (!self || self->defunct || !is_window(self->object.hwnd))
        return {};
    return self->object;
}

// Screen coordinates into the coordinates a client asked for.
Rect in_coordinates(Object object, Rect r, AtkCoordType type) {
    if (type == ATK_XY_SCREEN)
        return r;
    Point origin{0, 0};
    if (type == ATK_XY_WINDOW) {
        client_to_screen(get_ancestor_root(object.hwnd), origin);
    } else {
        Rect up = describe(parent(object)).extents;
        origin = {up.left, up.top};
    }
    return r.offset(-origin.x, -origin.y);
}

void put_rect(const Rect& r, gint* x, gint* y, gint* width, gint* height) {
    if (x)
        *x = r.left;
    if (y)
        *y = r.top;
    if (width)
        *width = r.width();
    if (height)
        *height = r.height();
}

// ---- AtkComponent

void component_get_extents(AtkComponent* component, gint* x, gint* y, gint* width, gint* height,
                           AtkCoordType type) {
    Object o = alive(component);
    Rect r = o.hwnd ? in_coordinates(o, describe(o).extents, type) : Rect{};
    put_rect(r, x, y, width, height);
}

gboolean component_grab_focus(AtkComponent* component) {
    Object o = alive(component);
    if (!o.hwnd || !(describe(o).states & Focusable))
        return FALSE;
    set_focus(o.hwnd);
    return get_focus() == o.hwnd;
}

// ---- AtkAction

gboolean action_do(AtkAction* action, gint index) {
    Object o = alive(action);
    return o.hwnd && do_action(o, index) ? TRUE : FALSE;
}

gint action_count(AtkAction* action) {
    Object o = alive(action);
    return o.hwnd ? static_cast<gint>(describe(o).actions.size()) : 0;
}

const gchar* action_name(AtkAction* action, gint index) {
    Object o = alive(action);
    if (!o.hwnd)
        return nullptr;
    ArmctlAccessible* self = as_ours(action);
    self->action_names = describe(o).actions;
    if (index < 0 || static_cast<std::size_t>(index) >= self->action_names.size())
        return nullptr;
    return self->action_names[static_cast<std::size_t>(index)].c_str();
}

// ---- AtkValue

Value value_of(gpointer instance) {
    Object o = alive(instance);
    return o.hwnd ? describe(o).value : Value{};
}

void put_double(GValue* out, double v) {
    g_value_init(out, G_TYPE_DOUBLE);
    g_value_set_double(out, v);
}

void value_current(AtkValue* value, GValue* out) {
    put_double(out, value_of(value).current);
}
void value_maximum(AtkValue* value, GValue* out) {
    put_double(out, value_of(value).maximum);
}
void value_minimum(AtkValue* value, GValue* out) {
    put_double(out, value_of(value).minimum);
}
void value_minimum_increment(AtkValue* value, GValue* out) {
    put_double(out, value_of(value).step);
}

gboolean value_set_current(AtkValue* value, const GValue* in) {
    Object o = alive(value);
    if (!o.hwnd)
        return FALSE;
    GValue as_double = G_VALUE_INIT;
    g_value_init(&as_double, G_TYPE_DOUBLE);
    bool ok = g_value_transform(in, &as_double) && set_value(o, g_value_get_double(&as_double));
    g_value_unset(&as_double);
    return ok ? TRUE : FALSE;
}

void value_and_text(AtkValue* value, gdouble* current, gchar** text) {
    Value v = value_of(value);
    if (current)
        *current = v.current;
    if (text)
        *text = g_strdup_printf("%g", v.current);
}

AtkRange* value_range(AtkValue* value) {
    Value v = value_of(value);
    return atk_range_new(v.minimum, v.maximum, nullptr);
}

gdouble value_increment(AtkValue* value) {
    return value_of(value).step;
}

void value_set(AtkValue* value, gdouble v) {
    if (Object o = alive(value); o.hwnd)
        set_value(o, v);
}

// ---- AtkText

TextState text_of(gpointer instance) {
    TextState state;
    if (Object o = alive(instance); o.hwnd)
        text(o, state);
    return state;
}

gchar* text_get(AtkText* t, gint start, gint end) {
    TextState s = text_of(t);
    return g_strdup(utf8_slice(s.text, std::max(0, start), end).c_str());
}

gunichar text_character_at(AtkText* t, gint offset) {
    TextState s = text_of(t);
    if (offset < 0 || offset >= utf8_length(s.text))
        return 0;
    return g_utf8_get_char(g_utf8_offset_to_pointer(s.text.c_str(), offset));
}

gchar* unit_text(const std::string& text, gint offset, TextUnit unit, gint* start, gint* end) {
    TextSpan span = text_unit_at(text, offset, unit);
    if (start)
        *start = span.start;
    if (end)
        *end = span.end;
    if (span.start < 0)
        return g_strdup("");
    return g_strdup(utf8_slice(text, span.start, span.end).c_str());
}

TextUnit unit_of_boundary(AtkTextBoundary boundary) {
    switch (boundary) {
    case ATK_TEXT_BOUNDARY_CHAR:
        return TextUnit::Character;
    case ATK_TEXT_BOUNDARY_WORD_START:
    case ATK_TEXT_BOUNDARY_WORD_END:
        return TextUnit::Word;
    default:
        return TextUnit::Line;
    }
}

TextUnit unit_of_granularity(AtkTextGranularity granularity) {
    switch (granularity) {
    case ATK_TEXT_GRANULARITY_CHAR:
        return TextUnit::Character;
    case ATK_TEXT_GRANULARITY_WORD:
        return TextUnit::Word;
    default:
        return TextUnit::Line;
    }
}

gchar* text_at_offset(AtkText* t, gint offset, AtkTextBoundary boundary, gint* start, gint* end) {
    return unit_text(text_of(t).text, offset, unit_of_boundary(boundary), start, end);
}

gchar* text_before_offset(AtkText* t, gint offset, AtkTextBoundary boundary, gint* start,
                          gint* end) {
    std::string text = text_of(t).text;
    TextSpan here = text_unit_at(text, offset, unit_of_boundary(boundary));
    return unit_text(text, here.start <= 0 ? -1 : here.start - 1, unit_of_boundary(boundary), start,
                     end);
}

gchar* text_after_offset(AtkText* t, gint offset, AtkTextBoundary boundary, gint* start,
                         gint* end) {
    std::string text = text_of(t).text;
    TextSpan here = text_unit_at(text, offset, unit_of_boundary(boundary));
    return unit_text(text, here.end < 0 ? -1 : here.end, unit_of_boundary(boundary), start, end);
}

gchar* text_string_at(AtkText* t, gint offset, AtkTextGranularity granularity, gint* start,
                      gint* end) {
    return unit_text(text_of(t).text, offset, unit_of_granularity(granularity), start, end);
}

gint text_caret(AtkText* t) {
    return text_of(t).caret;
}

gint text_count(AtkText* t) {
    return utf8_length(text_of(t).text);
}

void text_character_extents(AtkText* t, gint offset, gint* x, gint* y, gint* width, gint* height,
                            AtkCoordType type) {
    Object o = alive(t);
    Rect r = o.hwnd ? character_rect(o, offset) : Rect{};
    if (!r.is_empty())
        r = in_coordinates(o, r, type);
    put_rect(r, x, y, width, height);
}

gint text_offset_at_point(AtkText*, gint, gint, AtkCoordType) {
    return -1;
}

gint text_selection_count(AtkText* t) {
    TextState s = text_of(t);
    return s.selection_start != s.selection_end ? 1 : 0;
}

gchar* text_selection(AtkText* t, gint index, gint* start, gint* end) {
    TextState s = text_of(t);
    bool has = index == 0 && s.selection_start != s.selection_end;
    if (start)
        *start = has ? s.selection_start : 0;
    if (end)
        *end = has ? s.selection_end : 0;
    return has ? g_strdup(utf8_slice(s.text, s.selection_start, s.selection_end).c_str()) : nullptr;
}

gboolean text_set_selection(AtkText* t, gint index, gint start, gint end) {
    Object o = alive(t);
    return o.hwnd && index == 0 && set_selection(o, start, end) ? TRUE : FALSE;
}

gboolean text_add_selection(AtkText* t, gint start, gint end) {
    return text_set_selection(t, 0, start, end);
}

gboolean text_remove_selection(AtkText* t, gint index) {
    TextState s = text_of(t);
    return text_set_selection(t, index, s.caret, s.caret);
}

gboolean text_set_caret(AtkText* t, gint offset) {
    return text_set_selection(t, 0, offset, offset);
}

AtkAttributeSet* text_run_attributes(AtkText* t, gint, gint* start, gint* end) {
    if (start)
        *start = 0;
    if (end)
        *end = text_count(t);
    return nullptr;
}

// ---- AtkEditableText

void editable_set_contents(AtkEditableText* t, const gchar* contents) {
    if (Object o = alive(t); o.hwnd)
        replace_text(o, 0, utf8_length(text_of(t).text), contents ? contents : "");
}

void editable_insert(AtkEditableText* t, const gchar* string, gint length, gint* position) {
    Object o = alive(t);
    if (!o.hwnd || !string || !position)
        return;
    std::string_view insert(string,
                            length < 0 ? std::strlen(string) : static_cast<std::size_t>(length));
    if (replace_text(o, *position, *position, insert))
        *position += utf8_length(insert);
}

void editable_delete(AtkEditableText* t, gint start, gint end) {
    Object o = alive(t);
    if (!o.hwnd)
        return;
    if (end < 0)
        end = utf8_length(text_of(t).text);
    replace_text(o, start, end, "");
}

// ---- AtkSelection: the items are the object's parts, or those of the
// window it owns (a combo box's list).

Object item_holder(Object o) {
    Node node = describe(o);
    if (node.parts > 0)
        return o;
    if (!node.owned.empty())
        return {node.owned.front(), 0};
    return o;
}

gboolean selection_add(AtkSelection* s, gint index) {
    Object o = alive(s);
    return o.hwnd && select_child(o, index, true) ? TRUE : FALSE;
}

gboolean selection_clear(AtkSelection*) {
    return FALSE;
}

std::vector<int> selected_parts(Object o) {
    std::vector<int> out;
    Object holder = item_holder(o);
    int parts = describe(holder).parts;
    for (int i = 1; i <= parts; ++i)
        if (describe({holder.hwnd, i}).states & Selected)
            out.push_back(i);
    return out;
}

AtkObject* selection_ref(AtkSelection* s, gint index) {
    Object o = alive(s);
    if (!o.hwnd || index < 0)
        return nullptr;
    std::vector<int> parts = selected_parts(o);
    if (static_cast<std::size_t>(index) >= parts.size())
        return nullptr;
    return ref_object({item_holder(o).hwnd, parts[static_cast<std::size_t>(index)]});
}

gint selection_count(AtkSelection* s) {
    Object o = alive(s);
    return o.hwnd ? static_cast<gint>(selected_parts(o).size()) : 0;
}

gboolean selection_is_selected(AtkSelection* s, gint index) {
    Object o = alive(s);
    if (!o.hwnd || index < 0)
        return FALSE;
    Object holder = item_holder(o);
    return (describe({holder.hwnd, index + 1}).states & Selected) ? TRUE : FALSE;
}

gboolean selection_remove(AtkSelection*, gint) {
    return FALSE;
}

// ---- AtkTable: the cell in row r, column c is sub-object 1 + r * columns + c.

struct TableShape {
    int rows = 0, columns = 0, windows = 0; // windows: child windows before the cells
};

TableShape shape_of(Object o) {
    TableShape t;
    if (!o.hwnd)
        return t;
    Node node = describe(o);
    t.rows = node.rows;
    t.columns = node.columns;
    t.windows = static_cast<int>(children(o).size()) - node.parts;
    return t;
}

bool in_table(const TableShape& t, gint row, gint column) {
    return row >= 0 && column >= 0 && row < t.rows && column < t.columns;
}

AtkObject* table_ref_at(AtkTable* table, gint row, gint column) {
    Object o = alive(table);
    TableShape t = shape_of(o);
    if (!in_table(t, row, column))
        return nullptr;
    return ref_object({o.hwnd, 1 + row * t.columns + column});
}

gint table_index_at(AtkTable* table, gint row, gint column) {
    TableShape t = shape_of(alive(table));
    return in_table(t, row, column) ? t.windows + row * t.columns + column : -1;
}

gint table_column_at_index(AtkTable* table, gint index) {
    TableShape t = shape_of(alive(table));
    int cell = index - t.windows;
    return t.columns > 0 && cell >= 0 && cell < t.rows * t.columns ? cell % t.columns : -1;
}

gint table_row_at_index(AtkTable* table, gint index) {
    TableShape t = shape_of(alive(table));
    int cell = index - t.windows;
    return t.columns > 0 && cell >= 0 && cell < t.rows * t.columns ? cell / t.columns : -1;
}

gint table_columns(AtkTable* table) {
    return shape_of(alive(table)).columns;
}

gint table_rows(AtkTable* table) {
    return shape_of(alive(table)).rows;
}

gint table_extent(AtkTable*, gint, gint) {
    return 1;
}

// The headers are the cells of row 0 and column 0; ATK lends them.
AtkObject* borrowed(AtkObject* atk) {
    if (atk)
        g_object_unref(atk);
    return atk;
}

AtkObject* table_column_header(AtkTable* table, gint column) {
    return column >= 0 ? borrowed(table_ref_at(table, 0, column)) : nullptr;
}

AtkObject* table_row_header(AtkTable* table, gint row) {
    return row >= 0 ? borrowed(table_ref_at(table, row, 0)) : nullptr;
}

gboolean table_is_selected(AtkTable* table, gint row, gint column) {
    Object o = alive(table);
    TableShape t = shape_of(o);
    if (!in_table(t, row, column))
        return FALSE;
    return (describe({o.hwnd, 1 + row * t.columns + column}).states & Selected) ? TRUE : FALSE;
}

gint table_selected_none(AtkTable*, gint** selected) {
    if (selected)
        *selected = nullptr;
    return 0;
}

gboolean table_line_selected(AtkTable*, gint) {
    return FALSE;
}

// ---- Interface set-up

void action_init(AtkActionIface* iface) {
    iface->do_action = action_do;
    iface->get_n_actions = action_count;
    iface->get_name = action_name;
    iface->get_description = action_name;
}

void value_init(AtkValueIface* iface) {
    iface->get_current_value = value_current;
    iface->get_maximum_value = value_maximum;
    iface->get_minimum_value = value_minimum;
    iface->get_minimum_increment = value_minimum_increment;
    iface->set_current_value = value_set_current;
    iface->get_value_and_text = value_and_text;
    iface->get_range = value_range;
    iface->get_increment = value_increment;
    iface->set_value = value_set;
}

void text_init(AtkTextIface* iface) {
    iface->get_text = text_get;
    iface->get_character_at_offset = text_character_at;
    iface->get_text_at_offset = text_at_offset;
    iface->get_text_before_offset = text_before_offset;
    iface->get_text_after_offset = text_after_offset;
    iface->get_string_at_offset = text_string_at;
    iface->get_caret_offset = text_caret;
    iface->get_character_count = text_count;
    iface->get_character_extents = text_character_extents;
    iface->get_offset_at_point = text_offset_at_point;
    iface->get_n_selections = text_selection_count;
    iface->get_selection = text_selection;
    iface->add_selection = text_add_selection;
    iface->remove_selection = text_remove_selection;
    iface->set_selection = text_set_selection;
    iface->set_caret_offset = text_set_caret;
    iface->get_run_attributes = text_run_attributes;
}

void editable_init(AtkEditableTextIface* iface) {
    iface->set_text_contents = editable_set_contents;
    iface->insert_text = editable_insert;
    iface->delete_text = editable_delete;
}

void selection_init(AtkSelectionIface* iface) {
    iface->add_selection = selection_add;
    iface->clear_selection = selection_clear;
    iface->ref_selection = selection_ref;
    iface->get_selection_count = selection_count;
    iface->is_child_selected = selection_is_selected;
    iface->remove_selection = selection_remove;
}

void table_init(AtkTableIface* iface) {
    iface->ref_at = table_ref_at;
    iface->get_index_at = table_index_at;
    iface->get_column_at_index = table_column_at_index;
    iface->get_row_at_index = table_row_at_index;
    iface->get_n_columns = table_columns;
    iface->get_n_rows = table_rows;
    iface->get_column_extent_at = table_extent;
    iface->get_row_extent_at = table_extent;
    iface->get_column_header = table_column_header;
    iface->get_row_header = table_row_header;
    iface->is_selected = table_is_selected;
    iface->get_selected_columns = table_selected_none;
    iface->get_selected_rows = table_selected_none;
    iface->is_column_selected = table_line_selected;
    iface->is_row_selected = table_line_selected;
}

template <typename Iface, void (*Init)(Iface*)> void init_thunk(gpointer iface, gpointer) {
    Init(static_cast<Iface*>(iface));
}

template <typename Iface, void (*Init)(Iface*)> void add(GType type, GType iface) {
    GInterfaceInfo info{init_thunk<Iface, Init>, nullptr, nullptr};
    g_type_add_interface_static(type, iface, &info);
}

} // namespace

void component_interface_init(AtkComponentIface* iface) {
    iface->get_extents = component_get_extents;
    iface->grab_focus = component_grab_focus;
}

void add_interfaces(GType type, unsigned interfaces) {
    if (interfaces & InterfaceAction)
        add<AtkActionIface, action_init>(type, ATK_TYPE_ACTION);
    if (interfaces & InterfaceValue)
        add<AtkValueIface, value_init>(type, ATK_TYPE_VALUE);
    if (interfaces & InterfaceText)
        add<AtkTextIface, text_init>(type, ATK_TYPE_TEXT);
    if (interfaces & InterfaceEditableText)
        add<AtkEditableTextIface, editable_init>(type, ATK_TYPE_EDITABLE_TEXT);
    if (interfaces & InterfaceSelection)
        add<AtkSelectionIface, selection_init>(type, ATK_TYPE_SELECTION);
    if (interfaces & InterfaceTable)
        add<AtkTableIface, table_init>(type, ATK_TYPE_TABLE);
}

} // namespace platform::gtk_access
