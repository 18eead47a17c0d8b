#pragma once

// make_method and make_property: typed member functions as the variant
// callables of MethodFunctors.h. Every parameter count goes through the one
// mechanism of callWith; the page-visible argument errors are made here.

#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "ScriptingCore/MethodFunctors.h"
#include "ScriptingCore/bad_variant_cast.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/variant.h"

namespace FB {
namespace detail::methods {

// Argument `position` (counted from 1, as the page reads it) for a parameter
// of type T. A variant parameter takes what is there, or nothing; any other
// type must be given and must convert.
template <class T>
T argumentAt(const VariantList& arguments, std::size_t position) {
  if constexpr (std::is_same_v<T, variant>) {
    return position <= arguments.size() ? arguments[position - 1] : variant();
  } else {
    if (position > arguments.size()) {
      throw invalid_arguments("Error: Argument " + std::to_string(position) + "is not optional.");
    }
    try {
      return arguments[position - 1].convert_cast<T>();
    } catch (const bad_variant_cast& failure) {
      throw invalid_arguments("Invalid argument conversion from " + failure.from() + " to " +
                              failure.to() + " at index " + std::to_string(position));
    }
  }
}

// The surplus check belongs to the last parameter, so a bad earlier
// argument is reported before a surplus.
template <class T>
T parameterAt(const VariantList& arguments, std::size_t position, std::size_t count) {
  if (position == count && arguments.size() > count) {
    throw invalid_arguments("Too many arguments, expected " + std::to_string(count) + ".");
  }
  return argumentAt<T>(arguments, position);
}

template <class Result, class... Params, class Object, class Member, std::size_t... I>
variant callWith(Object* object, Member member, const VariantList& arguments,
                 std::index_sequence<I...>) {
  (void)arguments;  // a member without parameters ignores its arguments
  // A braced list is evaluated left to right: argument 1 converts first.
  std::tuple<std::decay_t<Params>...> values{
      parameterAt<std::decay_t<Params>>(arguments, I + 1, sizeof...(Params))...};
  (void)values;
  if constexpr (std::is_void_v<Result>) {
    (object->*member)(std::get<I>(values)...);
    return variant();
  } else {
    return variant((object->*member)(std::get<I>(values)...));
  }
}

template <class Result, class... Params, class Object, class Member>
CallMethodFunctor bindMethod(Object* object, Member member) {
  return [object, member](const VariantList& arguments) {
    return callWith<Result, Params...>(object, member, arguments,
                                       std::index_sequence_for<Params...>());
  };
}

template <class Object, class Class, class Result>
GetPropFunctor bindGetter(Object* object, Result (Class::*getter)()) {
  return [object, getter]() { return variant((object->*getter)()); };
}

template <class Object, class Class, class Result>
GetPropFunctor bindGetter(Object* object, Result (Class::*getter)() const) {
  return [object, getter]() { return variant((object->*getter)()); };
}

// A value that does not convert leaves as bad_variant_cast; the registry's
// SetProperty words it for the page.
template <class Object, class Class, class Result, class Value>
SetPropFunctor bindSetter(Object* object, Result (Class::*setter)(Value)) {
  return [object, setter](const variant& value) {
    (object->*setter)(value.convert_cast<std::decay_t<Value>>());
  };
}

}  // namespace detail::methods

// The call functor of a member function of any number of parameters. The
// object is held by plain pointer: the functor lives in the object's own
// member table, which a shared reference would keep alive for ever.
template <class Object, class Class, class Result, class... Params>
CallMethodFunctor make_method(Object* object, Result (Class::*method)(Params...)) {
  static_assert(std::is_base_of_v<Class, Object>, "the method must be a member of the object");
  return detail::methods::bindMethod<Result, Params...>(object, method);
}

template <class Object, class Class, class Result, class... Params>
CallMethodFunctor make_method(Object* object, Result (Class::*method)(Params...) const) {
  static_assert(std::is_base_of_v<Class, Object>, "the method must be a member of the object");
  return detail::methods::bindMethod<Result, Params...>(object, method);
}

// A read-only property: assigning to it changes nothing and is no error.
template <class Object, class Getter>
PropertyFunctors make_property(Object* object, Getter getter) {
  return PropertyFunctors(detail::methods::bindGetter(object, getter), [](const variant&) {});
}

template <class Object, class Getter, class Setter>
PropertyFunctors make_property(Object* object, Getter getter, Setter setter) {
  return PropertyFunctors(detail::methods::bindGetter(object, getter),
                          detail::methods::bindSetter(object, setter));
}

}  // namespace FB
