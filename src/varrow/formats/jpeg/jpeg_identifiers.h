#pragma once

#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

// Identifier tests of JPEG application segments. Each is the byte-level
// equivalent of a search with the corresponding ECMAScript pattern over
// exactly the bytes given, with an unescaped '.' standing for any byte:
// a plain comparison instead of a regular expression per segment.

inline constexpr std::string_view kJfifId{"JFIF\0", 5};
inline constexpr std::string_view kExifId{"Exif\0\0", 6};
inline constexpr std::string_view kIccId{"ICC_PROFILE\0", 12};
inline constexpr std::string_view kPhotoshopId{"Photoshop 3.0\0", 14};
// The XMP namespaces that introduce a packet and an extended-XMP chunk.
inline constexpr std::string_view kXmpSignature{"http://ns.adobe.com/xap/1.0/\0", 29};
inline constexpr std::string_view kExtendedXmpSignature{"http://ns.adobe.com/xmp/extension/\0", 35};

// Whether `bytes` starts with `signature`, a '.' of which matches any byte.
VARROW_API bool StartsWithSignature(std::string_view bytes, std::string_view signature) noexcept;
// Whether `signature` (same wildcard rule) occurs anywhere in `bytes`.
VARROW_API bool ContainsSignature(std::string_view bytes, std::string_view signature) noexcept;

// The start of an XMP packet in APP1: "http" or "XMP\0" in the first 4
// bytes, "<exif:" as the first 6, or "<?xpacket" as the first 9. Needs 9.
VARROW_API bool IsXmpPacketStart(std::string_view first9) noexcept;

}  // namespace meta::detail
