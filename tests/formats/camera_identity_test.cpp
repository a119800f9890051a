#include <gtest/gtest.h>

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

}  // namespace
}  // namespace meta
