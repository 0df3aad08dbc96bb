#include "GridUnit.h"

#include <platform/Encoding.h>
#include <platform/controls/Controls.h>
#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Font.h>
#include <platform/window/MessageParams.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <runtime/services/LibraryHost.h>
#include <runtime/values/ArrayBlock.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace units {

namespace {

using namespace runtime::value_kind;
using G = GridUnit;

constexpr PropertyTable Properties{{
    {G::Rows, "Rows", Integer, Clamp{0, G::MaxRows}},
    {G::Columns, "Columns", Integer, Clamp{0, G::MaxColumns}},
    {G::FixedRows, "FixedRows", Integer, Clamp{0, G::MaxRows}},
    {G::FixedColumns, "FixedColumns", Integer, Clamp{0, G::MaxColumns}},
    {G::RowHeight, "RowHeight", Integer, Clamp{4, 400}},
    {G::ColumnWidth, "ColumnWidth", Integer, Clamp{4, 2000}},
    {G::FixedColumnWidth, "FixedColumnWidth", Integer, Clamp{4, 2000}},
    {G::LineColour, "LineColor", Colour},
    {G::LineStyle, "LineStyle", Choice, choice_clamp(1)},
    {G::BackgroundColour, "BackColor", runtime::value_kind::BackgroundColour},
    {G::FixedColour, "FixedColor", Colour},
    {G::TextColour, "TextColor", Colour},
    {G::ShowZero, "ShowZero", Boolean},
    {G::WholeRowSelection, "WholeRowSelection", Boolean},
    {G::Border, "Border", Boolean},
}};

// 高级表格
constexpr const char* DisplayName = "\xB8\xDF\xBC\xB6\xB1\xED\xB8\xF1";
// The most cells a grid holds; a design asking for more gets fewer rows.
constexpr std::int64_t MaxCells = 1000000;
constexpr int WheelRows = 3;

// Stored data is taken as written; what the grid uses is kept in bounds.
void bound_settings(GridUnit::Settings& s) {
    for (const PropertyRow& row : Properties.rows())
        if (row.clamp.clamps())
            s.set_word(row.own_index, row.clamp.apply(s.word(row.own_index)));
    std::int64_t columns = std::max(1, s.word(G::Columns));
    if (static_cast<std::int64_t>(s.word(G::Rows)) * columns > MaxCells)
        s.set_word(G::Rows, static_cast<std::int32_t>(MaxCells / columns));
}

// A picture for a cell: the bytes of a byte set, or of the bitmap file a
// text names; nothing unless they make a bitmap.
std::optional<std::vector<std::uint8_t>> picture_bytes(const runtime::TypedValue& value) {
    std::vector<std::uint8_t> bytes;
    if (value.type == runtime::type_code::ByteSet) {
        auto span = runtime::byte_set_bytes(value.pointer<const void>());
        bytes.assign(span.begin(), span.end());
    } else if (value.type == runtime::type_code::Text) {
        const char* name = value.pointer<const char>();
        if (!name || !*name)
            return std::nullopt;
        std::ifstream file(platform::gbk_to_utf8(name), std::ios::binary);
        if (!file)
            return std::nullopt;
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    } else {
        return std::nullopt;
    }
    platform::HBITMAP bitmap = platform::bitmap_from_dib(bytes.data(), bytes.size());
    if (!bitmap)
        return std::nullopt;
    platform::delete_bitmap(bitmap);
    return bytes;
}

} // namespace

GridUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {
    set_word(Rows, 10);
    set_word(Columns, 5);
    set_word(FixedRows, 1);
    set_word(FixedColumns, 1);
    set_word(RowHeight, 24);
    set_word(ColumnWidth, 96);
    set_word(FixedColumnWidth, 96);
    set_word(LineColour, 0x00D0D0D0);
    set_word(LineStyle, 1);
    set_word(BackgroundColour, 0x00FFFFFF);
    set_word(FixedColour, 0x00F0F0F0);
    set_word(TextColour, 0);
    set_word(Border, 1);
}

GridUnit::GridUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
    : Unit(window_id, unit_id), m_settings(std::move(settings)), m_design(m_settings),
      m_model(0, 0, 0, 0), m_view(m_model, m_look) {
    bound_settings(m_settings);
    m_design = m_settings;
    m_model.resize(m_settings.word(Rows), m_settings.word(Columns));
    m_model.set_fixed(m_settings.word(FixedRows), m_settings.word(FixedColumns));
    m_model.set_show_zero(m_settings.flag(ShowZero));
    m_model.set_whole_row(m_settings.flag(WholeRowSelection));
    apply_look();
}

const runtime::UnitTypeInfo& GridUnit::type_info() {
    static const runtime::UnitTypeInfo info = make_unit_type_info(
        DisplayName, "Grid", runtime::unit_type_flag::RaisesEvents, Properties, &Entries::query);
    return info;
}

