#include <units/grid/GridUnit.h>

#include <DesignTypes.h>

#include <platform/access/Access.h>
#include <platform/controls/Controls.h>
#include <platform/headless/HeadlessBackend.h>
#include <platform/window/Input.h>
#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <runtime/services/LibraryHost.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>

#include <gtest/gtest.h>

#include <cairo.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using runtime::TypedValue;
using units::GridUnit;

constexpr std::uint32_t WindowId = 0x52010001;
constexpr std::uint32_t GridId = 0x1601006f;

GridUnit* g_grid = nullptr;
int g_events = 0;

// The runtime as the grid sees it: one window with the grid, and a handler
// bound to CurrentCellChanged that counts its calls.
std::intptr_t fake_host(std::int32_t code, std::intptr_t a, std::intptr_t b) {
    if (code == runtime::host_service::UnitWindowObjectOrFail && a == WindowId && b == GridId)
        return reinterpret_cast<std::intptr_t>(static_cast<runtime::UnitObject*>(g_grid));
    if (code == runtime::host_service::RaiseTypedEvent) {
        auto* request = reinterpret_cast<runtime::TypedEventRequest*>(a);
        if (request->window_id == WindowId && request->unit_id == GridId &&
            request->event == GridUnit::EventCurrentCellChanged && request->arg_count == 0)
            ++g_events;
        return 1;
    }
    return 0;
}

// The design of the program's action table.
std::vector<std::uint8_t> action_table_data() {
    std::vector<std::pair<std::string, std::string>> named = {
        {"Rows", "101"}, {"Columns", "5"}, {"FixedRows", "1"}, {"FixedColumns", "1"}};
    std::vector<std::uint8_t> data;
    std::string bad;
    EXPECT_TRUE(GridUnit::Entries::design_data(named, data, bad)) << bad;
    return data;
}

class GridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(platform::initialize(&m_backend));
        platform::register_standard_controls();
        runtime::set_library_host(fake_host);
        g_events = 0;
        m_top = platform::create_window_ex(0, "STATIC", "top", platform::WS_VISIBLE, 0, 0, 540, 530,
                                           nullptr, 0);
        g_grid = create(action_table_data());
        ASSERT_TRUE(g_grid);
    }
    void TearDown() override {
        platform::destroy_window(m_top);
        g_grid = nullptr;
        runtime::set_library_host(nullptr);
        platform::shutdown();
    }

    GridUnit* create(const std::vector<std::uint8_t>& data) {
        auto* object = GridUnit::Entries::create(
            data.data(), static_cast<std::uint32_t>(data.size()), platform::WS_VISIBLE, m_top, 100,
            nullptr, 10, 10, 520, 512, WindowId, GridId, 0, 0);
        return dynamic_cast<GridUnit*>(object);
    }

    // Calls method `entry` of library 6 with the grid as argument 0.
    TypedValue call(std::size_t entry, std::vector<TypedValue> more = {}) {
        std::vector<TypedValue> args(1);
        args[0].set_words(WindowId, GridId);
        args[0].type = GridUnit::TypeCode;
        args.insert(args.end(), more.begin(), more.end());
        TypedValue result;
        units::GridUnit::methods()[entry](&result, static_cast<std::int32_t>(args.size()),
                                          args.data());
        return result;
    }
    static TypedValue integer(std::int32_t v) { return TypedValue::of_integer(v); }
    bool set_cell(int row, int column, TypedValue value, int kind = 1) {
        TypedValue r = call(1, {integer(row), integer(column), integer(kind), value});
        EXPECT_EQ(r.type, runtime::type_code::Boolean);
        return r.low() != 0;
    }
    // GetCellData's text, released as the program would; "<type>" when not a text.
    std::string cell_text(int row, int column) {
        TypedValue r = call(2, {integer(row), integer(column)});
        if (r.type != runtime::type_code::Text)
            return "<" + std::to_string(r.type) + ">";
        auto* p = r.pointer<char>();
        std::string out = p ? p : "";
        runtime::RuntimeHeap::the().release(p);
        return out;
    }
    void set_current(int row, int column) { call(0, {integer(row), integer(column)}); }

    platform::HeadlessBackend m_backend;
    platform::HWND m_top = nullptr;
};

