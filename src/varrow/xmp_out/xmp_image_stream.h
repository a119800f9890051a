#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/util/byte.h"

namespace meta::xmp {

// An in-memory file for the toolkit's file handlers: reads and writes a
// byte buffer the stream owns. Seeking past the end grows the buffer with
// zero bytes; writing past the end grows it too.
class VARROW_API XmpImageStream final : public XMP_IO {
  public:
    explicit XmpImageStream(std::vector<meta::byte> buffer = {});
    XmpImageStream(meta::byte const* data, std::size_t size);
    ~XmpImageStream() override;

    std::vector<meta::byte> const& GetBuffer() const { return buffer_; }
    std::vector<meta::byte> TakeBuffer() &&;

    // XMP_Error 5 "Insufficient data" when `readAll` and fewer than `count`
    // bytes are left.
    std::uint32_t Read(void* buffer, std::uint32_t count, bool readAll = false) override;
    void Write(void const* buffer, std::uint32_t count) override;
    // XMP_Error 4 when the new position would be negative.
    std::int64_t Seek(std::int64_t offset, SeekMode mode) override;
    std::int64_t Length() override;
    // Shrinks only (XMP_Error 4 for a negative or a larger size); the
    // position is kept within the new length.
    void Truncate(std::int64_t length) override;
    // A fresh empty temporary; a previous one is dropped.
    XMP_IO* DeriveTemp() override;
    // XMP_Error 4 "There is no temp to absorb" without a temporary.
    void AbsorbTemp() override;
    void DeleteTemp() override;

  private:
    std::vector<meta::byte> buffer_;
    std::int64_t position_ = 0;
    std::unique_ptr<XmpImageStream> temp_;
};

}  // namespace meta::xmp