bool GridUnit::create_window(const CreateParameters& parameters) {
    if (!register_unit_class(GridUnit::ClassName, platform::CS_DBLCLKS))
        return false;
    std::uint32_t style = parameters.style | platform::WS_CHILD | platform::WS_CLIPSIBLINGS |
                          platform::WS_VSCROLL | platform::WS_HSCROLL;
    std::uint32_t ex_style = m_settings.flag(Border) ? platform::WS_EX_CLIENTEDGE : 0;
    if (!create_system_window(ex_style, ClassName, "", style, parameters.left, parameters.top,
                              parameters.width, parameters.height, parameters.parent,
                              parameters.control_id))
        return false;
    update_scroll_bars();
    return true;
}

void GridUnit::apply_look() {
    m_look.row_height = m_settings.word(RowHeight);
    m_look.column_width = m_settings.word(ColumnWidth);
    m_look.fixed_column_width = m_settings.word(FixedColumnWidth);
    m_look.line_colour = static_cast<platform::COLORREF>(m_settings.word(LineColour));
    m_look.line_style = m_settings.word(LineStyle);
    m_look.background = static_cast<platform::COLORREF>(m_settings.word(BackgroundColour));
    m_look.fixed_background = static_cast<platform::COLORREF>(m_settings.word(FixedColour));
    m_look.text_colour = static_cast<platform::COLORREF>(m_settings.word(TextColour));
}

int GridUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int GridUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    std::int32_t border = m_settings.word(Border);
    if (!m_settings.set(own_index, value))
        return 0;
    bound_settings(m_settings);
    switch (own_index) {
    case Border:
        // The frame is a window style: a new window shows it.
        return m_settings.word(Border) != border ? 1 : 0;
    case Rows:
    case Columns:
        m_model.resize(m_settings.word(Rows), m_settings.word(Columns));
        m_model.set_fixed(m_settings.word(FixedRows), m_settings.word(FixedColumns));
        break;
    case FixedRows:
    case FixedColumns:
        m_model.set_fixed(m_settings.word(FixedRows), m_settings.word(FixedColumns));
        break;
    case ShowZero:
        m_model.set_show_zero(m_settings.flag(ShowZero));
        break;
    case WholeRowSelection:
        m_model.set_whole_row(m_settings.flag(WholeRowSelection));
        break;
    default:
        break;
    }
    apply_look();
    update_scroll_bars();
    platform::invalidate_rect(hwnd(), nullptr, true);
    return 0;
}

// ---- Methods ------------------------------------------------------------------

void GridUnit::set_current_cell(int row, int column) {
    const CellPosition old = m_model.current();
    const int old_top = m_view.top_row();
    const int old_left = m_view.left_column();
    const platform::Size old_client = m_view.client();
    bool moved = m_model.set_current_cell(row, column);
    if (m_model.current().is_set()) {
        m_view.scroll_into_view(row, column);
        update_scroll_bars();
    }
    if (m_view.client() != old_client)
        platform::invalidate_rect(hwnd(), nullptr, false);
    else
        show_scrolled(old_top, old_left);
    // The frame round the current cell leaves one cell and comes to another,
    // and in whole-row mode the selection one row for another; nothing else
    // changes.
    for (const CellPosition& at : {old, m_model.current()}) {
        if (!at.is_set())
            continue;
        if (m_model.whole_row())
            redraw_row(at.row);
        else
            redraw_cell(at.row, at.column);
    }
    if (moved) {
        notify_current_changed();
        raise_current_cell_changed();
    }
}

bool GridUnit::set_cell_data(int row, int column, std::int32_t kind,
                             const runtime::TypedValue& value) {
    if (!m_model.contains(row, column))
        return false;
    const ColumnFormat& format = m_model.column_format(column);
    switch (kind) {
    case cell_kind::Text: {
        auto text = m_model.display_text(row, column, value);
        if (!text)
            return false;
        bool stored = m_model.set_text(row, column, std::move(*text));
        redraw_cell(row, column);
        notify_cell_changed(row, column);
        return stored;
    }
    case cell_kind::Check:
        if (value.type != runtime::type_code::Boolean || format.kind != ColumnKind::CheckBox)
            return false;
        m_model.set_checked(row, column, value.low() != 0);
        redraw_cell(row, column);
        return true;
    case cell_kind::Picture: {
        if (format.kind != ColumnKind::Picture)
            return false;
        auto bytes = picture_bytes(value);
        if (!bytes)
            return false;
        m_model.set_picture(row, column, std::move(*bytes));
        redraw_cell(row, column);
        return true;
    }
    default:
        redraw_cell(row, column);
        return true;
    }
}

