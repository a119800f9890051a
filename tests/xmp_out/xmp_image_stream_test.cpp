#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "varrow/xmp_out/xmp_image_stream.h"

namespace meta::xmp {
namespace {

std::vector<meta::byte> Bytes(std::initializer_list<int> values) {
    std::vector<meta::byte> out;
    for (int v : values) out.push_back(static_cast<meta::byte>(v));
    return out;
}

int ErrorId(auto&& call) {
    try {
        call();
    } catch (XMP_Error const& e) {
        return e.GetID();
    }
    return 0;
}

TEST(XmpImageStream, ReadsWritesAndSeeks) {
    XmpImageStream stream(Bytes({1, 2, 3, 4, 5}));
    std::array<meta::byte, 8> buffer{};
    EXPECT_EQ(stream.Read(buffer.data(), 3), 3u);
    EXPECT_EQ(buffer[2], meta::byte{3});
    EXPECT_EQ(stream.Offset(), 3);
    // Short reads return what is left, unless everything is required.
    EXPECT_EQ(stream.Read(buffer.data(), 8), 2u);
    EXPECT_EQ(stream.Read(buffer.data(), 8), 0u);
    stream.Rewind();
    EXPECT_EQ(ErrorId([&] { stream.Read(buffer.data(), 6, true); }), 5);

    // Writing overwrites, then extends.
    EXPECT_EQ(stream.Seek(-2, kXMP_SeekFromEnd), 3);
    std::array<meta::byte, 4> const data{meta::byte{9}, meta::byte{8}, meta::byte{7}, meta::byte{6}};
    stream.Write(data.data(), 4);
    EXPECT_EQ(stream.GetBuffer(), Bytes({1, 2, 3, 9, 8, 7, 6}));
    EXPECT_EQ(stream.Seek(-1, kXMP_SeekFromCurrent), 6);

    // Seeking past the end grows the buffer with zeros; before the start fails.
    EXPECT_EQ(stream.Seek(9, kXMP_SeekFromStart), 9);
    EXPECT_EQ(stream.Length(), 9);
    EXPECT_EQ(stream.GetBuffer()[8], meta::byte{0});
    EXPECT_EQ(ErrorId([&] { stream.Seek(-1, kXMP_SeekFromStart); }), 4);
    EXPECT_EQ(ErrorId([&] { stream.Seek(-10, kXMP_SeekFromEnd); }), 4);
    EXPECT_EQ(stream.Offset(), 9);
}

TEST(XmpImageStream, TruncatesAndSwapsInTemporaries) {
    XmpImageStream stream(Bytes({1, 2, 3, 4}).data(), 4);
    stream.ToEOF();
    stream.Truncate(2);
    EXPECT_EQ(stream.GetBuffer(), Bytes({1, 2}));
    EXPECT_EQ(stream.Offset(), 2);
    EXPECT_EQ(ErrorId([&] { stream.Truncate(-1); }), 4);
    EXPECT_EQ(ErrorId([&] { stream.Truncate(3); }), 4);

    EXPECT_EQ(ErrorId([&] { stream.AbsorbTemp(); }), 4);
    XMP_IO* temp = stream.DeriveTemp();
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->Length(), 0);
    std::array<meta::byte, 3> const data{meta::byte{7}, meta::byte{7}, meta::byte{7}};
    temp->Write(data.data(), 3);
    stream.AbsorbTemp();
    EXPECT_EQ(stream.GetBuffer(), Bytes({7, 7, 7}));
    EXPECT_EQ(ErrorId([&] { stream.AbsorbTemp(); }), 4);

    stream.DeriveTemp();
    stream.DeleteTemp();
    EXPECT_EQ(ErrorId([&] { stream.AbsorbTemp(); }), 4);
    std::vector<meta::byte> const taken = std::move(stream).TakeBuffer();
    EXPECT_EQ(taken, Bytes({7, 7, 7}));
}

}  // namespace
}  // namespace meta::xmp
