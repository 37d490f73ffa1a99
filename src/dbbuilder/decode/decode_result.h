#pragma once

#include <optional>
#include <string>
#include <utility>

namespace qtk::dbbuilder {

// A decoded value, or the message that says why the bytes could not be decoded.
template <typename T>
class Decoded {
 public:
  Decoded(T value) : value_(std::move(value)) {}
  static Decoded Failure(std::string message) {
    Decoded d;
    d.message_ = std::move(message);
    return d;
  }

  explicit operator bool() const { return value_.has_value(); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  const std::string& message() const { return message_; }

 private:
  Decoded() = default;
  std::optional<T> value_;
  std::string message_;
};

}  // namespace qtk::dbbuilder