TEST_F(GridTest, SetAndGetCellDataThroughTheMethods) {
    EXPECT_FALSE(set_cell(200, 1, integer(45)));
    EXPECT_FALSE(set_cell(1, 5, integer(45)));
    EXPECT_FALSE(set_cell(-1, 0, integer(45)));
    EXPECT_TRUE(set_cell(1, 1, integer(45)));
    EXPECT_TRUE(set_cell(1, 2, TypedValue::of_double(12.5)));
    EXPECT_TRUE(set_cell(0, 1, TypedValue::of_text("Gripper")));
    EXPECT_FALSE(set_cell(1, 3, TypedValue::of_boolean(true)));
    EXPECT_EQ(cell_text(1, 1), "45");
    EXPECT_EQ(cell_text(1, 2), "12.5");
    EXPECT_EQ(cell_text(0, 1), "Gripper");
    // An empty cell is the empty text (no allocation), not another type.
    TypedValue empty = call(2, {integer(5), integer(4)});
    EXPECT_EQ(empty.type, runtime::type_code::Text);
    EXPECT_EQ(empty.pointer<char>(), nullptr);
    // Outside the table: an empty boolean for a plain column.
    TypedValue outside = call(2, {integer(200), integer(1)});
    EXPECT_EQ(outside.type, runtime::type_code::Boolean);
    EXPECT_EQ(outside.data, 0u);
    // A check state only goes into a check-box column, and stays out of text cells.
    g_grid->model().set_column_format(3, {units::ColumnKind::CheckBox, 0, ""});
    EXPECT_TRUE(set_cell(2, 3, TypedValue::of_boolean(true), 5));
    EXPECT_FALSE(set_cell(2, 4, TypedValue::of_boolean(true), 5));
    EXPECT_FALSE(set_cell(2, 3, integer(1), 5));
    TypedValue check = call(2, {integer(2), integer(3)});
    EXPECT_EQ(check.type, runtime::type_code::Boolean);
    EXPECT_EQ(check.low(), 1u);
}

TEST_F(GridTest, PictureColumnTakesOnlyBitmapsAndGivesTheirBytesBack) {
    g_grid->model().set_column_format(4, {units::ColumnKind::Picture, 0, ""});
    // A 1 by 1 24-bit bitmap: info header and one padded row.
    std::vector<std::uint8_t> dib(40 + 4, 0);
    dib[0] = 40;
    dib[4] = 1;
    dib[8] = 1;
    dib[12] = 1;
    dib[14] = 24;
    dib[40] = 0xFF;
    void* bytes = runtime::make_byte_set(dib);
    EXPECT_TRUE(set_cell(3, 4, TypedValue::of_pointer(runtime::type_code::ByteSet, bytes), 6));
    std::vector<std::uint8_t> junk = {1, 2, 3};
    void* bad = runtime::make_byte_set(junk);
    EXPECT_FALSE(set_cell(4, 4, TypedValue::of_pointer(runtime::type_code::ByteSet, bad), 6));
    EXPECT_FALSE(set_cell(4, 4, TypedValue::of_text("/no/such/file.bmp"), 6));
    EXPECT_FALSE(set_cell(4, 3, TypedValue::of_pointer(runtime::type_code::ByteSet, bytes), 6));
    TypedValue back = call(2, {integer(3), integer(4)});
    ASSERT_EQ(back.type, runtime::type_code::ByteSet);
    auto span = runtime::byte_set_bytes(back.pointer<void>());
    EXPECT_EQ(std::vector<std::uint8_t>(span.begin(), span.end()), dib);
    TypedValue none = call(2, {integer(4), integer(4)});
    EXPECT_EQ(none.type, runtime::type_code::ByteSet);
    EXPECT_EQ(none.pointer<void>(), nullptr);
    for (void* p : {bytes, bad, back.pointer<void>()})
        runtime::RuntimeHeap::the().release(p);
}

TEST_F(GridTest, CurrentCellChangedOnlyWhenTheCurrentCellMoves) {
    set_current(1, 0);
    EXPECT_EQ(g_events, 1);
    set_current(1, 0);
    EXPECT_EQ(g_events, 1);
    set_current(200, 1);
    EXPECT_EQ(g_events, 1);
    EXPECT_FALSE(g_grid->model().current().is_set());
    EXPECT_TRUE(g_grid->model().selection().is_empty());
    set_current(1, 0);
    EXPECT_EQ(g_events, 2);
}

