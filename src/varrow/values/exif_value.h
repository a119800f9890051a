#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include "varrow/api/export.h"
#include "varrow/values/byte_order.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/value.h"

namespace meta {

// The data of one directory entry or record field, typed by its format code.
// Objects come empty from CreateExifValue (exif_values.h) and are filled by
// Read.
//
// Counts come from files and are not trusted: the stream form grows its
// storage only as bytes actually arrive, so a huge count over a short stream
// fails without a large allocation. The memory form trusts its caller: the
// pointer must have count elements (count * GetExifTypeSize bytes; bytes for
// text and opaque types) readable behind it. A null pointer with a count of 0
// is an empty read.
class VARROW_API ExifValue {
  public:
    virtual ~ExifValue();

    // Replace the contents by `count` elements in `order`. True when all of
    // them were read; after a short read, numeric values keep the elements
    // read completely and text and opaque values are empty.
    virtual bool Read(std::istream& is, std::size_t count, ByteOrder order) = 0;
    virtual bool Read(const void* data, std::size_t count, ByteOrder order) = 0;

    // The class's format code (a LONG for IFD and the offset codes).
    virtual ExifType GetType() const = 0;
    virtual std::size_t GetValueCount() const = 0;

    // The plain text form, also used as the raw display of EXIF items.
    virtual std::ostream& Write(std::ostream& os) const = 0;

    virtual Value ToMetaValue() const& = 0;
    // Moves the data into the Value; the object is left empty.
    virtual Value ToMetaValue() && = 0;

    // What Write writes, in the classic locale.
    std::string ToString() const;

  protected:
    ExifValue() = default;
    ExifValue(const ExifValue&) = default;
    ExifValue(ExifValue&&) noexcept = default;
    ExifValue& operator=(const ExifValue&) = default;
    ExifValue& operator=(ExifValue&&) noexcept = default;
};

inline std::ostream& operator<<(std::ostream& os, const ExifValue& value) {
    return value.Write(os);
}

}  // namespace meta
