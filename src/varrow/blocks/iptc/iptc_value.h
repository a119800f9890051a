#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

#include "varrow/api/export.h"
#include "varrow/blocks/iptc/iptc_type.h"
#include "varrow/values/value.h"

namespace meta {

// The data of one IPTC IIM dataset, typed by its IptcType. Objects come empty
// from CreateIptcValue and are filled by Read.
//
// Read takes the dataset's length and the length bounds of its definition.
// The bounds do not make a read fail: writers overrun the standard's limits
// all the time and the data is still worth showing; LengthWithinBounds tells
// whether the last read respected them.
//
// Lengths come from files: the stream form grows its storage only as bytes
// arrive, so a huge length over a short stream fails without a large
// allocation. The memory form trusts its caller to have `length` bytes
// readable behind the pointer (a null pointer is fine for length 0).
class VARROW_API IptcValue {
  public:
    virtual ~IptcValue();

    // Replaces the contents by a dataset of `length` bytes; false when the
    // stream failed before all of them were read.
    virtual bool Read(std::istream& is, unsigned long length, unsigned long minLength,
                      unsigned long maxLength) = 0;
    virtual bool Read(const void* data, unsigned long length, unsigned long minLength,
                      unsigned long maxLength) = 0;

    virtual IptcType GetType() const = 0;

    // The plain text form.
    virtual std::ostream& Write(std::ostream& os) const = 0;

    virtual Value ToMetaValue() const& = 0;
    // Moves the data into the Value; the object is left empty.
    virtual Value ToMetaValue() && = 0;

    // What Write writes, in the classic locale.
    std::string ToString() const;

    // With both bounds non-zero min <= length <= max; with only a minimum
    // the length must equal it; with only a maximum length <= max; without
    // bounds any length.
    static bool LengthIsValid(unsigned long length, unsigned long minLength,
                              unsigned long maxLength) noexcept;

    // Whether the last Read's length satisfied its bounds (true before any).
    bool LengthWithinBounds() const noexcept { return lengthWithinBounds_; }

  protected:
    IptcValue() = default;
    IptcValue(const IptcValue&) = default;
    IptcValue(IptcValue&&) noexcept = default;
    IptcValue& operator=(const IptcValue&) = default;
    IptcValue& operator=(IptcValue&&) noexcept = default;

    void NoteLength(unsigned long length, unsigned long minLength, unsigned long maxLength) noexcept {
        lengthWithinBounds_ = LengthIsValid(length, minLength, maxLength);
    }

  private:
    bool lengthWithinBounds_ = true;
};

inline std::ostream& operator<<(std::ostream& os, const IptcValue& value) {
    return value.Write(os);
}

}  // namespace meta