TEST_F(GridTest, SetCurrentCellScrollsTheRowIntoView) {
    EXPECT_TRUE(g_grid->view().cell_rect(100, 1).is_empty());
    set_current(100, 1);
    EXPECT_FALSE(g_grid->view().cell_rect(100, 1).is_empty());
    platform::ScrollInfo info;
    info.fMask = platform::SIF_POS;
    ASSERT_TRUE(platform::get_scroll_info(g_grid->hwnd(), platform::SB_VERT, info));
    EXPECT_EQ(info.nPos, g_grid->view().top_row());
    set_current(1, 1);
    EXPECT_EQ(g_grid->view().top_row(), 0);
    // The action table's five columns fit: no horizontal bar.
    EXPECT_FALSE(platform::get_style(g_grid->hwnd()) & platform::WS_HSCROLL);
    EXPECT_TRUE(platform::get_style(g_grid->hwnd()) & platform::WS_VSCROLL);
}

TEST_F(GridTest, KeysAndWheelMoveThePersonThroughTheTable) {
    platform::set_focus(g_grid->hwnd());
    m_backend.press_key(platform::VK_DOWN); // no current cell yet: the first data cell
    m_backend.press_key(platform::VK_DOWN);
    m_backend.press_key(platform::VK_RIGHT);
    m_backend.pump();
    EXPECT_EQ(g_grid->model().current(), (units::CellPosition{2, 2}));
    m_backend.press_key(platform::VK_NEXT);
    m_backend.pump();
    EXPECT_GT(g_grid->model().current().row, 2);
    EXPECT_FALSE(g_grid->view().cell_rect(g_grid->model().current().row, 2).is_empty());
    m_backend.press_key(platform::VK_UP);
    for (int i = 0; i < 200; ++i)
        m_backend.press_key(platform::VK_UP); // stops at the first data row
    m_backend.pump();
    EXPECT_EQ(g_grid->model().current().row, 1);
    int top = g_grid->view().top_row();
    m_backend.wheel(g_grid->hwnd(), {50, 50}, -platform::WHEEL_DELTA);
    m_backend.pump();
    EXPECT_EQ(g_grid->view().top_row(), top + 3);
    // A click on a data cell makes it current; a header click does not.
    platform::Rect r = g_grid->view().cell_rect(6, 3);
    m_backend.click(g_grid->hwnd(), {r.left + 5, r.top + 5});
    m_backend.click(g_grid->hwnd(), {5, 5});
    m_backend.pump();
    EXPECT_EQ(g_grid->model().current(), (units::CellPosition{6, 3}));
}

// The grid's pixels in the top window's picture, after painting what is due.
std::vector<std::uint32_t> grid_pixels(platform::HWND top, platform::HWND grid) {
    platform::update_window(top);
    platform::Point origin{0, 0};
    platform::map_window_points(grid, top, &origin, 1);
    platform::Rect client;
    platform::get_client_rect(grid, client);
    cairo_surface_t* s = platform::window_surface(top);
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    std::vector<std::uint32_t> pixels;
    for (int y = origin.y; y < origin.y + client.height(); ++y)
        for (int x = origin.x; x < origin.x + client.width(); ++x)
            pixels.push_back(*reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4));
    return pixels;
}

