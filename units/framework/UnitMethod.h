#pragma once

// Unit methods are library commands whose argument 0 is a unit reference
// (data low word the window id, high word the unit id). These helpers find
// the unit and read the method's further arguments; an argument whose type
// code is 0 counts as omitted.

#include "Unit.h"

#include <runtime/services/HostNotify.h>
#include <runtime/values/TypedValue.h>
#include <runtime/values/ValueConversion.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace units {

// The live unit of type T that argument 0 names; null when there is no
// argument 0 or the unit is of another type. A unit that does not exist is
// the runtime's fatal error, as for every access by window id and unit id.
template <typename T> T* method_unit(std::int32_t arg_count, const runtime::TypedValue* args) {
    runtime::HostNotifyFunction entry = host();
    if (arg_count < 1 || !args || !entry)
        return nullptr;
    auto* object = reinterpret_cast<runtime::UnitObject*>(
        entry(runtime::host_service::UnitWindowObjectOrFail, args[0].low(), args[0].high()));
    return dynamic_cast<T*>(object);
}

// Argument `index` when it was passed (its type code is not 0).
inline const runtime::TypedValue*
method_argument(std::int32_t arg_count, const runtime::TypedValue* args, std::int32_t index) {
    if (!args || index < 0 || index >= arg_count || args[index].type == 0)
        return nullptr;
    return &args[index];
}

// Argument `index` as an integer; nothing when omitted or not a number.
inline std::optional<std::int32_t>
method_integer(std::int32_t arg_count, const runtime::TypedValue* args, std::int32_t index) {
    const runtime::TypedValue* value = method_argument(arg_count, args, index);
    if (!value)
        return std::nullopt;
    return runtime::try_integer_from_value(*value);
}

// Argument `index` as a GBK text; empty when omitted, null or not a text.
inline std::string_view method_text(std::int32_t arg_count, const runtime::TypedValue* args,
                                    std::int32_t index) {
    const runtime::TypedValue* value = method_argument(arg_count, args, index);
    if (!value || value->type != runtime::type_code::Text)
        return {};
    const char* text = value->pointer<const char>();
    return text ? std::string_view(text) : std::string_view();
}

} // namespace units
