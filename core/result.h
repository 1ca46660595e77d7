#pragma once

#include "core/fileerror.h"

#include <cassert>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace level {

// The outcome of an operation that can fail: its value, or why it failed. Every fallible function
// of the core returns one; no exception and no flag-and-out-parameter pair crosses its interface.
//
//     if (auto bytes = ReadWholeFile(path)) use(*bytes); else report(bytes.error());
template <typename T, typename Error = FileError> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_outcome(std::in_place_index<0>, std::move(value)) {}
    Result(Error error)
        : m_outcome(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_outcome.index() == 0; }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return std::get<0>(m_outcome);
    }
    T& value() & {
        assert(ok());
        return std::get<0>(m_outcome);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_outcome));
    }
    const T& operator*() const& { return value(); }
    T& operator*() & { return value(); }
    T&& operator*() && { return std::move(*this).value(); }
    const T* operator->() const { return &value(); }

    const Error& error() const {
        assert(!ok());
        return std::get<1>(m_outcome);
    }

private:
    std::variant<T, Error> m_outcome;
};

// An operation that gives nothing back but can fail.
template <typename Error> class [[nodiscard]] Result<void, Error> {
public:
    Result() = default;
    Result(Error error)
        : m_error(std::move(error)) {}
    // Anything that converts to the error (a reason's text into a std::string) is a failure.
    template <typename Other>
    requires(std::is_convertible_v<Other, Error> &&
             !std::is_same_v<std::remove_cvref_t<Other>, Result> &&
             !std::is_same_v<std::remove_cvref_t<Other>, Error>) Result(Other&& error)
        : m_error(Error(std::forward<Other>(error))) {}

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }

    const Error& error() const {
        assert(!ok());
        return *m_error;
    }

private:
    std::optional<Error> m_error;
};

} // namespace level
