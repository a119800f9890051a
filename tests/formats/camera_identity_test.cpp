#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "varrow/formats/tiff/camera_identity.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/exif_value.h"
#include "varrow/values/exif_values.h"

namespace meta {
namespace {

std::unique_ptr<ExifValue> Ascii(std::string const& text) {
    std::unique_ptr<ExifValue> value = CreateExifValue(ExifType::Ascii);
    value->Read(text.data(), text.size(), ByteOrder::LittleEndian);
    return value;
}

TEST(CameraIdentity, FirstMakeAndModelWinWithoutTrailingPadding) {
    ReadStore store;
    EXPECT_TRUE(detail::NoteMake(Ascii(std::string("Canon\0\0", 7)).get(), 7, store));
    EXPECT_TRUE(detail::NoteModel(Ascii("Canon EOS 40D  ").get(), 15, store));
    EXPECT_EQ(store.make, "Canon");
    EXPECT_EQ(store.model, "Canon EOS 40D");
    // A later directory (the thumbnail's, a maker note's) does not replace them.
    EXPECT_TRUE(detail::NoteMake(Ascii("Other").get(), 5, store));
    EXPECT_EQ(store.make, "Canon");
    // No value: nothing noted, and the entry is still accepted.
    ReadStore empty;
    EXPECT_TRUE(detail::NoteMake(nullptr, 0, empty));
    EXPECT_TRUE(empty.make.empty());
}

std::unique_ptr<ExifValue> Rational(std::uint32_t numerator, std::uint32_t denominator) {
    unsigned char bytes[8];
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<unsigned char>(numerator >> (8 * i));
        bytes[4 + i] = static_cast<unsigned char>(denominator >> (8 * i));
    }
    std::unique_ptr<ExifValue> value = CreateExifValue(ExifType::Rational);
    value->Read(bytes, 1, ByteOrder::LittleEndian);
    return value;
}

TEST(CameraIdentity, FirstStoredFocalPlaneRationalsAreKept) {
    ReadStore store;
    // Another format is not noted and does not block a later rational.
    EXPECT_TRUE(detail::NoteFocalPlaneXResolution(Ascii("4368").get(), 5, store));
    EXPECT_FALSE(store.focalPlaneXResolution);
    EXPECT_TRUE(detail::NoteFocalPlaneXResolution(Rational(4368000, 1415).get(), 1, store));
    EXPECT_TRUE(detail::NoteFocalPlaneYResolution(Rational(2912000, 942).get(), 1, store));
    EXPECT_TRUE(detail::NoteFocalPlaneXResolution(Rational(1, 1).get(), 1, store));
    ASSERT_TRUE(store.focalPlaneXResolution && store.focalPlaneYResolution);
    EXPECT_EQ(store.focalPlaneXResolution->numerator, 4368000);
    EXPECT_EQ(store.focalPlaneXResolution->denominator, 1415);
    EXPECT_EQ(store.focalPlaneYResolution->denominator, 942);
    EXPECT_TRUE(detail::NoteFocalPlaneYResolution(nullptr, 0, store));
}

}  // namespace
}  // namespace meta
