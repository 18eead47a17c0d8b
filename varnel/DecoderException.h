#pragma once

#include <exception>
#include <string>

namespace varnel {

// Base of the decoding failures; carries one message.
class DecoderException : public std::exception {
 public:
  explicit DecoderException(const std::string& message) : message_(message) {}
  ~DecoderException() override = default;
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// No frame could be decoded from the samples given.
class InvalidFrame : public DecoderException {
 public:
  explicit InvalidFrame(const std::string& message) : DecoderException(message) {}
};

}  // namespace varnel
