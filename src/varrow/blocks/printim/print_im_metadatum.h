#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "varrow/fields/key.h"
#include "varrow/items/simple_metadatums.h"
#include "varrow/values/value.h"

namespace meta {

// A Print Image Matching setting. The ids carry no public meaning, so the
// value stays the number and the display shows it as the 8-digit hex word
// it is ("0x00160016"), which is how people compare these settings.
class PrintImMetadatum : public detail::SingleValueItem<UserKey> {
  public:
    PrintImMetadatum(UserKey key, std::uint32_t value)
        : SingleValueItem(std::move(key), Value(value)), display_(HexWord(value)) {}

    static PrintImMetadatum Create(UserKey key, std::uint32_t value) {
        return PrintImMetadatum(std::move(key), value);
    }

    Value const& GetDisplayValue() const { return display_; }
    std::string GetId() const { return std::string(key_.GetName()); }
    std::string GetTitle() const { return {}; }
    int GetPriority() const { return 1; }
    ValueAffinity GetAffinity() const { return ValueAffinity::Value; }

    static std::string HexWord(std::uint32_t value) {
        static constexpr char kDigits[] = "0123456789abcdef";
        std::string text = "0x00000000";
        for (std::size_t i = 0; i < 8; ++i) text[text.size() - 1 - i] = kDigits[(value >> (4 * i)) & 0xf];
        return text;
    }

  private:
    Value display_;
};

}  // namespace meta
