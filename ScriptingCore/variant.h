#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "ScriptingCore/bad_variant_cast.h"
#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/type_names.h"

namespace FB {

namespace variant_detail {
// One converter per target family; see variant_conversions.h.
template <class T, class Enable = void>
struct converter;

template <class T>
struct is_shared_ptr : std::false_type {};
template <class T>
struct is_shared_ptr<std::shared_ptr<T>> : std::true_type {};
template <class T>
struct is_weak_ptr : std::false_type {};
template <class T>
struct is_weak_ptr<std::weak_ptr<T>> : std::true_type {};
template <class T>
struct is_optional : std::false_type {};
template <class T>
struct is_optional<std::optional<T>> : std::true_type {};

template <class T>
inline constexpr bool is_text_pointer =
    std::is_same_v<T, const char*> || std::is_same_v<T, char*> ||
    std::is_same_v<T, const wchar_t*> || std::is_same_v<T, wchar_t*>;

// Whether a value of type T can be given to a variant, and so which of
// variant's constructors an argument picks.
template <class T>
constexpr bool is_translatable() {
  using U = std::decay_t<T>;
  if constexpr (std::is_same_v<U, variant>) {
    return false;  // that is a copy, not a translation
  } else if constexpr (is_text_pointer<U>) {
    return true;
  } else if constexpr (is_shared_ptr<U>::value || is_weak_ptr<U>::value) {
    return std::is_base_of_v<JSAPI, typename U::element_type>;
  } else if constexpr (is_optional<U>::value) {
    return is_translatable<typename U::value_type>();
  } else {
    return (std::is_arithmetic_v<U> && has_type_name<U>) || std::is_same_v<U, std::string> ||
           std::is_same_v<U, std::wstring> || std::is_same_v<U, VariantList> ||
           std::is_same_v<U, VariantMap> || std::is_same_v<U, variant_detail::empty> ||
           std::is_same_v<U, variant_detail::null>;
  }
}
}  // namespace variant_detail

// The dynamically typed value that crosses between page script and plugin.
// A value type: copying a variant copies what it holds (lists and maps
// deeply); only object references are shared between copies. A variant has
// no lock: copies may be used on different threads at once, one variant may
// not be written on one thread while read on another.
class variant {
 public:
  // Nothing stored.
  variant() noexcept = default;

  // Stores a value as the kind it translates to: C strings become strings
  // (a null pointer the null marker), any number keeps its own type, an
  // object reference is held as FB::JSObject or FB::JSAPI (an empty one as
  // the null marker), a disengaged optional stores nothing.
  template <class T, std::enable_if_t<variant_detail::is_translatable<T>(), int> = 0>
  variant(const T& value) : variant(translate(value)) {}  // NOLINT: implicit by design

  // Stores the value exactly as given, whatever the flag says.
  template <class T>
  variant(const T& value, bool /*unchanged*/) : held_(std::make_unique<holder<T>>(value)) {
    static_assert(has_type_name<T>, "a variant stores only kinds named in type_names.h");
  }

  variant(const variant& other) : held_(other.held_ ? other.held_->clone() : nullptr) {}
  variant(variant&& other) noexcept = default;
  variant& operator=(const variant& other) {
    if (this != &other) held_ = other.held_ ? other.held_->clone() : nullptr;
    return *this;
  }
  variant& operator=(variant&& other) noexcept = default;
  ~variant() = default;

  // The system's type name of the stored kind ("v" when nothing is stored).
  std::string_view get_type() const noexcept { return held_ ? held_->type_name() : type_name<void>(); }

  template <class T>
  bool is_of_type() const noexcept {
    if constexpr (std::is_void_v<T>) {
      return !held_;
    } else {
      return get_if<T>() != nullptr;
    }
  }

  // True for nothing stored and for the empty marker alike.
  bool empty() const noexcept { return !held_ || is_of_type<variant_detail::empty>(); }
  bool is_null() const noexcept { return is_of_type<variant_detail::null>(); }

  // The stored value when it is exactly a T; no conversion.
  template <class T>
  T cast() const {
    if (const T* value = get_if<T>()) return *value;
    throw bad_variant_cast(get_type(), type_name<T>());
  }

