#include "varrow/formats/isobmff/property_boxes.h"

#include <memory>
#include <string>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/fields/key.h"
#include "varrow/formats/isobmff/box_data.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/items/simple_metadatums.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/values/fraction.h"

namespace meta::isobmff {
namespace {

void AddProperty(ParseContext& context, char const* name, Value value) {
    context.metadata.Add<IsobmffMetadatum>(
        IsobmffKey{name, FieldNamespace::IsoBaseMedia, FieldGroup::IsoBaseMedia}, std::move(value), 1);
}

void Append(ParseContext& context, FourCc type, std::function<ReadResult(ParseContext&)> apply) {
    context.model.properties.push_back(items::ItemProperty{type, std::move(apply)});
}

}  // namespace

ReadResult ReadIccProfile(ParseContext& context, std::string_view profile) {
    std::unique_ptr<Processor> const reader = ProcessorRegistry::CreateProcessor(
        ProcessorRegistry::FindByName("ICC Profile"), context.processor.GetOptions());
    if (!reader) return ReadResult::NotHandled;
    if (profile.empty()) return ReadResult::Error;
    InMemoryStream stream(profile.data(), profile.size());
    DataSource source(stream, 0);
    source.ProvisionRemainingData();
    return reader->Read(source, context.store, context.metadata, FieldGroup::IccProfile);
}

ReadResult IspeBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!data.Read(width) || !data.Read(height)) return ReadResult::Error;
    Append(GetContext(), FourCc::FromString("ispe"), [width, height](ParseContext& context) {
        AddProperty(context, "ImageWidth", width);
        AddProperty(context, "ImageHeight", height);
        return ReadResult::Success;
    });
    return ReadResult::Success;
}

ReadResult PaspBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint32_t horizontal = 0;
    std::uint32_t vertical = 0;
    if (!data.Read(horizontal) || !data.Read(vertical)) return ReadResult::Error;
    Append(GetContext(), FourCc::FromString("pasp"), [horizontal, vertical](ParseContext& context) {
        AddProperty(context, "PixelAspectRatio", Fraction(horizontal, vertical));
        return ReadResult::Success;
    });
    return ReadResult::Success;
}

ReadResult PixiBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint8_t channels = 0;
    if (!data.Read(channels)) return ReadResult::Error;
    std::vector<std::uint32_t> bits;
    bits.reserve(channels);
    for (std::uint8_t i = 0; i < channels; ++i) {
        std::uint8_t depth = 0;
        if (!data.Read(depth)) return ReadResult::Error;
        bits.push_back(depth);
    }
    Append(GetContext(), FourCc::FromString("pixi"),
           [channels, bits = std::move(bits)](ParseContext& context) {
               AddProperty(context, "SamplesPerPixel", std::uint32_t{channels});
               AddProperty(context, "BitsPerSample", bits);
               return ReadResult::Success;
           });
    return ReadResult::Success;
}

ReadResult ColrBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::string type;
    if (!data.Code(type)) return ReadResult::Error;
    if (type == "nclx") return ReadResult::NotHandled;
    if (type != "prof" && type != "rICC") return ReadResult::Error;
    // The window moves on before the property is applied: keep a copy.
    Append(GetContext(), FourCc::FromString("colr"),
           [profile = std::string(data.Rest())](ParseContext& context) {
               return ReadIccProfile(context, profile);
           });
    return ReadResult::Success;
}

}  // namespace meta::isobmff
