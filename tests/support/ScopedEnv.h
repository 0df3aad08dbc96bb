#pragma once

// Environment variables a test sets for as long as it runs: each is set (or
// unset) when the object is made or told to, and put back as it was,
// unset included, when the object goes, however the test ends.

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

class ScopedEnv {
  public:
    // A value of std::nullopt unsets the variable.
    using Value = std::optional<std::string>;

    ScopedEnv() = default;
    ScopedEnv(const std::string& name, Value value) { set(name, std::move(value)); }
    ScopedEnv(std::initializer_list<std::pair<std::string, Value>> entries) {
        for (const auto& [name, value] : entries)
            set(name, value);
    }
    ~ScopedEnv() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            apply(it->first, it->second);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    // Changes a variable again; the first value it had before this object
    // touched it is the one put back.
    void set(const std::string& name, const Value& value) {
        bool known = false;
        for (const auto& saved : m_saved)
            known = known || saved.first == name;
        if (!known) {
            const char* old = std::getenv(name.c_str());
            m_saved.emplace_back(name, old ? Value(old) : std::nullopt);
        }
        apply(name, value);
    }

  private:
    static void apply(const std::string& name, const Value& value) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }

    std::vector<std::pair<std::string, Value>> m_saved;
};

} // namespace test_support
