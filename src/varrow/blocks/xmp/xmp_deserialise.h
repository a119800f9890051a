#pragma once

#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta::xmp {

// Parses a complete packet and normalises the tree (NormaliseParsedTree);
// `changed`, when given, tells whether normalising changed anything.
// Malformed RDF throws XMP_Error.
VARROW_API TXMPMeta<std::string> DeserialiseRdf(std::string const& packet, bool* changed);
VARROW_API TXMPMeta<std::string> DeserialiseRdf(char const* packet, unsigned long size, bool* changed);
VARROW_API TXMPMeta<std::string> DeserialiseRdf(std::string_view const& packet, bool* changed);

// A packet in pieces: each chunk is handed on, Complete ends the packet,
// parses it and normalises the tree.
VARROW_API void DeserialiseRdfChunk(TXMPMeta<std::string>& meta, char const* chunk, unsigned long size);
VARROW_API void DeserialiseRdfComplete(TXMPMeta<std::string>& meta, bool* changed);

// What the reader fixes in a freshly parsed tree, so that the items it makes
// follow the field tables:
//  - a dc:description alt-text whose first item is a structure or an array
//    is removed (no reader can make text of it);
//  - a top-level simple property declared as a date is rewritten in the
//    'YYYY-MM-DDThh:mm:ss' layout when it holds a date in another layout;
//  - a top-level simple property declared as an array or a structure is
//    removed.
// True when anything changed.
VARROW_API bool NormaliseParsedTree(TXMPMeta<std::string>& meta);

}  // namespace meta::xmp
