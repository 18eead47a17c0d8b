#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ScriptingCore/script_error.h"
#include "test_objects.h"

namespace FB::testing {

// Event contexts in ascending order: elements of one array.
inline const char context_store[4] = {};
inline const void* eventContext(int index) { return &context_store[index]; }

// One call a page-side handler received, in the order calls arrived.
struct HandlerCall {
  std::string handler;  // label of the handler called
  std::string summary;  // "A()" for InvokeAsync, "A(onx)" with a method name,
                        // "A*onx[A,B|I]" for callMultipleFunctions
  std::string method;   // InvokeAsync's method name, or the event name
  VariantList arguments;
};

// Shared by the handlers of one test, so the order across handlers shows.
class CallLog {
 public:
  void add(HandlerCall call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(std::move(call));
  }
  std::vector<HandlerCall> calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }
  std::vector<std::string> summaries() const {
    std::vector<std::string> lines;
    for (const HandlerCall& call : calls()) lines.push_back(call.summary);
    return lines;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<HandlerCall> calls_;
};

// A page function or page object as an event handler: it records the
// InvokeAsync and callMultipleFunctions calls it gets instead of queueing
// them for a browser. Context and identity are chosen by the test; an
// identity of null lets the registry fall back to the object's address.
class RecordingHandler : public PageObject {
 public:
  RecordingHandler(std::string label, const void* context, std::shared_ptr<CallLog> log,
                   const void* identity = nullptr)
      : label(std::move(label)), context_(context), identity_(identity), log_(std::move(log)) {}

  static std::shared_ptr<RecordingHandler> make(const std::string& label, const void* context,
                                                const std::shared_ptr<CallLog>& log,
                                                const void* identity = nullptr) {
    return std::make_shared<RecordingHandler>(label, context, log, identity);
  }

  const std::string label;
  std::atomic<bool> valid{true};
  std::atomic<bool> optimized{false};
  // When set, InvokeAsync fails the way a handler whose host has gone does.
  std::atomic<bool> host_gone{false};
  // When set, InvokeAsync fails with a script error.
  std::atomic<bool> script_failure{false};
  std::atomic<int> calls{0};

  const void* getEventId() const override { return identity_; }
  const void* getEventContext() const override { return context_; }
  bool supportsOptimizedCalls() const override { return optimized; }
  bool isValid() const override { return valid; }

  void InvokeAsync(const std::string& method, const VariantList& arguments) override {
    ++calls;
    if (host_gone) throw std::runtime_error("Cannot invoke asynchronously");
    if (script_failure) throw script_error("page failure");
    if (const auto log = log_.lock()) {
      log->add({label, label + "(" + method + ")", method, arguments});
    }
  }

  void callMultipleFunctions(const std::string& name, const VariantList& arguments,
                             const std::vector<JSObjectPtr>& handlers,
                             const std::vector<JSObjectPtr>& interfaces) override {
    ++calls;
    if (const auto log = log_.lock()) {
      log->add({label, label + "*" + name + "[" + labels(handlers) + "|" + labels(interfaces) + "]",
                name, arguments});
    }
  }

  static std::string labels(const std::vector<JSObjectPtr>& objects) {
    std::string text;
    for (const JSObjectPtr& object : objects) {
      if (!text.empty()) text += ",";
      const auto* handler = dynamic_cast<const RecordingHandler*>(object.get());
      text += handler ? handler->label : "?";
    }
    return text;
  }

 private:
  const void* const context_;
  const void* const identity_;
  // Weak: the log keeps the arguments, which may name the object that
  // keeps this handler.
  const std::weak_ptr<CallLog> log_;
};

}  // namespace FB::testing
