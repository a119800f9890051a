// The text chunks of PNG files and the blocks they carry: plain text items,
// XMP packets, raw profiles in hexadecimal and, through zlib, compressed
// text and ICC profiles.

#include <optional>
#include <string>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/formats/png/png_chunks.h"
#include "varrow/formats/png/png_inflate.h"
#include "varrow/formats/png/png_item.h"
#include "varrow/formats/png/png_processor.h"
#include "varrow/formats/png/png_processor_impl.h"
#include "varrow/formats/png/png_text.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

constexpr std::string_view kRawProfilePrefix = "Raw profile type ";
constexpr std::string_view kXmpKeyword = "XML:com.adobe.xmp";
constexpr std::string_view kXmpNamespaceId("http://ns.adobe.com/xap/1.0/\0", 29);

}  // namespace

ReadResult PngProcessor::ReadTextChunk(std::string_view keyword, DataSource& source,
                                       std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                                       TextAttributes attributes) {
    if (!store) return ReadResult::Error;
    std::string_view const text = detail::RestOfWindow(source);
    if (keyword == kXmpKeyword) {
        if (text.empty()) return ReadResult::NotHandled;
        return Judge(Hand(detail::kPngXmpReader, source, store, metadata, FieldGroup::Xmp, false));
    }
    if (detail::StartsWithBytes(keyword, kRawProfilePrefix))
        return ReadRawProfile(keyword, text, attributes.latin1, store, metadata);
    if (text.empty()) return ReadResult::NotHandled;

    std::string name = detail::PngTextItemName(keyword);
    if (name.empty()) return ReadResult::NotHandled;
    if (!attributes.language.empty()) {
        name += '-';
        name += attributes.language;
    }
    std::string value = attributes.latin1 ? detail::Latin1ToUtf8(text) : std::string(text);
    // The dates of these two keywords are XMP dates, shown in EXIF form.
    Value display =
        name == "CreateDate" || name == "ModDate" ? Value(detail::XmpDateAsExif(value)) : Value(value);
    bool const added = metadata.Add<PngMetadatum>(PngKey{FieldGroup::Png, std::move(name)}, store,
                                                  Value(std::move(value)), std::move(display));
    return added ? ReadResult::Success : ReadResult::NotHandled;
}

ReadResult PngProcessor::ReadRawProfile(std::string_view keyword, std::string_view text, bool latin1,
                                        std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    auto addBinary = [&](std::string name, std::string_view bytes) {
        Value display = PackedBinarySummary(bytes.size());
        std::vector<meta::byte> raw(bytes.size());
        std::transform(bytes.begin(), bytes.end(), raw.begin(),
                       [](char c) { return static_cast<meta::byte>(c); });
        metadata.Add<PngMetadatum>(PngKey{FieldGroup::Png, std::move(name)}, store, Value(std::move(raw)),
                                   std::move(display));
    };

    std::string_view const kind = keyword.substr(kRawProfilePrefix.size());
    bool const photoshop = kind == "8bim";
    bool const icc = kind == "icc" || kind == "icm";
    if (!photoshop && !icc && kind != "exif" && kind != "APP1" && kind != "xmp" && kind != "iptc") {
        // A profile nobody reads is kept as it is stored, under a name made
        // from the keyword.
        std::string name = detail::PngTextItemName(keyword);
        if (name.empty()) return ReadResult::NotHandled;
        std::string const stored = latin1 ? detail::Latin1ToUtf8(text) : std::string(text);
        addBinary(std::move(name), stored);
        return ReadResult::Success;
    }

    std::optional<detail::RawProfileHeader> const header = detail::SplitRawProfile(text);
    if (!header) return ReadResult::Error;
    std::string bytes;
    if (!detail::DecodeRawProfileHex(text.substr(header->dataOffset), bytes)) return ReadResult::Error;
    std::string_view const decoded(bytes);

    char const* target = nullptr;
    FieldGroup group = FieldGroup::Unknown;
    std::size_t skip = 0;
    if (photoshop) {
        addBinary("Photoshop_Profile", decoded);
        target = detail::kPngPhotoshopReader;
    } else if (icc) {
        addBinary("ICC_Profile", decoded);
        target = detail::kPngIccReader;
        group = FieldGroup::IccProfile;
    } else if (detail::StartsWithBytes(decoded, detail::kPngExifId)) {
        target = detail::kPngTiffReader;
        skip = detail::kPngExifId.size();
    } else if (detail::StartsWithBytes(decoded, std::string_view("MM\0*", 4)) ||
               detail::StartsWithBytes(decoded, std::string_view("II*\0", 4))) {
        target = detail::kPngTiffReader;
    } else if (detail::StartsWithBytes(decoded, kXmpNamespaceId)) {
        target = detail::kPngXmpReader;
        skip = kXmpNamespaceId.size();
    } else if (kind == "xmp") {
        target = detail::kPngXmpReader;
    } else if (kind == "iptc") {
        target = !decoded.empty() && decoded.front() == '\x1c' ? detail::kPngIptcReader
                                                               : detail::kPngPhotoshopReader;
    } else {
        return ReadResult::NotHandled;
    }
    if (decoded.size() <= skip) return ReadResult::NotHandled;

    InMemoryStream stream(decoded.data() + skip, decoded.size() - skip);
    DataSource profile(stream, 0);
    if (!profile.ProvisionRemainingData()) return ReadResult::Error;
    if (target == detail::kPngXmpReader) group = FieldGroup::Xmp;
    return Judge(Hand(target, profile, store, metadata, group, target == detail::kPngTiffReader));
}