runtime::TypedValue GridUnit::get_cell_data(int row, int column) const {
    using runtime::TypedValue;
    const ColumnFormat& format = m_model.column_format(column);
    if (!m_model.contains(row, column)) {
        if (format.kind == ColumnKind::Picture)
            return TypedValue::of(runtime::type_code::ByteSet, 0);
        return TypedValue::of_boolean(false);
    }
    const GridCell& cell = m_model.cell(row, column);
    if (m_model.is_data_cell(row, column) && format.kind == ColumnKind::CheckBox)
        return TypedValue::of_boolean(cell.checked);
    if (m_model.is_data_cell(row, column) && format.kind == ColumnKind::Picture)
        return TypedValue::of_pointer(runtime::type_code::ByteSet,
                                      cell.picture.empty() ? nullptr
                                                           : runtime::make_byte_set(cell.picture));
    return TypedValue::of_text(cell.text.empty() ? nullptr : runtime::make_text(cell.text));
}

void GridUnit::reset() {
    std::int32_t rows = m_model.rows();
    std::int32_t columns = m_model.columns();
    m_settings = m_design;
    m_settings.set_word(Rows, rows);
    m_settings.set_word(Columns, columns);
    m_model.reset(m_settings.word(FixedRows), m_settings.word(FixedColumns));
    m_model.set_show_zero(m_settings.flag(ShowZero));
    m_model.set_whole_row(m_settings.flag(WholeRowSelection));
    apply_look();
    m_view.set_top_row(0);
    m_view.set_left_column(0);
    update_scroll_bars();
    platform::invalidate_rect(hwnd(), nullptr, true);
}

bool GridUnit::raise_current_cell_changed() {
    runtime::TypedEventRequest request;
    request.window_id = window_id();
    request.unit_id = notice_unit_id();
    request.event = EventCurrentCellChanged;
    return runtime::library_host_call(runtime::host_service::RaiseTypedEvent,
                                      reinterpret_cast<std::intptr_t>(&request)) != 0;
}

// ---- The window -----------------------------------------------------------------

void GridUnit::redraw_cell(int row, int column) {
    platform::Rect r = m_view.cell_rect(row, column);
    if (!r.is_empty())
        platform::invalidate_rect(hwnd(), &r, false);
}

void GridUnit::redraw_row(int row) {
    platform::Rect r = m_view.row_band(row);
    if (!r.is_empty())
        platform::invalidate_rect(hwnd(), &r, false);
}

void GridUnit::show_scrolled(int old_top, int old_left) {
    if (!hwnd())
        return;
    const int rows = m_view.top_row() - old_top;
    const int columns = m_view.left_column() - old_left;
    if (rows == 0 && columns == 0)
        return;
    // A short scroll in one direction moves what is already drawn; only the
    // rows or columns that come into view are painted.
    if (columns == 0 && std::abs(rows) < m_view.rows_per_page()) {
        platform::Rect area = m_view.row_scroll_area();
        platform::scroll_window(hwnd(), 0, -rows * m_look.row_height, &area);
        return;
    }
    if (rows == 0 && std::abs(columns) < m_view.columns_per_page()) {
        platform::Rect area = m_view.column_scroll_area();
        platform::scroll_window(hwnd(), -columns * m_look.column_width, 0, &area);
        return;
    }
    platform::invalidate_rect(hwnd(), nullptr, false);
}

void GridUnit::update_scroll_bars() {
    if (!hwnd())
        return;
    // Showing or hiding one bar changes the room for the other: settle.
    for (int round = 0; round < 3; ++round) {
        platform::Rect client;
        platform::get_client_rect(hwnd(), client);
        m_view.set_client({client.width(), client.height()});
        m_view.set_top_row(m_view.top_row());
        m_view.set_left_column(m_view.left_column());
        platform::ScrollInfo v;
        v.fMask = platform::SIF_RANGE | platform::SIF_PAGE | platform::SIF_POS;
        v.nMax = std::max(0, m_model.rows() - m_model.fixed_rows() - 1);
        v.nPage = static_cast<platform::UINT>(m_view.rows_per_page());
        v.nPos = m_view.top_row();
        platform::set_scroll_info(hwnd(), platform::SB_VERT, v);
        platform::ScrollInfo h = v;
        h.nMax = std::max(0, m_model.columns() - m_model.fixed_columns() - 1);
        h.nPage = static_cast<platform::UINT>(m_view.columns_per_page());
        h.nPos = m_view.left_column();
        platform::set_scroll_info(hwnd(), platform::SB_HORZ, h);
        platform::Rect after;
        platform::get_client_rect(hwnd(), after);
        if (after == client)
            return;
    }
}

