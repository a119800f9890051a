#include "varrow/blocks/iptc/iptc_processor.h"

#include <algorithm>
#include <cstdint>
#include <ios>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/blocks/iptc/create_iptc_value.h"
#include "varrow/blocks/iptc/iptc_key_order.h"
#include "varrow/blocks/iptc/iptc_read_impl.h"
#include "varrow/fields/field_database.h"
#include "varrow/io/data_source.h"
#include "varrow/items/iptc_metadatum.h"
#include "varrow/items/item_priority.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

ProcessorRegistration<IptcProcessor> const kRegistration("IPTC");

constexpr unsigned char kTagMarker = 0x1C;
constexpr std::size_t kHeaderSize = 5;  // marker, record, dataset, u16 length
constexpr std::size_t kMaxLengthOctets = 8;
constexpr std::uint8_t kApplicationRecord = 2;

using Collected = std::multimap<IptcKey, std::unique_ptr<IptcValue>, IptcKeyLess>;

unsigned char At(std::string_view bytes, std::size_t i) noexcept {
    return static_cast<unsigned char>(bytes[i]);
}

// Without a definition: short data that starts with a small byte is most
// likely a number, anything else is kept as bytes.
IptcType GuessType(std::string_view data) noexcept {
    if (data.size() > 4 || data.size() == 3 || (!data.empty() && At(data, 0) >= 9))
        return IptcType::Undefined;
    return IptcType::Long;
}

bool ShouldRead(IptcTag const* definition, Options const& options) noexcept {
    if (definition == nullptr) return options.readUnknownTags;
    if (definition->delayed) return false;
    if (definition->visibility == 0) return true;
    return definition->visibility == 1 && options.readUnknownTags;
}

FieldGroup GroupOf(std::uint8_t record, FieldGroup blockGroup) noexcept {
    if (blockGroup == FieldGroup::Photomechanic && record == kApplicationRecord)
        return FieldGroup::Photomechanic;
    return GetIptcFieldGroup(record);
}

class DatasetReader {
  public:
    DatasetReader(std::string_view block, ReadStore& store, Options const& options, FieldGroup blockGroup)
        : block_(block), store_(store), options_(options), blockGroup_(blockGroup) {}

    // Walks the datasets; Success when the block ended (or non-IIM bytes
    // began), Error for damage. `pos` ends after the last byte consumed.
    ReadResult Run(Collected& values) {
        while (block_.size() - pos_ > kHeaderSize) {
            if (At(block_, pos_) != kTagMarker) return ReadResult::Success;
            std::uint8_t const record = At(block_, pos_ + 1);
            std::uint8_t const dataset = At(block_, pos_ + 2);
            auto length = static_cast<std::uint64_t>((At(block_, pos_ + 3) << 8) | At(block_, pos_ + 4));
            pos_ += kHeaderSize;

            if ((length & 0x8000U) != 0) {
                auto const octets = static_cast<std::size_t>(length & 0x7FFFU);
                if (octets > kMaxLengthOctets || octets > block_.size() - pos_) return ReadResult::Error;
                length = detail::FoldBigEndian(reinterpret_cast<unsigned char const*>(block_.data() + pos_),
                                               octets);
                pos_ += octets;
            }
            if (length > block_.size() - pos_) return ReadResult::Error;
            std::string_view const data = block_.substr(pos_, static_cast<std::size_t>(length));
            pos_ += data.size();

            FieldGroup const group = GroupOf(record, blockGroup_);
            if (group == FieldGroup::Unknown) continue;
            IptcTag const* definition = FieldDatabase<IptcTag>::Find(dataset, group, store_);
            if (!ShouldRead(definition, options_)) continue;

            IptcType type = definition != nullptr ? definition->overrideFormat : IptcType{};
            unsigned long minLength = 0;
            unsigned long maxLength = 0;
            if (static_cast<std::uint32_t>(type) == 0) {
                type = GuessType(data);
            } else {
                minLength = definition->minLength;
                maxLength = definition->maxLength;
            }
            std::unique_ptr<IptcValue> value = CreateIptcValue(type);
            if (!value) return ReadResult::Error;
            if (value->Read(data.data(), static_cast<unsigned long>(data.size()), minLength, maxLength)) {
                values.emplace(IptcKey(dataset, group, definition), std::move(value));
            }
        }
        return ReadResult::Success;
    }

    std::size_t Consumed() const noexcept { return pos_; }

  private:
    std::string_view block_;
    ReadStore& store_;
    Options const& options_;
    FieldGroup blockGroup_;
    std::size_t pos_ = 0;
};

// One item per key; repetitions of a dataset share it, in file order.
void AddItems(Collected& values, std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    for (auto it = values.begin(); it != values.end();) {
        auto const end = values.upper_bound(it->first);
        IptcKey const& key = it->first;
        IptcTag const* definition = key.GetField();
        int const priority =
            ComputeItemPriority(key.GetGroup(), definition != nullptr ? definition->priority : 1, *store);
        if (std::next(it) == end) {
            metadata.Add(Metadatum(IptcMetadatum::Create(key, store, std::move(*it->second), priority)));
        } else {
            std::vector<std::unique_ptr<IptcValue>> run;
            for (auto r = it; r != end; ++r) run.push_back(std::move(r->second));
            metadata.Add(Metadatum(IptcMetadatum::Create(key, store, std::move(run), priority)));
        }
        it = end;
    }
}

}  // namespace

ReadResult IptcProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                               Metadata& metadata, FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    ScopedStoreSetter<&ReadStore::byteOrder> const order(*store, ByteOrder::BigEndian);

    // A block handed over on a source of its own (a TIFF tag's value through
    // SafeRead) arrives without a window and without a fence; over memory
    // providing the window is only a view. A fenced source is taken as given.
    if (source.GetBytesProvisioned() == 0 &&
        source.GetBytesUsable(false) == std::numeric_limits<std::size_t>::max()) {
        source.ProvisionRemainingData();
    }
    std::string_view const window = source.AsStringView(false);
    auto const cursor = static_cast<std::size_t>(std::streamoff(source.GetBufferPos()));
    std::size_t const end = std::min(window.size(), source.GetBytesUsable(true));
    std::string_view const block = cursor < end ? window.substr(cursor, end - cursor) : std::string_view();

    // Bytes that only look like IIM from the fourth byte on are something
    // else that happens to contain a marker.
    if (block.size() >= 4 && At(block, 0) != kTagMarker && At(block, 3) == kTagMarker)
        return ReadResult::Error;

    Collected values;
    DatasetReader reader(block, *store, GetOptions(), group);
    ReadResult const result = reader.Run(values);
    if (!block.empty())
        source.SeekBufferTo(std::streampos(static_cast<std::streamoff>(cursor + reader.Consumed())));
    AddItems(values, store, metadata);
    return result;
}

}  // namespace meta
