#include "CommonDlgUnit.h"

#include <platform/access/Access.h>
#include <units/framework/UnitMethod.h>

#include <platform/Encoding.h>
#include <platform/window/WindowSystem.h>

namespace units {

namespace {

using namespace runtime::value_kind;
using D = CommonDlgUnit;

constexpr PropertyTable Properties{{
    {D::DialogKind, "DialogKind", Choice, choice_clamp(3)},
    {D::Title, "Title", Text},
    {D::FileName, "FileName", Text},
    {D::Filter, "Filter", Text},
    {D::FilterIndex, "FilterIndex", Integer, at_least(0)},
    {D::InitialFolder, "InitialFolder", Text},
    {D::DefaultExtension, "DefaultExtension", Text},
    {D::CreatePrompt, "CreatePrompt", Boolean},
    {D::OverwritePrompt, "OverwritePrompt", Boolean},
    {D::FileMustExist, "FileMustExist", Boolean},
    {D::PathMustExist, "PathMustExist", Boolean},
    {D::NoChangeDir, "NoChangeDir", Boolean},
    {D::Font, "Font", runtime::value_kind::Font},
    {D::FontColour, "FontColor", Colour},
    {14, nullptr, Integer},
    {15, nullptr, Integer},
    {16, nullptr, Integer},
    {17, nullptr, Integer},
    {18, nullptr, Boolean},
    {19, nullptr, Boolean},
    {20, nullptr, Boolean},
    {D::LastOwn, nullptr, Boolean},
}};

// 通用对话框
constexpr const char* DisplayName = "\xCD\xA8\xD3\xC3\xB6\xD4\xBB\xB0\xBF\xF2";

} // namespace

CommonDlgUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {}

const runtime::UnitTypeInfo& CommonDlgUnit::type_info() {
    static const runtime::UnitTypeInfo info =
        make_unit_type_info(DisplayName, "CommonDlg", runtime::unit_type_flag::NoOwnVisibility,
                            Properties, &Entries::query);
    return info;
}

bool CommonDlgUnit::create_window(const CreateParameters& parameters) {
    if (!register_unit_class(CommonDlgUnit::ClassName))
        return false;
    std::uint32_t style =
        (parameters.style & ~platform::WS_VISIBLE & ~platform::WS_TABSTOP) | platform::WS_CHILD;
    return create_system_window(0, ClassName, "", style, parameters.left, parameters.top,
                                parameters.width, parameters.height, parameters.parent,
                                parameters.control_id);
}

int CommonDlgUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int CommonDlgUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    m_settings.set(own_index, value);
    return 0;
}

platform::FileDialogRequest CommonDlgUnit::file_request() const {
    platform::FileDialogRequest request;
    request.kind = m_settings.word(DialogKind) == SaveFile ? platform::FileDialogKind::Save
                                                           : platform::FileDialogKind::Open;
    request.owner = hwnd() ? platform::get_ancestor_root(hwnd()) : nullptr;
    request.flags = platform::OFN_HIDEREADONLY;
    if (m_settings.flag(CreatePrompt))
        request.flags |= platform::OFN_CREATEPROMPT;
    if (m_settings.flag(OverwritePrompt))
        request.flags |= platform::OFN_OVERWRITEPROMPT;
    if (m_settings.flag(FileMustExist))
        request.flags |= platform::OFN_FILEMUSTEXIST;
    if (m_settings.flag(PathMustExist))
        request.flags |= platform::OFN_PATHMUSTEXIST;
    if (m_settings.flag(NoChangeDir))
        request.flags |= platform::OFN_NOCHANGEDIR;
    // A filter list is closed by "||"; without a filter there is none to choose.
    std::string filter = m_settings.text(Filter);
    request.filter_index = 0;
    if (!filter.empty()) {
        if (!filter.ends_with("||"))
            filter += "||";
        request.filters = platform::parse_filter_text(filter);
        request.filter_index = m_settings.word(FilterIndex) + 1;
    }
    request.title = m_settings.text(Title);
    request.default_extension = m_settings.text(DefaultExtension);
    request.file_name = m_settings.text(FileName);
    request.initial_folder = m_settings.text(InitialFolder);
    return request;
}

bool CommonDlgUnit::show_dialog() {
    std::int32_t kind = m_settings.word(DialogKind);
    // The font and further system dialogs are not offered on this platform.
    if (kind != OpenFile && kind != SaveFile)
        return false;
    // The dialog runs a message loop that may close the window, and the unit
    // with it; only the handle, never reused, is safe to ask afterwards.
    HWND self = hwnd();
    auto answer = platform::run_file_dialog(file_request());
    if (!answer || !platform::is_window(self))
        return false;
    // The program's texts are GBK: a path that is not valid GBK cannot be
    // handed on, and counts as no choice.
    std::string checked;
    if (!platform::gbk_to_utf8(answer->path, checked, platform::InvalidBytes::Fail))
        return false;
    m_settings.set_text(FileName, answer->path);
    return true;
}

namespace {

void show_dialog_method(runtime::TypedValue* result, std::int32_t arg_count,
                        const runtime::TypedValue* args) {
    CommonDlgUnit* unit = method_unit<CommonDlgUnit>(arg_count, args);
    bool confirmed = unit && unit->show_dialog();
    if (result)
        *result = runtime::TypedValue::of_boolean(confirmed);
}

} // namespace

std::span<const runtime::LibraryCommand> CommonDlgUnit::methods() {
    static constexpr runtime::LibraryCommand Methods[] = {show_dialog_method};
    static_assert(ShowDialog == 0);
    return Methods;
}

// The unit only stands for the display's own choosers, which answer for
// themselves: the user never sees it.
void CommonDlgUnit::describe_access(platform::access::Node& node) {
    node.role = platform::access::Role::None;
}

} // namespace units
