#pragma once

// What a lens name says about the lens: its focal length (or zoom range) and
// its maximum aperture (or the apertures at the two ends of the zoom), as in
// "24-70mm f/2.8", "EF-S18-55mm f/3.5-5.6 IS", "XF50mmF2 R WR" or
// "Olympus Zuiko Digital 14-54mm F2.8-3.5".

#include <string_view>

#include "varrow/api/export.h"

namespace meta {

class VARROW_API LensProperties {
  public:
    // By default a focal length must carry "mm" and an aperture must be
    // written "f/2.8", "F2.8" or "1:2.8". `bareFocalLength` also takes the
    // first free-standing number or range ("Sigma 18-35 F1.8") when no "mm"
    // is found; `bareAperture` also takes a number right after the focal
    // length ("70-200mm 2.8").
    explicit LensProperties(std::string_view name, bool bareFocalLength = false, bool bareAperture = false);

    bool HasFocalLength() const { return minFocal_ > 0; }
    bool HasMaxAperture() const { return apertureWide_ > 0; }
    bool HasFocalLengthRange() const { return HasFocalLength() && maxFocal_ > minFocal_; }
    bool HasMaxApertureRange() const { return HasMaxAperture() && apertureTele_ != apertureWide_; }
    bool HasFixedFocalLength() const { return HasFocalLength() && maxFocal_ == minFocal_; }
    bool HasFixedMaxAperture() const { return HasMaxAperture() && apertureTele_ == apertureWide_; }

    // 0 when the name gives none.
    double GetMinFocalLength() const { return minFocal_; }
    double GetMaxFocalLength() const { return maxFocal_; }
    double GetMaxApertureWide() const { return apertureWide_; }
    double GetMaxApertureTele() const { return apertureTele_; }

  private:
    double minFocal_ = 0;
    double maxFocal_ = 0;
    double apertureWide_ = 0;
    double apertureTele_ = 0;
};

}  // namespace meta
