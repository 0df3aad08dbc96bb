#pragma once

// The `StatusBar` unit (0x40002): a status bar control divided into panels.
// The program adds panels and replaces their texts through the methods
// AddPanel and SetPanelText (and SetPanelTip, the tool-tip of one panel);
// each change lays the panels out again and hands them to the control.

#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <platform/drawing/Bitmap.h>

#include <runtime/image/UnitTypeInfo.h>
#include <runtime/services/LibraryCommand.h>

#include <span>
#include <string>
#include <vector>

namespace units {

class StatusBarUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x40002;
    static constexpr std::uint32_t StoredVersion = 1;

    enum Own : std::int32_t {
        BackgroundColour = 0,
        Style = 1,
        SizeGrip = 2,
        Font = 3,
        ImageList = 4,
        Data = 5,
    };

    // Panel drawing styles as the control takes them.
    static constexpr std::uint32_t StyleNormal = 0;
    static constexpr std::uint32_t StyleNoBorders = 0x100;
    static constexpr std::uint32_t StyleRaised = 0x200;

    struct Panel {
        std::int32_t width = 50; // -1: up to the right end of the bar
        std::uint32_t style = StyleNormal;
        std::int32_t icon = -1; // index into the image list; -1 none
        std::string text;
        std::string tip;
    };

    struct Settings : PropertyBag {
        Settings();
    };

    StatusBarUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}
    ~StatusBarUnit() override;

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    // Appends a panel and lays all panels out; the new panel's index.
    std::int32_t add_panel(Panel panel);
    // Panel changes; an index outside the panels is ignored.
    void set_panel_text(std::int32_t index, std::string_view text);
    void set_panel_tip(std::int32_t index, std::string_view tip);

    const std::vector<Panel>& panels() const { return m_panels; }

    // Right edges as the layout walk gives them: the running sum of the
    // widths; a width of -1 takes the bar's right end (-1) and ends the walk,
    // so the panels after it get 0.
    static std::vector<std::int32_t> right_edges(std::span<const Panel> panels);

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<StatusBarUnit>;

  private:
    void lay_out();
    void show_panel(std::size_t index);
    void show_icon(std::size_t index);

    Settings m_settings;
    std::vector<Panel> m_panels;
    std::vector<platform::HBITMAP> m_icons; // one per panel, null where none
};

// Library 4's commands, in the order the program calls them: AddPanel,
// SetPanelText, SetPanelTip.
std::span<const runtime::LibraryCommand> status_bar_commands();

} // namespace units
