#include "GridView.h"

#include <platform/drawing/Bitmap.h>

#include <algorithm>

namespace units {

namespace {

using platform::Canvas;
using platform::Point;
using platform::Rect;

constexpr platform::COLORREF Accent = 0x00D77800;        // the current cell's frame
constexpr platform::COLORREF SelectionFill = 0x00F7E4CC; // selected cells
constexpr platform::COLORREF HeaderLine = 0x00B4B4B4;    // lines between header cells
constexpr platform::COLORREF CheckEdge = 0x00333333;
constexpr int TextPadding = 4;

} // namespace

int GridView::fixed_height() const {
    return m_model.fixed_rows() * m_look.row_height;
}

int GridView::fixed_width() const {
    int width = 0;
    for (int c = 0; c < m_model.fixed_columns(); ++c)
        width += column_width(c);
    return width;
}

int GridView::column_width(int column) const {
    return column < m_model.fixed_columns() ? m_look.fixed_column_width : m_look.column_width;
}

int GridView::rows_per_page() const {
    int room = m_client.cy - fixed_height();
    return m_look.row_height > 0 ? std::max(0, room / m_look.row_height) : 0;
}

int GridView::columns_per_page() const {
    int room = m_client.cx - fixed_width();
    int count = 0;
    for (int c = m_model.fixed_columns() + m_left_column; c < m_model.columns(); ++c) {
        room -= column_width(c);
        if (room < 0)
            break;
        ++count;
    }
    return count;
}

int GridView::last_top_row() const {
    int data_rows = m_model.rows() - m_model.fixed_rows();
    return std::max(0, data_rows - std::max(1, rows_per_page()));
}

int GridView::last_left_column() const {
    int data_columns = m_model.columns() - m_model.fixed_columns();
    int room = m_client.cx - fixed_width();
    // Count back from the last column while the columns still fit.
    int fitting = 0;
    for (int c = m_model.columns() - 1; c >= m_model.fixed_columns(); --c) {
        room -= column_width(c);
        if (room < 0)
            break;
        ++fitting;
    }
    return std::max(0, data_columns - std::max(1, fitting));
}

void GridView::set_top_row(int row) {
    m_top_row = std::clamp(row, 0, last_top_row());
}

void GridView::set_left_column(int column) {
    m_left_column = std::clamp(column, 0, last_left_column());
}

void GridView::scroll_into_view(int row, int column) {
    int data_row = row - m_model.fixed_rows();
    if (data_row >= 0) {
        if (data_row < m_top_row)
            set_top_row(data_row);
        else if (data_row >= m_top_row + std::max(1, rows_per_page()))
            set_top_row(data_row - std::max(1, rows_per_page()) + 1);
    }
    int data_column = column - m_model.fixed_columns();
    if (data_column >= 0) {
        if (data_column < m_left_column)
            set_left_column(data_column);
        else
            while (m_left_column < last_left_column() &&
                   data_column >= m_left_column + std::max(1, columns_per_page()))
                set_left_column(m_left_column + 1);
    }
}

template <typename F> void GridView::for_each_row(F&& f) const {
    int y = 0;
    for (int r = 0; r < m_model.fixed_rows() && y < m_client.cy; ++r, y += m_look.row_height)
        f(r, y);
    for (int r = m_model.fixed_rows() + m_top_row; r < m_model.rows() && y < m_client.cy;
         ++r, y += m_look.row_height)
        f(r, y);
}

template <typename F> void GridView::for_each_column(F&& f) const {
    int x = 0;
    for (int c = 0; c < m_model.fixed_columns() && x < m_client.cx; x += column_width(c), ++c)
        f(c, x);
    for (int c = m_model.fixed_columns() + m_left_column; c < m_model.columns() && x < m_client.cx;
         x += column_width(c), ++c)
        f(c, x);
}

Rect GridView::cell_rect(int row, int column) const {
    Rect found;
    for_each_row([&](int r, int y) {
        if (r != row)
            return;
        for_each_column([&](int c, int x) {
            if (c == column)
                found = {x, y, x + column_width(c), y + m_look.row_height};
        });
    });
    return found;
}

int GridView::content_right() const {
    int right = 0;
    for_each_column([&](int c, int x) { right = std::max(right, x + column_width(c)); });
    return std::min(right, m_client.cx);
}

Rect GridView::row_band(int row) const {
    Rect found;
    for_each_row([&](int r, int y) {
        if (r == row)
            found = {0, y, content_right(), y + m_look.row_height};
    });
    return found;
}

Rect GridView::row_scroll_area() const {
    // Past the last column there is only the background, which no scroll
    // changes.
    return {0, fixed_height(), content_right(), m_client.cy};
}

Rect GridView::column_scroll_area() const {
    return {fixed_width(), 0, m_client.cx, m_client.cy};
}

CellPosition GridView::cell_at(Point p) const {
    CellPosition found;
    if (p.x < 0 || p.y < 0 || p.x >= m_client.cx || p.y >= m_client.cy)
        return found;
    for_each_row([&](int r, int y) {
        if (p.y < y || p.y >= y + m_look.row_height)
            return;
        for_each_column([&](int c, int x) {
            if (p.x >= x && p.x < x + column_width(c))
                found = {r, c};
        });
    });
    return found;
}

void GridView::paint_cell(Canvas& canvas, int row, int column, const Rect& r) const {
    bool header = !m_model.is_data_cell(row, column);
    bool selected = !header && m_model.selection().contains(row, column);
    canvas.fill_rect(r, header ? m_look.fixed_background
                               : (selected ? SelectionFill : m_look.background));
    const GridCell& cell = m_model.cell(row, column);
    const ColumnFormat& format = m_model.column_format(column);
    if (!header && format.kind == ColumnKind::CheckBox) {
        const int box = 13;
        int x = r.left + (r.width() - box) / 2;
        int y = r.top + (r.height() - box) / 2;
        canvas.frame_rect({x, y, x + box, y + box}, CheckEdge);
        if (cell.checked)
            canvas.draw_check_mark(x, y, Accent);
        return;
    }
    if (!header && format.kind == ColumnKind::Picture) {
        if (cell.picture.empty())
            return;
        platform::HBITMAP bitmap =
            platform::bitmap_from_dib(cell.picture.data(), cell.picture.size());
        if (!bitmap)
            return; // bytes that are no bitmap show nothing
        canvas.push_clip(r);
        canvas.draw_surface(bitmap, r.left + 1, r.top + 1);
        canvas.pop_clip();
        platform::delete_bitmap(bitmap);
        return;
    }
    if (cell.text.empty())
        return;
    Rect text{r.left + TextPadding, r.top, r.right - TextPadding, r.bottom};
    platform::UINT align =
        format.kind == ColumnKind::Number ? platform::DT_RIGHT : platform::DT_LEFT;
    canvas.draw_text(cell.text, text,
                     align | platform::DT_VCENTER | platform::DT_SINGLELINE |
                         platform::DT_NOPREFIX | platform::DT_END_ELLIPSIS);
}

void GridView::paint(Canvas& canvas, const Rect& area, bool focused) const {
    canvas.fill_rect(area, m_look.background);
    canvas.set_bk_mode(platform::BkMode::Transparent);
    canvas.set_text_color(m_look.text_colour);
    int right = 0;
    for_each_row([&](int r, int y) {
        Rect row_band{0, y, m_client.cx, y + m_look.row_height};
        if (row_band.intersect(area).is_empty())
            return;
        for_each_column([&](int c, int x) {
            Rect cell{x, y, x + column_width(c), y + m_look.row_height};
            right = std::max(right, cell.right);
            // The area is the bounds of what is due: a step of a playback
            // makes two cells and a strip due, rows apart.
            if (cell.intersect(area).is_empty() || !canvas.rect_visible(cell))
                return;
            paint_cell(canvas, r, c, cell);
            bool header = !m_model.is_data_cell(r, c);
            if (m_look.line_style != 0 || header) {
                platform::COLORREF line = header ? HeaderLine : m_look.line_colour;
                canvas.draw_line(cell.left, cell.bottom - 1, cell.right, cell.bottom - 1, line);
                canvas.draw_line(cell.right - 1, cell.top, cell.right - 1, cell.bottom, line);
            }
        });
    });
    // The line that closes off the headers from the data.
    if (m_model.fixed_rows() > 0)
        canvas.draw_line(0, fixed_height() - 1, right, fixed_height() - 1, HeaderLine);
    const CellPosition& current = m_model.current();
    if (!current.is_set())
        return;
    Rect r = cell_rect(current.row, current.column);
    if (r.is_empty())
        return;
    // Without the focus the frame stays, in grey, so the row is still found.
    canvas.frame_rect({r.left, r.top, r.right - 1, r.bottom - 1}, focused ? Accent : 0x00A0A0A0, 2);
}

} // namespace units
