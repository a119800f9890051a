#include "varrow/io/in_memory_stream.h"

#include <gtest/gtest.h>

#include <array>
#include <ios>
#include <limits>
#include <string>
#include <string_view>

#include "varrow/util/byte.h"

namespace meta {
namespace {

constexpr std::string_view Text = "0123456789";
std::streampos const Refused(std::streamoff(-1));

std::string ReadAll(std::istream& in) {
    std::string out;
    char ch = 0;
    while (in.get(ch)) out.push_back(ch);
    return out;
}

TEST(InMemoryStream, ReadsTheBorrowedBytesInPlace) {
    std::string const bytes(Text);
    InMemoryStream in(bytes.data(), bytes.size());
    EXPECT_EQ(in.GetData(), bytes.data());
    std::array<char, 8> got{};
    ASSERT_TRUE(in.read(got.data(), 4));
    EXPECT_EQ(in.GetPosition(), 4u);
    EXPECT_FALSE(in.read(got.data(), got.size()));  // takes what is there
    EXPECT_EQ(std::string_view(got.data(), static_cast<std::size_t>(in.gcount())), "456789");
    EXPECT_TRUE(in.eof());
}

TEST(InMemoryStream, SeeksWithinTheRegionAndToItsEndOnly) {
    InMemoryStream in(Text.data(), Text.size());
    EXPECT_EQ(in.seekg(10).tellg(), 10);  // exactly the length
    EXPECT_EQ(in.get(), std::char_traits<char>::eof());
    in.clear();
    in.seekg(3);
    EXPECT_TRUE(in.seekg(11).fail());  // one beyond: refused, cursor kept
    in.clear();
    EXPECT_EQ(in.tellg(), 3);
    EXPECT_EQ(in.seekg(-2, std::ios_base::end).tellg(), 8);
    EXPECT_EQ(in.seekg(-3, std::ios_base::cur).tellg(), 5);
    EXPECT_TRUE(in.seekg(-6, std::ios_base::cur).fail());
    in.clear();
    EXPECT_TRUE(in.seekg(1, std::ios_base::end).fail());
    in.clear();
    EXPECT_EQ(ReadAll(in), "56789");
}

TEST(InMemoryStream, StreamBufferRefusesOutputSeeksAndWrappingOffsets) {
    InMemoryStreamBuf buf(Text);
    EXPECT_EQ(buf.pubseekoff(2, std::ios_base::beg, std::ios_base::out), Refused);
    EXPECT_EQ(buf.pubseekpos(4, std::ios_base::in | std::ios_base::out), std::streampos(4));
    auto const most = std::numeric_limits<std::streamoff>::max();
    auto const least = std::numeric_limits<std::streamoff>::min();
    EXPECT_EQ(buf.pubseekoff(most, std::ios_base::cur, std::ios_base::in), Refused);
    EXPECT_EQ(buf.pubseekoff(least, std::ios_base::end, std::ios_base::in), Refused);
    EXPECT_EQ(buf.GetPosition(), 4u);
    EXPECT_EQ(buf.pubseekoff(-10, std::ios_base::end, std::ios_base::in), std::streampos(0));
}

TEST(InMemoryStream, RebindAndUnbindResetStateAndCursor) {
    std::string const first = "abc";
    std::array<meta::byte, 2> const second{meta::byte{0x41}, meta::byte{0x42}};
    InMemoryStream in(first.data(), first.size());
    EXPECT_EQ(ReadAll(in), "abc");
    in.Rebind(second.data(), second.size());
    EXPECT_TRUE(in.good());
    EXPECT_EQ(ReadAll(in), "AB");

    in.Unbind();
    EXPECT_TRUE(in.good());
    EXPECT_EQ(in.GetData(), nullptr);
    EXPECT_EQ(in.seekg(0, std::ios_base::end).tellg(), 0);
    EXPECT_TRUE(in.seekg(1).fail());
    in.clear();
    EXPECT_EQ(in.get(), std::char_traits<char>::eof());

    // A null pointer binds nothing, whatever length comes with it.
    InMemoryStreamBuf none(nullptr, 5);
    EXPECT_EQ(none.GetLength(), 0u);
    EXPECT_EQ(none.pubseekpos(3, std::ios_base::in), Refused);
}

TEST(InMemoryStream, PutbackNeverWritesToTheBorrowedBytes) {
    std::string const bytes = "xy";
    InMemoryStream in(bytes.data(), bytes.size());
    EXPECT_EQ(in.get(), 'x');
    EXPECT_TRUE(in.putback('q').fail());
    EXPECT_EQ(bytes, "xy");
    in.clear();
    EXPECT_TRUE(in.unget().good());
    EXPECT_TRUE(in.unget().fail());
}

TEST(InMemoryStreamInterface, CopiesReadTheSameMemoryIndependently) {
    std::string const bytes(Text);
    InMemoryStreamInterface handle(bytes.data(), bytes.size());
    handle.GetImpl().seekg(6);
    InMemoryStreamInterface copy(handle);
    EXPECT_EQ(copy.GetImpl().GetData(), bytes.data());
    EXPECT_EQ(ReadAll(copy.GetImpl()), "6789");
    EXPECT_EQ(handle.GetImpl().tellg(), 6);

    InMemoryStreamInterface assigned;
    assigned = handle;
    EXPECT_EQ(assigned.GetImpl().tellg(), 6);
    handle.Unbind();
    EXPECT_EQ(handle.GetImpl().GetLength(), 0u);
    EXPECT_EQ(assigned.GetImpl().GetLength(), bytes.size());
}

}  // namespace
}  // namespace meta
