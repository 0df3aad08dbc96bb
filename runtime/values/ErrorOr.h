#pragma once

// The result type of the runtime's loaders and resolvers: a value, or the
// GBK message of the fatal error the caller reports. Nothing throws across
// the call interface, so failures travel as values up to the one place that
// turns them into the fatal report.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace runtime {

struct RuntimeError {
    std::string message; // GBK, as shown in the error box
};

template <typename T> class [[nodiscard]] ErrorOr {
  public:
    ErrorOr(T value) : m_storage(std::in_place_index<0>, std::move(value)) {}
    ErrorOr(RuntimeError error) : m_storage(std::in_place_index<1>, std::move(error)) {}

    bool is_error() const { return m_storage.index() == 1; }
    explicit operator bool() const { return !is_error(); }

    T& value() {
        assert(!is_error());
        return std::get<0>(m_storage);
    }
    const T& value() const {
        assert(!is_error());
        return std::get<0>(m_storage);
    }
    T release_value() { return std::move(value()); }

    const RuntimeError& error() const {
        assert(is_error());
        return std::get<1>(m_storage);
    }

  private:
    std::variant<T, RuntimeError> m_storage;
};

template <> class [[nodiscard]] ErrorOr<void> {
  public:
    ErrorOr() = default;
    ErrorOr(RuntimeError error) : m_error(std::move(error)), m_failed(true) {}

    bool is_error() const { return m_failed; }
    explicit operator bool() const { return !m_failed; }
    const RuntimeError& error() const {
        assert(m_failed);
        return m_error;
    }

  private:
    RuntimeError m_error;
    bool m_failed = false;
};

} // namespace runtime

// Evaluates an ErrorOr expression: its value, or an early return of its error
// from the enclosing function (which must return an ErrorOr).
#define RUNTIME_TRY(expression)                                                                    \
    ({                                                                                             \
        auto try_result_ = (expression);                                                           \
        if (try_result_.is_error())                                                                \
            return try_result_.error();                                                            \
        try_result_.release_value();                                                               \
    })
