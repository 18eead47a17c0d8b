#include "test_page_objects.h"

#include <algorithm>
#include <stdexcept>

#include "ScriptingCore/script_error.h"

namespace FB::testing {
namespace {

const void* contextOf(const BrowserHostPtr& host) { return host ? host->getContextID() : nullptr; }

bool isIndex(int index, const VariantList& elements) {
  return index >= 0 && static_cast<std::size_t>(index) < elements.size();
}

ScriptObjectPtr newArray(const BrowserHostPtr& host) {
  auto array = std::make_shared<ScriptObject>(host);
  array->properties["length"] = 0;
  // Weak: the array holds its push function.
  const std::weak_ptr<ScriptObject> weak_array = array;
  array->properties["push"] =
      JSObjectPtr(ScriptObject::makeFunction(host, [weak_array](const VariantList& arguments) {
        const ScriptObjectPtr target = weak_array.lock();
        if (!target) throw script_error("The array is gone");
        target->elements.insert(target->elements.end(), arguments.begin(), arguments.end());
        target->properties["length"] = static_cast<int>(target->elements.size());
        return variant(static_cast<int>(target->elements.size()));
      }));
  return array;
}

}  // namespace

ScriptObject::ScriptObject(const BrowserHostPtr& host, Body body)
    : JSObject(host), body_(std::move(body)), context_(contextOf(host)) {}

ScriptObjectPtr ScriptObject::makeFunction(const BrowserHostPtr& host, Body body) {
  return std::make_shared<ScriptObject>(host, std::move(body));
}

void ScriptObject::getMemberNames(std::vector<std::string>& names) const {
  for (const auto& property : properties) names.push_back(property.first);
}

bool ScriptObject::HasMethod(const std::string& name) const {
  if (name.empty()) return static_cast<bool>(body_);
  const auto found = properties.find(name);
  return found != properties.end() && found->second.get_if<JSObjectPtr>() != nullptr;
}

bool ScriptObject::HasProperty(int index) const { return isIndex(index, elements); }

variant ScriptObject::GetProperty(const std::string& name) {
  const auto found = properties.find(name);
  return found == properties.end() ? variant() : found->second;
}

void ScriptObject::SetProperty(const std::string& name, const variant& value) {
  properties[name] = value;
}

variant ScriptObject::GetProperty(int index) {
  return isIndex(index, elements) ? elements[static_cast<std::size_t>(index)] : variant();
}

void ScriptObject::SetProperty(int index, const variant& value) {
  if (index < 0) throw script_error("Negative index");
  if (static_cast<std::size_t>(index) >= elements.size()) {
    elements.resize(static_cast<std::size_t>(index) + 1);
    properties["length"] = static_cast<int>(elements.size());
  }
  elements[static_cast<std::size_t>(index)] = value;
}

void ScriptObject::RemoveProperty(int index) {
  if (isIndex(index, elements)) elements[static_cast<std::size_t>(index)] = variant();
}

variant ScriptObject::Invoke(const std::string& name, const VariantList& arguments) {
  if (name.empty()) {
    if (!body_) throw script_error("The object is not a function");
    return body_(arguments);
  }
  const auto found = properties.find(name);
  const JSObjectPtr method =
      found == properties.end() ? nullptr : found->second.convert_cast<JSObjectPtr>();
  if (!method) throw invalid_member(name);
  return method->Invoke("", arguments);
}

variant ScriptObject::Construct(const VariantList&) {
  throw script_error("The object is not a constructor");
}

PageWindow::PageWindow(const BrowserHostPtr& host) : ScriptObject(host) {
  // Weak: the window outlives neither its host nor the test's references.
  const BrowserHostWeakPtr weak_host = host;
  properties["Array"] = JSObjectPtr(makeFunction(host, [weak_host](const VariantList&) {
    return variant(JSObjectPtr(newArray(weak_host.lock())));
  }));
  properties["Object"] = JSObjectPtr(makeFunction(host, [weak_host](const VariantList&) {
    return variant(JSObjectPtr(std::make_shared<ScriptObject>(weak_host.lock())));
  }));
}

ScriptObjectPtr PageWindow::defineFunction(const std::string& name, Body body) {
  auto page_function = makeFunction(host_.lock(), std::move(body));
  properties[name] = JSObjectPtr(page_function);
  return page_function;
}

std::shared_ptr<std::vector<std::string>> PageWindow::installConsole() {
  auto messages = std::make_shared<std::vector<std::string>>();
  auto console = std::make_shared<ScriptObject>(host_.lock());
  console->properties["log"] =
      JSObjectPtr(makeFunction(host_.lock(), [messages](const VariantList& arguments) {
        messages->push_back(arguments.empty() ? std::string()
                                              : arguments[0].convert_cast<std::string>());
        return variant();
      }));
  properties["console"] = JSObjectPtr(console);
  return messages;
}

int PageWindow::setTimeout(std::function<void()> callback, int delay) {
  const int id = ++last_timer_id_;
  timers_.push_back(Timer{now_ + std::max(delay, 0), id, std::move(callback)});
  return id;
}

void PageWindow::advanceTime(int milliseconds) {
  const int until = now_ + milliseconds;
  for (;;) {
    const auto next =
        std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
          return a.due != b.due ? a.due < b.due : a.id < b.id;
        });
    if (next == timers_.end() || next->due > until) break;
    now_ = next->due;
    const std::function<void()> callback = std::move(next->callback);
    timers_.erase(next);
    callback();
  }
  now_ = until;
}

}  // namespace FB::testing
