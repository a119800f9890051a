#include <gtest/gtest.h>

#include <map>
#include <string>

#include "varrow/fields/key.h"

namespace meta {
namespace {

TEST(Key, NullKey) {
    Key const key;
    EXPECT_TRUE(key.IsNull());
    EXPECT_EQ(key.GetGroup(), FieldGroup::Unknown);
    EXPECT_EQ(key.GetNamespace(), FieldNamespace::Unknown);
    EXPECT_EQ(key.GetName(), "");
    EXPECT_EQ(key.GetFullName(), "Unknown:Unknown.");
}

TEST(Key, FullNamesOfConcreteKeys) {
    EXPECT_EQ(Key(UserKey{FieldNamespace::Bmp, FieldGroup::Bmp, "ImageWidth"}).GetFullName(),
              "Bmp:Bmp.ImageWidth");
    EXPECT_EQ(Key(JpegKey{FieldGroup::JpegSof, "ImageHeight"}).GetFullName(), "Jpeg:JpegSof.ImageHeight");
    EXPECT_EQ(Key(GenericStringKey<FieldNamespace::Png>{FieldGroup::Png, "Title"}).GetFullName(),
              "Png:Png.Title");
    Key const box(IsobmffKey{"ImageSpatialExtent", FieldNamespace::IsoBaseMedia, FieldGroup::IsoBaseMedia});
    EXPECT_EQ(box.GetFullName(), "IsoBaseMedia:IsoBaseMedia.ImageSpatialExtent");
    EXPECT_EQ(box.GetNamespace(), FieldNamespace::IsoBaseMedia);
}

TEST(Key, CopiesShareTheConcreteKey) {
    Key const a(JpegKey{FieldGroup::JpegCom, "Comment"});
    Key const b = a;
    ASSERT_NE(a.As<JpegKey>(), nullptr);
    EXPECT_EQ(a.As<JpegKey>(), b.As<JpegKey>());
    EXPECT_EQ(a.As<UserKey>(), nullptr);
    EXPECT_EQ(b.GetName().data(), a.GetName().data());
}

TEST(Key, OrderIsGroupThenNameBytesIgnoringNamespace) {
    std::map<Key, int> index;
    index[Key(UserKey{FieldNamespace::Tiff, FieldGroup::Ifd1, "Aaa"})] = 1;
    index[Key(UserKey{FieldNamespace::Tiff, FieldGroup::Ifd0, "Zzz"})] = 2;
    index[Key(UserKey{FieldNamespace::Tiff, FieldGroup::Ifd0, "ISOSpeed"})] = 3;
    index[Key(UserKey{FieldNamespace::Tiff, FieldGroup::Ifd0, "ISO"})] = 4;
    index[Key(UserKey{FieldNamespace::Unknown, FieldGroup::Unknown, "Zzz"})] = 5;
    // A byte above 0x7f sorts after ASCII, as memcmp would.
    index[Key(UserKey{FieldNamespace::Tiff, FieldGroup::Ifd0, "\xC3\xA9"})] = 6;
    std::vector<int> order;
    for (auto const& [key, value] : index) order.push_back(value);
    EXPECT_EQ(order, (std::vector<int>{5, 4, 3, 2, 6, 1}));

    // Keys of different namespaces with the same group and name are equivalent.
    Key const a(UserKey{FieldNamespace::Xmp, FieldGroup::Ifd0, "Make"});
    Key const b(JpegKey{FieldGroup::Ifd0, "Make"});
    EXPECT_FALSE(a < b);
    EXPECT_FALSE(b < a);

    // The transparent comparison agrees with the Key order.
    KeyLess const less;
    EXPECT_TRUE(less(KeyRef{FieldGroup::Ifd0, "Make"}, Key(JpegKey{FieldGroup::Ifd0, "Model"})));
    EXPECT_FALSE(less(Key(JpegKey{FieldGroup::Ifd0, "Make"}), KeyRef{FieldGroup::Ifd0, "Make"}));
    EXPECT_TRUE(less(Key(JpegKey{FieldGroup::Unknown, "Z"}), KeyRef{FieldGroup::Composite, "A"}));
}

}  // namespace
}  // namespace meta