void GridUnit::move_current(int row, int column) {
    row = std::clamp(row, m_model.fixed_rows(), std::max(m_model.fixed_rows(), m_model.rows() - 1));
    column = std::clamp(column, m_model.fixed_columns(),
                        std::max(m_model.fixed_columns(), m_model.columns() - 1));
    if (!m_model.is_data_cell(row, column))
        return;
    set_current_cell(row, column);
}

void GridUnit::on_key(UINT vk) {
    CellPosition at = m_model.current();
    if (!at.is_set()) {
        // The first key only shows where the keys act: the first shown data cell.
        move_current(m_model.fixed_rows() + m_view.top_row(),
                     m_model.fixed_columns() + m_view.left_column());
        return;
    }
    int page = std::max(1, m_view.rows_per_page());
    bool control = platform::get_key_state(platform::VK_CONTROL) < 0;
    switch (vk) {
    case platform::VK_UP:
        --at.row;
        break;
    case platform::VK_DOWN:
        ++at.row;
        break;
    case platform::VK_LEFT:
        --at.column;
        break;
    case platform::VK_RIGHT:
        ++at.column;
        break;
    case platform::VK_PRIOR:
        at.row -= page;
        break;
    case platform::VK_NEXT:
        at.row += page;
        break;
    case platform::VK_HOME:
        at.column = 0;
        if (control)
            at.row = 0;
        break;
    case platform::VK_END:
        at.column = m_model.columns() - 1;
        if (control)
            at.row = m_model.rows() - 1;
        break;
    default:
        return;
    }
    move_current(at.row, at.column);
}

void GridUnit::on_scroll(bool vertical, int code) {
    int bar = vertical ? platform::SB_VERT : platform::SB_HORZ;
    platform::ScrollView view;
    view.pos = vertical ? m_view.top_row() : m_view.left_column();
    view.page = vertical ? m_view.rows_per_page() : m_view.columns_per_page();
    view.last = vertical ? m_view.last_top_row() : m_view.last_left_column();
    int pos = platform::scroll_request_target(hwnd(), bar, code, view);
    if (pos < 0 || pos == view.pos)
        return;
    const int old_top = m_view.top_row();
    const int old_left = m_view.left_column();
    if (vertical)
        m_view.set_top_row(pos);
    else
        m_view.set_left_column(pos);
    platform::set_scroll_pos(hwnd(), bar, pos);
    show_scrolled(old_top, old_left);
}

void GridUnit::on_paint() {
    platform::PaintStruct ps;
    platform::Canvas* canvas = platform::begin_paint(hwnd(), ps);
    if (canvas) {
        canvas->set_font(platform::default_gui_font());
        m_view.paint(*canvas, ps.paint, platform::get_focus() == hwnd());
    }
    platform::end_paint(hwnd(), ps);
}

bool GridUnit::on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
    case platform::WM_PAINT:
        on_paint();
        return true;
    case platform::WM_ERASEBKGND:
        result = 1; // the paint covers everything
        return true;
    case platform::WM_SIZE:
        update_scroll_bars();
        return true;
    case platform::WM_VSCROLL:
    case platform::WM_HSCROLL:
        if (lp != 0)
            return false; // a child control's, not our own bars'
        on_scroll(msg == platform::WM_VSCROLL, platform::loword(wp));
        return true;
    case platform::WM_MOUSEWHEEL: {
        int steps = platform::wheel_delta(wp) / platform::WHEEL_DELTA;
        for (int i = 0; i < std::abs(steps) * WheelRows; ++i)
            on_scroll(true, steps > 0 ? platform::SB_LINEUP : platform::SB_LINEDOWN);
        return true;
    }
    case platform::WM_LBUTTONDOWN:
    case platform::WM_LBUTTONDBLCLK: {
        HWND self = hwnd();
        platform::set_focus(self);
        if (!platform::is_window(self))
            return true;
        CellPosition at = m_view.cell_at(platform::mouse_point(lp));
        if (m_model.is_data_cell(at.row, at.column))
            move_current(at.row, at.column);
        return true;
    }
    case platform::WM_KEYDOWN:
        on_key(static_cast<UINT>(wp));
        return true;
    case platform::WM_GETOBJECT:
        if (!answer_access(wp, lp))
            return false;
        result = 1;
        return true;
    case MessageAccessSelect: {
        int columns = std::max(1, m_model.columns());
        move_current(static_cast<int>(wp) / columns, static_cast<int>(wp) % columns);
        return true;
    }
    case platform::WM_GETDLGCODE:
        result = platform::DLGC_WANTARROWS;
        return true;
    case platform::WM_SETFOCUS:
    case platform::WM_KILLFOCUS:
        // The current cell's frame changes colour; the focus events follow.
        if (m_model.current().is_set())
            redraw_cell(m_model.current().row, m_model.current().column);
        return false;
    default:
        return false;
    }
}

} // namespace units
