#include "GridModel.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace units {

namespace {

using namespace runtime;

std::string formatted(const char* format, auto value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// The numeric value of a text, read the way the C library reads a number
// from the front of a text; 0 when nothing there reads as one.
double numeric_value(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

GridModel::GridModel(int rows, int columns, int fixed_rows, int fixed_columns) {
    resize(rows, columns);
    set_fixed(fixed_rows, fixed_columns);
}

void GridModel::resize(int rows, int columns) {
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    std::vector<GridCell> cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    for (int r = 0; r < std::min(rows, m_rows); ++r)
        for (int c = 0; c < std::min(columns, m_columns); ++c)
            cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) +
                  static_cast<std::size_t>(c)] = std::move(*cell_at(r, c));
    m_cells = std::move(cells);
    m_rows = rows;
    m_columns = columns;
    set_fixed(m_fixed_rows, m_fixed_columns);
    if (!contains(m_current.row, m_current.column)) {
        m_current = {};
        m_selection = {};
    }
}

void GridModel::set_fixed(int fixed_rows, int fixed_columns) {
    m_fixed_rows = std::clamp(fixed_rows, 0, m_rows);
    m_fixed_columns = std::clamp(fixed_columns, 0, m_columns);
}

bool GridModel::contains(int row, int column) const {
    return row >= 0 && row < m_rows && column >= 0 && column < m_columns;
}

bool GridModel::is_data_cell(int row, int column) const {
    return contains(row, column) && row >= m_fixed_rows && column >= m_fixed_columns;
}

GridCell* GridModel::cell_at(int row, int column) {
    if (!contains(row, column))
        return nullptr;
    return &m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
                    static_cast<std::size_t>(column)];
}

const GridCell& GridModel::cell(int row, int column) const {
    static const GridCell empty;
    if (!contains(row, column))
        return empty;
    return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns) +
                   static_cast<std::size_t>(column)];
}

const ColumnFormat& GridModel::column_format(int column) const {
    static const ColumnFormat plain;
    auto it = m_formats.find(column);
    return it == m_formats.end() ? plain : it->second;
}

void GridModel::set_column_format(int column, ColumnFormat format) {
    format.decimals = std::clamp(format.decimals, 0, 9);
    if (format.kind == ColumnKind::Text && format.format.empty())
        m_formats.erase(column);
    else
        m_formats[column] = std::move(format);
}

bool GridModel::set_current_cell(int row, int column) {
    CellPosition old = m_current;
    m_current = {};
    m_selection = {};
    if (!contains(row, column))
        return false;
    m_current = {row, column};
    if (m_whole_row)
        m_selection = {{row, 0}, {row, m_columns - 1}};
    return m_current != old;
}

std::optional<std::string> GridModel::display_text(int row, int column,
                                                   const TypedValue& value) const {
    if (!contains(row, column))
        return std::nullopt;
    const ColumnFormat& format = column_format(column);
    bool data = is_data_cell(row, column);
    if (data && (format.kind == ColumnKind::Picture || format.kind == ColumnKind::CheckBox))
        return std::nullopt;
    std::string text;
    switch (value.type) {
    case type_code::Byte:
        text = formatted("%d", static_cast<int>(value.low() & 0xFF));
        break;
    case type_code::Short:
        text = formatted("%d", static_cast<int>(static_cast<std::int16_t>(value.low())));
        break;
    case type_code::Integer:
        text = formatted("%d", static_cast<int>(value.low()));
        break;
    case type_code::Long:
        text = formatted("%" PRId64, static_cast<std::int64_t>(value.data));
        break;
    case type_code::Float:
        text = formatted("%.6g", static_cast<double>(value.as_float()));
        break;
    case type_code::Double:
        text = formatted("%.13g", value.as_double());
        break;
    case type_code::Text: {
        const char* p = value.pointer<const char>();
        text = p ? p : "";
        if (data && format.kind == ColumnKind::Number && !text.empty() && text != "0" &&
            numeric_value(text) == 0.0)
            return std::nullopt;
        break;
    }
    default:
        return std::nullopt;
    }
    bool numbered = format.kind == ColumnKind::Number || !format.format.empty();
    if (data && numbered && format.decimals >= 0 && format.decimals <= 9) {
        double number = numeric_value(text);
        if (number == 0.0 && !m_show_zero)
            return std::string();
        char pattern[8];
        std::snprintf(pattern, sizeof pattern, "%%.%df", format.decimals);
        text = formatted(pattern, number);
    }
    return text;
}

bool GridModel::set_text(int row, int column, std::string text) {
    GridCell* cell = cell_at(row, column);
    if (!cell)
        return false;
    cell->text = std::move(text);
    return true;
}

bool GridModel::set_checked(int row, int column, bool checked) {
    GridCell* cell = cell_at(row, column);
    if (!cell)
        return false;
    cell->checked = checked;
    return true;
}

bool GridModel::set_picture(int row, int column, std::vector<std::uint8_t> picture) {
    GridCell* cell = cell_at(row, column);
    if (!cell)
        return false;
    cell->picture = std::move(picture);
    return true;
}

void GridModel::reset(int fixed_rows, int fixed_columns) {
    int rows = m_rows;
    int columns = m_columns;
    m_cells.clear();
    m_rows = 0;
    m_columns = 0;
    m_formats.clear();
    m_current = {};
    m_selection = {};
    resize(rows, columns);
    set_fixed(fixed_rows, fixed_columns);
}

} // namespace units
