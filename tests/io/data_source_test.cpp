#include "varrow/io/data_source.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <stdexcept>
#include <string>

#include "io/io_test_support.h"

namespace meta {
namespace {

using namespace meta::io_test;

template <class Case>
class DataSourceTest : public ::testing::Test {};

using Cases = ::testing::Types<StandardCase, MemoryCase>;
TYPED_TEST_SUITE(DataSourceTest, Cases, CaseNames);

TYPED_TEST(DataSourceTest, StartsEmptyWithoutReckoning) {
    auto c = MakeCase<TypeParam>(10, 100);
    DataSource& s = c->source;
    EXPECT_EQ(s.GetInputCategory(), TypeParam::Category);
    EXPECT_EQ(&s.GetInputStream(), &c->Input());
    EXPECT_FALSE(s);
    EXPECT_FALSE(s.HasInputPosReckoning());
    EXPECT_EQ(s.GetBytesUsable(true), 0u);
    EXPECT_EQ(s.GetBytesUsable(false), NoLimit);
    EXPECT_EQ(Off(s.GetInputOffset()), 100);
    EXPECT_TRUE(s.AsStringView(false).empty());

    EXPECT_TRUE(s.ProvisionData(1));
    EXPECT_TRUE(s);
    EXPECT_TRUE(s.HasInputPosReckoning());
}

TYPED_TEST(DataSourceTest, ProvisioningExtendsTheWindowAndKeepsTheCursor) {
    auto c = MakeCase<TypeParam>(300000);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(4));
    s.AsStream().ignore(3);
    // Large enough to move a stream input's buffer: the cursor and the bytes
    // before it must survive the move.
    ASSERT_TRUE(s.ProvisionData(200000));
    EXPECT_TRUE(s.ProvisionData(0));
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 0, 200004));
    EXPECT_EQ(s.AsStringView(true), Bytes(*c, 3, 200001));
    EXPECT_EQ(s.AsStream().get(), 3);
    EXPECT_EQ(Off(s.GetInputStreamPos()), 200004);
    EXPECT_EQ(ActualPos(c->Input()), 200004);
}

TYPED_TEST(DataSourceTest, ProvisionPastTheEndOrAboveTheCapAddsNothing) {
    auto c = MakeCase<TypeParam>(10);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(4));
    EXPECT_FALSE(s.ProvisionData(16));
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 0, 4));
    // The window still ends at the input position, so the rest is reachable.
    EXPECT_EQ(ActualPos(c->Input()), 4);
    EXPECT_TRUE(s.ProvisionData(6));
    EXPECT_EQ(s.AsStringView(false), c->bytes);

    auto big = MakeCase<TypeParam>(DataSource::MaxProvisionStep + 10);
    EXPECT_FALSE(big->source.ProvisionData(1048577));
    EXPECT_EQ(big->source.GetBytesProvisioned(), 0u);
    EXPECT_EQ(ActualPos(big->Input()), 0);
    EXPECT_TRUE(big->source.ProvisionData(1048576));
    EXPECT_TRUE(big->source.ProvisionRemainingData());
    EXPECT_EQ(big->source.AsStringView(false), big->bytes);
}

TYPED_TEST(DataSourceTest, ProvisionRemainingDataTakesTheRestAfterReleasedBytes) {
    auto c = MakeCase<TypeParam>(150000);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(10));
    s.UnprovisionData(4);
    ASSERT_TRUE(s.SeekBufferTo(2));
    ASSERT_TRUE(s.ProvisionRemainingData());
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 4));
    EXPECT_EQ(Off(s.GetBufferPos()), 2);
    EXPECT_EQ(Off(s.GetInputStreamPos()), 150000);
    // Nothing left: still a success, and nothing changes.
    EXPECT_TRUE(s.ProvisionRemainingData());
    EXPECT_EQ(s.GetBytesProvisioned(), 150000u - 4);
}

