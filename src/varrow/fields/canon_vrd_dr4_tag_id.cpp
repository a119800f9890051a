#include "varrow/fields/canon_vrd_dr4_tag_id.h"

#include <charconv>
#include <system_error>

#include "varrow/fields/table_keys.h"

namespace meta {

namespace {

// A whole string of digits in the given base; no sign, no spaces, no prefix.
template <class T>
std::optional<T> ParseDigits(std::string_view text, int base) {
    if (text.empty()) return std::nullopt;
    T value{};
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string ToString(CanonVrdDr4TagId id) {
    std::string text = detail::FormatTagId(id.tag);
    if (!id.IsWholeRecord()) {
        text += '.';
        text += std::to_string(id.element);
    }
    return text;
}

std::optional<CanonVrdDr4TagId> ParseCanonVrdDr4TagId(std::string_view text) {
    std::string_view tagText = text;
    std::optional<std::int32_t> element;
    if (auto const dot = text.find('.'); dot != std::string_view::npos) {
        tagText = text.substr(0, dot);
        // from_chars would take a sign; element numbers have none.
        std::string_view const elementText = text.substr(dot + 1);
        if (elementText.starts_with('-') || elementText.starts_with('+')) return std::nullopt;
        element = ParseDigits<std::int32_t>(elementText, 10);
        if (!element) return std::nullopt;
    }
    std::optional<std::uint32_t> tag;
    if (tagText.starts_with("0x") || tagText.starts_with("0X")) {
        tag = ParseDigits<std::uint32_t>(tagText.substr(2), 16);
    } else {
        tag = ParseDigits<std::uint32_t>(tagText, 10);
    }
    if (!tag) return std::nullopt;
    return element ? CanonVrdDr4TagId(*tag, *element) : CanonVrdDr4TagId(*tag);
}

std::ostream& operator<<(std::ostream& out, CanonVrdDr4TagId id) {
    return out << ToString(id);
}

}  // namespace meta
