#pragma once

// The grid unit (0x60001): a table of cells with header rows and columns.
// The program writes and reads cells and moves the current cell through its
// methods SetCurrentCell, SetCellData, GetCellData and Reset; a person
// scrolls it and moves the current cell with the mouse and the keys, but
// cannot edit a cell. CurrentCellChanged (event 0) tells when the current
// cell moved.
//
// Its stored data is its design: the row and column counts, the fixed
// counts and the look (row height, column widths, line colour and style,
// colours, the show-zero and whole-row flags). Reset restores the look and
// the fixed counts as loaded, keeping the row and column counts of the
// moment.

#include "GridModel.h"
#include "GridView.h"
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <platform/window/Messages.h>
#include <runtime/image/UnitTypeInfo.h>
#include <runtime/services/LibraryCommand.h>

#include <span>

namespace units {

class GridUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x60001;
    static constexpr std::uint32_t StoredVersion = 1;
    static constexpr const char* ClassName = "ArmctlGrid";
    static constexpr std::int32_t EventCurrentCellChanged = 0;
    // What a design may ask for; a larger table is cut to this.
    static constexpr std::int32_t MaxRows = 100000;
    static constexpr std::int32_t MaxColumns = 1000;

    enum Own : std::int32_t {
        Rows = 0,
        Columns = 1,
        FixedRows = 2,
        FixedColumns = 3,
        RowHeight = 4,
        ColumnWidth = 5,
        FixedColumnWidth = 6,
        LineColour = 7,
        LineStyle = 8,
        BackgroundColour = 9,
        FixedColour = 10,
        TextColour = 11,
        ShowZero = 12,
        WholeRowSelection = 13,
        Border = 14,
    };

    struct Settings : PropertyBag {
        Settings();
    };

    GridUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings);

    bool create_window(const CreateParameters& parameters);
    // The settings of the moment, with the current row and column counts.
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    // The methods.
    void set_current_cell(int row, int column);
    bool set_cell_data(int row, int column, std::int32_t kind, const runtime::TypedValue& value);
    // A new value the caller owns: a text, a boolean or a byte set.
    runtime::TypedValue get_cell_data(int row, int column) const;
    void reset();

    const GridModel& model() const { return m_model; }
    GridModel& model() { return m_model; }
    const GridView& view() const { return m_view; }

    static const runtime::UnitTypeInfo& type_info();

    // The unit's methods, which argument 0 of each names the unit to; the
    // program's command list places them in their library's table.
    enum Method : std::size_t { SetCurrentCell, SetCellData, GetCellData, Reset };
    static std::span<const runtime::LibraryCommand> methods();
    using Entries = UnitTypeEntries<GridUnit>;

  protected:
    void describe_access(platform::access::Node& node) override;
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool takes_focus() const override { return true; }

  private:
    // GridAccess.cpp: the cells as an assistive client reads them, and the
    // current cell it chooses (posted as MessageAccessSelect, wParam the cell).
    static constexpr UINT MessageAccessSelect = platform::WM_USER + 0x60;
    bool answer_access(WPARAM wp, LPARAM lp);
    void describe_cell(int row, int column, platform::access::Node& node) const;
    void notify_cell_changed(int row, int column) const;
    void notify_current_changed() const;

    void apply_look();
    void update_scroll_bars();
    void redraw_cell(int row, int column);
    void redraw_row(int row);
    // Shows the view after its first row or column has moved.
    void show_scrolled(int old_top, int old_left);
    // A move by the user: the same steps as SetCurrentCell.
    void move_current(int row, int column);
    void on_key(UINT vk);
    void on_scroll(bool vertical, int code);
    void on_paint();
    bool raise_current_cell_changed();

    Settings m_settings;
    Settings m_design; // as loaded, for Reset
    GridModel m_model;
    GridLook m_look;
    GridView m_view;
};

} // namespace units
