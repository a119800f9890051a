#pragma once

#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta::xmp {

// Editing helpers on whole toolkit trees. They act on top-level properties
// only; a property goes with its fields, items and qualifiers. Namespace
// URIs and property names are compared exactly.

// The normalisation the reader applies to parsed trees (dates in the
// 'YYYY-MM-DDThh:mm:ss' layout, simple values where the tables declare an
// array or a structure removed, an unusable dc:description removed); true
// when anything changed.
VARROW_API bool Correct(TXMPMeta<std::string>& meta);

// Deletes the 26 GPS properties of the exif schema (GPSVersionID ...
// GPSDifferential).
VARROW_API void RemoveExifGpsFields(TXMPMeta<std::string>& meta);

VARROW_API void RemoveAllInNamespace(TXMPMeta<std::string>& meta, char const* nsUri);
VARROW_API void RemoveAllInNamespaces(TXMPMeta<std::string>& meta, std::vector<char const*> const& nsUris);
VARROW_API void RemoveAllNotInNamespace(TXMPMeta<std::string>& meta, char const* nsUri);
VARROW_API void RemoveAllNotInNamespaces(TXMPMeta<std::string>& meta, std::vector<char const*> const& nsUris);
// Deletes the properties of `nsUri` except those named in `keep` (with or
// without their prefix: "Rating" or "xmp:Rating").
VARROW_API void RemoveAllInNamespaceExcept(TXMPMeta<std::string>& meta, char const* nsUri,
                                           std::vector<char const*> const& keep);

// Copies every top-level property of `source` into `target`, replacing a
// property of the same name there: `source` wins.
VARROW_API void MergeToplevelProperties(TXMPMeta<std::string>& target, TXMPMeta<std::string> const& source);

}  // namespace meta::xmp
