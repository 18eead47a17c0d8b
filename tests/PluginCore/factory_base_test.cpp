// The factory base's defaults, which a plug-in's factory inherits.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PluginCore/FactoryBase.h"
#include "test_plugin.h"

// The plug-in's identity, as a plug-in supplies it.
namespace FB {
std::string getPluginName(const std::string& mimetype) { return "name for [" + mimetype + "]"; }
std::string getPluginDescription(const std::string& mimetype) {
  return "description for [" + mimetype + "]";
}
}  // namespace FB

namespace {

class TestFactory : public FB::FactoryBase {
 public:
  FB::PluginCorePtr createPlugin(const std::string&) override {
    return std::make_shared<FB::testing::TestPlugin>();
  }
};

TEST(FactoryBase, DefaultsAskForConsoleLoggingAtInfoAndMakeNoMacAdapters) {
  TestFactory factory;
  FB::Log::LogMethodList methods{{FB::Log::LogMethod::File, "earlier"}};
  factory.getLoggingMethods(methods);
  ASSERT_EQ(methods.size(), 2u);
  EXPECT_EQ(static_cast<int>(methods[1].first), 1);
  EXPECT_EQ(methods[1].second, "");
  EXPECT_EQ(factory.getLogLevel(), 4);
  EXPECT_FALSE(factory.createPluginWindowMacICA());
  EXPECT_FALSE(factory.createPluginWindowMacCA());
  EXPECT_FALSE(factory.createPluginWindowMacCG());
  EXPECT_FALSE(factory.createPluginEventMacCocoa());
  EXPECT_FALSE(factory.createPluginEventMacCarbon());
  EXPECT_NO_THROW(factory.globalPluginInitialize());
  EXPECT_NO_THROW(factory.globalPluginDeinitialize());
}

TEST(FactoryBase, NameAndDescriptionForwardWithTheMimeTypeOrNone) {
  TestFactory factory;
  EXPECT_EQ(factory.getPluginName(), "name for []");
  EXPECT_EQ(factory.getPluginName("application/x-test"), "name for [application/x-test]");
  EXPECT_EQ(factory.getPluginDescription(), "description for []");
  EXPECT_EQ(factory.getPluginDescription("application/x-test"),
            "description for [application/x-test]");
}

std::vector<std::string> made_for;
FB::Npapi::NpapiPluginPtr noteMaking(const FB::Npapi::NpapiBrowserHostPtr&,
                                     const std::string& mimetype) {
  made_for.push_back(mimetype);
  return nullptr;
}

TEST(FactoryBase, NpapiPluginObjectsComeFromTheInstalledMaker) {
  TestFactory factory;
  EXPECT_FALSE(factory.createNpapiPlugin(nullptr, "application/x-test"));
  FB::FactoryBase::setNpapiPluginMaker(&noteMaking);
  factory.createNpapiPlugin(nullptr, "application/x-test");
  FB::FactoryBase::setNpapiPluginMaker(nullptr);
  EXPECT_EQ(made_for, std::vector<std::string>{"application/x-test"});
}

TEST(FactoryBase, EveryPluginMadeIsANewInstance) {
  TestFactory factory;
  const FB::PluginCorePtr first = factory.createPlugin("");
  const FB::PluginCorePtr second = factory.createPlugin("application/x-test");
  EXPECT_NE(first, second);
}

}  // namespace
