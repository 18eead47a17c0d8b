#pragma once

#include <functional>
#include <utility>

#include "ScriptingCore/scripting_types.h"
#include "ScriptingCore/variant.h"

namespace FB {

// What JSAPIAuto keeps for each member: callables over variants, so that a
// member of any signature fits one table (make_method.h builds them).
using CallMethodFunctor = std::function<variant(const VariantList&)>;
using GetPropFunctor = std::function<variant()>;
using SetPropFunctor = std::function<void(const variant&)>;

struct MethodFunctors {
  MethodFunctors() = default;
  explicit MethodFunctors(CallMethodFunctor call_functor) : call(std::move(call_functor)) {}
  CallMethodFunctor call;
};

struct PropertyFunctors {
  PropertyFunctors() = default;
  PropertyFunctors(GetPropFunctor getter, SetPropFunctor setter)
      : get(std::move(getter)), set(std::move(setter)) {}
  GetPropFunctor get;
  SetPropFunctor set;
};

}  // namespace FB
