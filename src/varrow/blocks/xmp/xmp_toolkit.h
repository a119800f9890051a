#pragma once

#include <string>

#include "varrow/api/export.h"

namespace meta::xmp {

// An error reported by the XMP toolkit: its numeric code and message.
// Deliberately not a std::exception, like the toolkit's own error objects.
class VARROW_API XMP_Error {
public:
    XMP_Error(int id, std::string message) : id_(id), message_(std::move(message)) {}
    int GetID() const { return id_; }
    char const* GetErrMsg() const { return message_.c_str(); }

private:
    int id_;
    std::string message_;
};

// The toolkit's meta object, parameterised on the string type like the
// toolkit's own client template. Process-wide toolkit set-up lives here;
// parsing, properties and serialisation are added alongside XMP reading.
template <class TString>
class TXMPMeta {
public:
    // Initialises the toolkit (reference counted by the toolkit itself).
    // Returns false when it refuses; throws XMP_Error on a toolkit error.
    static bool Initialize();
    static void Terminate() noexcept;

    // Registers `uri` under the suggested prefix; returns the prefix the
    // toolkit actually assigned (it may differ when the prefix is taken).
    static TString RegisterNamespace(char const* uri, char const* suggestedPrefix);
};

extern template class TXMPMeta<std::string>;

// Namespaces varrow writes that the toolkit does not know by default:
// Creative Commons ("cc") and the MWG collections schema ("mwg-coll").
VARROW_API void RegisterAdditionalNamespaces();

}  // namespace meta::xmp
