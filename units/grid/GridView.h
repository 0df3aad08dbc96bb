#pragma once

// How the grid lies in its window and how it is drawn: header rows and
// columns stay in place while the data cells scroll under them a whole row
// or column at a time; grid lines, the selection and a frame round the
// current cell.

#include "GridModel.h"

#include <platform/Types.h>
#include <platform/drawing/Canvas.h>

namespace units {

struct GridLook {
    int row_height = 24;
    int column_width = 96;
    int fixed_column_width = 96;
    platform::COLORREF line_colour = 0x00D0D0D0;
    int line_style = 1; // 0 no lines, 1 solid
    platform::COLORREF background = 0x00FFFFFF;
    platform::COLORREF fixed_background = 0x00F0F0F0;
    platform::COLORREF text_colour = 0x00000000;
};

class GridView {
  public:
    GridView(const GridModel& model, const GridLook& look) : m_model(model), m_look(look) {}

    void set_client(platform::Size client) { m_client = client; }
    platform::Size client() const { return m_client; }

    // The first data row and column shown below and right of the headers.
    int top_row() const { return m_top_row; }
    int left_column() const { return m_left_column; }
    // Keeps the first shown row and column within what can scroll.
    void set_top_row(int row);
    void set_left_column(int column);
    // Scrolls the least so that a data cell is wholly shown (as far as the
    // window is large enough); header rows and columns need no scrolling.
    void scroll_into_view(int row, int column);

    // How many data rows and columns fit wholly below and right of the headers.
    int rows_per_page() const;
    int columns_per_page() const;
    // The last first row and column that scrolling can reach.
    int last_top_row() const;
    int last_left_column() const;

    int column_width(int column) const;
    // A cell's rectangle in client coordinates; empty when it is not shown.
    platform::Rect cell_rect(int row, int column) const;
    // A shown row's band across the columns in view; empty when the row
    // is not shown.
    platform::Rect row_band(int row) const;
    // Where data rows scroll (below the header rows) and where data columns
    // scroll (right of the header columns), in client coordinates.
    platform::Rect row_scroll_area() const;
    platform::Rect column_scroll_area() const;
    // The cell under a client point, or none.
    CellPosition cell_at(platform::Point p) const;

    // Draws the cells that meet `area` (client coordinates).
    void paint(platform::Canvas& canvas, const platform::Rect& area, bool focused) const;

  private:
    int fixed_height() const;
    int fixed_width() const;
    // Where the columns in view end, at most the client's width.
    int content_right() const;
    // Shown rows and columns in drawing order, with their offsets.
    template <typename F> void for_each_row(F&& f) const;
    template <typename F> void for_each_column(F&& f) const;
    void paint_cell(platform::Canvas& canvas, int row, int column, const platform::Rect& r) const;

    const GridModel& m_model;
    const GridLook& m_look;
    platform::Size m_client;
    int m_top_row = 0;
    int m_left_column = 0;
};

} // namespace units
