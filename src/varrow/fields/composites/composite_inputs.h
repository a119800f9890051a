#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "varrow/values/fraction.h"
#include "varrow/values/value.h"

namespace meta {
struct ReadStore;
}

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
// A fraction as stored: a fraction, the first of an array of them, or text
// "N/D". Empty for anything else.
std::optional<Fraction> FractionOf(Value const& value);
// A finite number above zero.
bool IsPositive(std::optional<double> x);
// printf-style formatting of one number.
std::string FormatNumber(char const* format, double x);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
// Whether the camera make noted by the reader starts with `prefix`, ignoring
// case. An unknown make matches every prefix: maker-specific composites are
// then judged by their inputs alone.
bool MakeMatches(ReadStore const& store, std::string_view prefix);

// The diagonal of a 36 x 24 mm frame.
inline constexpr double kFullFrameDiagonal = 43.266615305567875;

}  // namespace meta::composites
