#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "varrow/fields/table_keys.h"

namespace meta {
namespace {

// The members a key reads from a definition.
template <class Id>
struct FakeTag {
    using IdType = Id;
    std::string name;
    std::string title;
    std::string description;
};

enum class RecordId : std::uint16_t {};

TEST(TableKey, NamedAfterFieldIdOrUnknown) {
    FakeTag<std::uint16_t> const make{"Make", "", "camera maker"};
    ExifKey<FakeTag<std::uint16_t>> const known(std::uint16_t{0x010f}, FieldGroup::Ifd0, &make);
    EXPECT_EQ(known.GetName(), "Make");
    EXPECT_EQ(known.GetNamespace(), FieldNamespace::Tiff);
    EXPECT_EQ(known.GetTitle(), "");
    EXPECT_EQ(known.GetDescription(), "camera maker");
    EXPECT_EQ(known.GetDescription().data(), make.description.data());  // borrowed, not copied
    EXPECT_EQ(Key(known).GetFullName(), "Tiff:Ifd0.Make");

    ExifKey<FakeTag<std::uint16_t>> const unknown(std::uint16_t{0x8769}, FieldGroup::Ifd0, nullptr);
    EXPECT_EQ(unknown.GetName(), "0x8769");
    EXPECT_EQ(unknown.GetTitle(), "Unknown");
    EXPECT_EQ(unknown.GetDescription(), "Unknown");
    EXPECT_EQ(Key(unknown).GetFullName(), "Tiff:Ifd0.0x8769");

    ExifKey<FakeTag<std::uint8_t>> const small(std::uint8_t{0xa5}, FieldGroup::IptcApplication, nullptr);
    EXPECT_EQ(small.GetName(), "0x00a5");
    EXPECT_EQ(small.GetNamespace(), FieldNamespace::Iptc);

    ExifKey<FakeTag<std::int32_t>> const negative(-1, FieldGroup::CanonCameraSettings, nullptr);
    EXPECT_EQ(negative.GetName(), "0xffffffff");
    ExifKey<FakeTag<std::uint32_t>> const wide(0x12345u, FieldGroup::CanonAFInfo, nullptr);
    EXPECT_EQ(wide.GetName(), "0x12345");

    ExifKey<FakeTag<std::string>> const text(std::string("desc"), FieldGroup::IccProfile, nullptr);
    EXPECT_EQ(text.GetName(), "desc");
    ExifKey<FakeTag<RecordId>> const enumId(RecordId{0x10}, FieldGroup::CanonVrdDr4, nullptr);
    EXPECT_EQ(enumId.GetName(), "0x0010");

    ExifKey<FakeTag<std::uint16_t>> const nothing(std::nullopt, FieldGroup::Exif, nullptr);
    EXPECT_EQ(nothing.GetName(), "Unknown");
    EXPECT_FALSE(nothing.GetId().has_value());
}

TEST(GenericStringKeyWithField, NameFromFieldWhenItHasOne) {
    using XmpishKey = GenericStringKeyWithField<FieldNamespace::Xmp, FakeTag<std::string>, false>;
    FakeTag<std::string> const named{"creator", "", ""};
    FakeTag<std::string> const unnamed{"", "", ""};
    EXPECT_EQ(Key(XmpishKey{FieldGroup::XmpDc, "dc:creator", &named}).GetFullName(), "Xmp:XmpDc.creator");
    EXPECT_EQ(Key(XmpishKey{FieldGroup::XmpDc, "subject", &unnamed}).GetFullName(), "Xmp:XmpDc.subject");
    EXPECT_EQ(Key(XmpishKey{FieldGroup::XmpDc, "rights", nullptr}).GetName(), "rights");
    EXPECT_FALSE(XmpishKey::kAlwaysKnown);
}

TEST(CompositeKey, AlwaysGeneratedComposite) {
    FakeTag<std::string> const field{"ImageSize", "", ""};
    BasicCompositeKey<FakeTag<std::string>> const withField{"ignored", &field};
    EXPECT_EQ(Key(withField).GetFullName(), "Generated:Composite.ImageSize");
    BasicCompositeKey<FakeTag<std::string>> const bare{"Megapixels", nullptr};
    EXPECT_EQ(Key(bare).GetFullName(), "Generated:Composite.Megapixels");
    EXPECT_EQ(Key(bare).GetGroup(), FieldGroup::Composite);
}

}  // namespace
}  // namespace meta

#include "varrow/fields/field_keys.h"

namespace meta {
namespace {

TEST(FieldKeys, IptcAndCompositeKeysOverRealDefinitions) {
    IptcTag keywords;
    keywords.name = "Keywords";
    IptcKey const known(std::uint8_t{25}, FieldGroup::IptcApplication, &keywords);
    EXPECT_EQ(Key(known).GetFullName(), "Iptc:IptcApplication.Keywords");
    IptcKey const unknown(std::uint8_t{0xa5}, FieldGroup::IptcEnvelope, nullptr);
    EXPECT_EQ(Key(unknown).GetFullName(), "Iptc:IptcEnvelope.0x00a5");

    CompositeField imageSize;
    imageSize.name = "ImageSize";
    EXPECT_EQ(Key(CompositeKey{"x", &imageSize}).GetFullName(), "Generated:Composite.ImageSize");
    XmpField creator;
    creator.name = "creator";
    EXPECT_EQ(Key(XmpKey{FieldGroup::XmpDc, "dc:creator", &creator}).GetFullName(), "Xmp:XmpDc.creator");
}

}  // namespace
}  // namespace meta
