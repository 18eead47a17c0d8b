#pragma once

#include <string>
#include <string_view>
#include <typeinfo>

namespace FB {

// A failed access to, or conversion of, a variant. "from" names the kind the
// variant held, "to" the kind asked for; both are type names of type_names.h,
// whose texts live for the whole program, so copying the error cannot throw.
class bad_variant_cast : public std::bad_cast {
 public:
  bad_variant_cast(std::string_view from, std::string_view to) noexcept : from_(from), to_(to) {}

  const char* what() const noexcept override { return "bad cast"; }
  std::string from() const { return std::string(from_); }
  std::string to() const { return std::string(to_); }

 private:
  std::string_view from_;
  std::string_view to_;
};

}  // namespace FB
