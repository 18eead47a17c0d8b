#pragma once

#include <atomic>
#include <boost/thread/lock_types.hpp>
#include <boost/thread/shared_mutex.hpp>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "ScriptingCore/AsyncCallManager.h"
#include "ScriptingCore/scripting_types.h"

namespace FB {

// Browser streams and page wrappers belong to their own layers; the host
// only hands them out.
struct BrowserStreamRequest;
class BrowserStream;
class PluginEventSink;
using BrowserStreamPtr = std::shared_ptr<BrowserStream>;
using PluginEventSinkPtr = std::shared_ptr<PluginEventSink>;

class BrowserHost;
using BrowserHostConstPtr = std::shared_ptr<const BrowserHost>;

namespace DOM {
class Window;
class Document;
class Element;
class Node;
using WindowPtr = std::shared_ptr<Window>;
using DocumentPtr = std::shared_ptr<Document>;
using ElementPtr = std::shared_ptr<Element>;
using NodePtr = std::shared_ptr<Node>;
}  // namespace DOM

// The browser services of one plugin instance, as the scripting core sees
// them. Always owned through shared references; everything else refers to
// a host weakly. The virtual operations, in slot order: the browser adapter
// supplies the pure ones, this base class the rest.
//
// Threads. The host is made on the browser's main thread, which is then its
// main thread: every browser call and every page-script call happens there.
// Any thread may call ScheduleAsyncCall, ScheduleOnMainThread,
// CallOnMainThread and htmlLog; the rest is for the main thread.
//
// Guards:
// - The cross-thread mutex (Boost's, for its upgrade mode). Schedulers and
//   blocking callers hold it shared, shutdown in upgrade mode. Upgrade mode
//   excludes only other upgrade or exclusive owners, so it serialises
//   shutdowns and never makes shutdown wait for a caller, nor a caller for
//   shutdown: a caller notices the shut-down flag (atomic) itself. It is
//   taken before the call manager's lock and may be held shared again by
//   the main thread while it shuts down (a cancelled call run then may
//   schedule or call, and is refused or run directly).
// - The object lock (recursive): the retained objects. Held only to change
//   or copy the list; objects are shut down and destroyed outside it, so
//   their destructors may call back.
// - The call manager has its own lock, always taken last.
// The delayed-call fields belong to the main thread.
class BrowserHost : public std::enable_shared_from_this<BrowserHost> {
 public:
  BrowserHost();
  BrowserHost(const BrowserHost&) = delete;
  BrowserHost& operator=(const BrowserHost&) = delete;
  virtual ~BrowserHost();

  // The plugin instance's identity; the event context of its page objects.
  virtual const void* getContextID() const = 0;

  // Streams come from the adapter's _createStream: these only build the
  // request.
  virtual BrowserStreamPtr createStream(const BrowserStreamRequest& request,
                                        bool asynchronous_callbacks);
  virtual BrowserStreamPtr createStream(const std::string& url, const PluginEventSinkPtr& sink,
                                        bool cache, bool seekable, std::size_t buffer_size);
  virtual BrowserStreamPtr createPostStream(const std::string& url, const PluginEventSinkPtr& sink,
                                            const std::string& post_data, bool cache, bool seekable,
                                            std::size_t buffer_size);
  virtual BrowserStreamPtr createUnsolicitedStream(const std::string& url,
                                                   const PluginEventSinkPtr& sink, bool cache,
                                                   bool seekable, std::size_t buffer_size);

  virtual DOM::DocumentPtr getDOMDocument() = 0;
  virtual DOM::WindowPtr getDOMWindow() = 0;
  virtual DOM::ElementPtr getDOMElement() = 0;

  virtual void Navigate(const std::string& url, const std::string& target);
  virtual void evaluateJavaScript(const std::string& script) = 0;
  virtual void evaluateJavaScript(const std::wstring& script);
  // Installs the page's delayed-call function; the identity makes its name
  // unique per host.
  virtual void initJS(const void* identity);
  // Logs to the page's console from any thread, through the main thread.
  virtual void htmlLog(const std::string& message);
  virtual void setEnableHtmlLog(bool enabled);
  // Main thread: shuts the retained objects down and releases them, then
  // refuses new queued calls and runs the pending ones now. Waiting callers
  // fail with "Shutting down". A second call changes nothing.
  virtual void shutdown();
  // Releases, on the main thread, the browser objects dropped elsewhere.
  virtual void DoDeferredRelease() = 0;
  // No system proxy detector is built in: none is reported.
  virtual bool DetectProxySettings(std::map<std::string, std::string>& settings,
                                   const std::string& url);

