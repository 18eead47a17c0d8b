#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "ScriptingCore/scripting_types.h"

namespace FB {

// Browser streams and page wrappers belong to their own layers; the host
// only hands them out.
struct BrowserStreamRequest;
class BrowserStream;
class PluginEventSink;
using BrowserStreamPtr = std::shared_ptr<BrowserStream>;
using PluginEventSinkPtr = std::shared_ptr<PluginEventSink>;

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
// a host weakly. The operations, in slot order: the browser adapter supplies
// the browser-specific ones, the host base class the rest.
class BrowserHost : public std::enable_shared_from_this<BrowserHost> {
 public:
  BrowserHost() = default;
  BrowserHost(const BrowserHost&) = delete;
  BrowserHost& operator=(const BrowserHost&) = delete;
  virtual ~BrowserHost() = default;

  // The plugin instance's identity; the event context of its page objects.
  virtual const void* getContextID() const = 0;

  virtual BrowserStreamPtr createStream(const BrowserStreamRequest& request,
                                        bool asynchronous_callbacks) = 0;
  virtual BrowserStreamPtr createStream(const std::string& url, const PluginEventSinkPtr& sink,
                                        bool cache, bool seekable,
                                        std::size_t buffer_size) = 0;
  virtual BrowserStreamPtr createPostStream(const std::string& url,
                                            const PluginEventSinkPtr& sink,
                                            const std::string& post_data, bool cache,
                                            bool seekable, std::size_t buffer_size) = 0;
  virtual BrowserStreamPtr createUnsolicitedStream(const std::string& url,
                                                   const PluginEventSinkPtr& sink, bool cache,
                                                   bool seekable,
                                                   std::size_t buffer_size) = 0;

  virtual DOM::DocumentPtr getDOMDocument() = 0;
  virtual DOM::WindowPtr getDOMWindow() = 0;
  virtual DOM::ElementPtr getDOMElement() = 0;

  virtual void Navigate(const std::string& url, const std::string& target) = 0;
  virtual void evaluateJavaScript(const std::string& script) = 0;
  virtual void evaluateJavaScript(const std::wstring& script) = 0;
  // Installs the page's delayed-call function; the identity makes its name
  // unique per host.
  virtual void initJS(const void* identity) = 0;
  virtual void htmlLog(const std::string& message) = 0;
  virtual void setEnableHtmlLog(bool enabled) = 0;
  virtual void shutdown() = 0;
  // Releases, on the main thread, the browser objects dropped elsewhere.
  virtual void DoDeferredRelease() = 0;
  virtual bool DetectProxySettings(std::map<std::string, std::string>& settings,
                                   const std::string& url) = 0;

  virtual DOM::WindowPtr _createWindow(const JSObjectPtr& object) const = 0;
  virtual DOM::DocumentPtr _createDocument(const JSObjectPtr& object) const = 0;
  virtual DOM::ElementPtr _createElement(const JSObjectPtr& object) const = 0;
  virtual DOM::NodePtr _createNode(const JSObjectPtr& object) const = 0;

  // Queues function(data) for the browser's main thread; true when queued.
  virtual bool _scheduleAsyncCall(void (*function)(void*), void* data) const = 0;
  virtual BrowserStreamPtr _createStream(const BrowserStreamRequest& request) const = 0;
  virtual BrowserStreamPtr _createUnsolicitedStream(const BrowserStreamRequest& request) const = 0;
};

}  // namespace FB
