#pragma once
// What the client's inner layers return instead of throwing: success, or an
// error with one of the ERROR_INTERNET_* codes and the text to show.

#include "platform/ftp/FtpConstants.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace ftp {

struct Error {
    std::uint32_t code = ERROR_INTERNET_INTERNAL_ERROR;
    std::string text;
};

class [[nodiscard]] Status {
public:
    Status() = default;  // success
    Status(Error error) : m_error(std::move(error)) {}

    bool ok() const { return !m_error; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return *m_error; }

private:
    std::optional<Error> m_error;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_value(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_value); }
    explicit operator bool() const { return ok(); }
    T& value() { return std::get<T>(m_value); }
    const T& value() const { return std::get<T>(m_value); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    const Error& error() const { return std::get<Error>(m_value); }
    Status status() const { return ok() ? Status() : Status(error()); }

private:
    std::variant<T, Error> m_value;
};

}  // namespace ftp
