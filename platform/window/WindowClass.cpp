#include "detail/State.h"

#include <algorithm>
#include <cctype>

namespace platform {
namespace {

std::string class_key(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
        return c < 0x80 ? static_cast<char>(std::tolower(c)) : static_cast<char>(c);
    });
    return key;
}

} // namespace

bool register_class(const WindowClass& cls) {
    auto& s = detail::state();
    if (cls.name.empty() || !cls.proc)
        return false;
    auto key = class_key(cls.name);
    if (s.classes.count(key))
        return false;
    auto record = std::make_shared<detail::ClassRecord>();
    record->info = cls;
    s.classes.emplace(std::move(key), std::move(record));
    return true;
}

bool unregister_class(std::string_view name) {
    auto& s = detail::state();
    auto it = s.classes.find(class_key(name));
    if (it == s.classes.end())
        return false;
    // Windows of the class keep their shared record alive.
    s.classes.erase(it);
    return true;
}

bool get_class_info(std::string_view name, WindowClass& out) {
    auto& s = detail::state();
    auto it = s.classes.find(class_key(name));
    if (it == s.classes.end())
        return false;
    out = it->second->info;
    return true;
}

namespace detail {
std::shared_ptr<ClassRecord> find_class(std::string_view name) {
    auto& s = state();
    auto it = s.classes.find(class_key(name));
    return it == s.classes.end() ? nullptr : it->second;
}
} // namespace detail

} // namespace platform
