#include "varrow/blocks/xmp/xmp_toolkit.h"

#include <exempi/xmp.h>

#include <memory>
#include <type_traits>

namespace meta::xmp {
namespace {

struct XmpStringDeleter {
    void operator()(XmpStringPtr s) const { xmp_string_free(s); }
};
using XmpStringHandle = std::unique_ptr<std::remove_pointer_t<XmpStringPtr>, XmpStringDeleter>;

[[noreturn]] void ThrowLastError(char const* what) {
    throw XMP_Error(xmp_get_error(), what);
}

}  // namespace

template <class TString>
bool TXMPMeta<TString>::Initialize() {
    return xmp_init();
}

template <class TString>
void TXMPMeta<TString>::Terminate() noexcept {
    xmp_terminate();
}

template <class TString>
TString TXMPMeta<TString>::RegisterNamespace(char const* uri, char const* suggestedPrefix) {
    XmpStringHandle registered(xmp_string_new());
    if (!registered) ThrowLastError("cannot allocate a toolkit string");
    if (!xmp_register_namespace(uri, suggestedPrefix, registered.get())) {
        ThrowLastError("namespace registration failed");
    }
    char const* text = xmp_string_cstr(registered.get());
    return TString(text ? text : "");
}

template class TXMPMeta<std::string>;

void RegisterAdditionalNamespaces() {
    TXMPMeta<std::string>::RegisterNamespace("http://creativecommons.org/ns#", "cc");
    TXMPMeta<std::string>::RegisterNamespace("http://www.metadataworkinggroup.com/schemas/collections/",
                                             "mwg-coll");
}

}  // namespace meta::xmp
