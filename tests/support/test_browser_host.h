#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ScriptingCore/BrowserHost.h"
#include "main_thread_loop.h"
#include "test_page_objects.h"

namespace FB::testing {

// A browser host over a test's main-thread loop and an in-memory page: the
// browser side of the scripting core with no browser behind it. The thread
// that creates it is its main thread and must be the one running the loop.
// Queued calls go to the loop (refused once the host has shut down, as a
// browser's are); the page window holds page functions and timers. Of page
// script it understands only the delayed-call function the host installs.
class TestBrowserHost : public BrowserHost {
 public:
  enum class Page { WithWindow, WithoutWindow };

  static std::shared_ptr<TestBrowserHost> create(const std::shared_ptr<MainThreadLoop>& loop,
                                                 Page page = Page::WithWindow);
  explicit TestBrowserHost(std::shared_ptr<MainThreadLoop> loop);

  // Null for a page without a window.
  const PageWindowPtr& window() const { return window_; }
  // Every script evaluated, in order, whether understood or not.
  const std::vector<std::string>& evaluatedScripts() const { return scripts_; }
  int deferredReleases() const { return deferred_releases_; }

  const void* getContextID() const override { return this; }
  DOM::DocumentPtr getDOMDocument() override { return nullptr; }
  DOM::WindowPtr getDOMWindow() override;
  DOM::ElementPtr getDOMElement() override { return nullptr; }
  using BrowserHost::evaluateJavaScript;
  // Installs the delayed-call function; any other script fails as a page
  // error would, "Error executing JavaScript code".
  void evaluateJavaScript(const std::string& script) override;
  void DoDeferredRelease() override { ++deferred_releases_; }
  bool _scheduleAsyncCall(void (*function)(void*), void* data) const override;
  BrowserStreamPtr _createStream(const BrowserStreamRequest&) const override { return nullptr; }
  BrowserStreamPtr _createUnsolicitedStream(const BrowserStreamRequest&) const override {
    return nullptr;
  }

 private:
  // The number in the script when it is exactly the delayed-call script.
  static bool parseDelayedCallScript(const std::string& script, std::string& number);

  const std::shared_ptr<MainThreadLoop> loop_;
  PageWindowPtr window_;
  std::vector<std::string> scripts_;
  int deferred_releases_ = 0;
};

using TestBrowserHostPtr = std::shared_ptr<TestBrowserHost>;

}  // namespace FB::testing
