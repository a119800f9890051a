#include "varrow/io/provision_window.h"

#include <gtest/gtest.h>

#include <string>

#include "io/io_test_support.h"

namespace meta {
namespace {

using namespace meta::io_test;

template <class Case>
class ProvisionWindowTest : public ::testing::Test {};

using Cases = ::testing::Types<StandardCase, MemoryCase>;
TYPED_TEST_SUITE(ProvisionWindowTest, Cases, CaseNames);

TYPED_TEST(ProvisionWindowTest, WindowIsExactlyTheRegion) {
    auto c = MakeCase<TypeParam>(4000, 0);
    DataSource& s = c->source;
    std::string const bytes = Pattern(4000);

    ASSERT_TRUE(ProvisionWindowAt(s, std::streampos(100), 50));
    EXPECT_EQ(s.AsStringView(), std::string_view(bytes).substr(100, 50));
    EXPECT_EQ(s.GetBytesUsable(true), 50u);

    // A region inside the current window gets a window of its own.
    ASSERT_TRUE(ProvisionWindowAt(s, std::streampos(0), 1000));
    ASSERT_TRUE(ProvisionWindowAt(s, std::streampos(200), 10));
    EXPECT_EQ(s.AsStringView(), std::string_view(bytes).substr(200, 10));

    // Backwards and to the very end.
    ASSERT_TRUE(ProvisionWindowAt(s, std::streampos(3990), 10));
    EXPECT_EQ(s.AsStringView(), std::string_view(bytes).substr(3990, 10));
}

TYPED_TEST(ProvisionWindowTest, RegionsTheInputCannotBackFail) {
    auto c = MakeCase<TypeParam>(300, 0);
    DataSource& s = c->source;
    EXPECT_FALSE(ProvisionWindowAt(s, std::streampos(250), 51));
    // A claimed length far beyond the input fails without taking its size.
    EXPECT_FALSE(ProvisionWindowAt(s, std::streampos(0), std::size_t{1} << 40));
    EXPECT_LE(s.GetBytesProvisioned(), 300u);
}

TYPED_TEST(ProvisionWindowTest, EmptyRegionLeavesNoWindowAndTheInputThere) {
    auto c = MakeCase<TypeParam>(300, 0);
    DataSource& s = c->source;
    ASSERT_TRUE(ProvisionWindowAt(s, std::streampos(0), 20));
    ASSERT_TRUE(ProvisionWindowAt(s, std::streampos(120), 0));
    EXPECT_EQ(s.GetBytesProvisioned(), 0u);
    EXPECT_EQ(ActualPos(c->Input()), 120);
}

}  // namespace
}  // namespace meta