TYPED_TEST(DataSourceTest, EnsureProvisionCountsFromWindowStartOrCursor) {
    auto c = MakeCase<TypeParam>(64);
    DataSource& s = c->source;
    EXPECT_TRUE(s.EnsureProvisionLocal(0));
    EXPECT_EQ(s.GetBytesProvisioned(), 0u);
    ASSERT_TRUE(s.EnsureProvision(6));
    EXPECT_TRUE(s.EnsureProvision(2));
    EXPECT_EQ(s.GetBytesProvisioned(), 6u);

    ASSERT_TRUE(s.SeekBufferTo(5));
    ASSERT_TRUE(s.EnsureProvisionLocal(8));
    EXPECT_EQ(s.GetBytesProvisioned(), 13u);
    EXPECT_FALSE(s.EnsureProvisionLocal(std::numeric_limits<std::size_t>::max()));
    EXPECT_FALSE(s.EnsureProvisionLocal(60));
    EXPECT_EQ(s.GetBytesProvisioned(), 13u);
}

TYPED_TEST(DataSourceTest, AutoProvisionInsideTheWindowLeavesTheInputAlone) {
    auto c = MakeCase<TypeParam>(40);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionRemainingData());
    s.MarkAsUsable(3);
    ASSERT_TRUE(s.SeekBufferTo(3));

    ASSERT_TRUE(s.AutoProvision(25, 0));
    EXPECT_EQ(ActualPos(c->Input()), 40);
    EXPECT_EQ(Off(s.GetBufferOffset()), 25);
    EXPECT_EQ(s.GetBytesUsable(false), NoLimit);
    EXPECT_EQ(s.AsStringView(true), Bytes(*c, 25));

    ASSERT_TRUE(s.AutoProvision(30, 4));  // no more than the window holds
    EXPECT_EQ(s.GetBytesProvisioned(), 10u);
    EXPECT_EQ(s.AsStream().get(), 30);
    EXPECT_EQ(s.GetNumSeeksForward() + s.GetNumSeeksBackward(), 0u);
}

TYPED_TEST(DataSourceTest, AutoProvisionCountsSeeksAroundTheWindow) {
    auto c = MakeCase<TypeParam>(100);
    DataSource& s = c->source;
    ASSERT_TRUE(s.AutoProvision(50, 10));  // forward from 0
    EXPECT_EQ(s.GetNumSeeksForward(), 1u);
    ASSERT_TRUE(s.AutoProvision(20, 5));  // before the window
    EXPECT_EQ(s.GetNumSeeksBackward(), 1u);
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 20, 5));
    ASSERT_TRUE(s.AutoProvision(25, 3));  // at the input position: no seek
    EXPECT_EQ(s.GetNumSeeksForward() + s.GetNumSeeksBackward(), 2u);
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 25, 3));

    // Out of the input: refused, and the input is not spoilt for later.
    EXPECT_FALSE(s.AutoProvision(500, 4));
    EXPECT_TRUE(s.AutoProvision(90, 0));
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 90));
    EXPECT_FALSE(s.AutoProvision(95, 10));
}

TYPED_TEST(DataSourceTest, UnprovisionReleasesTheFrontOfTheWindow) {
    auto c = MakeCase<TypeParam>(20);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(10));
    ASSERT_TRUE(s.SeekBufferTo(7));
    s.MarkAsUsable(9);
    s.UnprovisionData(4);
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 4, 6));
    EXPECT_EQ(Off(s.GetBufferPos()), 0);
    EXPECT_EQ(Off(s.GetBufferOffset()), 4);
    EXPECT_EQ(s.GetBytesUsable(true), 9u);  // a partial release keeps the limit

    // A cursor moved before the window start by hand has no view.
    s.AsStream().seekg(1);
    EXPECT_THROW(static_cast<void>(s.AsStringView(true)), std::out_of_range);

    s.UnprovisionData(6);
    EXPECT_FALSE(s);
    EXPECT_TRUE(s.AsStringView(false).empty());
    EXPECT_EQ(s.GetBytesUsable(false), NoLimit);
    EXPECT_EQ(Off(s.GetInputStreamPos()), 10);

    s.MarkAsUsable(2);
    s.UnprovisionData(0);  // nothing provisioned or released: no change at all
    EXPECT_EQ(s.GetBytesUsable(false), 2u);
}

