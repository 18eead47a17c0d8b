#include "test_browser_host.h"

#include <cctype>
#include <stdexcept>
#include <utility>

#include "ScriptingCore/DOM.h"
#include "ScriptingCore/script_error.h"

namespace FB::testing {
namespace {

// The delayed-call script as the page receives it, around the host's number.
const char kScriptStart[] = "window.__FB_CALL_";
const char kScriptRest[] =
    " = function(delay, f, args, fname) {   if (arguments.length == 3)       return "
    "setTimeout(function() { f.apply(null, args); }, delay);   else       return "
    "setTimeout(function() { f[fname].apply(f, args); }, delay);};";

}  // namespace

std::shared_ptr<TestBrowserHost> TestBrowserHost::create(
    const std::shared_ptr<MainThreadLoop>& loop, Page page) {
  auto host = std::make_shared<TestBrowserHost>(loop);
  if (page == Page::WithWindow) host->window_ = std::make_shared<PageWindow>(host);
  return host;
}

TestBrowserHost::TestBrowserHost(std::shared_ptr<MainThreadLoop> loop) : loop_(std::move(loop)) {}

DOM::WindowPtr TestBrowserHost::getDOMWindow() {
  return window_ ? _createWindow(window_) : nullptr;
}

bool TestBrowserHost::parseDelayedCallScript(const std::string& script, std::string& number) {
  const std::string start(kScriptStart);
  if (script.compare(0, start.size(), start) != 0) return false;
  std::size_t end = start.size();
  while (end < script.size() && std::isdigit(static_cast<unsigned char>(script[end]))) ++end;
  if (end == start.size() || script.compare(end, std::string::npos, kScriptRest) != 0) {
    return false;
  }
  number = script.substr(start.size(), end - start.size());
  return true;
}

void TestBrowserHost::evaluateJavaScript(const std::string& script) {
  scripts_.push_back(script);
  if (!window_) throw std::runtime_error("Cannot find HTML window");
  std::string number;
  if (!parseDelayedCallScript(script, number)) {
    throw script_error("Error executing JavaScript code");
  }
  // Weak: the window holds the function.
  const std::weak_ptr<PageWindow> weak_window = window_;
  window_->defineFunction("__FB_CALL_" + number, [weak_window](const VariantList& arguments) {
    const PageWindowPtr window = weak_window.lock();
    if (!window) throw script_error("The page has gone");
    if (arguments.size() < 3) throw script_error("The delayed call needs three arguments");
    const int delay = arguments[0].convert_cast<int>();
    const JSObjectPtr target = arguments[1].convert_cast<JSObjectPtr>();
    const VariantList call_arguments = arguments[2].convert_cast<VariantList>();
    std::string method;  // empty: arguments.length == 3, the function itself
    if (arguments.size() > 3) method = arguments[3].convert_cast<std::string>();
    return variant(window->setTimeout(
        [target, call_arguments, method] { target->Invoke(method, call_arguments); }, delay));
  });
}

bool TestBrowserHost::_scheduleAsyncCall(void (*function)(void*), void* data) const {
  if (isShutDown()) return false;
  return loop_->post(function, data);
}

}  // namespace FB::testing
