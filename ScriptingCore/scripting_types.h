#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

// Names every part of the scripting core shares, without pulling in the
// classes behind them.
namespace FB {

class variant;
class JSAPI;
class JSObject;
class BrowserHost;
class script_error;

using VariantList = std::vector<variant>;
using VariantMap = std::map<std::string, variant>;

using JSAPIPtr = std::shared_ptr<JSAPI>;
using JSAPIWeakPtr = std::weak_ptr<JSAPI>;
using JSObjectPtr = std::shared_ptr<JSObject>;
using BrowserHostPtr = std::shared_ptr<BrowserHost>;
using BrowserHostWeakPtr = std::weak_ptr<BrowserHost>;

namespace variant_detail {
// The page's undefined: a variant holding it answers empty().
struct empty {};
// The page's null: a variant holding it answers is_null(), not empty().
struct null {};
}  // namespace variant_detail

}  // namespace FB
