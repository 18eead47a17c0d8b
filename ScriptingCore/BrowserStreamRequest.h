#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace FB {

class PluginEventSink;

// What a plugin asks of the browser-stream layer: one URL to read, or to
// post to. A request the browser starts by itself is offered to the plugin
// (PluginCore::handleUnsolicitedStream), which accepts it or leaves it.
struct BrowserStreamRequest {
  BrowserStreamRequest(std::string uri, std::string method)
      : uri(std::move(uri)), method(std::move(method)) {}

  void accept() { accepted = true; }
  bool wasAccepted() const { return accepted; }

  std::string uri;
  std::string method;  // "GET" or "POST"
  std::string postdata;
  std::string postheaders;  // empty: the adapter writes its own
  bool cache = false;
  bool seekable = false;
  std::size_t bufferSize = 0;
  // Receives the stream's events.
  std::shared_ptr<PluginEventSink> sink;

 private:
  bool accepted = false;
};

}  // namespace FB