TYPED_TEST(DataSourceTest, BufferSeeksStayInTheWindowAndBehindTheFence) {
    auto c = MakeCase<TypeParam>(32);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(12));
    s.UnprovisionData(2);  // window = bytes 2..11
    EXPECT_FALSE(s.SeekBufferBy(-1, false));

    s.MarkAsUsable(8);
    EXPECT_FALSE(s.SeekBufferTo(9, true));
    EXPECT_TRUE(s);  // a fenced refusal leaves the stream good
    EXPECT_TRUE(s.SeekBufferTo(9, false));
    EXPECT_EQ(s.AsStream().get(), 11);

    ASSERT_TRUE(s.SeekBufferTo(4));
    EXPECT_FALSE(s.SeekBufferBy(5, true));
    EXPECT_TRUE(s.SeekBufferBy(4, true));
    EXPECT_TRUE(s.SeekBufferBy(-5, true));
    EXPECT_FALSE(s.SeekBufferBy(std::numeric_limits<long long>::min(), false));
    EXPECT_FALSE(s.SeekBufferBy(std::numeric_limits<long long>::max(), false));
    EXPECT_EQ(Off(s.GetBufferPos()), 3);
    EXPECT_TRUE(s);

    // Past the bound bytes the buffer stream itself refuses, and fails.
    s.MarkAsUsable();
    EXPECT_TRUE(s.SeekBufferTo(10, true));
    EXPECT_FALSE(s.SeekBufferTo(11, true));
    EXPECT_FALSE(s);
}

TYPED_TEST(DataSourceTest, PositionsRelateCursorInputAndDocument) {
    auto c = MakeCase<TypeParam>(64, 1000);
    DataSource& s = c->source;
    ASSERT_TRUE(s.AutoProvision(16, 8));
    ASSERT_TRUE(s.SeekBufferBy(3, true));
    EXPECT_EQ(Off(s.GetBufferPos()), 3);
    EXPECT_EQ(Off(s.GetBufferPosInInput()), 19);
    EXPECT_EQ(Off(s.GetBufferPosInDoc()), 1019);

    s.InvalidateInputPosReckoning();  // positions ask the stream again
    EXPECT_EQ(Off(s.GetBufferPosInDoc()), 1019);
    s.SetInputPosReckoning(30);
    EXPECT_EQ(Off(s.GetBufferPosInInput()), 25);
    s.AdjustInputPosReckoning(-6);
    EXPECT_EQ(Off(s.GetBufferOffset()), 16);
    EXPECT_EQ(Off(s.PrimeInputPosReckoning()), 24);
}

TYPED_TEST(DataSourceTest, InputSeeksAndLengthMoveTheReckoning) {
    auto c = MakeCase<TypeParam>(50);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(10));
    s.MarkAsUsable(5);
    EXPECT_FALSE(s.SeekInputTo(-1));
    EXPECT_FALSE(s.SeekInputBy(100));
    EXPECT_EQ(s.GetBytesUsable(true), 5u);  // the window survives failures

    EXPECT_EQ(Off(s.GetInputStreamLen(true)), 50);
    EXPECT_EQ(ActualPos(c->Input()), 10);
    EXPECT_EQ(s.GetBytesProvisioned(), 10u);

    ASSERT_TRUE(s.SeekInputTo(30));
    EXPECT_EQ(s.GetBytesUsable(false), NoLimit);
    ASSERT_TRUE(s.SeekInputBy(-12));
    ASSERT_TRUE(s.ProvisionData(2));
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 18, 2));

    EXPECT_EQ(Off(s.GetInputStreamLen(false)), 50);
    EXPECT_EQ(Off(s.GetInputStreamPos()), 50);
    EXPECT_FALSE(s.ProvisionData(1));
    EXPECT_EQ(s.GetNumSeeksForward() + s.GetNumSeeksBackward(), 0u);
}

