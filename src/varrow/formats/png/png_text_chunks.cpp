// The text chunks of PNG files and the blocks they carry: comments, XMP
// packets, raw profiles in hexadecimal and, through zlib, compressed text
// and ICC profiles.

#include <array>
#include <optional>
#include <string>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/fields/key.h"
#include "varrow/formats/png/png_inflate.h"
#include "varrow/formats/png/png_processor.h"
#include "varrow/formats/png/png_processor_impl.h"
#include "varrow/formats/png/png_text.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/items/simple_metadatums.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

using PngKey = GenericStringKey<FieldNamespace::Png>;

constexpr std::size_t kShortestKeyword = 7;  // "Comment"
constexpr std::size_t kLongestKeyword = 21;  // "Raw profile type exif"

constexpr std::string_view kCommentKeyword = "Comment";
constexpr std::string_view kXmpKeyword = "XML:com.adobe.xmp";
constexpr std::string_view kRawXmpKeyword = "Raw profile type xmp";
constexpr std::string_view kRawIptcKeyword = "Raw profile type iptc";
constexpr std::array<std::string_view, 4> kRawProfileKeywords{kRawXmpKeyword, "Raw profile type exif",
                                                              kRawIptcKeyword, "Raw profile type APP1"};

constexpr std::string_view kExifId("Exif\0\0", 6);
constexpr std::string_view kTiffBigEndian("MM\0*", 4);
constexpr std::string_view kTiffLittleEndian("II*\0", 4);
// The namespace of the XMP basic schema, as JPEG APP1 segments name XMP.
constexpr std::string_view kXmpNamespaceId("http://ns.adobe.com/xap/1.0/\0", 29);

}  // namespace

ReadResult PngProcessor::ReadTextChunk(std::string_view keyword, DataSource& source,
                                       std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    if (keyword.size() < kShortestKeyword || keyword.size() > kLongestKeyword) return ReadResult::NotHandled;
    if (!store) return ReadResult::Error;
    std::string_view const text = detail::RestOfWindow(source);

    if (keyword == kCommentKeyword) {
        if (text.empty()) return ReadResult::NotHandled;
        return metadata.Add<GenericMetadatum<PngKey>>(PngKey{FieldGroup::Png, "Comment"}, store,
                                                      Value(std::string(text)))
                   ? ReadResult::Success
                   : ReadResult::Error;
    }
    if (keyword == kXmpKeyword) {
        // Without text the XMP reader would take the whole input for a packet.
        if (text.empty()) return ReadResult::NotHandled;
        return Judge(Hand(detail::kPngXmpReader, source, store, metadata, FieldGroup::Xmp, false));
    }
    for (std::string_view const raw : kRawProfileKeywords) {
        if (keyword == raw) return ReadRawProfile(keyword, text, store, metadata);
    }
    return ReadResult::NotHandled;
}

ReadResult PngProcessor::ReadRawProfile(std::string_view keyword, std::string_view text,
                                        std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    std::optional<detail::RawProfileHeader> const header = detail::SplitRawProfile(text);
    if (!header) return ReadResult::Error;
    std::string bytes;
    if (!detail::DecodeRawProfileHex(text.substr(header->dataOffset), bytes)) return ReadResult::Error;
    std::string_view const decoded(bytes);

    char const* target = nullptr;
    std::size_t skip = 0;
    if (detail::StartsWithBytes(decoded, kExifId)) {
        target = detail::kPngTiffReader;
        skip = kExifId.size();
    } else if (detail::StartsWithBytes(decoded, kTiffBigEndian) ||
               detail::StartsWithBytes(decoded, kTiffLittleEndian)) {
        target = detail::kPngTiffReader;
    } else if (detail::StartsWithBytes(decoded, kXmpNamespaceId)) {
        target = detail::kPngXmpReader;
        skip = kXmpNamespaceId.size();
    } else if (keyword == kRawXmpKeyword) {
        target = detail::kPngXmpReader;
    } else if (keyword == kRawIptcKeyword) {
        target = !decoded.empty() && decoded.front() == '\x1c' ? detail::kPngIptcReader
                                                               : detail::kPngPhotoshopReader;
    } else {
        return ReadResult::NotHandled;
    }
    // An empty block would make the readers go looking in the (empty) input.
    if (decoded.size() <= skip) return Judge(ReadResult::Error);

    InMemoryStream stream(decoded.data() + skip, decoded.size() - skip);
    DataSource block(stream, 0);
    if (!block.ProvisionRemainingData()) return Judge(ReadResult::Error);
    return Judge(Hand(target, block, store, metadata, FieldGroup::Unknown, target == detail::kPngTiffReader));
}

ReadResult PngProcessor::ReadCompressedTextChunk(std::string_view keyword, DataSource& source,
                                                 std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                                                 FieldGroup group, InflatedHandler const& handler) {
    std::string inflated;
    if (detail::InflateZlib(detail::RestOfWindow(source), detail::kMaxInflatedSize, inflated) !=
        detail::InflateStatus::Complete) {
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
    metadata.Add<GenericMetadatum<PngKey>>(PngKey{FieldGroup::Png, "ProfileName"}, store,
                                           Value(std::string(name)));
    // An empty profile would make the reader go looking in the (empty) input.
    if (detail::RestOfWindow(source).empty()) return Judge(ReadResult::Error);
    return Judge(Hand(detail::kPngIccReader, source, store, metadata, group, false));
}

ReadResult PngProcessor::Hand(char const* processorName, DataSource& source,
                              std::shared_ptr<ReadStore> const& store, Metadata& metadata, FieldGroup group,
                              bool fenced) const {
    std::unique_ptr<Processor> const processor =
        ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName(processorName), GetOptions());
    if (!processor) return ReadResult::Error;
    if (fenced) return SafeRead(processor.get(), source, store, metadata, group, 0);
    return processor->Read(source, store, metadata, group);
}

ReadResult PngProcessor::Judge(ReadResult result) const {
    if (result == ReadResult::Error && !GetOptions().stopOnError) return ReadResult::NotHandled;
    return result;
}

}  // namespace meta
