#include "EventDispatch.h"

#include "RuntimeMessages.h"
#include "WindowObject.h"
#include <runtime/AppRuntime.h>
#include <runtime/image/UnitTypeInfo.h>
#include <runtime/services/ErrorReport.h>
#include <runtime/values/TypedValue.h>

#include <utility>

namespace runtime {

namespace {

template <std::size_t... I>
HandlerResult call_with(ProgramHandler handler, const std::uint64_t* words,
                        std::index_sequence<I...>) {
    using Function = HandlerResult (*)(decltype(I, std::uint64_t{})...);
    return reinterpret_cast<Function>(handler)(words[I]...);
}

template <std::size_t... N>
HandlerResult call_by_count(ProgramHandler handler, const std::uint64_t* words, std::size_t count,
                            std::index_sequence<N...>) {
    HandlerResult result;
    ((count == N ? (result = call_with(handler, words, std::make_index_sequence<N>{}), true)
                 : false) ||
     ...);
    return result;
}

// The handler stored at a relocated handler address (the handler table entry).
ProgramHandler handler_at(const void* address) {
    return address ? *static_cast<const ProgramHandler*>(address) : nullptr;
}

} // namespace

HandlerResult call_program_handler(ProgramHandler handler, const std::uint64_t* words,
                                   std::size_t count) {
    if (!handler || count > MaxEventTypedArgs)
        return {};
    return call_by_count(handler, words, count, std::make_index_sequence<MaxEventTypedArgs + 1>{});
}

ProgramHandler find_event_handler(std::uint32_t window_id, std::uint32_t unit_id,
                                  std::int32_t event) {
    auto& app = AppRuntime::the();
    if (app.event_suppression() > 0)
        return nullptr;
    WindowObject* window = app.find_window(window_id);
    if (!window)
        report_runtime_error(messages::EventWindowNotFound);
    UnitRecord* unit = window->find_unit_or_window(unit_id);
    if (!unit)
        report_runtime_error(messages::EventUnitNotFound);

    // A chain that comes back on itself stops after every unit was visited once.
    for (std::size_t steps = 0; unit->redirect_id != 0 && steps < window->units.size(); ++steps) {
        UnitRecord* next = window->find_unit(unit->redirect_id);
        if (!next || next == unit || next->type != unit->type)
            break;
        unit = next;
    }

    const UnitTypeInfo* type = app.unit_type(unit->type);
    if (!type || !(type->flags & unit_type_flag::RaisesEvents))
        report_runtime_error(messages::EventUnitInvalid);

    ProgramHandler handler = handler_at(unit->handler_for(event));
    if (!handler)
        return nullptr;
    app.set_event_source(
        AppRuntime::EventSource{window_id, unit_id == 0 ? window->window_unit_id() : unit_id});
    return handler;
}

std::intptr_t raise_event(EventRequest& request) {
    ProgramHandler handler = find_event_handler(request.window_id, request.unit_id, request.event);
    if (!handler)
        return 0;
    std::uint64_t words[MaxEventWordArgs] = {};
    std::size_t count = std::min<std::size_t>(request.arg_count, MaxEventWordArgs);
    for (std::size_t i = 0; i < count; ++i)
        words[i] = request.args[i];
    HandlerResult result = call_program_handler(handler, words, count);
    AppRuntime::the().set_event_source(std::nullopt);
    if (result.has_value) {
        request.result_present = 1;
        request.result = static_cast<std::uint32_t>(result.value);
    }
    return 1;
}

std::uint64_t typed_event_word(const EventArg& arg) {
    if (arg.flags & EventArg::AsAddress)
        return arg.data;
    if ((arg.flags & EventArg::BothWords) || arg.type == type_code::MenuItem)
        return arg.data;
    if (is_array_type(arg.type))
        return arg.data; // an address
    switch (arg.type) {
    case type_code::Byte:
        return arg.data & 0xFF;
    case type_code::Short:
        return static_cast<std::uint32_t>(
            static_cast<std::int32_t>(static_cast<std::int16_t>(arg.data)));
    case type_code::DateTime:
    case type_code::Long:
    case type_code::Double:
    case type_code::EightByte:
        return arg.data;
    case type_code::Text:
    case type_code::ByteSet:
    case type_code::SubprogramPointer:
        // Addresses fill the data field on 64-bit.
        return arg.data;
    default:
        return static_cast<std::uint32_t>(arg.data);
    }
}

std::intptr_t raise_typed_event(TypedEventRequest& request) {
    ProgramHandler handler = find_event_handler(request.window_id, request.unit_id, request.event);
    if (!handler)
        return 0;
    std::uint64_t words[MaxEventTypedArgs] = {};
    std::size_t count = std::min<std::size_t>(request.arg_count, MaxEventTypedArgs);
    for (std::size_t i = 0; i < count; ++i)
        words[i] = typed_event_word(request.args[i]);
    HandlerResult result = call_program_handler(handler, words, count);
    AppRuntime::the().set_event_source(std::nullopt);
    if (result.has_value) {
        request.result_present = 1;
        request.result = result.value;
    }
    return 1;
}

} // namespace runtime
