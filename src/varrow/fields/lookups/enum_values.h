#pragma once

#include <cstdint>
#include <stdexcept>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

// How a lookup reads a code.
enum class EnumValuesStrategy : std::int32_t {
    Whole = 0,    // the value is one code, looked up as a whole
    BitMask = 1,  // every set bit b of the value is looked up as the code b
};

// What a lookup shows for a code that is not in its dictionary.
enum class EnumValuesOnFail : std::int32_t {
    Empty = 0,     // the empty text
    Identity = 1,  // the code itself, in decimal (a text code as itself)
    Unknown = 2,   // "Unknown (<code>)"
    None = 3,      // "(none)"
    Throw = 4,     // throws LookupException
    Default = 5,   // the lookup's own default handler
};

// An unmatched code under EnumValuesOnFail::Throw, or a lookup that does not
// exist. The message is empty.
class VARROW_API LookupException : public std::out_of_range {
  public:
    LookupException() : std::out_of_range("") {}
};

// A display lookup: a named dictionary from coded values to texts. The
// concrete kinds are detail::EnumValuesImpl<T> and
// detail::EnumValuesArrayImpl<long long>.
class VARROW_API EnumValues {
  public:
    virtual ~EnumValues();

    // Lookup(value, EnumValuesOnFail::Default).
    virtual Value Lookup(const Value& value) const = 0;
    // The text of a one-element value; the texts of a value with several
    // elements (array, sequence, binary data) joined by ", ". The result holds
    // a String; Value::None gives Value::None.
    virtual Value Lookup(const Value& value, EnumValuesOnFail onFail) const = 0;
    // A text back to its code; a value that is not a string comes back
    // unchanged and a text that cannot be mapped gives Value::None.
    virtual Value ReverseLookup(const Value& value) const = 0;
    // Every text stored under the code, in insertion order, as a sequence of
    // strings; empty for bit-mask lookups.
    virtual Value RangeLookup(const Value& value) const = 0;

  protected:
    EnumValues() = default;
    EnumValues(const EnumValues&) = default;
    EnumValues(EnumValues&&) noexcept = default;
    EnumValues& operator=(const EnumValues&) = default;
    EnumValues& operator=(EnumValues&&) noexcept = default;
};

}  // namespace meta
