#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "PluginCore/PluginCore.h"
#include "PluginCore/plugin_metadata.h"
#include "ScriptingCore/logging.h"

namespace FB {

namespace Npapi {
class NpapiBrowserHost;
class NpapiPlugin;
using NpapiBrowserHostPtr = std::shared_ptr<NpapiBrowserHost>;
using NpapiPluginPtr = std::shared_ptr<NpapiPlugin>;
}  // namespace Npapi

// The window and event adapters of the Mac platform.
class PluginWindowMac;
class PluginEventMac;
using PluginWindowMacPtr = std::shared_ptr<PluginWindowMac>;
using PluginEventMacPtr = std::shared_ptr<PluginEventMac>;

// The base of a plug-in's factory: it makes the plug-in's instances and
// gives default answers to the module's other questions.
class FactoryBase {
 public:
  // Makes the NPAPI plug-in object for a host and MIME type. The NPAPI
  // adapter installs it (setNpapiPluginMaker) before it asks for one.
  using NpapiPluginMaker = Npapi::NpapiPluginPtr (*)(const Npapi::NpapiBrowserHostPtr& host,
                                                     const std::string& mimetype);

  FactoryBase() = default;
  FactoryBase(const FactoryBase&) = delete;
  FactoryBase& operator=(const FactoryBase&) = delete;
  virtual ~FactoryBase() = default;

  virtual PluginCorePtr createPlugin(const std::string& mimetype) = 0;
  // Once per process, with the first module and after the last.
  virtual void globalPluginInitialize() {}
  virtual void globalPluginDeinitialize() {}
  // Through the installed maker; empty while there is none.
  virtual Npapi::NpapiPluginPtr createNpapiPlugin(const Npapi::NpapiBrowserHostPtr& host,
                                                  const std::string& mimetype);
  // Logging settings; the facade consults neither.
  virtual void getLoggingMethods(Log::LogMethodList& methods);
  virtual int getLogLevel();
  // The Mac window and event adapters are not built on this platform:
  // every one of these makes none, and the adapter negotiates no model.
  virtual PluginWindowMacPtr createPluginWindowMacICA();
  virtual PluginWindowMacPtr createPluginWindowMacCA();
  virtual PluginWindowMacPtr createPluginWindowMacCG();
  virtual PluginEventMacPtr createPluginEventMacCocoa();
  virtual PluginEventMacPtr createPluginEventMacCarbon();

  std::string getPluginName() { return getPluginName(std::string()); }
  std::string getPluginName(const std::string& mimetype) { return FB::getPluginName(mimetype); }
  std::string getPluginDescription() { return getPluginDescription(std::string()); }
  std::string getPluginDescription(const std::string& mimetype) {
    return FB::getPluginDescription(mimetype);
  }

  static void setNpapiPluginMaker(NpapiPluginMaker maker);

 private:
  static std::atomic<NpapiPluginMaker> npapi_plugin_maker_;
};

using FactoryBasePtr = std::shared_ptr<FactoryBase>;

}  // namespace FB
