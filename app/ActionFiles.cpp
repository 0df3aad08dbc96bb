// Saving the record log to an action file and importing one into the table.

#include "AppState.h"
#include "ArmController_design.h"
#include "Units.h"

#include <runtime/values/ArrayBlock.h>

#include <cstring>
#include <vector>

namespace app {

namespace {

constexpr std::int32_t TextKind = 1;
constexpr std::int32_t SaveFileDialog = 1;
constexpr std::int32_t ApplicationDataFolder = 8;

// The texts of a text array from SplitText, copied out; the array and its
// texts are released.
std::vector<std::string> take_texts(const runtime::TypedValue& result) {
    std::vector<std::string> texts;
    void* block = result.pointer<void>();
    if (!block)
        return texts;
    runtime::ArrayElements elements = runtime::array_elements(block, sizeof(char*));
    for (std::size_t i = 0; i < elements.count; ++i) {
        char* element = nullptr;
        std::memcpy(&element, elements.data + i * sizeof(char*), sizeof(char*));
        texts.emplace_back(element ? element : "");
        release(element);
    }
    release(block);
    return texts;
}

std::vector<std::string> split(const std::string& whole, const char* delimiter) {
    return take_texts(
        call(CommandId::SplitText, {text(whole.c_str()), text(delimiter), omitted()}));
}

} // namespace

runtime::HandlerResult save() {
    write_integer(SaveDialog, CommonDlg::DialogKind, SaveFileDialog);
    Text folder = take_text(call(CommandId::GetSpecialFolder, {integer(ApplicationDataFolder)}));
    write_text(SaveDialog, CommonDlg::InitialFolder, folder.c_str());
    runtime::TypedValue confirmed = call(CommandId::ShowDialog, {SaveDialog.value()});
    if (confirmed.low() == 0)
        return {};
    runtime::TypedValue bytes = call(CommandId::ToByteSet, {text(state().record_log.c_str())});
    Text name = read_text(SaveDialog, CommonDlg::FileName);
    call(CommandId::WriteFileBytes, {text(name.c_str()), bytes});
    release(bytes.pointer<void>());
    return {};
}

runtime::HandlerResult import_actions() {
    runtime::TypedValue show_files = runtime::TypedValue::of_boolean(true);
    Text path = take_text(call(CommandId::BrowseForFolder, {text(open_file_title()), show_files}));
    runtime::TypedValue bytes = call(CommandId::ReadFileBytes, {text(path.c_str())});
    Text whole = take_text(call(CommandId::ToText, {bytes}));
    release(bytes.pointer<void>());
    std::vector<std::string> lines = split(std::string(whole.view()), "\r\n");
    // Lines past the table's last row change nothing: the grid drops them.
    for (std::size_t i = 0; i < lines.size() && i < static_cast<std::size_t>(TableRows); ++i) {
        std::vector<std::string> fields = split(lines[i], ",");
        for (std::size_t j = 0; j < fields.size(); ++j)
            call(CommandId::SetCellData,
                 {ActionTable.value(), integer(static_cast<std::int32_t>(i + 1)),
                  integer(static_cast<std::int32_t>(j + 1)), integer(TextKind),
                  text(fields[j].c_str())});
    }
    return {};
}

} // namespace app
