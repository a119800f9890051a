#include "varrow/blocks/icc/icc_profile_processor.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/blocks/icc/icc_mluc.h"
#include "varrow/blocks/icc/icc_tag_types.h"
#include "varrow/fields/field_database.h"
#include "varrow/io/data_source.h"
#include "varrow/items/exif_metadatum.h"
#include "varrow/items/item_priority.h"
#include "varrow/processors/directory_reader.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"
#include "varrow/processors/record_processors.h"
#include "varrow/values/exif_value_text.h"

namespace meta {

namespace {

ProcessorRegistration<IccProfileProcessor> const kRegistration("ICC Profile");

constexpr std::uint32_t kHeaderSize = 128;
constexpr std::uint32_t kTagTableAt = 132;
constexpr std::uint32_t kTagEntrySize = 12;
constexpr std::uint32_t kMaxTags = 255;

struct TagEntry {
    std::string_view signature;
    std::uint32_t offset;
    std::uint32_t size;
};

std::streampos WindowPos(std::size_t at) {
    return std::streampos(static_cast<std::streamoff>(at));
}

// The tag table, checked as a whole: every tag lies inside the profile.
std::optional<std::vector<TagEntry>> ReadTagTable(std::string_view profile, std::uint32_t count) {
    std::vector<TagEntry> tags;
    tags.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::size_t const at = kTagTableAt + std::size_t{i} * kTagEntrySize;
        TagEntry const tag{profile.substr(at, 4), detail::IccBigEndian32(profile, at + 4),
                           detail::IccBigEndian32(profile, at + 8)};
        if (std::uint64_t{tag.offset} + tag.size > profile.size()) return std::nullopt;
        tags.push_back(tag);
    }
    return tags;
}

class ProfileReader {
  public:
    ProfileReader(IccProfileProcessor& processor, DataSource& source, std::shared_ptr<ReadStore> const& store,
                  Metadata& metadata, FieldGroup group, std::size_t start, std::string_view profile)
        : processor_(processor),
          source_(source),
          store_(store),
          metadata_(metadata),
          group_(group),
          start_(start),
          profile_(profile) {}

    ReadResult ReadHeader();
    ReadResult ReadTag(TagEntry const& tag);

  private:
    ReadResult ReadLocalisedText(std::string_view signature, IccProfileTag const* field,
                                 std::string_view data);

