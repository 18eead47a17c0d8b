#include "PluginCore/FactoryBase.h"

namespace FB {

std::atomic<FactoryBase::NpapiPluginMaker> FactoryBase::npapi_plugin_maker_{nullptr};

void FactoryBase::setNpapiPluginMaker(NpapiPluginMaker maker) { npapi_plugin_maker_ = maker; }

Npapi::NpapiPluginPtr FactoryBase::createNpapiPlugin(const Npapi::NpapiBrowserHostPtr& host,
                                                     const std::string& mimetype) {
  const NpapiPluginMaker maker = npapi_plugin_maker_.load();
  return maker ? maker(host, mimetype) : nullptr;
}

void FactoryBase::getLoggingMethods(Log::LogMethodList& methods) {
  methods.emplace_back(Log::LogMethod::Console, std::string());
}

int FactoryBase::getLogLevel() { return static_cast<int>(Log::LogLevel::Info); }

PluginWindowMacPtr FactoryBase::createPluginWindowMacICA() { return nullptr; }

PluginWindowMacPtr FactoryBase::createPluginWindowMacCA() { return nullptr; }

PluginWindowMacPtr FactoryBase::createPluginWindowMacCG() { return nullptr; }

PluginEventMacPtr FactoryBase::createPluginEventMacCocoa() { return nullptr; }

PluginEventMacPtr FactoryBase::createPluginEventMacCarbon() { return nullptr; }

}  // namespace FB
