#include "ScriptingCore/BrowserHost.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <utility>

#include "ScriptingCore/BrowserStreamRequest.h"
#include "ScriptingCore/DOM.h"
#include "ScriptingCore/JSAPI.h"
#include "ScriptingCore/JSObject.h"
#include "ScriptingCore/logging.h"
#include "ScriptingCore/script_error.h"
#include "ScriptingCore/utf8_conversion.h"
#include "ScriptingCore/variant.h"

namespace FB {
namespace {

// The page's delayed-call function; %1% stands for the host's number.
// Called with three arguments it runs f itself, with four f's method fname.
constexpr const char kDelayedCallScript[] =
    "window.__FB_CALL_%1% = function(delay, f, args, fname) {"
    "   if (arguments.length == 3)"
    "       return setTimeout(function() { f.apply(null, args); }, delay);"
    "   else"
    "       return setTimeout(function() { f[fname].apply(f, args); }, delay);"
    "};";

struct AsyncLogRequest {
  BrowserHostPtr host;
  std::string message;
};

}  // namespace

std::atomic<int> BrowserHost::instance_count_{0};

BrowserHost::BrowserHost()
    : call_manager_(std::make_shared<AsyncCallManager>()),
      main_thread_(std::this_thread::get_id()) {
  ++instance_count_;
}

BrowserHost::~BrowserHost() { --instance_count_; }

int BrowserHost::getInstanceCount() { return instance_count_.load(); }

BrowserStreamPtr BrowserHost::createStream(const BrowserStreamRequest& request,
                                           bool /*asynchronous_callbacks*/) {
  return _createStream(request);
}

BrowserStreamPtr BrowserHost::createStream(const std::string& url, const PluginEventSinkPtr& sink,
                                           bool cache, bool seekable, std::size_t buffer_size) {
  BrowserStreamRequest request(url, "GET");
  request.sink = sink;
  request.cache = cache;
  request.seekable = seekable;
  request.bufferSize = buffer_size;
  return createStream(request, true);
}

BrowserStreamPtr BrowserHost::createPostStream(const std::string& url,
                                               const PluginEventSinkPtr& sink,
                                               const std::string& post_data, bool cache,
                                               bool seekable, std::size_t buffer_size) {
  BrowserStreamRequest request(url, "POST");
  request.sink = sink;
  request.postdata = post_data;
  request.cache = cache;
  request.seekable = seekable;
  request.bufferSize = buffer_size;
  return createStream(request, true);
}

BrowserStreamPtr BrowserHost::createUnsolicitedStream(const std::string& url,
                                                      const PluginEventSinkPtr& sink, bool cache,
                                                      bool seekable, std::size_t buffer_size) {
  BrowserStreamRequest request(url, "GET");
  request.sink = sink;
  request.cache = cache;
  request.seekable = seekable;
  request.bufferSize = buffer_size;
  return _createUnsolicitedStream(request);
}

void BrowserHost::Navigate(const std::string& /*url*/, const std::string& /*target*/) {}

void BrowserHost::evaluateJavaScript(const std::wstring& script) {
  evaluateJavaScript(wstring_to_utf8(script));
}

void BrowserHost::initJS(const void* identity) {
  const auto value = reinterpret_cast<std::uintptr_t>(identity);
  // Strictly increasing in the address, so distinct hosts get distinct names.
  const std::uintptr_t number = value + (value >> 3);
  delayed_call_id_ = std::to_string(number);
  delayed_call_name_ = "__FB_CALL_" + delayed_call_id_;
  std::string script(kDelayedCallScript);
  const std::string placeholder = "%1%";
  script.replace(script.find(placeholder), placeholder.size(), delayed_call_id_);
  evaluateJavaScript(script);
}

void BrowserHost::htmlLog(const std::string& message) {
  FBLOG_INFO("BrowserHost", "Logging to HTML: " + message);
  if (!html_log_enabled_) return;
  try {
    auto request = std::make_unique<AsyncLogRequest>(AsyncLogRequest{shared_from_this(), message});
    if (ScheduleAsyncCall(&BrowserHost::logToPage, request.get())) (void)request.release();
  } catch (const std::exception&) {
    // Logging never fails its caller.
  }
}

void BrowserHost::logToPage(void* data) {
  const std::unique_ptr<AsyncLogRequest> request(static_cast<AsyncLogRequest*>(data));
  try {
    const DOM::WindowPtr window = request->host->pageWindow();
    if (window && window->getJSObject()->HasProperty("console")) {
      const JSObjectPtr console = window->getProperty<JSObjectPtr>("console");
      std::printf("Logging: %s\n", request->message.c_str());
      if (console) console->Invoke("log", VariantList{request->message});
    }
  } catch (const std::exception&) {
    FBLOG_TRACE("BrowserHost", "Logging to browser console failed");
  }
}

void BrowserHost::setEnableHtmlLog(bool enabled) { html_log_enabled_ = enabled; }

void BrowserHost::shutdown() {
  std::vector<JSAPIPtr> retained;
  {
    std::lock_guard<std::recursive_mutex> lock(object_lock_);
    retained = retained_objects_;
  }
  for (const JSAPIPtr& object : retained) object->shutdown();
  retained.clear();
  freeRetainedObjects();

  // Called again from a call that the first shutdown runs (a plug-in
  // destroyed by it, say), the queue is the first one's to finish; taking
  // the upgrade lock a second time on this thread would never return.
  if (isShutDown()) return;
  boost::upgrade_lock<boost::shared_mutex> lock(cross_thread_mutex_);
  shut_down_ = true;
  call_manager_->shutdown();
}

bool BrowserHost::DetectProxySettings(std::map<std::string, std::string>& /*settings*/,
                                      const std::string& /*url*/) {
  return false;
}

DOM::WindowPtr BrowserHost::_createWindow(const JSObjectPtr& object) const {
  return std::make_shared<DOM::Window>(object);
}

DOM::DocumentPtr BrowserHost::_createDocument(const JSObjectPtr& object) const {
  return std::make_shared<DOM::Document>(object);
}

DOM::ElementPtr BrowserHost::_createElement(const JSObjectPtr& object) const {
  return std::make_shared<DOM::Element>(object);
}

DOM::NodePtr BrowserHost::_createNode(const JSObjectPtr& object) const {
  return std::make_shared<DOM::Node>(object);
}

bool BrowserHost::ScheduleAsyncCall(void (*function)(void*), void* data) const {
  if (isShutDown()) return false;
  void* const ticket = call_manager_->makeCallback(function, data);
  if (!ticket) return false;
  if (!_scheduleAsyncCall(&AsyncCallManager::asyncCallbackFunctionWrapper, ticket)) {
    call_manager_->remove(ticket);
    return false;
  }
  return true;
}

DOM::WindowPtr BrowserHost::pageWindow() {
  try {
    return getDOMWindow();
  } catch (const std::exception&) {
    return nullptr;
  }
}

JSObjectPtr BrowserHost::readDelayedCallFunction(const DOM::WindowPtr& window) const {
  try {
    return window->getProperty<JSObjectPtr>(delayed_call_name_);
  } catch (const script_error&) {
    return nullptr;
  }
}

JSObjectPtr BrowserHost::getDelayedInvokeDelegate() {
  const DOM::WindowPtr window = pageWindow();
  if (!window) return nullptr;
  if (delayed_call_name_.empty()) initJS(this);
  if (JSObjectPtr delegate = readDelayedCallFunction(window)) return delegate;
  // The page may have lost it, or an identity other than ours named it.
  initJS(this);
  return readDelayedCallFunction(window);
}

int BrowserHost::delayedInvoke(int delay, const JSObjectPtr& function, const VariantList& arguments,
                               const std::string& method_name) {
  const JSObjectPtr delegate = getDelayedInvokeDelegate();
  if (!delegate) return -1;
  VariantList call_arguments{delay, function, arguments};
  if (!method_name.empty()) call_arguments.emplace_back(method_name);
  return delegate->Invoke("", call_arguments).convert_cast<int>();
}

void BrowserHost::retainJSAPIPtr(const JSAPIPtr& object) {
  std::lock_guard<std::recursive_mutex> lock(object_lock_);
  retained_objects_.push_back(object);
}

void BrowserHost::releaseJSAPIPtr(const JSAPIPtr& object) {
  JSAPIPtr released;  // destroyed after the lock, in case it was the last reference
  {
    std::lock_guard<std::recursive_mutex> lock(object_lock_);
    const auto found = std::find(retained_objects_.begin(), retained_objects_.end(), object);
    if (found != retained_objects_.end()) {
      released = std::move(*found);
      retained_objects_.erase(found);
    }
  }
  released.reset();
  if (isMainThread()) DoDeferredRelease();
}

void BrowserHost::freeRetainedObjects() {
  std::vector<JSAPIPtr> released;
  {
    std::lock_guard<std::recursive_mutex> lock(object_lock_);
    released.swap(retained_objects_);
  }
  released.clear();
  DoDeferredRelease();
}

}  // namespace FB
