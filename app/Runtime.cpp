#include "Runtime.h"

#include <runtime/image/LibraryInfo.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/ProgramImage.h>
#include <runtime/services/RuntimeNotify.h>

#include <cmath>
#include <limits>
#include <vector>

namespace app {

namespace {

// Whole-value reads and writes: member -1.
constexpr std::int32_t WholeValue = -1;

runtime::LibraryCommand entry_of(program::CommandId id) {
    program::CommandPlace command = program::command_place(id);
    const runtime::ProgramHeader& header = runtime::program_image_header();
    if (command.library < 1 || command.library > header.library_count)
        return nullptr;
    const runtime::LibraryInfo* library = header.libraries[command.library - 1];
    if (!library || command.entry >= library->command_count)
        return nullptr;
    return library->commands[command.entry];
}

} // namespace

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        release(m_text);
        m_text = other.m_text;
        other.m_text = nullptr;
    }
    return *this;
}

Text::~Text() {
    release(m_text);
}

runtime::RuntimeCallTable& calls() {
    return runtime::runtime_call_table();
}

std::int32_t read_integer(const UnitRef& unit, std::int32_t index) {
    return static_cast<std::int32_t>(
        calls().read_property(unit.window, unit.unit, index, WholeValue));
}

void write_integer(const UnitRef& unit, std::int32_t index, std::int32_t value) {
    calls().write_property(unit.window, unit.unit, index, WholeValue,
                           static_cast<std::uint32_t>(value));
}

Text read_text(const UnitRef& unit, std::int32_t index) {
    std::uint64_t value = calls().read_property(unit.window, unit.unit, index, WholeValue);
    return Text(reinterpret_cast<char*>(static_cast<std::uintptr_t>(value)));
}

void write_text(const UnitRef& unit, std::int32_t index, const char* text) {
    calls().write_property(unit.window, unit.unit, index, WholeValue,
                           static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(text)));
}

runtime::TypedValue call(program::CommandId id, std::initializer_list<runtime::TypedValue> args) {
    runtime::LibraryCommand entry = entry_of(id);
    if (!entry)
        return {};
    std::vector<runtime::TypedValue> list(args);
    auto count = static_cast<std::int32_t>(list.size());
    program::CommandPlace command = program::command_place(id);
    if (command.library == 1)
        return calls().call_core_command(entry, count, list.data());
    return calls().call_library_command(entry, static_cast<std::int32_t>(command.library - 1),
                                        count, list.data());
}

runtime::TypedValue integer(std::int32_t value) {
    return runtime::TypedValue::of_integer(value);
}

runtime::TypedValue text(const char* value) {
    return runtime::TypedValue::of_text(value);
}

runtime::TypedValue omitted() {
    return {};
}

Text take_text(const runtime::TypedValue& result) {
    if (result.type != runtime::type_code::Text)
        return Text();
    return Text(result.pointer<char>());
}

void release(void* block) {
    if (block)
        calls().release(block);
}

std::int32_t truncate(double value) {
    if (std::isnan(value))
        return 0;
    constexpr double low = static_cast<double>(std::numeric_limits<std::int64_t>::min());
    constexpr double high = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    std::int64_t whole = value <= low    ? std::numeric_limits<std::int64_t>::min()
                         : value >= high ? std::numeric_limits<std::int64_t>::max()
                                         : static_cast<std::int64_t>(value);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(whole));
}

bool window_exists(std::uint32_t window_id) {
    return calls().runtime_notify(static_cast<std::int32_t>(runtime::RuntimeService::WindowLoaded),
                                  window_id, 0, 0, 0, 0) != 0;
}

} // namespace app
