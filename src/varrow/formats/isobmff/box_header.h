#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/identifier.h"

namespace meta {
class DataSource;
}

namespace meta::isobmff {

// The header of one box: 32-bit size and type, the 64-bit size when the
// 32-bit one is 1, the 16-byte extended type of a "uuid" box.
class VARROW_API BoxHeader {
  public:
    // Most bytes a header takes.
    static constexpr std::size_t kMaxSize = 32;

    BoxHeader() = default;
    BoxHeader(BoxType type, std::uint64_t size, std::uint64_t offset = 0, bool extended = false,
              bool large = false) noexcept
        : size_(size), offset_(offset), type_(type), extended_(extended), large_(large) {}

    // Parses the header at the start of `bytes` (at most kMaxSize are
    // looked at). False for short bytes or a non-zero size smaller than the
    // header itself.
    static bool Parse(std::string_view bytes, std::uint64_t offset, BoxHeader& header) noexcept;
    // Reads the header at input position `at`, reading no further than
    // `available` bytes from there.
    static bool Read(DataSource& source, std::uint64_t at, std::uint64_t available, BoxHeader& header);

    // The box size as stored (0: the box runs to the end of its parent).
    std::uint64_t GetSize() const noexcept { return size_; }
    std::uint64_t GetHeaderSize() const noexcept { return 8u + (large_ ? 8u : 0u) + (extended_ ? 16u : 0u); }
    std::uint64_t GetPayloadSize() const noexcept { return size_ == 0 ? 0 : size_ - GetHeaderSize(); }
    // Input position of the box's first header byte.
    std::uint64_t GetOffset() const noexcept { return offset_; }
    std::uint64_t GetPayloadOffset() const noexcept { return offset_ + GetHeaderSize(); }
    bool IsLargeSize() const noexcept { return large_; }
    bool HasExtendedType() const noexcept { return extended_; }
    // The four-character type, or the extended type of a "uuid" box.
    BoxType const& GetTypeBytes() const noexcept { return type_; }
    // The type as text: four characters, or the UUID in hex.
    std::string GetType() const;
    // "ftyp", or "uuid BE7ACFCB-..." for an extended type.
    std::string GetTypeDescription() const;
    // Fixes the size of a box that runs to the end of its parent (or was
    // cut short by the end of the input) once that end is known.
    void Shrink(std::uint64_t size) noexcept { size_ = size; }

  private:
    std::uint64_t size_ = 0;
    std::uint64_t offset_ = 0;
    BoxType type_;
    bool extended_ = false;
    bool large_ = false;
};

}  // namespace meta::isobmff