// A playback walks the current cell down the table: each step repaints the
// two cells it touches (the two rows, when whole rows are selected), or
// moves the drawn rows up by one and paints the one that comes into view;
// either way the picture is what a full paint gives.
TEST_F(GridTest, AWalkingCurrentCellRepaintsLittleAndDrawsTheSameAsAFullPaint) {
    for (int r = 1; r <= 100; ++r) {
        std::string name = "Action " + std::to_string(r);
        set_cell(r, 0, TypedValue::of_text(name.c_str()));
        for (int c = 1; c <= 4; ++c)
            set_cell(r, c, integer(r * 10 + c));
    }
    platform::HWND hwnd = g_grid->hwnd();
    const platform::Rect cell = g_grid->view().cell_rect(1, 2);
    for (bool whole_rows : {false, true}) {
        g_grid->model().set_whole_row(whole_rows);
        set_current(1, 2);
        grid_pixels(m_top, hwnd);
        for (int row = 1; row <= 100; ++row) {
            const int top = g_grid->view().top_row();
            set_current(row, 2);
            platform::Rect due;
            ASSERT_TRUE(platform::get_update_rect(hwnd, due)) << row;
            // The old cell or row and the new one, next to each other; after
            // a scroll the strip that came into view may add part of one
            // more row.
            const bool scrolled = g_grid->view().top_row() != top;
            EXPECT_LE(due.height(), (scrolled ? 3 : 2) * cell.height()) << row;
            if (!scrolled && !whole_rows && row > 1) {
                EXPECT_EQ(due.width(), cell.width()) << row;
            }
            platform::update_window(m_top);
            if (row % 17 == 0 || row == 100) {
                std::vector<std::uint32_t> stepped = grid_pixels(m_top, hwnd);
                platform::invalidate_rect(hwnd, nullptr, false);
                ASSERT_EQ(stepped, grid_pixels(m_top, hwnd))
                    << "after row " << row << (whole_rows ? ", whole rows" : "");
            }
        }
        EXPECT_GT(g_grid->view().top_row(), 0);
        // Back to the top is more than a page: everything is painted again.
        set_current(1, 2);
        std::vector<std::uint32_t> jumped = grid_pixels(m_top, hwnd);
        platform::invalidate_rect(hwnd, nullptr, false);
        EXPECT_EQ(jumped, grid_pixels(m_top, hwnd));
    }
}

TEST_F(GridTest, ResetKeepsTheSizeEmptiesTheCellsAndRestoresTheDesign) {
    set_cell(0, 1, TypedValue::of_text("Gripper"));
    set_cell(50, 3, integer(90));
    runtime::PropertyValue value;
    value.data = 0x000000FF;
    g_grid->set_property(GridUnit::LineColour, value);
    value.data = 3;
    g_grid->set_property(GridUnit::FixedRows, value);
    value.data = 120;
    g_grid->set_property(GridUnit::Rows, value);
    EXPECT_EQ(g_grid->model().fixed_rows(), 3);
    call(3);
    EXPECT_EQ(g_grid->model().rows(), 120); // the count of the moment, not the stored one
    EXPECT_EQ(g_grid->model().columns(), 5);
    EXPECT_EQ(g_grid->model().fixed_rows(), 1);
    EXPECT_EQ(g_grid->settings().word(GridUnit::LineColour), 0x00D0D0D0);
    EXPECT_EQ(cell_text(0, 1), "");
    EXPECT_EQ(cell_text(50, 3), "");
}

TEST_F(GridTest, StoredDataRoundTripsAndBadDataCreatesNothing) {
    std::vector<std::uint8_t> data = action_table_data();
    std::vector<std::uint8_t> saved;
    ASSERT_TRUE(GridUnit::Entries::save_state(g_grid, &saved));
    EXPECT_EQ(saved, data);
    GridUnit* again = create(saved);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->model().rows(), 101);
    EXPECT_EQ(again->model().fixed_columns(), 1);
    platform::destroy_window(again->hwnd());

    // The version word first: one above the grid's own fails.
    std::vector<std::uint8_t> newer = data;
    newer[0] = GridUnit::StoredVersion + 1;
    EXPECT_EQ(create(newer), nullptr);
    for (std::size_t cut : {std::size_t{2}, std::size_t{4}, data.size() - 1}) {
        std::vector<std::uint8_t> short_tail(data.begin(),
                                             data.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_EQ(create(short_tail), nullptr) << cut;
    }
    std::vector<std::uint8_t> longer = data;
    longer.push_back(0);
    EXPECT_EQ(create(longer), nullptr);

    // A design the window could not hold is cut to what it can.
    std::vector<std::pair<std::string, std::string>> huge = {{"Rows", "2000000000"},
                                                             {"Columns", "1000"}};
    std::vector<std::uint8_t> big;
    std::string bad;
    ASSERT_TRUE(GridUnit::Entries::design_data(huge, big, bad));
    GridUnit* bounded = create(big);
    ASSERT_TRUE(bounded);
    EXPECT_LE(static_cast<std::int64_t>(bounded->model().rows()) * bounded->model().columns(),
              1000000);
    platform::destroy_window(bounded->hwnd());
}

