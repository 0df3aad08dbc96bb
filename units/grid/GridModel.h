#pragma once

// The grid's cells: rows and columns numbered from 0, the first fixed rows
// and columns being header cells; a display text per cell, or a check state
// or a picture where the cell's column has that kind; the current cell and
// the selection. It knows nothing of windows: the grid unit draws it and
// hands its changes to the runtime.

#include <runtime/values/TypedValue.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace units {

enum class ColumnKind { Text, Number, CheckBox, Picture };

// A column's entry in the column-kind list; plain text columns have none.
struct ColumnFormat {
    ColumnKind kind = ColumnKind::Text;
    int decimals = 0;   // number columns: 0 to 9
    std::string format; // a non-empty format text makes a column's texts numbers too
};

struct GridCell {
    std::string text;
    bool checked = false;
    std::vector<std::uint8_t> picture; // a bitmap's bytes; empty for none
};

struct CellPosition {
    int row = -1;
    int column = -1;
    bool is_set() const { return row >= 0 && column >= 0; }
    bool operator==(const CellPosition&) const = default;
};

// The selected block, inclusive; empty when `first` is not set.
struct CellRange {
    CellPosition first;
    CellPosition last;
    bool is_empty() const { return !first.is_set(); }
    bool contains(int row, int column) const {
        return !is_empty() && row >= first.row && row <= last.row && column >= first.column &&
               column <= last.column;
    }
};

// The data kinds SetCellData takes.
namespace cell_kind {
inline constexpr std::int32_t Text = 1;
inline constexpr std::int32_t Check = 5;
inline constexpr std::int32_t Picture = 6;
} // namespace cell_kind

class GridModel {
  public:
    GridModel(int rows, int columns, int fixed_rows, int fixed_columns);

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }
    int fixed_rows() const { return m_fixed_rows; }
    int fixed_columns() const { return m_fixed_columns; }
    // Counts below 0 become 0; fixed counts are kept within the table.
    void resize(int rows, int columns);
    void set_fixed(int fixed_rows, int fixed_columns);

    bool contains(int row, int column) const;
    bool is_data_cell(int row, int column) const;
    const GridCell& cell(int row, int column) const;

    const ColumnFormat& column_format(int column) const;
    void set_column_format(int column, ColumnFormat format);
    bool show_zero() const { return m_show_zero; }
    void set_show_zero(bool show) { m_show_zero = show; }
    bool whole_row() const { return m_whole_row; }
    void set_whole_row(bool whole) { m_whole_row = whole; }

    const CellPosition& current() const { return m_current; }
    const CellRange& selection() const { return m_selection; }

    // SetCurrentCell's steps on the model: the old current cell and the
    // selection are cleared; a cell inside the table becomes current (with
    // its row selected in whole-row mode). True when the current cell moved,
    // which the unit reports as CurrentCellChanged.
    bool set_current_cell(int row, int column);

    // The display text SetCellData stores for kind 1, or nothing when the
    // value is refused (a type it does not take, a check-box or picture data
    // cell, or a text in a number column that reads as zero but is not "0").
    std::optional<std::string> display_text(int row, int column,
                                            const runtime::TypedValue& value) const;
    // Stores a cell's text, check state or picture; false outside the table.
    bool set_text(int row, int column, std::string text);
    bool set_checked(int row, int column, bool checked);
    bool set_picture(int row, int column, std::vector<std::uint8_t> picture);

    // Reset's steps on the model: every cell and the column kinds go, the
    // fixed counts come from the design, and the current row and column
    // counts come back with all cells empty.
    void reset(int fixed_rows, int fixed_columns);

  private:
    GridCell* cell_at(int row, int column);

    int m_rows = 0;
    int m_columns = 0;
    int m_fixed_rows = 0;
    int m_fixed_columns = 0;
    std::vector<GridCell> m_cells; // row by row
    std::map<int, ColumnFormat> m_formats;
    bool m_show_zero = false;
    bool m_whole_row = false;
    CellPosition m_current;
    CellRange m_selection;
};

} // namespace units