TYPED_TEST(DataSourceTest, YieldHandsOverTheInputAtTheWindowEnd) {
    auto c = MakeCase<TypeParam>(20);
    DataSource& s = c->source;
    ASSERT_TRUE(s.ProvisionData(6));
    std::istream& in = s.Yield();
    EXPECT_EQ(&in, &c->Input());
    EXPECT_FALSE(s.HasInputPosReckoning());
    EXPECT_EQ(s.GetBytesProvisioned(), 0u);
    EXPECT_EQ(in.get(), 6);

    // Reading the input to its end must not keep the source from going on.
    in.ignore(100);
    EXPECT_TRUE(in.eof());
    EXPECT_TRUE(s.AutoProvision(4, 3));
    EXPECT_EQ(s.AsStringView(false), Bytes(*c, 4, 3));
}

TEST(DataSource, MemoryInputIsBoundInPlaceAndNeverWidenedPastItsEnd) {
    std::string const bytes = Pattern(4096);
    InMemoryStream in(bytes.data(), bytes.size());
    DataSource s(in, 0);
    ASSERT_TRUE(s.AutoProvision(100, 50));
    ASSERT_TRUE(s.ProvisionData(10));
    s.UnprovisionData(20);
    ASSERT_TRUE(s.ProvisionRemainingData());
    EXPECT_EQ(s.AsStringView(false).data(), bytes.data() + 120);
    EXPECT_EQ(s.AsStringView(false).size(), 4096u - 120);

    // A reckoning set by hand must not stretch the window past the input.
    s.UnprovisionData();
    ASSERT_TRUE(s.AutoProvision(4000, 8));
    s.SetInputPosReckoning(3990);
    EXPECT_FALSE(s.ProvisionData(100));
    EXPECT_EQ(s.AsStringView(false).size(), 8u);
    s.SetInputPosReckoning(-5);
    EXPECT_FALSE(s.ProvisionData(1));
    EXPECT_FALSE(s.ProvisionRemainingData());

    InMemoryStream unbound;
    DataSource e(unbound, 0);
    EXPECT_FALSE(e.ProvisionData(1));
    EXPECT_TRUE(e.ProvisionRemainingData());
    EXPECT_FALSE(e);
}

TEST(DataSource, StreamThatCannotTellOrSeekStillProvisions) {
    std::string const bytes = Pattern(150000);
    TrickleBuf buf(bytes, 1000);
    std::istream in(&buf);
    DataSource s(in, 0);
    EXPECT_EQ(Off(s.PrimeInputPosReckoning()), -1);
    ASSERT_TRUE(s.ProvisionData(2500));
    EXPECT_EQ(s.AsStringView(false), std::string_view(bytes).substr(0, 2500));
    EXPECT_EQ(Off(s.GetBufferPosInDoc()), -1);

    ASSERT_TRUE(s.ProvisionRemainingData());  // many chunks
    EXPECT_EQ(s.AsStringView(false), bytes);
    EXPECT_FALSE(s.SeekInputTo(0));
    EXPECT_EQ(s.GetBytesProvisioned(), bytes.size());
}

TEST(DataSource, ThrowingStreamBufferMarksTheStreamBad) {
    ThrowingBuf buf;
    std::istream quiet(&buf);
    DataSource s(quiet, 0);
    EXPECT_FALSE(s.ProvisionData(4));
    EXPECT_TRUE(quiet.bad());
    EXPECT_FALSE(s.ProvisionRemainingData());

    // A stream that asked for exceptions gets the buffer's own.
    std::istream loud(&buf);
    loud.exceptions(std::ios_base::badbit);
    DataSource s2(loud, 0);
    EXPECT_THROW(s2.ProvisionData(4), std::runtime_error);
    EXPECT_EQ(s2.GetBytesProvisioned(), 0u);
}

TEST(DataSource, NullStreamAndCategoryPrinting) {
    std::istream& none = DataSource::nullStream;
    char ch = 0;
    EXPECT_FALSE(none.get(ch));
    EXPECT_EQ(DataSource::nullStream.GetData(), nullptr);

    std::ostringstream os;
    os << DataSource::InputCategory::Standard << '|' << DataSource::InputCategory::Memory << '|'
       << static_cast<DataSource::InputCategory>(7);
    EXPECT_EQ(os.str(), "Standard|Memory|Unknown (7)");
}

}  // namespace
}  // namespace meta
