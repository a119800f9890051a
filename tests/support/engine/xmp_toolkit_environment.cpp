// Test programs that link the whole engine act as a host that initialises
// the XMP toolkit itself, once for the program, so collections made with
// Initialiser::Mode::HostInitialisesXmp can read XMP as an application's
// would.
#include <gtest/gtest.h>

#include <string>

#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace {

class XmpToolkitEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        ASSERT_TRUE(meta::xmp::TXMPMeta<std::string>::Initialize());
        meta::xmp::RegisterAdditionalNamespaces();
    }
    void TearDown() override { meta::xmp::TXMPMeta<std::string>::Terminate(); }
};

::testing::Environment* const kEnvironment = ::testing::AddGlobalTestEnvironment(new XmpToolkitEnvironment);

}  // namespace
