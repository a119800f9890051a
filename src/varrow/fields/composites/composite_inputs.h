#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "varrow/values/value.h"

namespace meta::composites {

// The inputs of a composite as its raw conversion receives them: references
// to the n inputs' values, then their display values, then their raw values.
// A missing input shows as an empty value at all three places.
class Inputs {
  public:
    explicit Inputs(Value const& refs);

    std::size_t Count() const { return count_; }
    Value const& GetValue(std::size_t i) const { return At(i); }
    Value const& GetDisplay(std::size_t i) const { return At(count_ + i); }
    Value const& GetRaw(std::size_t i) const { return At(2 * count_ + i); }
    bool Has(std::size_t i) const { return GetRaw(i).Exists() || GetValue(i).Exists(); }

    // The value as a number (the first element of an array); empty when it
    // is missing or not numeric.
    std::optional<double> Number(std::size_t i) const;
    // The raw value as text, white space and NULs trimmed at the end.
    std::string RawText(std::size_t i) const;

  private:
    Value const& At(std::size_t index) const;

    ValueRefSequence const* refs_ = nullptr;
    std::size_t count_ = 0;
};

std::optional<double> NumberOf(Value const& value);

}  // namespace meta::composites
