#pragma once

// The `CommonDlg` unit (0x1001F): the open and save file dialogs, invisible
// at run time (its window is never shown). Its own properties are 8 to 29
// (own indexes 0 to 21). Its one method is `ShowDialog`.

#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <runtime/services/LibraryCommand.h>
#include <runtime/values/TypedValue.h>

#include <platform/dialogs/Dialogs.h>

#include <span>

namespace units {

class CommonDlgUnit final : public Unit {
  public:
    static constexpr std::uint32_t TypeCode = 0x1001F;
    static constexpr std::uint32_t StoredVersion = 1;
    static constexpr const char* ClassName = "ArmctlCommonDlg";

    enum Own : std::int32_t {
        DialogKind = 0,
        Title = 1,
        FileName = 2,
        Filter = 3,
        FilterIndex = 4,
        InitialFolder = 5,
        DefaultExtension = 6,
        CreatePrompt = 7,
        OverwritePrompt = 8,
        FileMustExist = 9,
        PathMustExist = 10,
        NoChangeDir = 11,
        Font = 12,
        FontColour = 13,
        // 14 to 21: further dialog settings, kept as written.
        LastOwn = 21,
    };
    enum Kind : std::int32_t { OpenFile = 0, SaveFile = 1, FontDialog = 2, OtherDialog = 3 };

    struct Settings : PropertyBag {
        Settings();
    };

    CommonDlgUnit(std::uint32_t window_id, std::uint32_t unit_id, Settings settings)
        : Unit(window_id, unit_id), m_settings(std::move(settings)) {}

    bool create_window(const CreateParameters& parameters);
    const Settings& settings() const { return m_settings; }
    int get_property(std::int32_t own_index, runtime::PropertyValue& value);
    int set_property(std::int32_t own_index, const runtime::PropertyValue& value);

    // The file dialog the settings ask for (kinds 0 and 1).
    platform::FileDialogRequest file_request() const;
    // Shows the dialog of the unit's kind; true when the user confirmed it.
    bool show_dialog();

    // The unit's methods, which argument 0 of each names the unit to; the
    // program's command list places them in their library's table.
    // ShowDialog's result is a boolean: whether the user confirmed.
    enum Method : std::size_t { ShowDialog };
    static std::span<const runtime::LibraryCommand> methods();

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<CommonDlgUnit>;

  protected:
    void describe_access(platform::access::Node& node) override;

  private:
    Settings m_settings;
};

} // namespace units
