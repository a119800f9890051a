#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::xmp {

// Bytes searched for a packet wrapper at the start of a block.
inline constexpr std::size_t kPacketSearchSpan = 1024;

// A packet written in UTF-16 or UTF-32 (either byte order) as UTF-8, from its
// "<?xpacket" wrapper (or, without one, its first "<x:xmpmeta" or
// "<rdf:RDF") on when that starts within the first kPacketSearchSpan
// characters, else from the start; the encoding comes from a byte order
// mark at the start or from where those markers are found. Code units that
// are not valid Unicode become U+FFFD; conversion ends at the first NUL
// character. Nothing for text in an 8-bit encoding, the usual case, which
// is told apart by the NUL-free first bytes without any search.
VARROW_API std::optional<std::string> TranscodeWidePacket(std::string_view text);

// The packet from its "<?xpacket" wrapper on, when the wrapper starts within
// the first kPacketSearchSpan bytes; otherwise the text unchanged.
VARROW_API std::string_view FindPacket(std::string_view text);

// The text up to the end of its x:xmpmeta (x:xapmeta) element. What follows
// is only padding and the closing wrapper, which some writers truncate and
// the parser would then reject; text without that element is returned whole.
// Nothing from the first NUL byte on is kept: XML cannot contain one.
VARROW_API std::string_view DropTrailer(std::string_view packet);

// The position of the last occurrence of `tag` in `text` (text.rfind(tag)),
// found without comparing at every position.
VARROW_API std::size_t FindLastTag(std::string_view text, std::string_view tag);

// The x:xmptk (or older x:xaptk) attribute of the x:xmpmeta (x:xapmeta) element, with
// the XML character entities resolved. The toolkit drops it while parsing,
// so it is taken from the text.
VARROW_API std::optional<std::string> FindToolkitName(std::string_view packet);

// The first non-empty rdf:about attribute of the packet's descriptions (or
// the unqualified about of early writers), entities resolved. The toolkit keeps it only as the tree's name,
// so it is taken from the text like the toolkit name.
VARROW_API std::optional<std::string> FindAboutName(std::string_view packet);

}  // namespace meta::xmp
