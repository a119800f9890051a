#include "varrow/formats/isobmff/box.h"

#include <algorithm>
#include <istream>
#include <memory>
#include <set>

#include "varrow/api/metadata.h"
#include "varrow/fields/key.h"
#include "varrow/formats/isobmff/box_data.h"
#include "varrow/formats/isobmff/provision.h"
#include "varrow/io/data_source.h"
#include "varrow/items/simple_metadatums.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/exif_type_info.h"

namespace meta::isobmff {
namespace {

std::unique_ptr<Processor> CreateByName(ParseContext const& context, char const* name) {
    return ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName(name),
                                              context.processor.GetOptions());
}

// Reads the bytes [at, at + length) with `processor`, starting `skip` bytes in.
ReadResult RunOn(ParseContext& context, Processor* processor, std::uint64_t at, std::uint64_t length,
                 std::size_t skip, FieldGroup group) {
    if (processor == nullptr) return ReadResult::Error;
    if (!ProvideRegion(context, at, length)) return ReadResult::Error;
    return Processor::SafeRead(processor, context.source, context.store, context.metadata, group, skip);
}

bool StartsWithTiffHeader(std::string_view bytes) {
    return bytes.size() >= 4 && (bytes.substr(0, 4) == std::string_view("II*\0", 4) ||
                                 bytes.substr(0, 4) == std::string_view("MM\0*", 4));
}

}  // namespace

std::istream& Entity::YieldStream() const {
    return context_.source.Yield();
}

Box::Box(ParseContext& context, BoxHeader const& header) noexcept
    : Entity(context),
      header_(header),
      payloadOffset_(header.GetPayloadOffset()),
      payloadSize_(header.GetPayloadSize()) {}

Box::Box(ParseContext& context, std::uint64_t payloadOffset, std::uint64_t payloadSize) noexcept
    : Entity(context),
      header_(BoxType(), 0, payloadOffset),
      payloadOffset_(payloadOffset),
      payloadSize_(payloadSize) {}

ReadResult Box::Read() {
    if (HasFlags()) {
        if (!ExtractFlags()) return ReadResult::Error;
        if (!IsSupported()) return ReadResult::NotHandled;
    }
    return Open();
}

bool Box::ExtractFlags() {
    if (payloadSize_ < 4 || !ProvideRegion(GetContext(), payloadOffset_, 4)) return false;
    BoxData data(GetContext().source.AsStringView());
    std::uint32_t word = 0;
    if (!data.Read(word)) return false;
    version_ = static_cast<std::uint8_t>(word >> 24);
    flags_ = word & 0x00FFFFFFu;
    return true;
}

std::optional<std::string_view> Box::LoadData() {
    std::uint64_t const size = GetDataSize();
    if (size > kMaxBoxPayload) return std::nullopt;
    if (size == 0) return std::string_view();
    if (!ProvideRegion(GetContext(), GetDataOffset(), size)) return std::nullopt;
    return GetContext().source.AsStringView().substr(0, static_cast<std::size_t>(size));
}

ReadResult Box::Judge(ReadResult result) const {
    if (result == ReadResult::Error && !GetContext().processor.GetOptions().stopOnError) {
        return ReadResult::NotHandled;
    }
    return result;
}

void Box::AddItem(FieldGroup group, std::string name, Value value) {
    ParseContext& context = GetContext();
    context.metadata.Add<IsobmffMetadatum>(IsobmffKey{std::move(name), GetGroupNamespace(group), group},
                                           std::move(value), 1);
}

ReadResult Box::Delegate(std::type_info const& type, BoxHeader const& box, FieldGroup group) {
    ParseContext& context = GetContext();
    std::unique_ptr<Processor> processor =
        ProcessorRegistry::CreateProcessor(&type, context.processor.GetOptions());
    if (!processor) return ReadResult::Error;
    // The size is resolved by now; an empty payload gives nothing to read.
    if (box.GetPayloadSize() == 0) return ReadResult::NotHandled;
    return RunOn(context, processor.get(), box.GetPayloadOffset(), box.GetPayloadSize(), 0, group);
}

ReadResult Box::DelegateTiff(BoxHeader const& box, FieldGroup group) {
    std::type_info const* type = ProcessorRegistry::FindByName("TIFF document");
    if (type == nullptr) return ReadResult::Error;
    return Delegate(*type, box, group);
}

ReadResult Box::DelegateXmp(BoxHeader const& box, FieldGroup group) {
    std::type_info const* type = ProcessorRegistry::FindByName("XMP document");
    if (type == nullptr) return ReadResult::Error;
    return Delegate(*type, box, group);
}

ReadResult Box::DelegateBinary(BoxHeader const& box, FieldGroup group, ExifType format) {
    std::type_info const* type = ProcessorRegistry::FindByName("Binary directory");
    if (type == nullptr) return ReadResult::Error;
    ExifType const effective = format == ExifType::Unknown ? ExifType::Undefined : format;
    std::size_t const element = std::max<std::size_t>(GetExifTypeSize(effective), 1);
    ReadStore& store = *GetContext().store;
    auto const count = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(box.GetPayloadSize() / element, std::uint64_t{0xFFFFFFFFu}));
    ScopedStoreSetter<&ReadStore::valueFormat> const keepFormat(store, effective);
    ScopedStoreSetter<&ReadStore::valueCount> const keepCount(store, count);
    ScopedStoreSetter<&ReadStore::currentGroup> const keepGroup(store, group);
    return Delegate(*type, box, group);
}

