#include "PluginCore/PluginCore.h"

#include <exception>
#include <stdexcept>

#include "PluginCore/PluginWindow.h"
#include "ScriptingCore/BrowserHost.h"
#include "ScriptingCore/DOM.h"
#include "ScriptingCore/bad_variant_cast.h"
#include "ScriptingCore/logging.h"

namespace FB {

std::atomic<int> PluginCore::ActivePluginCount{0};
std::string PluginCore::OS;
std::string PluginCore::Browser;

PluginCore::PluginCore() {
  Log::initLogging();
  ++ActivePluginCount;
}

PluginCore::~PluginCore() {
  if (host_) host_->shutdown();
  --ActivePluginCount;
  root_api_.reset();
  params_.clear();
  fs_path_.clear();
  host_.reset();
}

void PluginCore::SetHost(const BrowserHostPtr& host) { host_ = host; }

PluginWindow* PluginCore::GetWindow() const { return window_; }

void PluginCore::setScriptingOnly(bool scripting_only) { scripting_only_ = scripting_only; }

bool PluginCore::isScriptingOnly() const { return scripting_only_; }

void PluginCore::SetWindow(PluginWindow* window) {
  FBLOG_TRACE("PluginCore", "Window Set");
  // Attaching twice to one window would deliver each of its events twice.
  if (window == window_) return;
  if (window_) ClearWindow();
  if (!window) return;
  window_ = window;
  window->AttachObserver(this);
}

void PluginCore::ClearWindow() {
  FBLOG_TRACE("PluginCore", "Window Cleared");
  if (!window_) return;
  window_->DetachObserver(this);
  window_ = nullptr;
}

bool PluginCore::setReady() {
  bool scheduled = false;
  try {
    FBLOG_TRACE("PluginCore", "Plugin Ready");
    const auto onload = params_.find("onload");
    if (onload != params_.end()) {
      if (!host_) throw std::runtime_error("No browser host to run onload");
      host_->initJS(this);
      const JSObjectPtr handler = onload->second.convert_cast<JSObjectPtr>();
      if (handler) {
        FBLOG_TRACE("PluginCore", "InvokeDelayed(onload)");
        scheduled = host_->delayedInvoke(250, handler, VariantList{getRootJSAPI()}) != -1;
      }
    }
  } catch (...) {
    // Readiness never fails because of the page.
  }
  onPluginReady();
  return scheduled;
}

JSAPIPtr PluginCore::getRootJSAPI() {
  if (!root_api_) root_api_ = createJSAPI();
  return root_api_;
}

bool PluginCore::isWindowless() {
  if (!windowless_) {
    windowless_ = false;
    const auto found = params_.find("windowless");
    if (found != params_.end()) {
      try {
        windowless_ = found->second.convert_cast<bool>();
      } catch (const bad_variant_cast&) {
        windowless_ = false;
      }
    }
  }
  return *windowless_;
}

void PluginCore::setFSPath(const std::string& path) { fs_path_ = path; }

JSObjectPtr PluginCore::pageFunction(const std::string& name) const {
  // Without a page there is nothing to find the function in; the parameter
  // is then kept as its text, like any that cannot be processed.
  if (!host_) throw std::runtime_error("no browser host");
  const DOM::WindowPtr window = host_->getDOMWindow();
  if (!window) throw std::runtime_error("no page window");
  return window->getProperty<JSObjectPtr>(name);
}

void PluginCore::setParams(const VariantMap& params) {
  for (const auto& [name, value] : params) {
    try {
      const std::string text = value.convert_cast<std::string>();
      if (name.compare(0, 2, "on") == 0) {
        const JSObjectPtr handler = pageFunction(text);
        FBLOG_TRACE("PluginCore", "Found <param> event handler: " + name);
        params_[name] = variant(handler);
        continue;
      }
      params_[name] = value;
    } catch (const std::exception& e) {
      FBLOG_WARN("PluginCore", "Exception processing <param> " + name + ": " + e.what());
      params_[name] = value;
    }
  }
}

std::optional<std::string> PluginCore::getParam(const std::string& name) const {
  const auto found = params_.find(name);
  if (found == params_.end()) return std::nullopt;
  return found->second.convert_cast<std::string>();
}

variant PluginCore::getParamVariant(const std::string& name) const {
  const auto found = params_.find(name);
  return found == params_.end() ? variant() : found->second;
}

void PluginCore::handleUnsolicitedStream(BrowserStreamRequest& /*request*/) {}

BrowserHostPtr PluginCore::getHost() const { return host_; }

void PluginCore::releaseRootJSAPI() { root_api_.reset(); }

void PluginCore::setPlatform(const std::string& os, const std::string& browser) {
  OS = os;
  Browser = browser;
  FBLOG_INFO("PluginCore", "os: " + os + "; browser: " + browser);
}

int PluginCore::getActivePluginCount() { return ActivePluginCount.load(); }

}  // namespace FB
