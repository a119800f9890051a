#pragma once

// Naming the lens a picture was taken with. Maker notes record a lens type
// code whose table entry may list several lenses sharing the code; the
// focal length, aperture and lens model recorded with the picture choose
// among them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"

namespace meta::detail {

// The lens names a maker's table gives for a lens type code (the raw value's
// text: "137", "3 44", "92 37 2D 88 2C 40 4B 0E"); empty when the code is
// not in the table.
using LensTable = std::vector<std::string> (*)(std::string_view code);

// Makes a maker's table known for cameras whose make starts with
// `makePrefix` (ignoring case). Call during static initialisation only: the
// registry is read without locks afterwards. A later registration for the
// same prefix replaces the earlier one.
VARROW_API void RegisterLensTable(std::string_view makePrefix, LensTable table);
// The table for a camera make; null when none fits.
VARROW_API LensTable FindLensTable(std::string_view make);

// Registers a table at static initialisation: `static LensTableRegistration
// reg{"Canon", &CanonLensNames};`.
struct LensTableRegistration {
    LensTableRegistration(std::string_view makePrefix, LensTable table) {
        RegisterLensTable(makePrefix, table);
    }
};

// What the camera recorded about the lens in use.
struct LensData {
    std::optional<double> focalLength;     // mm
    std::optional<double> maxAperture;     // at the focal length used
    std::optional<double> minFocalLength;  // of the lens, mm
    std::optional<double> maxFocalLength;
    std::string model;  // the lens model text, when the camera wrote one
};

// Whether a lens model text names `candidate`: contained in it once spaces,
// slashes and case are set aside ("EF24-70mm f/2.8L USM" names "Canon EF
// 24-70mm f/2.8L USM").
VARROW_API bool MatchLensModel(std::string_view candidate, std::string_view model);
// The candidates that the model text names.
VARROW_API std::vector<std::string> MatchLensModel(std::vector<std::string> const& candidates,
                                                   std::string_view model);
// `candidate` with the teleconverter (" + 1.4x", " + 2x") that turns its
// focal range into the recorded one; empty when none does.
VARROW_API std::optional<std::string> LensWithTC(std::string_view candidate, LensData const& data);
// The lens among `candidates` that fits `data`: the one the model text names,
// else those whose focal range and aperture fit (the model text's own range
// and aperture standing in for ones not recorded), else one with a
// teleconverter, else all of them; joined by " or " when several remain.
// Without candidates: "Unknown " and the recorded focal range, or empty.
VARROW_API std::string PrintLensID(std::vector<std::string> const& candidates, LensData const& data);

// "18-55mm", "50mm" from a lens's focal range, whole millimetres cut down;
// empty when the range is unknown.
VARROW_API std::string FocalRangeText(std::optional<double> minFocal, std::optional<double> maxFocal);
// Lens names as lens model texts are shown: "100.0 mm" becomes "100.0mm",
// "18.0 - 55.0mm" becomes "18.0-55.0mm" and "XF50mmF2" becomes "XF50mm F2".
VARROW_API std::string NormaliseLensName(std::string_view name);
// Splits "A or B or C" into its names.
VARROW_API std::vector<std::string> SplitLensAlternatives(std::string_view text);

}  // namespace meta::detail
