#pragma once

// The `CommonDlg` unit (0x1001F): the open and save file dialogs, invisible
// at run time (its window is never shown). Its own properties are 8 to 29
// (own indexes 0 to 21). Its method `ShowDialog` is a library-1 command.

#include <units/framework/PropertyBag.h>
#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <runtime/values/TypedValue.h>

#include <platform/dialogs/Dialogs.h>

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

    // The method: argument 0 is the unit; the result is a boolean.
    static void ShowDialog(runtime::TypedValue* result, std::int32_t arg_count,
                           const runtime::TypedValue* args);

    static const runtime::UnitTypeInfo& type_info();
    using Entries = UnitTypeEntries<CommonDlgUnit>;

  private:
    Settings m_settings;
};

} // namespace units
