#pragma once

#include <optional>
#include <string>
#include <utility>

namespace slamwise {

// The outcome of an operation that can fail. A failure carries a message for the user that
// already names the cause (for file access: the operating system's reason).
class [[nodiscard]] Status {
  public:
    Status() = default;
    static Status failure(std::string message) {
        Status status;
        status.message_ = message.empty() ? std::string("Unknown error") : std::move(message);
        return status;
    }

    bool ok() const { return message_.empty(); }
    explicit operator bool() const { return ok(); }
    const std::string& message() const { return message_; }

  private:
    std::string message_;
};

// A value, or the failure that prevented it.
template <class T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status failure)
        : error_(failure.ok() ? std::string("Unknown error") : failure.message()) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return *value_; }
    T& value() & { return *value_; }
    T&& value() && { return std::move(*value_); }
    const T& operator*() const& { return *value_; }
    T& operator*() & { return *value_; }
    const T* operator->() const { return &*value_; }
    T* operator->() { return &*value_; }

    const std::string& error() const { return error_; }
    Status status() const { return ok() ? Status() : Status::failure(error_); }

  private:
    std::optional<T> value_;
    std::string error_;
};

}  // namespace slamwise