  // The stored value when it is exactly a T, else null.
  template <class T>
  const T* get_if() const noexcept {
    if (!held_ || held_->kind() != typeid(T)) return nullptr;
    return &static_cast<const holder<T>&>(*held_).value;
  }

  // The value read as a T by that target's conversion rule.
  template <class T>
  T convert_cast() const {
    return variant_detail::converter<T>::convert(*this);
  }

  // Whether convert_cast<T> would succeed; any exception means no.
  template <class T>
  bool can_be_type() const {
    if (is_of_type<T>()) return true;
    try {
      (void)convert_cast<T>();
      return true;
    } catch (...) {
      return false;
    }
  }

  // Values of one kind compare by that kind's rule, values of different
  // kinds by their type names.
  friend bool operator<(const variant& a, const variant& b);

 private:
  struct holder_base {
    virtual ~holder_base() = default;
    virtual std::unique_ptr<holder_base> clone() const = 0;
    virtual const std::type_info& kind() const noexcept = 0;
    virtual std::string_view type_name() const noexcept = 0;
    // Only ever called with a holder of the same kind.
    virtual bool less(const holder_base& other) const = 0;
  };

  template <class T>
  struct holder final : holder_base {
    explicit holder(const T& v) : value(v) {}
    std::unique_ptr<holder_base> clone() const override { return std::make_unique<holder>(value); }
    const std::type_info& kind() const noexcept override { return typeid(T); }
    std::string_view type_name() const noexcept override { return FB::type_name<T>(); }
    bool less(const holder_base& other) const override {
      const T& rhs = static_cast<const holder&>(other).value;
      if constexpr (std::is_same_v<T, variant_detail::empty> ||
                    std::is_same_v<T, variant_detail::null>) {
        return false;
      } else if constexpr (variant_detail::is_shared_ptr<T>::value ||
                           variant_detail::is_weak_ptr<T>::value) {
        return value.owner_before(rhs);  // references to one object are equal
      } else {
        return value < rhs;
      }
    }
    T value;
  };

  template <class T>
  static variant translate(const T& value);

  bool same_kind(const variant& other) const noexcept;

  std::unique_ptr<holder_base> held_;
};

template <class T>
variant variant::translate(const T& value) {
  using U = std::decay_t<T>;
  if constexpr (variant_detail::is_text_pointer<U>) {
    using Text = std::basic_string<std::remove_const_t<std::remove_pointer_t<U>>>;
    if constexpr (std::is_array_v<T>) {
      return variant(Text(value), true);
    } else {
      // A null text pointer has no text to copy; it stands for no object.
      if (value == nullptr) return variant(variant_detail::null(), true);
      return variant(Text(value), true);
    }
  } else if constexpr (variant_detail::is_shared_ptr<U>::value) {
    if (!value) return variant(variant_detail::null(), true);
    if constexpr (std::is_base_of_v<JSObject, typename U::element_type>) {
      return variant(JSObjectPtr(value), true);
    } else {
      return variant(JSAPIPtr(value), true);
    }
  } else if constexpr (variant_detail::is_weak_ptr<U>::value) {
    return variant(JSAPIWeakPtr(value), true);
  } else if constexpr (variant_detail::is_optional<U>::value) {
    return value ? variant(*value) : variant();
  } else {
    return variant(value, true);
  }
}

bool operator<(const variant& a, const variant& b);

namespace detail {
// Builds a list by chained calls: variant_list_of(a)(b)(c) reads as [a, b, c].
class VariantListInserter {
 public:
  explicit VariantListInserter(variant first) { list_.push_back(std::move(first)); }
  VariantListInserter& operator()(variant next) {
    list_.push_back(std::move(next));
    return *this;
  }
  operator VariantList&() { return list_; }  // NOLINT: implicit by design

 private:
  VariantList list_;
};
}  // namespace detail

inline detail::VariantListInserter variant_list_of(variant first) {
  return detail::VariantListInserter(std::move(first));
}

}  // namespace FB

// The converters need the complete variant.
#include "ScriptingCore/variant_conversions.h"
