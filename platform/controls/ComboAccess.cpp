// What a combo box tells an assistive client: a combo box named by its
// label, expandable, with its list as a child whose items can be chosen.
// Choosing an item goes the user's way (drop the list, take the item), so
// the parent hears CBN_SELENDOK and CBN_SELCHANGE as from a click.

#include "ComboBox.h"
#include "ComboListBox.h"
#include "Controls.h"
#include <platform/Encoding.h>
#include <platform/access/Access.h>
#include <platform/window/WindowSystem.h>

namespace platform::controls {

namespace {

using namespace platform::access;

void describe(ComboBoxState& st, Node& node) {
    HWND label = nullptr;
    std::string before = preceding_label_text(st.self, &label);
    const ComboItem* item = st.items.at(st.selected);
    std::string chosen = item ? gbk_to_utf8(item->text) : std::string();
    node.role = Role::ComboBox;
    node.name = before.empty() ? chosen : before;
    node.labelled_by = label;
    node.description = chosen;
    node.states |= Focusable;
    if (st.kind != CBS_SIMPLE) {
        node.states |= Expandable;
        if (st.dropped)
            node.states |= Expanded;
        node.actions = {"open"};
        if (st.list)
            node.owned.push_back(st.list);
    }
    node.selection = true;
}

} // namespace

void combo_access_choose(ComboBoxState& st, int index) {
    if (!st.items.is_valid(index) || !is_window_enabled(st.self))
        return;
    if (st.kind != CBS_SIMPLE && !st.dropped)
        combo_drop_down(st, false);
    if (!combo_state(st.self) || !st.list)
        return;
    combo_list_set_current(st.list, index);
    combo_on_list_command(st, LBN_SELCHANGE);
}

LRESULT combo_access(ComboBoxState& st, HWND hwnd, WPARAM wp, LPARAM lp) {
    Request* r = reinterpret_cast<Request*>(lp);
    if (!r || r->part != 0)
        return 0;
    switch (static_cast<Query>(wp)) {
    case Query::Describe:
        def_window_proc(hwnd, WM_GETOBJECT, wp, lp);
        if (r->node)
            describe(st, *r->node);
        return 1;
    case Query::Action:
        if (st.kind == CBS_SIMPLE || r->index != 0)
            return 0;
        // Posted: the client's call returns before the list takes the mouse.
        r->handled = post_message(hwnd, CB_SHOWDROPDOWN, st.dropped ? 0 : 1);
        return 1;
    case Query::Select:
        if (!st.items.is_valid(r->index) || !r->flag)
            return 0;
        r->handled = post_message(hwnd, k_combo_access_choose, static_cast<WPARAM>(r->index));
        return 1;
    default:
        return 0;
    }
}

} // namespace platform::controls
