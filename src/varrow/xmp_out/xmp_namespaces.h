#pragma once

#include <string_view>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"

namespace meta::xmp {

// The XMP schemas the library knows, keyed three ways. Every look-up is exact
// (XML namespace names and prefixes are case-sensitive) and never allocates;
// the returned views point into static text.

// Group of a namespace URI; FieldGroup::Unknown when the URI is not known.
VARROW_API FieldGroup GetFieldGroupFromNsUri(std::string_view uri);

// Namespace URI of an XMP schema group; empty for any other group.
VARROW_API std::string_view GetNsUriFromFieldGroup(FieldGroup group);

// Preferred prefix of a namespace URI ("xmp", "dc", "exifEX", ...); empty when
// the URI is not known.
VARROW_API std::string_view GetNsPreferredPrefix(std::string_view uri);

// Group of a prefix, the preferred one or an accepted alias (e.g. "lightroom");
// FieldGroup::Unknown when the prefix is not known.
VARROW_API FieldGroup GetFieldGroupFromNsPrefix(std::string_view prefix);

// The URIs of the schemas that carry EXIF-derived data: exif, aux, exifEX, crs
// and tiff, in that order. The pointers refer to static, NUL-terminated text.
VARROW_API std::vector<const char*> GetExifNamespaces();

}  // namespace meta::xmp
