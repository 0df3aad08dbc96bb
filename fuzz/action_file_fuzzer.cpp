// The action file reader of armctl-play over arbitrary files, against the
// road the window's load button takes: ToText of the file's byte set, then
// SplitText at CR LF and at ",", the first 100 lines and 4 fields of each.
// Both must give the same table; the plan of a pass must end each row
// command with the base's letter.

#include <commands/ActionFileReader.h>
#include <commands/ConversionCommands.h>
#include <commands/TextCommands.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>
#include <tools/play/PlaySteps.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& text, const char* delimiter) {
    runtime::TypedValue args[2] = {runtime::TypedValue::of_text(text.c_str()),
                                   runtime::TypedValue::of_text(delimiter)};
    runtime::TypedValue result = runtime::call_library_command(commands::SplitText, 0, 2, args);
    void* array = result.pointer<void>();
    auto elements = runtime::array_elements(array, sizeof(char*));
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < elements.count; ++i) {
        char* piece;
        std::memcpy(&piece, elements.data + i * sizeof(char*), sizeof piece);
        pieces.emplace_back(piece ? piece : "");
    }
    runtime::release_array(runtime::type_code::Text, array);
    return pieces;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<commands::ActionRow> rows = commands::read_action_rows({data, size});

    runtime::TypedValue bytes;
    bytes.type = runtime::type_code::ByteSet;
    bytes.set_pointer(runtime::make_byte_set({data, size}));
    runtime::TypedValue text = runtime::call_library_command(commands::ToText, 0, 1, &bytes);
    runtime::RuntimeHeap::the().release(bytes.pointer<void>());
    const char* whole = text.pointer<const char>();
    std::vector<std::string> lines = split(whole ? whole : "", "\r\n");
    runtime::RuntimeHeap::the().release(text.pointer<void>());

    std::vector<commands::ActionRow> table;
    for (std::size_t i = 0; i < lines.size() && i < commands::ActionTableRows; ++i) {
        commands::ActionRow row;
        std::vector<std::string> fields = split(lines[i], ",");
        for (std::size_t j = 0; j < fields.size() && j < commands::ActionFields; ++j)
            row[j] = fields[j];
        table.push_back(row);
    }
    if (table != rows)
        __builtin_trap();

    for (const play::Step& step : play::pass_steps(rows)) {
        if (step.command.empty() || step.command.back() != 'd' || step.command == "abcd")
            __builtin_trap();
    }
    return 0;
}