    IccProfileProcessor& processor_;
    DataSource& source_;
    std::shared_ptr<ReadStore> const& store_;
    Metadata& metadata_;
    FieldGroup group_;
    std::size_t start_;
    std::string_view profile_;
};

ReadResult ProfileReader::ReadHeader() {
    std::unique_ptr<Processor> const binary =
        ProcessorRegistry::CreateProcessor(&typeid(BinaryProcessor), processor_.GetOptions());
    if (!binary) return ReadResult::Error;
    auto const limit = source_.HoldUsableBytes();
    source_.MarkAsUsable(start_ + kHeaderSize);
    if (!source_.SeekBufferTo(WindowPos(start_), true)) return ReadResult::Error;
    ScopedStoreSetter<&ReadStore::valueFormat> const format(*store_, ExifType::Undefined);
    ScopedStoreSetter<&ReadStore::valueCount> const count(*store_, kHeaderSize);
    ScopedStoreSetter<&ReadStore::currentGroup> const current(*store_, FieldGroup::IccProfileHeader);
    return binary->Read(source_, store_, metadata_, FieldGroup::IccProfileHeader);
}

ReadResult ProfileReader::ReadTag(TagEntry const& tag) {
    bool const readUnknown = processor_.GetOptions().readUnknownTags;
    // Signatures are case-sensitive: "desc" and "DESC" are different tags.
    IccProfileTag const* field = FieldDatabase<IccProfileTag>::Find(tag.signature, group_, *store_, true);
    if (field == nullptr ? !readUnknown
                         : field->visibility > 1 || (field->visibility == 1 && !readUnknown) ||
                               !field->subDirectories.empty()) {
        return ReadResult::NotHandled;
    }

    std::string_view const data = profile_.substr(tag.offset, tag.size);
    if (data.size() >= 4 && data.substr(0, 4) == detail::kIccMlucType)
        return ReadLocalisedText(tag.signature, field, data);
    std::optional<detail::IccTagLayout> const layout = detail::GetIccTagLayout(data);
    if (!layout) return ReadResult::NotHandled;

    // A failed read of an earlier tag must not spoil this one.
    source_.AsStream().clear();
    if (!source_.SeekBufferTo(WindowPos(start_ + tag.offset + layout->offset), true))
        return ReadResult::Error;
    return GenerateMetadatum<IccProfileTag>(
        processor_, source_, store_, metadata_, std::optional<std::string>(tag.signature), field, group_,
        layout->format, layout->count, DataFencingStrategy::Passthrough, 1);
}

ReadResult ProfileReader::ReadLocalisedText(std::string_view signature, IccProfileTag const* field,
                                            std::string_view data) {
    std::vector<detail::IccMlucRecord> const records = detail::ReadIccMlucRecords(data);
    // A record that cannot be decoded ends the tag's records.
    std::vector<Utf16ExifValue> texts(records.size());
    std::size_t readable = 0;
    while (readable < records.size() &&
           texts[readable].Read(records[readable].text.data(), records[readable].text.size(),
                                ByteOrder::BigEndian)) {
        ++readable;
    }
    // Every record becomes an item of the same name and the one added last
    // wins lookups by name: the default text (US English, else the first
    // record) goes last, the translations keep their stored order.
    std::size_t preferred = 0;
    for (std::size_t i = 0; i < readable; ++i) {
        if (records[i].language == "en" && records[i].country == "US") {
            preferred = i;
            break;
        }
    }

    int const priority = ComputeItemPriority(group_, field != nullptr ? field->priority : 1, *store_);
    bool added = false;
    auto const add = [&](std::size_t i) {
        added = metadata_.Add<ExifMetadatum<IccProfileTag>>(
                    ExifKey<IccProfileTag>(std::string(signature), group_, field), store_,
                    std::move(texts[i]), priority) ||
                added;
    };
    for (std::size_t i = 0; i < readable; ++i) {
        if (i != preferred) add(i);
    }
    if (readable != 0) add(preferred);
    return added ? ReadResult::Success : ReadResult::NotHandled;
}

}  // namespace

ReadResult IccProfileProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                     Metadata& metadata, FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    if (source.GetBytesProvisioned() == 0) source.ProvisionRemainingData();
    ScopedStoreSetter<&ReadStore::byteOrder> const order(*store, ByteOrder::BigEndian);
    if (group == FieldGroup::Unknown) group = FieldGroup::IccProfile;

    std::streamoff const cursor = source.GetBufferPos();
    std::string_view const window = source.AsStringView(false);
    std::size_t const end = std::min(source.GetBytesUsable(true), window.size());
    if (cursor < 0 || static_cast<std::size_t>(cursor) > end) return ReadResult::Error;
    auto const start = static_cast<std::size_t>(cursor);
    std::string_view const profile = window.substr(start, end - start);

    if (profile.size() < 4) return ReadResult::Error;
    std::uint32_t const size = detail::IccBigEndian32(profile, 0);
    if (size < kHeaderSize || size != profile.size() || size < kTagTableAt) return ReadResult::Error;
    std::uint32_t const count = detail::IccBigEndian32(profile, kHeaderSize);
    if (count == 0 || count > kMaxTags || profile.size() < kTagTableAt + std::size_t{count} * kTagEntrySize)
        return ReadResult::Error;

    ProfileReader reader(*this, source, store, metadata, group, start, profile);
    if (ReadResult const header = reader.ReadHeader();
        header == ReadResult::Error || header == ReadResult::Fatal)
        return header;
    std::optional<std::vector<TagEntry>> const tags = ReadTagTable(profile, count);
    if (!tags) return ReadResult::Error;

    for (TagEntry const& tag : *tags) {
        ReadResult const result = reader.ReadTag(tag);
        if (result == ReadResult::Fatal || (result == ReadResult::Error && GetOptions().stopOnError))
            return result;
    }
    return ReadResult::Success;
}

}  // namespace meta
