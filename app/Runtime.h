#pragma once

// The arm controller's thin typed view of the runtime. Everything goes
// through the runtime's call table: properties by window id, unit id and
// index, commands and unit methods by their place in the program's command
// list. Texts that the runtime hands out belong to the caller; Text releases
// them.

#include <runtime/services/RuntimeCallTable.h>
#include <runtime/values/TypedValue.h>
#include <runtime/values/UnitRef.h>

#include <program/LibraryCommands.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace app {

// A unit of the program's window, as every method receives it.
using program::CommandId;
using runtime::UnitRef;

// A text of the runtime's heap, released when it goes; null reads as empty.
class Text {
  public:
    Text() = default;
    explicit Text(char* owned) : m_text(owned) {}
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;
    Text(Text&& other) noexcept : m_text(other.m_text) { other.m_text = nullptr; }
    Text& operator=(Text&& other) noexcept;
    ~Text();

    std::string_view view() const { return m_text ? std::string_view(m_text) : std::string_view(); }
    const char* c_str() const { return m_text ? m_text : ""; }

  private:
    char* m_text = nullptr;
};

runtime::RuntimeCallTable& calls();

std::int32_t read_integer(const UnitRef& unit, std::int32_t index);
void write_integer(const UnitRef& unit, std::int32_t index, std::int32_t value);
Text read_text(const UnitRef& unit, std::int32_t index);
// `text` must be zero-terminated: a std::string or a literal.
void write_text(const UnitRef& unit, std::int32_t index, const char* text);

// Calls a command or a unit method with its arguments; the result as the
// command left it (a text or byte set in it belongs to the caller).
runtime::TypedValue call(program::CommandId command,
                         std::initializer_list<runtime::TypedValue> args);

runtime::TypedValue integer(std::int32_t value);
runtime::TypedValue text(const char* value);
runtime::TypedValue omitted();

// A command's text result, owned.
Text take_text(const runtime::TypedValue& result);
// Releases a block the runtime handed out (byte sets, arrays).
void release(void* block);

// A number as the program takes it: truncated toward zero into 64 bits, of
// which the low 32 are used.
std::int32_t truncate(double value);

// Whether the window is still loaded: after a wait that ran other handlers
// the window may have been closed, and any access to it is fatal.
bool window_exists(std::uint32_t window_id);

} // namespace app
