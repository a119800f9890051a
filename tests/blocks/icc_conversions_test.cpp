#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fixtures/icc_builder.h"
#include "varrow/blocks/icc/icc_conversions.h"
#include "varrow/blocks/icc/icc_mluc.h"
#include "varrow/blocks/icc/icc_tag_types.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

std::string Text(Value const& value) {
    return value.Get<std::string>();
}

std::string_view View(fixtures::Bytes const& bytes) {
    return {reinterpret_cast<char const*>(bytes.data()), bytes.size()};
}

TEST(IccConversions, HeaderTexts) {
    ReadStore store;
    EXPECT_EQ(Text(IccProfileVersionText(Value(std::int16_t{0x0210}), store)), "2.1.0");
    EXPECT_EQ(Text(IccProfileVersionText(Value(std::int16_t{0x0430}), store)), "4.3.0");
    EXPECT_EQ(Text(IccProfileVersionText(Value(std::int16_t{0x0A4F}), store)), "10.4.15");

    EXPECT_EQ(Text(IccCmmFlagsText(Value(std::uint32_t{0}), store)), "Not Embedded, Independent");
    EXPECT_EQ(Text(IccCmmFlagsText(Value(std::uint32_t{1}), store)), "Embedded, Independent");
    EXPECT_EQ(Text(IccCmmFlagsText(Value(std::uint32_t{2}), store)), "Not Embedded, Not Independent");

    // The defined attribute bits are in the low-order word.
    EXPECT_EQ(Text(IccDeviceAttributesText(Value(std::vector<std::uint32_t>{0xFFFFFFFF, 0}), store)),
              "Reflective, Glossy, Positive, Color");
    EXPECT_EQ(Text(IccDeviceAttributesText(Value(std::vector<std::uint32_t>{0, 0x0F}), store)),
              "Transparency, Matte, Negative, B&W");
    EXPECT_EQ(Text(IccDeviceAttributesText(Value(std::vector<std::uint32_t>{0, 0x05}), store)),
              "Transparency, Glossy, Negative, Color");

    std::vector<std::uint8_t> id(16, 0);
    EXPECT_EQ(Text(IccProfileIdText(Value(id), store)), "0");
    id[0] = 0x26;
    id[15] = 0xF9;
    EXPECT_EQ(Text(IccProfileIdText(Value(id), store)),
              "26000000000000000000000000000"
              "0f9");
}

TEST(IccConversions, SignaturesKeepTheirPadding) {
    ReadStore store;
    EXPECT_EQ(Text(IccSignatureText(Value("RGB"), store)), "RGB ");
    EXPECT_EQ(Text(IccSignatureText(Value("HP"), store)), "HP  ");
    EXPECT_EQ(Text(IccSignatureText(Value("acsp"), store)), "acsp");
    EXPECT_EQ(Text(IccSignatureText(Value(""), store)), "");
    EXPECT_THROW(IccSignatureText(Value(std::uint32_t{1}), store), ValueException);
}

TEST(IccConversions, DateTimeAndFixedPoint) {
    ReadStore store;
    Value const dt = IccProfileDateTime(Value(std::vector<std::uint16_t>{1998, 2, 9, 6, 49, 0}), store);
    DateTime const& d = dt.Get<DateTime>();
    EXPECT_TRUE(d.hasYear && d.hasMonth && d.hasDay && d.hasTime && !d.hasZone);
    EXPECT_EQ(ToString(d, ':', ' '), "1998:02:09 06:49:00");
    EXPECT_THROW(IccProfileDateTime(Value(std::vector<std::uint16_t>{1998, 2, 9}), store), ValueException);

    Value const rounded =
        IccRoundedFixed(Value(std::vector<double>{63190 / 65536.0, -3290 / 65536.0, 1.0}), store);
    EXPECT_EQ(rounded, Value(std::vector<double>{0.9642, -0.0502, 1.0}));
}

TEST(IccTagTypes, Layouts) {
    auto const layout = [](fixtures::Bytes const& tag) { return detail::GetIccTagLayout(View(tag)); };
    auto const sf32 = layout(fixtures::IccS15Fixed16({1, 2, 3}));
    ASSERT_TRUE(sf32);
    EXPECT_EQ(sf32->format, ExifType::SLongFixed);
    EXPECT_EQ(sf32->count, 3u);
    EXPECT_EQ(sf32->offset, 8u);
    // Trailing bytes that do not fill an element are not read.
    auto const ui32 = layout(fixtures::IccTagData("ui32", {0, 0, 0, 1, 9, 9}));
    ASSERT_TRUE(ui32);
    EXPECT_EQ(ui32->count, 1u);

    auto const desc = layout(fixtures::IccDesc("abc"));
    ASSERT_TRUE(desc);
    EXPECT_EQ(desc->format, ExifType::Ascii);
    EXPECT_EQ(desc->count, 4u);
    EXPECT_EQ(desc->offset, 12u);

    EXPECT_FALSE(layout(fixtures::IccTagData("curv", {0, 0, 0, 0})));
    EXPECT_FALSE(layout(fixtures::Bytes{'t', 'e', 'x', 't', 0, 0, 0}));  // shorter than its type header
    EXPECT_FALSE(layout(fixtures::IccTagData("desc", {0, 0})));          // no room for the length
}

TEST(IccMluc, RecordsStopAtTheTagsEnd) {
    fixtures::Bytes tag = fixtures::IccMluc({{"en", "US", u"One"}, {"fr", "FR", u"Deux"}});
    std::vector<detail::IccMlucRecord> records = detail::ReadIccMlucRecords(View(tag));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].language, "en");
    EXPECT_EQ(records[0].country, "US");
    EXPECT_EQ(records[1].text.size(), 8u);

    // The second string runs past the tag: only the first record is kept.
    fixtures::Bytes cut(tag.begin(), tag.end() - 1);
    EXPECT_EQ(detail::ReadIccMlucRecords(View(cut)).size(), 1u);

    // A count far beyond the records the tag holds ends at the tag's end.
    fixtures::Bytes inflated = tag;
    inflated[8] = 0x7F;
    EXPECT_EQ(detail::ReadIccMlucRecords(View(inflated)).size(), 2u);

    fixtures::Bytes smallRecords = tag;
    smallRecords[15] = 11;
    EXPECT_TRUE(detail::ReadIccMlucRecords(View(smallRecords)).empty());
    EXPECT_TRUE(detail::ReadIccMlucRecords(View(fixtures::IccMluc({}))).empty());
}

}  // namespace
}  // namespace meta
