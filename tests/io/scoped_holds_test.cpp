#include "varrow/io/scoped_holds.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "io/io_test_support.h"
#include "varrow/io/data_source.h"

namespace meta {
namespace {

using namespace meta::io_test;

template <class Case>
class ScopedHoldTest : public ::testing::Test {};

using Cases = ::testing::Types<StandardCase, MemoryCase>;
TYPED_TEST_SUITE(ScopedHoldTest, Cases, CaseNames);

TYPED_TEST(ScopedHoldTest, BufferPosComesBackRelativeToTheWindow) {
    auto c = MakeCase<TypeParam>(64);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(20));
    ASSERT_TRUE(s.SeekBufferTo(6));
    {
        auto hold = s.HoldBufferPos();
        ASSERT_TRUE(s.SeekBufferTo(15));
        EXPECT_EQ(s.AsStream().get(), 15);
    }
    EXPECT_EQ(Off(s.GetBufferPos()), 6);

    // Released bytes shift the window; the saved offset is kept relative.
    {
        auto hold = s.HoldBufferPos();
        s.UnprovisionData(4);
    }
    EXPECT_EQ(Off(s.GetBufferPos()), 6);
    EXPECT_EQ(s.AsStream().get(), 10);

    // A fence set meanwhile below the saved position wins.
    ASSERT_TRUE(s.SeekBufferTo(12));
    {
        auto hold = s.HoldBufferPos();
        ASSERT_TRUE(s.SeekBufferTo(2));
        s.MarkAsUsable(10);
    }
    EXPECT_EQ(Off(s.GetBufferPos()), 2);

    // A saved position beyond what is still bound is not restored.
    s.MarkAsUsable();
    {
        auto hold = s.HoldBufferPos();
        ASSERT_TRUE(s.SeekBufferTo(1));
        s.UnprovisionData(15);
    }
    EXPECT_EQ(Off(s.GetBufferPos()), 0);
    EXPECT_EQ(s.GetBytesProvisioned(), 1u);
}

TYPED_TEST(ScopedHoldTest, UsableBytesComeBackAlsoOnUnwinding) {
    auto c = MakeCase<TypeParam>(32);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(16));
    s.MarkAsUsable(12);
    try {
        auto hold = s.HoldUsableBytes();
        s.MarkAsUsable(3);
        throw std::runtime_error("sub-read failed");
    } catch (std::runtime_error const&) {
    }
    EXPECT_EQ(s.GetBytesUsable(false), 12u);

    s.MarkAsUsable();
    {
        auto hold = s.HoldUsableBytes();
        s.MarkAsUsable(5);
        EXPECT_EQ(s.GetBytesUsable(false), 5u);
    }
    EXPECT_EQ(s.GetBytesUsable(false), NoLimit);
}

TYPED_TEST(ScopedHoldTest, InputPosComesBackAndDropsTheWindow) {
    auto c = MakeCase<TypeParam>(100);
    DataSource& s = c->source;
    ASSERT_TRUE(s.AutoProvision(10, 5));
    {
        auto hold = s.HoldInputStreamPos();
        ASSERT_TRUE(s.AutoProvision(60, 20));
        s.MarkAsUsable(4);
    }
    EXPECT_EQ(ActualPos(c->Input()), 15);
    EXPECT_EQ(Off(s.GetInputStreamPos()), 15);
    EXPECT_EQ(s.GetBytesProvisioned(), 0u);
    EXPECT_EQ(s.GetBytesUsable(false), NoLimit);
    ASSERT_TRUE(s.ProvisionData(2));
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 15, 2));

    // Also after the input was read to its end behind the source's back.
    {
        auto hold = s.HoldInputStreamPos();
        std::istream& in = s.Yield();
        in.ignore(1000);
        EXPECT_TRUE(in.eof());
    }
    EXPECT_EQ(ActualPos(c->Input()), 17);
    EXPECT_TRUE(c->Input().good());
}

TYPED_TEST(ScopedHoldTest, OnlyTheLastOwnerRestores) {
    auto c = MakeCase<TypeParam>(40);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(30));
    ASSERT_TRUE(s.SeekBufferTo(5));
    {
        auto first = s.HoldBufferPos();
        ASSERT_TRUE(s.SeekBufferTo(9));
        {
            ScopedBufferPosHold moved(std::move(first));
            ASSERT_TRUE(s.SeekBufferTo(20));
        }
        EXPECT_EQ(Off(s.GetBufferPos()), 5);
        ASSERT_TRUE(s.SeekBufferTo(25));
    }  // `first` was moved from: the cursor stays
    EXPECT_EQ(Off(s.GetBufferPos()), 25);

    // Assigning over a hold restores what it held before taking the new one.
    auto outer = s.HoldBufferPos();  // at 25
    ASSERT_TRUE(s.SeekBufferTo(3));
    {
        auto inner = s.HoldBufferPos();  // at 3
        ASSERT_TRUE(s.SeekBufferTo(8));
        outer = std::move(inner);
        EXPECT_EQ(Off(s.GetBufferPos()), 25);
        ASSERT_TRUE(s.SeekBufferTo(11));
    }
    EXPECT_EQ(Off(s.GetBufferPos()), 11);
    { auto done = std::move(outer); }
    EXPECT_EQ(Off(s.GetBufferPos()), 3);
}

}  // namespace
}  // namespace meta