ReadResult PngProcessor::ReadCompressedTextChunk(std::string_view keyword, DataSource& source,
                                                 std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                                                 FieldGroup group, InflatedHandler const& handler) {
    return ReadCompressed(keyword, source, store, metadata, group, handler, Undecoded::Dropped);
}

ReadResult PngProcessor::ReadCompressed(std::string_view keyword, DataSource& source,
                                        std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                                        FieldGroup group, InflatedHandler const& handler, Undecoded keep) {
    std::string inflated;
    detail::InflateStatus const status =
        detail::InflateZlib(detail::RestOfWindow(source), detail::kMaxInflatedSize, inflated);
    if (status != detail::InflateStatus::Complete) {
        // Damaged data is not lost silently: what inflated before the damage
        // is kept as binary data, and a profile keeps its name. Output cut
        // at the size limit is not worth keeping.
        if (!store || status == detail::InflateStatus::TooLarge) return ReadResult::Error;
        auto keepBytes = [&](std::string name) {
            metadata.Add<PngMetadatum>(PngKey{FieldGroup::Png, std::move(name)}, store,
                                       Value(detail::ToByteVector(inflated)),
                                       PackedBinarySummary(inflated.size()));
        };
        if (keep == Undecoded::TextItem) {
            if (std::string name = detail::PngTextItemName(keyword); !name.empty())
                keepBytes(std::move(name));
        } else if (keep == Undecoded::ProfileName) {
            metadata.Add<PngMetadatum>(PngKey{FieldGroup::Png, "ProfileName"}, store,
                                       Value(detail::Latin1ToUtf8(keyword)));
            keepBytes("ICC_Profile");
        }
        return ReadResult::Error;
    }
    InMemoryStream stream(inflated.data(), inflated.size());
    DataSource text(stream, 0);
    if (!inflated.empty() && !text.ProvisionRemainingData()) return ReadResult::Error;
    if (!handler) return ReadResult::NotHandled;
    return handler(keyword, text, store, metadata, group);
}

ReadResult PngProcessor::ReadIccProfileChunk(std::string_view name, DataSource& source,
                                             std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                                             FieldGroup group) {
    if (!store) return ReadResult::Error;
    metadata.Add<PngMetadatum>(PngKey{FieldGroup::Png, "ProfileName"}, store,
                               Value(detail::Latin1ToUtf8(name)));
    if (detail::RestOfWindow(source).empty()) return ReadResult::NotHandled;
    return Judge(Hand(detail::kPngIccReader, source, store, metadata, group, false));
}

ReadResult PngProcessor::Hand(char const* processorName, DataSource& source,
                              std::shared_ptr<ReadStore> const& store, Metadata& metadata, FieldGroup group,
                              bool safe) const {
    std::unique_ptr<Processor> const processor =
        ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName(processorName), GetOptions());
    if (!processor) return ReadResult::NotHandled;
    if (safe) return SafeRead(processor.get(), source, store, metadata, group, 0);
    return processor->Read(source, store, metadata, group);
}

ReadResult PngProcessor::Judge(ReadResult result) const {
    if (result == ReadResult::Error && !GetOptions().stopOnError) return ReadResult::NotHandled;
    return result;
}

}  // namespace meta
