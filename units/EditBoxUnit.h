#pragma once

// The `EditBox` unit (0x10005): an edit box over the platform's "EDIT"
// control, with an optional spin button beside a single-line box. Its own
// properties are 8 to 28 (own indexes 0 to 20); event 0, `ContentChanged`,
// comes from EN_CHANGE.
//
// Every write of the content by the program fires exactly one
// `ContentChanged`, after the new text is in place and even when the text
// is the same: the notifications the write itself causes are swallowed,
// and the unit then sends itself one EN_CHANGE.

#include <units/framework/ControlLook.h>
#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

namespace units {

class EditBoxUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x10005;
    static constexpr std::uint32_t StoredVersion = 1;

    enum Own : std::int32_t {
        Content = 0,
        Border = 1,
        TextColour = 2,
        BackColour = 3,
        Font = 4,
        HideSelection = 5,
        MaxLength = 6,
        Multiline = 7,
        ScrollBars = 8,
        Alignment = 9,
        InputMode = 10,
        PasswordChar = 11,
        LetterCase = 12,
        SpinButton = 13,
        SpinMinimum = 14,
        SpinMaximum = 15,
        SelectionStart = 16,
        SelectionLength = 17,
        SelectedText = 18,
        InputSetting1 = 19,
        InputSetting2 = 20,
    };
    static constexpr std::int32_t EventContentChanged = 0;

    struct Settings : PropertyBag {
        Settings();
    };

    EditBoxUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const CreateParameters& parameters);
    // The settings with the text the box shows now.
    const Settings& settings();
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    // The spin button attached to the box, or null.
    HWND spin() const { return m_spin; }

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<EditBoxUnit>;

    struct Styles {
        std::uint32_t style = 0;
        std::uint32_t ex_style = 0;
    };
    static Styles styles_for(const Settings& settings);

  protected:
    bool on_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool on_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    bool takes_focus() const override { return true; }

  private:
    bool recreates(std::int32_t own_index) const;
    void write_content();
    void apply_input_mode();
    void apply_border();
    void apply_spin_range();
    void create_spin(const CreateParameters& parameters);
    void select(std::int32_t start, std::int32_t end);
    void selection(std::uint32_t& start, std::uint32_t& end) const;

    Settings m_settings;
    UnitFont m_font;
    HWND m_spin = nullptr;
    bool m_setting_text = false;
    std::string m_selected; // the text a read of the selected text points at
};

} // namespace units
