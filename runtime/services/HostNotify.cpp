#include "HostNotify.h"

#include "ErrorReport.h"
#include <runtime/AppRuntime.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/values/TypedValue.h>
#include <runtime/values/ValueConversion.h>
#include <runtime/windows/EventDispatch.h>
#include <runtime/windows/RuntimeMessages.h>
#include <runtime/windows/UnitObject.h>
#include <runtime/windows/WindowCreation.h>
#include <runtime/windows/WindowObject.h>

#include <cstring>
#include <string>

namespace runtime {

namespace {

template <typename T> T* pointer_argument(std::intptr_t argument) {
    return reinterpret_cast<T*>(argument);
}

std::intptr_t copy_program_path(std::intptr_t kind, char* buffer) {
    if (!buffer)
        return 0;
    auto& app = AppRuntime::the();
    std::string text;
    if (kind == program_path_kind::Directory || kind == program_path_kind::DirectoryToo)
        text = app.program_directory_with_separator();
    else if (kind == program_path_kind::FileName)
        text = app.program_file_name();
    std::size_t length = std::min(text.size(), ProgramPathBufferSize - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = 0;
    return 0;
}

UnitObject* live_unit_object(std::uint32_t window_id, std::uint32_t unit_id) {
    WindowObject* window = AppRuntime::the().find_window(window_id);
    UnitRecord* unit = window ? window->find_unit_or_window(unit_id) : nullptr;
    if (!unit || !WindowObject::live_window_of(*unit))
        return nullptr;
    return WindowObject::object_of(*unit);
}

std::intptr_t load_window_request(const LoadWindowRequest* request) {
    if (!request)
        return -1;
    WindowObject* window = AppRuntime::the().find_window(request->window_id);
    platform::HWND parent = request->parent ? request->parent->hwnd() : nullptr;
    if (!window || !create_window(*window, CreateReuse::No,
                                  request->modal ? CreateModal::Yes : CreateModal::No, parent))
        return -1;
    return 0;
}

} // namespace

std::intptr_t host_notify(std::int32_t code, std::intptr_t argument1, std::intptr_t argument2) {
    auto& app = AppRuntime::the();
    auto& heap = RuntimeHeap::the();
    switch (code) {
    case host_service::ConstantOne:
        return 1;
    case host_service::ConstantFive:
        return 5;
    case host_service::UnitTypeDescriptor:
        if (!app.header())
            return 0;
        return reinterpret_cast<std::intptr_t>(
            find_unit_type(*app.header(), static_cast<std::uint32_t>(argument1)));
    case host_service::ProgramPathText:
        return copy_program_path(argument1, pointer_argument<char>(argument2));
    case host_service::IntegerFromValue: {
        auto* value = pointer_argument<const TypedValue>(argument1);
        auto integer = value ? integer_from_value(*value)
                             : ErrorOr<std::int32_t>(RuntimeError{messages::NotNumeric});
        if (integer.is_error())
            report_runtime_error(integer.error().message);
        return integer.value();
    }
    case host_service::ProgramDirectory:
        return reinterpret_cast<std::intptr_t>(app.program_directory().c_str());
    case host_service::ProgramFileName:
        return reinterpret_cast<std::intptr_t>(app.program_file_name().c_str());
    case host_service::WindowList:
        return reinterpret_cast<std::intptr_t>(&app.windows());
    case host_service::RegisterIdleCallback:
        if (auto* callback = pointer_argument<const IdleCallback>(argument1))
            app.register_idle_callback(*callback);
        return 0;
    case host_service::UnregisterIdleCallback:
        app.unregister_idle_callback(pointer_argument<platform::WindowTag>(argument1));
        return 0;
    case host_service::UnitDestroyed:
        app.unit_destroyed(static_cast<std::uint32_t>(argument1),
                           static_cast<std::uint32_t>(argument2));
        return 0;
    case host_service::LoadWindow:
        return load_window_request(pointer_argument<const LoadWindowRequest>(argument1));
    case host_service::UnitWindowObject:
        return reinterpret_cast<std::intptr_t>(live_unit_object(
            static_cast<std::uint32_t>(argument1), static_cast<std::uint32_t>(argument2)));
    case host_service::UnitWindowObjectOrFail: {
        auto* object = live_unit_object(static_cast<std::uint32_t>(argument1),
                                        static_cast<std::uint32_t>(argument2));
        if (!object)
            report_runtime_error(messages::WindowOrUnitMissing);
        return reinterpret_cast<std::intptr_t>(object);
    }
    case host_service::RaiseEvent:
        if (auto* request = pointer_argument<EventRequest>(argument1))
            return raise_event(*request);
        return 0;
    case host_service::RaiseTypedEvent:
        if (auto* request = pointer_argument<TypedEventRequest>(argument1))
            return raise_typed_event(*request);
        return 0;
    case host_service::SuspendEvents:
        app.dispatch_waiting_messages();
        app.suppress_events();
        return 0;
    case host_service::ResumeEvents:
        app.dispatch_waiting_messages();
        app.resume_events();
        return 0;
    case host_service::CurrentEventSource: {
        auto source = app.event_source();
        if (!source)
            return 0;
        if (auto* words = pointer_argument<std::uint32_t>(argument1)) {
            words[0] = source->window_id;
            words[1] = source->unit_id;
        }
        return 1;
    }
    case host_service::DispatchWaitingMessages:
        app.dispatch_waiting_messages();
        return 0;
    case host_service::ReleaseArray:
        release_array(static_cast<std::uint32_t>(argument1), pointer_argument<void>(argument2));
        return 0;
    case host_service::Allocate:
        return reinterpret_cast<std::intptr_t>(heap.allocate(
            static_cast<std::size_t>(argument1),
            argument2 == 0 ? RuntimeHeap::OnFailure::Fatal : RuntimeHeap::OnFailure::ReturnNull));
    case host_service::Release:
        heap.release(pointer_argument<void>(argument1));
        return 0;
    case host_service::Reallocate:
        return reinterpret_cast<std::intptr_t>(heap.reallocate(
            pointer_argument<void>(argument1), static_cast<std::size_t>(argument2)));
    case host_service::FatalError:
        report_runtime_error(text_of(pointer_argument<const char>(argument1)));
    case host_service::EndProgram:
        app.end_program(static_cast<int>(argument1));
    case host_service::Mode:
        return app.mode();
    case host_service::WindowCount:
        return static_cast<std::intptr_t>(app.window_count());
    case host_service::WindowHandleAt: {
        WindowObject* window =
            argument1 >= 0 ? app.window_at(static_cast<std::size_t>(argument1)) : nullptr;
        return window ? static_cast<std::intptr_t>(platform::handle_value(window->system_window()))
                      : 0;
    }
    default:
        return 0;
    }
}

} // namespace runtime
