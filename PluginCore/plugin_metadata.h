#pragma once

#include <string>

// The plug-in's identity as the module reports it. The plug-in supplies
// these; the factory base forwards to them.
namespace FB {

std::string getPluginName(const std::string& mimetype);
std::string getPluginDescription(const std::string& mimetype);

}  // namespace FB
