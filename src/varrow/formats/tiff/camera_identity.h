#pragma once

// The camera's make and model, kept in the read store as soon as the TIFF
// reader meets them: maker-note detection and some derived values depend on
// the camera, not on the directory they happen to be read from. Likewise the
// focal plane resolutions, whose stored rationals describe Canon sensors.

#include <cstdint>

#include "varrow/api/export.h"

namespace meta {

struct ReadStore;
class ExifValue;

namespace detail {

// Value hooks of Make and Model: the first value read wins (IFD0 comes
// before the thumbnail's directory and any maker note), trailing NULs and
// spaces dropped. Both accept the value.
VARROW_API bool NoteMake(ExifValue const* value, std::uint32_t count, ReadStore& store);
VARROW_API bool NoteModel(ExifValue const* value, std::uint32_t count, ReadStore& store);

// Value hooks of FocalPlaneXResolution and FocalPlaneYResolution: the first
// rational read wins; other formats are not noted. Both accept the value.
VARROW_API bool NoteFocalPlaneXResolution(ExifValue const* value, std::uint32_t count, ReadStore& store);
VARROW_API bool NoteFocalPlaneYResolution(ExifValue const* value, std::uint32_t count, ReadStore& store);

}  // namespace detail
}  // namespace meta