  virtual DOM::WindowPtr _createWindow(const JSObjectPtr& object) const;
  virtual DOM::DocumentPtr _createDocument(const JSObjectPtr& object) const;
  virtual DOM::ElementPtr _createElement(const JSObjectPtr& object) const;
  virtual DOM::NodePtr _createNode(const JSObjectPtr& object) const;

  // Queues function(data) for the browser's main thread; true when queued.
  // The browser later runs function(data) there exactly once, or never.
  virtual bool _scheduleAsyncCall(void (*function)(void*), void* data) const = 0;
  virtual BrowserStreamPtr _createStream(const BrowserStreamRequest& request) const = 0;
  virtual BrowserStreamPtr _createUnsolicitedStream(const BrowserStreamRequest& request) const = 0;

  bool isMainThread() const { return std::this_thread::get_id() == main_thread_; }
  void assertMainThread() const {}
  bool isShutDown() const { return shut_down_.load(); }

  // Queues function(data) for the main thread; false when shut down or the
  // browser refuses. Once true, function(data) runs exactly once: from the
  // browser's queue, or at shutdown if the browser has not run it by then.
  bool ScheduleAsyncCall(void (*function)(void*), void* data) const;

  // Runs function() on the main thread later, keeping object alive until
  // then; returns at once. Script and conversion errors it raises are
  // discarded; when the host cannot queue it, it never runs.
  template <class C, class Functor>
  void ScheduleOnMainThread(const std::shared_ptr<C>& object, Functor function) const;

  // Runs function() on the main thread and returns its result, rethrowing
  // what it throws. On the main thread it runs at once (even after
  // shutdown). Elsewhere the caller waits, and fails with "Could not marshal
  // to main thread" when the call cannot be queued, or "Shutting down" when
  // the host shuts down first; a function already running is waited for.
  // Never call it from a thread the main thread is waiting for.
  template <class Functor>
  std::decay_t<std::invoke_result_t<Functor&>> CallOnMainThread(Functor function) const;

  // Main thread: the page's delayed-call function, installed on demand;
  // empty without a page window.
  JSObjectPtr getDelayedInvokeDelegate();
  // Main thread: has the page call function(arguments), or its method of
  // that name when method_name is not empty, from a page timer after delay
  // ms. The timer's id, or -1 without a delayed-call function.
  int delayedInvoke(int delay, const JSObjectPtr& function, const VariantList& arguments,
                    const std::string& method_name = std::string());

  // Scriptable objects kept alive while the browser holds them.
  void retainJSAPIPtr(const JSAPIPtr& object);
  // Also releases, on the main thread, what the browser dropped meanwhile.
  void releaseJSAPIPtr(const JSAPIPtr& object);
  void freeRetainedObjects();

  // Hosts alive in the process.
  static int getInstanceCount();

 private:
  // The window, or null where the page has none (the adapter may say so by
  // throwing).
  DOM::WindowPtr pageWindow();
  JSObjectPtr readDelayedCallFunction(const DOM::WindowPtr& window) const;
  static void logToPage(void* request);

  const AsyncCallManagerPtr call_manager_;
  const std::thread::id main_thread_;
  std::atomic<bool> shut_down_{false};
  mutable boost::shared_mutex cross_thread_mutex_;
  mutable std::recursive_mutex object_lock_;
  std::vector<JSAPIPtr> retained_objects_;
  std::atomic<bool> html_log_enabled_{true};  // read by any thread's htmlLog
  std::string delayed_call_id_;
  std::string delayed_call_name_;

  static std::atomic<int> instance_count_;
};

}  // namespace FB

// The templates above are defined with the complete cross-thread call.
#include "ScriptingCore/CrossThreadCall.h"
