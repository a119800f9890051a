#include "varrow/api/initialiser.h"

#include <exception>
#include <iostream>
#include <string>

#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/fields/table_builders.h"

namespace meta {
namespace {

void ReportFailure(std::exception const& e) {
    std::cerr << "Caught exception during libvarrow initialisation: " << e.what() << '\n';
}

}  // namespace

std::shared_ptr<Initialiser> Initialiser::Create(Mode mode) { return std::make_shared<Initialiser>(mode); }

Initialiser::Initialiser(Mode mode) : mode_(mode) {
    try {
        RunTableBuilders(TableStage::DisplayLookups);
        InitialiseAllDatabases();
        dbOkay_ = true;
    } catch (std::exception const& e) {
        ReportFailure(e);
    } catch (...) {
    }

    if (!ShouldInitLibXmp()) {
        xmpOkay_ = true;
        return;
    }
    bool initialised = false;
    try {
        initialised = xmp::TXMPMeta<std::string>::Initialize();
        if (!initialised) return;
        xmp::RegisterAdditionalNamespaces();
        xmpOkay_ = true;
    } catch (std::exception const& e) {
        ReportFailure(e);
    } catch (xmp::XMP_Error const&) {
        // Toolkit errors are not std::exceptions: they only clear XmpOkay.
    }
    // The destructor terminates only a usable toolkit; balance an
    // initialisation whose namespace registration failed right away.
    if (initialised && !xmpOkay_) xmp::TXMPMeta<std::string>::Terminate();
}

Initialiser::~Initialiser() {
    if (ShouldInitLibXmp() && xmpOkay_) xmp::TXMPMeta<std::string>::Terminate();
}

}  // namespace meta
