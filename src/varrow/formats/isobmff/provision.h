#pragma once

#include <cstdint>

#include "varrow/formats/isobmff/parse_context.h"

namespace meta::isobmff {

// Display name the Canon timed-metadata reader registers under.
inline constexpr char const* kCanonTimedMetadataProcessor = "Canon Timed Metadata";

// Makes the source's window the input bytes [at, at + length), fenced at its
// end, cursor at its start. False when the input ends before.
bool ProvideRegion(ParseContext& context, std::uint64_t at, std::uint64_t length);

}  // namespace meta::isobmff
