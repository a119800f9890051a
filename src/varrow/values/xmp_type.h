#pragma once

#include <cstdint>

namespace meta {

// The shape an XMP property is declared with in the field tables, and the
// class of value object that reads it. Numbers are fixed: tables and items
// store them.
enum class XmpType : std::uint32_t {
    Unknown = 0,
    Simple = 1,
    OrderedArray = 2,
    UnorderedArray = 3,
    AlternativeArray = 4,
    Structure = 5,
    Boolean = 6,
    Date = 7,
    Integer = 8,
    Real = 9,
    Text = 10,
    AgentName = 11,
    Choice = 12,
    Guid = 13,
    LanguageAlternative = 14,
    Locale = 15,
    MimeType = 16,
    ProperName = 17,
    RenditionClass = 18,
    ResourceRef = 19,
    Uri = 20,
    Url = 21,
    Rational = 22,
};

}  // namespace meta
