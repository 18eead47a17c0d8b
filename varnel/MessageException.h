#pragma once

#include <exception>
#include <string>

namespace varnel {

// The capture library's failures: each carries one message, given at
// construction, that what() returns.
class MessageException : public std::exception {
 public:
  explicit MessageException(const std::string& message) : message_(message) {}
  ~MessageException() override = default;
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace varnel
