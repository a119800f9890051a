#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"
#include "varrow/formats/isobmff/box_header.h"
#include "varrow/formats/isobmff/parse_context.h"
#include "varrow/processors/read_result.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/value.h"

namespace meta::isobmff {

// Payloads larger than this are passed over, except those of "mdat" and
// "idat", which are only ever read in part.
inline constexpr std::uint64_t kMaxBoxPayload = std::uint64_t{32} << 20;

// Anything that reads within one parse.
class VARROW_API Entity {
  public:
    explicit Entity(ParseContext& context) noexcept : context_(context) {}
    ParseContext& GetContext() const noexcept { return context_; }
    // The read's input stream, for boxes that read it directly.
    std::istream& YieldStream() const;

  private:
    ParseContext& context_;
};

// One box. Read() checks the version and flags of a full box and then calls
// Open(), which reads the payload; PostRead() runs after a successful read.
class VARROW_API Box : public Entity {
  public:
    // `header` has its size resolved (never 0).
    Box(ParseContext& context, BoxHeader const& header) noexcept;
    virtual ~Box() = default;
    Box(Box const&) = delete;
    Box& operator=(Box const&) = delete;

    ReadResult Read();
    virtual ReadResult PostRead() { return ReadResult::Success; }
    ReadResult SkipBox() const noexcept { return ReadResult::NotHandled; }

    BoxHeader const& GetHeader() const noexcept { return header_; }
    std::uint8_t GetVersion() const noexcept { return version_; }
    std::uint32_t GetFlags() const noexcept { return flags_; }

    // Hand the payload of `box` (a child of this one) to another processor,
    // which sees a source whose first byte is the payload's first byte.
    ReadResult Delegate(std::type_info const& type, BoxHeader const& box, FieldGroup group);
    ReadResult DelegateTiff(BoxHeader const& box, FieldGroup group);
    ReadResult DelegateXmp(BoxHeader const& box, FieldGroup group);
    // A binary record of `format` elements (0: undefined bytes).
    ReadResult DelegateBinary(BoxHeader const& box, FieldGroup group, ExifType format);
    // Reads the child `box` with a class of its own.
    template <class T, class... Args>
    ReadResult DelegateBox(BoxHeader const& box, Args&&... args) {
        T child(GetContext(), box, std::forward<Args>(args)...);
        ReadResult const result = child.Read();
        if (result != ReadResult::Success) return result;
        return child.PostRead();
    }
    // Runs the extraction instructions not yet done. With a limit (>= 0,
    // the size of this box) only those whose data lies inside this box's
    // payload run; the others wait.
    ReadResult Follow(std::vector<items::DataExtractionInstruction>& instructions, long long limit);

  protected:
    // For the root, which has no header.
    Box(ParseContext& context, std::uint64_t payloadOffset, std::uint64_t payloadSize) noexcept;

    virtual ReadResult Open() = 0;
    virtual bool HasFlags() const { return false; }
    virtual bool IsSupported() const { return true; }
    // Reads the version/flags word at the payload's start.
    bool ExtractFlags();

    std::uint64_t GetPayloadOffset() const noexcept { return payloadOffset_; }
    std::uint64_t GetPayloadSize() const noexcept { return payloadSize_; }
    // The payload after the version/flags word of a full box.
    std::uint64_t GetDataOffset() const noexcept { return payloadOffset_ + (HasFlags() ? 4u : 0u); }
    std::uint64_t GetDataSize() const noexcept {
        std::uint64_t const skip = HasFlags() ? 4u : 0u;
        return payloadSize_ > skip ? payloadSize_ - skip : 0;
    }
    // The bytes after the version/flags word; valid until the next read of
    // the source. Nullopt when they cannot be read or are too many.
    std::optional<std::string_view> LoadData();

    // The sub-read rule: Error counts only under stopOnError.
    ReadResult Judge(ReadResult result) const;
    // Adds an item in `group` (of that group's namespace).
    void AddItem(FieldGroup group, std::string name, Value value);

  private:
    BoxHeader header_;
    std::uint64_t payloadOffset_ = 0;
    std::uint64_t payloadSize_ = 0;
    std::uint8_t version_ = 0;
    std::uint32_t flags_ = 0;
};

// A box made of child boxes. The walk reads them one after the other up to
// the end of the payload and hands each to HandleChild().
class VARROW_API ContainerBox : public Box {
  public:
    using Box::Box;

  protected:
    ReadResult Open() override { return OpenImpl(0); }
    // Types that must have been seen by the end of the walk.
    virtual std::set<BoxType> GetMandatoryChildren() const { return {}; }
    // Types that, where present, must come in this order.
    virtual std::vector<BoxType> GetEnforcedChildOrder() const { return {}; }
    virtual ReadResult HandleChild(std::istream& in, BoxHeader const& child) = 0;
    ReadResult SkipChild(BoxHeader const& /*child*/) const noexcept { return ReadResult::Success; }

    // Walks the children that start `preamble` bytes into the data.
    ReadResult OpenImpl(std::uint64_t preamble);
    bool CanBeNext(BoxType const& type);
    // The root walk ends quietly at trailing bytes and clips a last box cut
    // short by the end of the input; other containers fail on both.
    virtual bool IsLenient() const { return false; }

  private:
    std::size_t orderPosition_ = 0;
};

}  // namespace meta::isobmff
