#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "varrow/api/metadata.h"
#include "varrow/items/metadatum.h"
#include "varrow/items/string_keyed_metadatums.h"
#include "varrow/values/exif_values.h"

namespace meta {
namespace {

std::unique_ptr<ExifValue> Floats(std::initializer_list<float> values) {
    auto value = CreateExifValue(ExifType::Float);
    std::string bytes;
    for (float f : values) bytes.append(reinterpret_cast<char const*>(&f), sizeof f);
    EXPECT_TRUE(value->Read(bytes.data(), values.size(), kHostByteOrder));
    return value;
}

TEST(OpenExrMetadatum, KeepsFormatCountAndUsesTheAttributesConversion) {
    auto store = std::make_shared<ReadStore>();
    Metadatum const unnamed(
        OpenExrMetadatum::Create(OpenExrKey{FieldGroup::OpenExr, "whiteLuminance", nullptr}, store,
                                 std::move(*Floats({1.5f, 2.5f})), 1));
    EXPECT_TRUE(unnamed.KeyIsKnown());  // every attribute counts as known
    EXPECT_EQ(unnamed.GetName(), "whiteLuminance");
    EXPECT_EQ(unnamed.GetId(), "whiteLuminance");
    EXPECT_EQ(unnamed.GetNamespace(), FieldNamespace::OpenExr);
    EXPECT_EQ(unnamed.GetValueCount(), 2u);
    EXPECT_EQ(unnamed.GetValueTypeAsString(), "FLOAT");
    EXPECT_EQ(unnamed.GetValueAsString(), "1.5 2.5");

    OpenExrAttribute named;
    named.name = "WhiteLuminance";
    named.displayConversion = [](Value const& v, ReadStore&) {
        return Value(std::to_string(v.Convert<std::vector<double>>().size()) + " values");
    };
    Metadatum const item(OpenExrMetadatum::Create(OpenExrKey{FieldGroup::OpenExr, "whiteLuminance", &named},
                                                  store, std::move(*Floats({1.5f, 2.5f})), 2));
    EXPECT_EQ(item.GetName(), "WhiteLuminance");  // the definition's name wins
    EXPECT_EQ(item.GetId(), "whiteLuminance");    // the id stays the attribute's
    EXPECT_EQ(item.GetPriority(), 2);
    EXPECT_EQ(item.GetDisplayValueAsString(), "2 values");
}

TEST(SigmaMetadatum, HoldsOneTextAndIsKnownOnlyWithADefinition) {
    auto store = std::make_shared<ReadStore>();
    Metadatum const unknown(SigmaMetadatum::Create(SigmaKey{FieldGroup::Sigma, "LENSMODEL", nullptr}, store,
                                                   std::string("17-50mm"), 1));
    EXPECT_FALSE(unknown.KeyIsKnown());
    EXPECT_EQ(unknown.GetValueTypeAsString(), "ASCII");
    EXPECT_EQ(unknown.GetValueCount(), 1u);
    EXPECT_EQ(unknown.GetDisplayValueAsString(), "17-50mm");
    EXPECT_EQ(unknown.GetNamespace(), FieldNamespace::Sigma);

    SigmaRawProperty lens;
    lens.name = "LensModel";
    Metadatum const known(SigmaMetadatum::Create(SigmaKey{FieldGroup::Sigma, "LENSMODEL", &lens}, store,
                                                 std::string("17-50mm"), 1));
    EXPECT_TRUE(known.KeyIsKnown());
    EXPECT_EQ(known.GetName(), "LensModel");
    EXPECT_EQ(known.GetId(), "LENSMODEL");

    // Both kinds live in a collection like any other item.
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    EXPECT_TRUE(metadata.Add(known));
    EXPECT_EQ(metadata.FindAny("LensModel").GetDisplayValueAsString(), "17-50mm");
}

}  // namespace
}  // namespace meta
