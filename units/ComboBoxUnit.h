#pragma once

// The `ComboBox` unit (0x1000E): a combo box over the platform's "COMBOBOX"
// control. Its own properties are 8 to 24 (own indexes 0 to 16); the item
// texts and item values are custom data. Events: 0 `SelectionChanged`,
// 1 `EditChanged`, 2 `DroppedDown`, 3 `ClosedUp`, 4 `DoubleClicked`, and
// the focus events.
//
// A choice the user makes (CBN_SELENDOK) is delivered later, through a
// private message the unit posts to itself, so that the handler sees the
// selection in place. While the unit sets its own edit text or selection,
// `SelectionChanged` and `EditChanged` are held back; a program's write of
// the current item fires nothing.

#include <units/framework/ControlLook.h>
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <string>
#include <vector>

namespace units {

class ComboBoxUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x1000E;
    static constexpr std::uint32_t StoredVersion = 1;
    static constexpr UINT MessageSelectionChanged = 0xA711;
    // The drop-down kinds are never made lower than this, so the list has room.
    static constexpr int MinimumDropHeight = 160;

    enum Own : std::int32_t {
        Kind = 0,
        EditText = 1,
        MaxLength = 2,
        SelectionStart = 3,
        SelectionLength = 4,
        SelectedText = 5,
        Sorted = 6,
        ExtraItemHeight = 7,
        TextColour = 8,
        BackColour = 9,
        Font = 10,
        CurrentItem = 11,
        ItemTexts = 12,
        ItemValues = 13,
        Appearance1 = 14,
        Appearance2 = 15,
        Flag = 16,
    };
    enum Event : std::int32_t {
        EventSelectionChanged = 0,
        EventEditChanged = 1,
        EventDroppedDown = 2,
        EventClosedUp = 3,
        EventDoubleClicked = 4,
    };

    struct Settings : PropertyBag {
        Settings();
        // Adds `Items`: the item texts, one per line.
        bool set_by_name(std::string_view name, std::string_view value);
    };

    // The item texts as custom data: a word count, then each text counted.
    static std::vector<std::uint8_t> encode_items(const std::vector<std::string>& items);
    // False when the block is not such a list.
    static bool decode_items(std::span<const std::uint8_t> block, std::vector<std::string>& items);

    ComboBoxUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const CreateParameters& parameters);
    // The settings with the current item and edit text the box shows now.
    const Settings& settings();
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<ComboBoxUnit>;

    static std::uint32_t style_for(const Settings& settings);

  protected:
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool on_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  private:
    bool has_edit() const { return m_settings.word(Kind) != 2; }
    void fill_items();
    void set_current_item(std::int32_t index);
    void set_edit_text(const std::string& text);
    void set_edit_selection();
    void sync();
    LRESULT colours(WPARAM canvas) const;

    Settings m_settings;
    UnitFont m_font;
    // Raised while the unit sets its own edit text or selection.
    int m_setting_own = 0;
    std::string m_selected;
};

} // namespace units