ReadResult Box::Follow(std::vector<items::DataExtractionInstruction>& instructions, long long limit) {
    ParseContext& context = GetContext();
    for (items::DataExtractionInstruction& instruction : instructions) {
        if (instruction.done) continue;
        if (instruction.constructionMethod == 2) continue;  // item offsets are not followed
        if (instruction.constructionMethod > 2) return ReadResult::Error;
        if (instruction.extentCount != 1 || !instruction.firstExtent) continue;

        std::uint64_t const origin = instruction.constructionMethod == 1 ? instruction.idatPosition : 0;
        items::Extent const& extent = *instruction.firstExtent;
        std::uint64_t const position = origin + instruction.baseOffset + extent.offset;
        if (position < origin || position < extent.offset || position >= context.inputLength) {
            instruction.done = true;
            if (Judge(ReadResult::Error) != ReadResult::NotHandled) return ReadResult::Error;
            continue;
        }
        // A zero length means the rest of the data.
        std::uint64_t const length = extent.length != 0 ? extent.length : context.inputLength - position;
        if (limit >= 0) {
            std::uint64_t const start = GetPayloadOffset();
            std::uint64_t const end =
                start + std::min<std::uint64_t>(GetPayloadSize(), static_cast<std::uint64_t>(limit));
            if (position < start || position > end || length > end - position) continue;
        }
        instruction.done = true;
        if (length > context.inputLength - position) {
            if (Judge(ReadResult::Error) != ReadResult::NotHandled) return ReadResult::Error;
            continue;
        }

        std::unique_ptr<Processor> processor;
        std::size_t skip = 0;
        FieldGroup group = FieldGroup::Unknown;
        switch (instruction.kind) {
            case items::ExtractionKind::Exif: {
                // The item opens with the offset of the TIFF header after the
                // field, normally 6 for "Exif\0\0".
                constexpr std::uint64_t kUsualSkip = 10;
                if (length <= kUsualSkip) continue;
                if (!ProvideRegion(context, position, std::min<std::uint64_t>(length, 64)))
                    return ReadResult::Error;
                BoxData head(context.source.AsStringView());
                std::uint32_t headerOffset = 0;
                skip = kUsualSkip;
                if (head.Read(headerOffset) && headerOffset <= 56 &&
                    StartsWithTiffHeader(
                        head.Rest().substr(std::min<std::size_t>(headerOffset, head.Remaining())))) {
                    skip = 4 + headerOffset;
                }
                processor = CreateByName(context, "TIFF document");
                break;
            }
            case items::ExtractionKind::Xmp:
                processor = CreateByName(context, "XMP document");
                group = FieldGroup::Xmp;
                break;
            case items::ExtractionKind::CanonTimedMetadata:
                processor = CreateByName(context, kCanonTimedMetadataProcessor);
                break;
        }
        if (!processor) continue;  // the block's reader is not linked in
        ScopedStoreSetter<&ReadStore::valueCount> const records(
            *context.store, instruction.kind == items::ExtractionKind::CanonTimedMetadata
                                ? instruction.recordCount
                                : context.store->valueCount);
        ReadResult const result = Judge(RunOn(context, processor.get(), position, length, skip, group));
        if (result > ReadResult::NotHandled) return result;
    }
    return ReadResult::Success;
}

bool ContainerBox::CanBeNext(BoxType const& type) {
    std::vector<BoxType> const order = GetEnforcedChildOrder();
    auto const found = std::find(order.begin(), order.end(), type);
    if (found == order.end()) return true;
    auto const index = static_cast<std::size_t>(found - order.begin());
    if (index < orderPosition_) return false;
    orderPosition_ = index;
    return true;
}

ReadResult ContainerBox::OpenImpl(std::uint64_t preamble) {
    ParseContext& context = GetContext();
    std::uint64_t const end = GetDataOffset() + GetDataSize();
    if (preamble > GetDataSize()) return ReadResult::Error;
    std::uint64_t position = GetDataOffset() + preamble;
    std::set<BoxType> const mandatory = GetMandatoryChildren();
    std::set<BoxType> seen;

    while (position < end) {
        std::uint64_t const available = end - position;
        BoxHeader child;
        if (!BoxHeader::Read(context.source, position, available, child)) {
            if (IsLenient() && available < 8) break;  // padding after the last box
            return ReadResult::Error;
        }
        std::uint64_t size = child.GetSize();
        if (size == 0) size = available;
        if (size > available) {
            if (!IsLenient()) return ReadResult::Error;
            size = available;  // cut short by the end of the input
        }
        if (size < child.GetHeaderSize()) return ReadResult::Error;
        child.Shrink(size);
        if (!CanBeNext(child.GetTypeBytes())) return ReadResult::Error;

        bool const exempt = child.GetTypeBytes() == Type("mdat") || child.GetTypeBytes() == Type("idat");
        if (exempt || child.GetPayloadSize() <= kMaxBoxPayload) {
            ReadResult const result = Judge(HandleChild(context.source.GetInputStream(), child));
            if (result > ReadResult::NotHandled) return result;
        }
        if (mandatory.count(child.GetTypeBytes()) != 0) seen.insert(child.GetTypeBytes());
        position += size;
    }
    context.source.UnprovisionData();

    return seen.size() == mandatory.size() ? ReadResult::Success : ReadResult::Error;
}

}  // namespace meta::isobmff