TEST_F(GridTest, TheDesignCompilerKnowsTheGridByName) {
    auto types = designc::DesignTypes::standard();
    const designc::DesignType* type = types.find("Grid");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->code, GridUnit::TypeCode);
    std::vector<std::pair<std::string, std::string>> named = {
        {"Rows", "101"}, {"Columns", "5"}, {"FixedRows", "1"}, {"FixedColumns", "1"}};
    std::vector<std::uint8_t> data;
    std::string bad;
    ASSERT_TRUE(type->writer(named, data, bad));
    EXPECT_EQ(data, action_table_data());
    std::vector<std::pair<std::string, std::string>> unknown = {{"Colour", "1"}};
    EXPECT_FALSE(type->writer(unknown, data, bad));
    EXPECT_EQ(bad, "Colour");
}

// The action table as the program fills it, drawn headless to grid.png in
// the working folder for a person to look at.
TEST_F(GridTest, ActionTablePicture) {
    const char* heads[] = {"Gripper", "Shoulder", "Elbow", "Base"};
    for (int c = 1; c <= 4; ++c)
        set_cell(0, c, TypedValue::of_text(heads[c - 1]));
    for (int r = 1; r <= 100; ++r) {
        std::string name = "Action " + std::to_string(r);
        set_cell(r, 0, TypedValue::of_text(name.c_str()));
    }
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 4; ++c)
            set_cell(r, c, integer(40 * c + r));
    set_current(3, 0);
    platform::set_focus(g_grid->hwnd());
    ASSERT_TRUE(platform::save_window_png(m_top, "grid.png"));
    cairo_surface_t* s = platform::window_surface(m_top);
    cairo_surface_flush(s);
    // Every filled cell has dark text pixels in it.
    auto has_ink = [&](platform::Rect r) {
        const unsigned char* data = cairo_image_surface_get_data(s);
        int stride = cairo_image_surface_get_stride(s);
        for (int y = r.top + 10; y < r.bottom + 10; ++y)
            for (int x = r.left + 10; x < r.right + 10; ++x) {
                auto px = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
                if ((px & 0xFF) < 0x60 && ((px >> 8) & 0xFF) < 0x60)
                    return true;
            }
        return false;
    };
    for (int c = 1; c <= 4; ++c) {
        EXPECT_TRUE(has_ink(g_grid->view().cell_rect(0, c))) << "heading " << c;
        EXPECT_TRUE(has_ink(g_grid->view().cell_rect(2, c))) << "row 2 column " << c;
    }
    EXPECT_TRUE(has_ink(g_grid->view().cell_rect(20, 0)));
    EXPECT_FALSE(has_ink(g_grid->view().cell_rect(10, 2)));
}

TEST_F(GridTest, CellsReadAsATableWithHeadersAndAClientChoosesTheCurrentCell) {
    using namespace platform::access;
    set_cell(0, 1, TypedValue::of_text("Gripper"));
    set_cell(2, 0, TypedValue::of_text("Action 2"));
    set_cell(2, 1, integer(90));
    platform::HWND grid = g_grid->hwnd();
    Node table = platform::access::describe({grid, 0});
    EXPECT_EQ(table.role, Role::Table);
    EXPECT_EQ(table.rows, 101);
    EXPECT_EQ(table.columns, 5);
    EXPECT_EQ(table.parts, 505);
    int columns = table.columns;
    Node heading = platform::access::describe({grid, 1 + 1});
    EXPECT_EQ(heading.role, Role::ColumnHeader);
    EXPECT_EQ(heading.name, "Gripper");
    EXPECT_EQ(platform::access::describe({grid, 1 + 2 * columns}).role, Role::RowHeader);
    Node cell = platform::access::describe({grid, 1 + 2 * columns + 1});
    EXPECT_EQ(cell.role, Role::TableCell);
    EXPECT_EQ(cell.name, "90");
    EXPECT_TRUE(cell.states & Showing);
    EXPECT_FALSE(platform::access::describe({grid, 1 + 90 * columns + 1}).states & Showing)
        << "a row scrolled out of view";
    EXPECT_TRUE(platform::access::describe({grid, 506}).states & Defunct) << "past the last cell";

    g_events = 0;
    ASSERT_TRUE(select_child({grid, 0}, 2 * columns + 1, true));
    EXPECT_EQ(g_events, 0) << "posted";
    m_backend.pump();
    EXPECT_EQ(g_events, 1) << "CurrentCellChanged, as for a click";
    EXPECT_TRUE(platform::access::describe({grid, 1 + 2 * columns + 1}).states & Selected);
    EXPECT_FALSE(select_child({grid, 0}, 1, true)) << "a header cell is never current";
}

} // namespace
