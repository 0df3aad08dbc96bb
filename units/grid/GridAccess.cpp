// The grid as an assistive client reads it: a table whose cells are its
// sub-objects (number 1 + row * columns + column), the header row and column as
// column and row headers, and the current cell as the selected one.

#include "GridUnit.h"

#include <platform/Encoding.h>
#include <platform/access/AccessEvents.h>
#include <platform/window/WindowSystem.h>

namespace units {

using namespace platform::access;

void GridUnit::describe_access(Node& node) {
    node.role = Role::Table;
    node.states |= Focusable;
    node.rows = m_model.rows();
    node.columns = m_model.columns();
    node.parts = node.rows * node.columns;
    node.selection = true;
    if (node.name.empty())
        node.name = preceding_label_text(hwnd(), &node.labelled_by);
}

void GridUnit::describe_cell(int row, int column, Node& node) const {
    bool header_row = row < m_model.fixed_rows();
    bool header_column = column < m_model.fixed_columns();
    node.role = header_row ? Role::ColumnHeader : header_column ? Role::RowHeader : Role::TableCell;
    node.name = platform::gbk_to_utf8(m_model.cell(row, column).text);
    node.has_text = true;
    node.states = Enabled;
    if (m_model.is_data_cell(row, column))
        node.states |= Selectable | Focusable;
    const CellPosition& current = m_model.current();
    if (current.row == row && current.column == column) {
        node.states |= Selected;
        if (platform::get_focus() == hwnd())
            node.states |= Focused;
    }
    platform::Rect r = m_view.cell_rect(row, column);
    if (!r.is_empty() && platform::is_window_visible(hwnd()))
        node.states |= Showing | Visible;
    platform::Point origin{0, 0};
    platform::client_to_screen(hwnd(), origin);
    node.extents = r.offset(origin.x, origin.y);
}

bool GridUnit::answer_access(WPARAM wp, LPARAM lp) {
    Request* request = request_of(platform::WM_GETOBJECT, lp);
    int columns = m_model.columns();
    int cells = m_model.rows() * columns;
    if (!request || request->part < 0 || request->part > cells)
        return false;
    auto query = static_cast<Query>(wp);
    if (request->part == 0) {
        if (query != Query::Select)
            return false;
        int row = columns > 0 ? request->index / columns : 0;
        int column = columns > 0 ? request->index % columns : 0;
        if (!request->flag || request->index < 0 || request->index >= cells ||
            !m_model.is_data_cell(row, column))
            return true;
        // Posted: the handler of CurrentCellChanged runs after the client's call.
        request->handled = platform::post_message(hwnd(), MessageAccessSelect,
                                                  static_cast<WPARAM>(request->index));
        return true;
    }
    int row = (request->part - 1) / columns;
    int column = (request->part - 1) % columns;
    if (query == Query::Describe && request->node) {
        describe_cell(row, column, *request->node);
        request->handled = true;
    } else if (query == Query::Text && request->text) {
        request->text->text = platform::gbk_to_utf8(m_model.cell(row, column).text);
        request->handled = true;
    }
    return true;
}

void GridUnit::notify_cell_changed(int row, int column) const {
    if (listening())
        notify(EventKind::Name, hwnd(), 1 + row * m_model.columns() + column);
}

void GridUnit::notify_current_changed() const {
    if (!listening())
        return;
    notify(EventKind::Selection, hwnd());
    const CellPosition& current = m_model.current();
    if (current.is_set() && platform::get_focus() == hwnd())
        notify(EventKind::Focus, hwnd(), 1 + current.row * m_model.columns() + current.column);
}

} // namespace units
