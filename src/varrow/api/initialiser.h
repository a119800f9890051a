#pragma once

#include <cstdint>
#include <memory>

#include "varrow/api/export.h"

namespace meta {

// One-time library initialisation: builds the display lookups and field
// databases and, in InitialiseXmp mode, starts (and finally stops) the XMP
// toolkit. Shared by std::shared_ptr among every Metadata built from it:
//   auto init = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
//   meta::Metadata a(init), b(init);
class VARROW_API Initialiser {
public:
    enum class Mode : std::int32_t {
        HostInitialisesXmp = 0,  // the host owns the toolkit's life cycle
        InitialiseXmp = 1,       // this object initialises and terminates it
    };

    static std::shared_ptr<Initialiser> Create(Mode mode);

    // Never throws: failures are reported by DbOkay/XmpOkay (and a line on
    // std::cerr for a std::exception).
    explicit Initialiser(Mode mode);
    ~Initialiser();

    Initialiser(Initialiser const&) = delete;
    Initialiser& operator=(Initialiser const&) = delete;

    bool ShouldInitLibXmp() const { return mode_ == Mode::InitialiseXmp; }
    bool DbOkay() const { return dbOkay_; }
    bool XmpOkay() const { return xmpOkay_; }
    Mode GetMode() const { return mode_; }

private:
    Mode mode_;
    bool dbOkay_ = false;
    bool xmpOkay_ = false;
};

}  // namespace meta
