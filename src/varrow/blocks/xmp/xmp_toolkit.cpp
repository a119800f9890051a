#include "varrow/blocks/xmp/xmp_toolkit.h"

#include <exempi/xmp.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace meta::xmp {
namespace {

struct XmpStringDeleter {
    void operator()(XmpStringPtr s) const { xmp_string_free(s); }
};
using XmpStringHandle = std::unique_ptr<std::remove_pointer_t<XmpStringPtr>, XmpStringDeleter>;

struct XmpIteratorDeleter {
    void operator()(XmpIteratorPtr it) const { xmp_iterator_free(it); }
};
using XmpIteratorHandle = std::unique_ptr<std::remove_pointer_t<XmpIteratorPtr>, XmpIteratorDeleter>;

// The C layer reports the toolkit's codes negated; callers expect the
// toolkit's own numbers (201 bad XML, 202 bad RDF, ...).
[[noreturn]] void ThrowLastError(char const* what) {
    throw XMP_Error(std::abs(xmp_get_error()), what);
}

XmpStringHandle NewString() {
    XmpStringHandle s(xmp_string_new());
    if (!s) ThrowLastError("cannot allocate a toolkit string");
    return s;
}

std::string_view View(XmpStringPtr s) {
    char const* text = xmp_string_cstr(s);
    return text != nullptr ? std::string_view(text, xmp_string_len(s)) : std::string_view();
}

XmpPtr Handle(void* p) {
    return static_cast<XmpPtr>(p);
}

// One node met while walking the direct children of a property.
struct ChildNode {
    std::string path;
    std::string value;
    std::uint32_t options = 0;
};

// The direct children of `path` (qualifiers first), or of the schema when
// `path` is empty.
std::vector<ChildNode> DirectChildren(XmpPtr xmp, char const* ns, std::string const& path) {
    std::vector<ChildNode> children;
    XmpIteratorHandle it(xmp_iterator_new(xmp, ns, path.empty() ? nullptr : path.c_str(),
                                          static_cast<XmpIterOptions>(options::kIterJustChildren)));
    if (!it) return children;
    XmpStringHandle childPath = NewString();
    XmpStringHandle value = NewString();
    std::uint32_t bits = 0;
    while (xmp_iterator_next(it.get(), nullptr, childPath.get(), value.get(), &bits)) {
        children.push_back({std::string(View(childPath.get())), std::string(View(value.get())), bits});
    }
    return children;
}

// Sorting rank of a qualifier: xml:lang first, rdf:type second, then by name.
int QualifierRank(std::string_view name) {
    if (name == "xml:lang") return 0;
    if (name == "rdf:type") return 1;
    return 2;
}

bool IsXDefault(XmpPtr xmp, char const* ns, std::string const& itemPath) {
    XmpStringHandle lang = NewString();
    std::uint32_t bits = 0;
    return xmp_get_property(xmp, ns, (itemPath + "/?xml:lang").c_str(), lang.get(), &bits) &&
           View(lang.get()) == "x-default";
}

// The C layer does not accept a null value, not even for a container.
void Set(XmpPtr xmp, char const* ns, std::string const& path, char const* value, std::uint32_t bits) {
    if (!xmp_set_property(xmp, ns, path.c_str(), value != nullptr ? value : "", bits)) {
        throw XMP_Error(std::abs(xmp_get_error()), "cannot set the XMP property " + path);
    }
}

// Copies the node at srcPath (its value, qualifiers, fields and items) to
// dstPath, which must not exist yet. With `sorted`, children are written in
// the order Sort promises.
void CopyNode(XmpPtr src, XmpPtr dst, char const* srcNs, std::string const& srcPath, char const* dstNs,
              std::string const& dstPath, std::string const& value, std::uint32_t bits, bool sorted) {
    std::uint32_t const settable = bits & (options::kPropValueIsURI | options::kPropCompositeMask);
    bool const simple = (bits & options::kPropCompositeMask) == 0;
    Set(dst, dstNs, dstPath, simple ? value.c_str() : nullptr, settable);

    std::vector<ChildNode> children = DirectChildren(src, srcNs, srcPath);
    auto const firstChild = std::stable_partition(children.begin(), children.end(), [](ChildNode const& c) {
        return (c.options & options::kPropIsQualifier) != 0;
    });
    if (sorted) {
        auto const suffix = [&](ChildNode const& c) {
            return std::string_view(c.path).substr(srcPath.size());
        };
        std::stable_sort(children.begin(), firstChild, [&](ChildNode const& a, ChildNode const& b) {
            auto const na = suffix(a).substr(2), nb = suffix(b).substr(2);  // after "/?"
            int const ra = QualifierRank(na), rb = QualifierRank(nb);
            return ra != rb ? ra < rb : na < nb;
        });
        if ((bits & options::kPropValueIsStruct) != 0) {
            std::stable_sort(firstChild, children.end(),
                             [&](ChildNode const& a, ChildNode const& b) { return suffix(a) < suffix(b); });
        } else if ((bits & options::kPropArrayIsAltText) != 0) {
            std::stable_partition(firstChild, children.end(),
                                  [&](ChildNode const& c) { return IsXDefault(src, srcNs, c.path); });
        }
    }

    std::size_t item = 0;
    for (auto it = children.begin(); it != children.end(); ++it) {
        std::string_view const suffix = std::string_view(it->path).substr(srcPath.size());
        std::string target = dstPath;
        if (!suffix.empty() && suffix.front() == '[') {
            // Items are renumbered in their new order.
            target += '[';
            target += std::to_string(++item);
            target += ']';
        } else {
            target += suffix;
        }
        CopyNode(src, dst, srcNs, it->path, dstNs, target, it->value, it->options, sorted);
    }
}

// Copies every top-level property of `ns`, in the order given.
void CopySchema(XmpPtr src, XmpPtr dst, char const* ns, bool sorted) {
    std::vector<ChildNode> properties = DirectChildren(src, ns, std::string());
    if (sorted) {
        std::stable_sort(properties.begin(), properties.end(),
                         [](ChildNode const& a, ChildNode const& b) { return a.path < b.path; });
    }
    for (ChildNode const& p : properties)
        CopyNode(src, dst, ns, p.path, ns, p.path, p.value, p.options, sorted);
}

// Namespace URIs of the schemas of a tree, in tree order.
std::vector<std::string> SchemaUris(XmpPtr xmp) {
    std::vector<std::string> uris;
    XmpIteratorHandle it(
        xmp_iterator_new(xmp, nullptr, nullptr, static_cast<XmpIterOptions>(options::kIterJustChildren)));
    XmpStringHandle ns = NewString();
    while (it && xmp_iterator_next(it.get(), ns.get(), nullptr, nullptr, nullptr))
        uris.emplace_back(View(ns.get()));
    return uris;
}

// The toolkit accepts "title" for "dc:title" but reports children with the
// prefix; child paths are derived from the parent's, so the parent's must
// have it too.
std::string QualifiedPath(char const* ns, std::string path) {
    std::size_t const stepEnd = path.find_first_of("/[");
    if (path.substr(0, stepEnd).find(':') != std::string::npos) return path;
    XmpStringHandle prefix = NewString();
    if (!xmp_namespace_prefix(ns, prefix.get())) return path;
    return std::string(View(prefix.get())) + path;
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
    XmpStringHandle registered = NewString();
    if (!xmp_register_namespace(uri, suggestedPrefix, registered.get())) {
        ThrowLastError("namespace registration failed");
    }
    return TString(View(registered.get()));
}

template <class TString>
bool TXMPMeta<TString>::GetNamespacePrefix(char const* uri, TString* prefix) {
    XmpStringHandle s = NewString();
    if (!xmp_namespace_prefix(uri, s.get())) return false;
    if (prefix != nullptr) *prefix = TString(View(s.get()));
    return true;
}

template <class TString>
bool TXMPMeta<TString>::GetNamespaceURI(char const* prefix, TString* uri) {
    XmpStringHandle s = NewString();
    if (!xmp_prefix_namespace_uri(prefix, s.get())) return false;
    if (uri != nullptr) *uri = TString(View(s.get()));
    return true;
}

template <class TString>
TXMPMeta<TString>::TXMPMeta() : handle_(xmp_new_empty()) {
    if (handle_ == nullptr) ThrowLastError("cannot create an XMP object");
}

template <class TString>
TXMPMeta<TString>::TXMPMeta(char const* buffer, std::size_t size) : TXMPMeta() {
    ParseFromBuffer(buffer, size, 0);
}

// The C layer's copy shares the tree with the original, so a deep copy is
// built node by node.
template <class TString>
TXMPMeta<TString>::TXMPMeta(TXMPMeta const& other) : TXMPMeta() {
    pending_ = other.pending_;
    if (other.handle_ == nullptr) return;
    XmpPtr const src = Handle(other.handle_);
    for (std::string const& ns : SchemaUris(src)) CopySchema(src, Handle(handle_), ns.c_str(), false);
}

template <class TString>
TXMPMeta<TString>::TXMPMeta(TXMPMeta&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), pending_(std::move(other.pending_)) {}

template <class TString>
TXMPMeta<TString>& TXMPMeta<TString>::operator=(TXMPMeta const& other) {
    if (this != &other) *this = TXMPMeta(other);
    return *this;
}

template <class TString>
TXMPMeta<TString>& TXMPMeta<TString>::operator=(TXMPMeta&& other) noexcept {
    if (this != &other) {
        if (handle_ != nullptr) xmp_free(Handle(handle_));
        handle_ = std::exchange(other.handle_, nullptr);
        pending_ = std::move(other.pending_);
    }
    return *this;
}

template <class TString>
TXMPMeta<TString>::~TXMPMeta() {
    if (handle_ != nullptr) xmp_free(Handle(handle_));
}

// A moved-from object has no handle; it starts again with an empty tree.
template <class TString>
void TXMPMeta<TString>::EnsureHandle() {
    if (handle_ != nullptr) return;
    handle_ = xmp_new_empty();
    if (handle_ == nullptr) ThrowLastError("cannot create an XMP object");
}

template <class TString>
void TXMPMeta<TString>::ParseFromBuffer(char const* buffer, std::size_t size, std::uint32_t parseOptions) {
    EnsureHandle();
    if ((parseOptions & options::kParseMoreBuffers) != 0) {
        if (buffer != nullptr) pending_.append(buffer, size);
        return;
    }
    // The C layer parses whole packets only: pieces are gathered until the
    // last one arrives.
    char const* text = buffer;
    std::size_t length = size;
    if (!pending_.empty()) {
        if (buffer != nullptr) pending_.append(buffer, size);
        text = pending_.data();
        length = pending_.size();
    }
    static char const kEmpty = '\0';
    bool const ok = xmp_parse(Handle(handle_), text != nullptr ? text : &kEmpty, length);
    pending_.clear();
    pending_.shrink_to_fit();
    if (!ok) ThrowLastError("XMP parse failure");
}

template <class TString>
void TXMPMeta<TString>::SerializeToBuffer(TString* out, std::uint32_t serialOptions, std::uint32_t padding,
                                          char const* newline, char const* indent,
                                          std::int32_t baseIndent) const {
    if (out == nullptr) return;
    TXMPMeta empty;
    XmpPtr const xmp = handle_ != nullptr ? Handle(handle_) : Handle(empty.handle_);
    XmpStringHandle s = NewString();
    if (!xmp_serialize_and_format(xmp, s.get(), serialOptions, padding, newline != nullptr ? newline : "",
                                  indent != nullptr ? indent : "", baseIndent)) {
        ThrowLastError("XMP serialisation failure");
    }
    *out = TString(View(s.get()));
}

template <class TString>
bool TXMPMeta<TString>::GetProperty(char const* schemaNs, char const* path, TString* value,
                                    std::uint32_t* propOptions) const {
    if (handle_ == nullptr) return false;
    XmpStringHandle s = NewString();
    std::uint32_t bits = 0;
    if (!xmp_get_property(Handle(handle_), schemaNs, path, s.get(), &bits)) return false;
    if (value != nullptr) *value = TString(View(s.get()));
    if (propOptions != nullptr) *propOptions = bits;
    return true;
}

template <class TString>
bool TXMPMeta<TString>::DoesPropertyExist(char const* schemaNs, char const* path) const {
    return handle_ != nullptr && xmp_has_property(Handle(handle_), schemaNs, path);
}

template <class TString>
void TXMPMeta<TString>::DeleteProperty(char const* schemaNs, char const* path) {
    if (handle_ == nullptr || !DoesPropertyExist(schemaNs, path)) return;
    if (!xmp_delete_property(Handle(handle_), schemaNs, path))
        ThrowLastError("cannot delete an XMP property");
}

template <class TString>
void TXMPMeta<TString>::SetProperty(char const* schemaNs, char const* path, char const* value,
                                    std::uint32_t propOptions) {
    EnsureHandle();
    Set(Handle(handle_), schemaNs, path != nullptr ? path : "", value, propOptions);
}

template <class TString>
bool TXMPMeta<TString>::GetQualifier(char const* schemaNs, char const* path, char const* qualNs,
                                     char const* qualName, TString* value, std::uint32_t* propOptions) const {
    TString prefix;
    if (!GetNamespacePrefix(qualNs, &prefix)) return false;
    std::string qualPath = std::string(path) + "/?" + std::string(prefix) + qualName;
    return GetProperty(schemaNs, qualPath.c_str(), value, propOptions);
}

template <class TString>
void TXMPMeta<TString>::Sort() {
    if (handle_ == nullptr) return;
    XmpPtr const src = Handle(handle_);
    std::vector<std::pair<std::string, std::string>> schemas;  // prefix, URI
    for (std::string& uri : SchemaUris(src)) {
        TString prefix;
        GetNamespacePrefix(uri.c_str(), &prefix);
        schemas.emplace_back(std::string(prefix), std::move(uri));
    }
    std::stable_sort(schemas.begin(), schemas.end());
    TXMPMeta sorted;
    for (auto const& schema : schemas) CopySchema(src, Handle(sorted.handle_), schema.second.c_str(), true);
    std::swap(handle_, sorted.handle_);
}

template <class TString>
std::size_t TXMPMeta<TString>::CountProperties() const {
    if (handle_ == nullptr) return 0;
    std::size_t count = 0;
    for (std::string const& ns : SchemaUris(Handle(handle_))) {
        XmpIteratorHandle props(xmp_iterator_new(Handle(handle_), ns.c_str(), nullptr,
                                                 static_cast<XmpIterOptions>(options::kIterJustChildren)));
        while (props && xmp_iterator_next(props.get(), nullptr, nullptr, nullptr, nullptr)) ++count;
    }
    return count;
}

template <class TString>
TXMPIterator<TString>::TXMPIterator(TXMPMeta<TString> const& meta, char const* schemaNs, char const* path,
                                    std::uint32_t iterOptions) {
    if (meta.GetInternalRef() == nullptr) return;
    XmpStringHandle schema = NewString(), p = NewString(), value = NewString();
    handle_ = xmp_iterator_new(Handle(meta.GetInternalRef()), schemaNs, path,
                               static_cast<XmpIterOptions>(iterOptions));
    if (handle_ == nullptr) ThrowLastError("cannot iterate the XMP tree");
    schema_ = schema.release();
    path_ = p.release();
    value_ = value.release();
}

template <class TString>
TXMPIterator<TString>::~TXMPIterator() {
    if (handle_ != nullptr) xmp_iterator_free(static_cast<XmpIteratorPtr>(handle_));
    for (void* s : {schema_, path_, value_}) {
        if (s != nullptr) xmp_string_free(static_cast<XmpStringPtr>(s));
    }
}

template <class TString>
bool TXMPIterator<TString>::Next(TString* schemaNs, TString* path, TString* value,
                                 std::uint32_t* propOptions) {
    if (handle_ == nullptr) return false;
    auto* const ns = static_cast<XmpStringPtr>(schema_);
    auto* const p = static_cast<XmpStringPtr>(path_);
    auto* const v = static_cast<XmpStringPtr>(value_);
    std::uint32_t bits = 0;
    if (!xmp_iterator_next(static_cast<XmpIteratorPtr>(handle_), ns, p, v, &bits)) return false;
    if (schemaNs != nullptr) schemaNs->assign(View(ns));
    if (path != nullptr) path->assign(View(p));
    if (value != nullptr) value->assign(View(v));
    if (propOptions != nullptr) *propOptions = bits;
    return true;
}

template <class TString>
void TXMPIterator<TString>::Skip(std::uint32_t skipOptions) {
    if (handle_ != nullptr) {
        xmp_iterator_skip(static_cast<XmpIteratorPtr>(handle_), static_cast<XmpIterSkipOptions>(skipOptions));
    }
}

template <class TString>
void TXMPUtils<TString>::DuplicateSubtree(TXMPMeta<TString> const& source, TXMPMeta<TString>* dest,
                                          char const* sourceNs, char const* sourceRoot, char const* destNs,
                                          char const* destRoot, std::uint32_t /*options*/) {
    if (dest == nullptr || sourceNs == nullptr) throw XMP_Error(4, "DuplicateSubtree: missing argument");
    if (source.GetInternalRef() == nullptr) return;
    if (dest->GetInternalRef() == nullptr) *dest = TXMPMeta<TString>();
    XmpPtr const src = Handle(source.GetInternalRef());
    XmpPtr const dst = Handle(dest->GetInternalRef());
    char const* const targetNs = destNs != nullptr && *destNs != '\0' ? destNs : sourceNs;

    if (sourceRoot == nullptr || *sourceRoot == '\0') {
        CopySchema(src, dst, sourceNs, false);
        return;
    }
    std::string const from = QualifiedPath(sourceNs, sourceRoot);
    std::string const to =
        QualifiedPath(targetNs, destRoot != nullptr && *destRoot != '\0' ? destRoot : sourceRoot);
    XmpStringHandle value = NewString();
    std::uint32_t bits = 0;
    if (!xmp_get_property(src, sourceNs, from.c_str(), value.get(), &bits)) {
        throw XMP_Error(101, "DuplicateSubtree: source property does not exist");
    }
    std::string const text(View(value.get()));
    if (xmp_has_property(dst, targetNs, to.c_str())) xmp_delete_property(dst, targetNs, to.c_str());
    CopyNode(src, dst, sourceNs, from, targetNs, to, text, bits, false);
}

namespace {

// Throws the toolkit's last error unless `ok`.
void Check(bool ok, char const* what) {
    if (!ok) ThrowLastError(what);
}

// The registered prefix of `ns` without its colon; XMP_Error 101 when the
// namespace is not registered.
std::string PrefixOf(char const* ns) {
    XmpStringHandle prefix = NewString();
    if (ns == nullptr || *ns == '\0' || !xmp_namespace_prefix(ns, prefix.get())) {
        throw XMP_Error(101, "unregistered schema namespace URI");
    }
    std::string_view text = View(prefix.get());
    if (!text.empty() && text.back() == ':') text.remove_suffix(1);
    return std::string(text);
}

// "prefix:name" for a field or qualifier of namespace `ns`; a name that
// already carries a prefix must carry that of `ns`.
std::string QualifiedName(char const* ns, char const* name) {
    if (name == nullptr || *name == '\0') throw XMP_Error(102, "empty field or qualifier name");
    std::string prefix = PrefixOf(ns);
    std::string_view const given(name);
    std::size_t const colon = given.find(':');
    if (colon == std::string_view::npos) return prefix + ':' + std::string(given);
    if (given.substr(0, colon) != prefix) throw XMP_Error(102, "prefix and namespace URI mismatch");
    return std::string(given);
}

void RequireName(char const* name) {
    if (name == nullptr || *name == '\0') throw XMP_Error(102, "empty property name");
}

}  // namespace

template <class TString>
void TXMPMeta<TString>::SetProperty_Bool(char const* schemaNs, char const* path, bool value,
                                         std::uint32_t propOptions) {
    SetProperty(schemaNs, path, value ? "True" : "False", propOptions);
}

template <class TString>
void TXMPMeta<TString>::SetProperty_Int(char const* schemaNs, char const* path, std::int32_t value,
                                        std::uint32_t propOptions) {
    SetProperty_Int64(schemaNs, path, value, propOptions);
}

template <class TString>
void TXMPMeta<TString>::SetProperty_Int64(char const* schemaNs, char const* path, std::int64_t value,
                                          std::uint32_t propOptions) {
    EnsureHandle();
    RequireName(path);
    Check(xmp_set_property_int64(Handle(handle_), schemaNs, path, value, propOptions),
          "cannot set an integer XMP property");
}

// The toolkit prints doubles with six fixed decimals, which turns small
// numbers into 0.000000; the shortest text that reads back as the same
// double loses nothing.
template <class TString>
void TXMPMeta<TString>::SetProperty_Float(char const* schemaNs, char const* path, double value,
                                          std::uint32_t propOptions) {
    std::array<char, 32> buffer{};
    auto const result = std::to_chars(buffer.data(), buffer.data() + buffer.size() - 1, value);
    *result.ptr = '\0';
    SetProperty(schemaNs, path, buffer.data(), propOptions);
}

template <class TString>
bool TXMPMeta<TString>::GetProperty_Bool(char const* schemaNs, char const* path, bool* value,
                                         std::uint32_t* propOptions) const {
    if (!DoesPropertyExist(schemaNs, path)) return false;
    bool result = false;
    std::uint32_t bits = 0;
    Check(xmp_get_property_bool(Handle(handle_), schemaNs, path, &result, &bits),
          "not a Boolean XMP property");
    if (value != nullptr) *value = result;
    if (propOptions != nullptr) *propOptions = bits;
    return true;
}

template <class TString>
bool TXMPMeta<TString>::GetProperty_Int64(char const* schemaNs, char const* path, std::int64_t* value,
                                          std::uint32_t* propOptions) const {
    if (!DoesPropertyExist(schemaNs, path)) return false;
    std::int64_t result = 0;
    std::uint32_t bits = 0;
    Check(xmp_get_property_int64(Handle(handle_), schemaNs, path, &result, &bits),
          "not an integer XMP property");
    if (value != nullptr) *value = result;
    if (propOptions != nullptr) *propOptions = bits;
    return true;
}

template <class TString>
bool TXMPMeta<TString>::GetProperty_Float(char const* schemaNs, char const* path, double* value,
                                          std::uint32_t* propOptions) const {
    if (!DoesPropertyExist(schemaNs, path)) return false;
    double result = 0;
    std::uint32_t bits = 0;
    Check(xmp_get_property_float(Handle(handle_), schemaNs, path, &result, &bits), "not a real XMP property");
    if (value != nullptr) *value = result;
    if (propOptions != nullptr) *propOptions = bits;
    return true;
}

template <class TString>
void TXMPMeta<TString>::SetLocalizedText(char const* schemaNs, char const* altTextName,
                                         char const* genericLang, char const* specificLang,
                                         char const* itemValue, std::uint32_t options) {
    EnsureHandle();
    RequireName(altTextName);
    if (specificLang == nullptr || *specificLang == '\0') throw XMP_Error(4, "empty specific language");
    Check(xmp_set_localized_text(Handle(handle_), schemaNs, altTextName,
                                 genericLang != nullptr ? genericLang : "", specificLang,
                                 itemValue != nullptr ? itemValue : "", options),
          "cannot set a localised XMP text");
}

template <class TString>
bool TXMPMeta<TString>::GetLocalizedText(char const* schemaNs, char const* altTextName,
                                         char const* genericLang, char const* specificLang,
                                         TString* actualLang, TString* itemValue,
                                         std::uint32_t* options) const {
    if (handle_ == nullptr || specificLang == nullptr || *specificLang == '\0') return false;
    XmpStringHandle lang = NewString(), value = NewString();
    std::uint32_t bits = 0;
    if (!xmp_get_localized_text(Handle(handle_), schemaNs, altTextName,
                                genericLang != nullptr ? genericLang : "", specificLang, lang.get(),
                                value.get(), &bits)) {
        return false;
    }
    if (actualLang != nullptr) *actualLang = TString(View(lang.get()));
    if (itemValue != nullptr) *itemValue = TString(View(value.get()));
    if (options != nullptr) *options = bits;
    return true;
}

template <class TString>
void TXMPMeta<TString>::AppendArrayItem(char const* schemaNs, char const* arrayName,
                                        std::uint32_t arrayOptions, char const* itemValue,
                                        std::uint32_t itemOptions) {
    EnsureHandle();
    RequireName(arrayName);
    std::uint32_t const form = arrayOptions & options::kPropCompositeMask;
    std::uint32_t existing = 0;
    if (!GetProperty(schemaNs, arrayName, nullptr, &existing)) {
        if (form == 0) throw XMP_Error(103, "explicit array options are needed to create an array");
        if ((form & options::kPropValueIsStruct) != 0) throw XMP_Error(103, "an array cannot be a structure");
        Set(Handle(handle_), schemaNs, arrayName, nullptr, form | options::kPropValueIsArray);
    } else if ((existing & options::kPropValueIsArray) == 0) {
        throw XMP_Error(102, "the property is not an array");
    }
    // The C layer's append refuses containers; the index one past the end
    // creates the item just as well.
    std::string const path =
        std::string(arrayName) + '[' + std::to_string(CountArrayItems(schemaNs, arrayName) + 1) + ']';
    bool const composite = (itemOptions & options::kPropCompositeMask) != 0;
    Set(Handle(handle_), schemaNs, path, composite ? nullptr : (itemValue != nullptr ? itemValue : ""),
        itemOptions);
}

template <class TString>
void TXMPMeta<TString>::SetArrayItem(char const* schemaNs, char const* arrayName, std::int32_t itemIndex,
                                     char const* itemValue, std::uint32_t itemOptions) {
    EnsureHandle();
    TString path;
    TXMPUtils<TString>::ComposeArrayItemPath(schemaNs, arrayName, itemIndex, &path);
    if (!DoesPropertyExist(schemaNs, arrayName)) throw XMP_Error(102, "the array does not exist");
    if (itemIndex != kArrayLastItem && itemIndex > CountArrayItems(schemaNs, arrayName) + 1) {
        throw XMP_Error(104, "array index out of range");
    }
    bool const composite = (itemOptions & options::kPropCompositeMask) != 0;
    Set(Handle(handle_), schemaNs, std::string(path),
        composite ? nullptr : (itemValue != nullptr ? itemValue : ""), itemOptions);
}

template <class TString>
bool TXMPMeta<TString>::GetArrayItem(char const* schemaNs, char const* arrayName, std::int32_t itemIndex,
                                     TString* itemValue, std::uint32_t* itemOptions) const {
    TString path;
    TXMPUtils<TString>::ComposeArrayItemPath(schemaNs, arrayName, itemIndex, &path);
    return GetProperty(schemaNs, std::string(path).c_str(), itemValue, itemOptions);
}

template <class TString>
bool TXMPMeta<TString>::DoesArrayItemExist(char const* schemaNs, char const* arrayName,
                                           std::int32_t itemIndex) const {
    TString path;
    TXMPUtils<TString>::ComposeArrayItemPath(schemaNs, arrayName, itemIndex, &path);
    return DoesPropertyExist(schemaNs, std::string(path).c_str());
}

template <class TString>
std::int32_t TXMPMeta<TString>::CountArrayItems(char const* schemaNs, char const* arrayName) const {
    std::uint32_t bits = 0;
    if (!GetProperty(schemaNs, arrayName, nullptr, &bits)) return 0;
    if ((bits & options::kPropValueIsArray) == 0) throw XMP_Error(102, "the property is not an array");
    // Items are numbered without gaps: an exponential probe and a bisection
    // find the last one in a logarithmic number of look-ups.
    std::string const name(arrayName);
    auto const exists = [&](std::int64_t index) {
        std::string const item = name + '[' + std::to_string(index) + ']';
        return xmp_has_property(Handle(handle_), schemaNs, item.c_str());
    };
    std::int64_t present = 0, absent = 1;
    while (absent <= std::numeric_limits<std::int32_t>::max() && exists(absent)) {
        present = absent;
        absent *= 2;
    }
    while (absent - present > 1) {
        std::int64_t const middle = present + (absent - present) / 2;
        (exists(middle) ? present : absent) = middle;
    }
    return static_cast<std::int32_t>(present);
}

template <class TString>
void TXMPMeta<TString>::SetStructField(char const* schemaNs, char const* structName, char const* fieldNs,
                                       char const* fieldName, char const* fieldValue, std::uint32_t options) {
    TString path;
    TXMPUtils<TString>::ComposeStructFieldPath(schemaNs, structName, fieldNs, fieldName, &path);
    SetProperty(schemaNs, std::string(path).c_str(), fieldValue, options);
}

template <class TString>
bool TXMPMeta<TString>::GetStructField(char const* schemaNs, char const* structName, char const* fieldNs,
                                       char const* fieldName, TString* fieldValue,
                                       std::uint32_t* options) const {
    TString path;
    TXMPUtils<TString>::ComposeStructFieldPath(schemaNs, structName, fieldNs, fieldName, &path);
    return GetProperty(schemaNs, std::string(path).c_str(), fieldValue, options);
}

template <class TString>
void TXMPMeta<TString>::SetQualifier(char const* schemaNs, char const* propName, char const* qualNs,
                                     char const* qualName, char const* qualValue, std::uint32_t options) {
    if (!DoesPropertyExist(schemaNs, propName)) throw XMP_Error(102, "the qualified property does not exist");
    TString path;
    TXMPUtils<TString>::ComposeQualifierPath(schemaNs, propName, qualNs, qualName, &path);
    SetProperty(schemaNs, std::string(path).c_str(), qualValue != nullptr ? qualValue : "", options);
}

template <class TString>
void TXMPUtils<TString>::ComposeArrayItemPath(char const* schemaNs, char const* arrayName,
                                              std::int32_t itemIndex, TString* fullPath) {
    RequireName(arrayName);
    PrefixOf(schemaNs);
    if (itemIndex < kArrayLastItem || itemIndex == 0) throw XMP_Error(104, "array index out of range");
    std::string path(arrayName);
    path += itemIndex == kArrayLastItem ? std::string("[last()]") : '[' + std::to_string(itemIndex) + ']';
    if (fullPath != nullptr) *fullPath = TString(std::move(path));
}

template <class TString>
void TXMPUtils<TString>::ComposeStructFieldPath(char const* schemaNs, char const* structName,
                                                char const* fieldNs, char const* fieldName,
                                                TString* fullPath) {
    RequireName(structName);
    PrefixOf(schemaNs);
    std::string path = std::string(structName) + '/' + QualifiedName(fieldNs, fieldName);
    if (fullPath != nullptr) *fullPath = TString(std::move(path));
}

template <class TString>
void TXMPUtils<TString>::ComposeQualifierPath(char const* schemaNs, char const* propName, char const* qualNs,
                                              char const* qualName, TString* fullPath) {
    RequireName(propName);
    PrefixOf(schemaNs);
    std::string path = std::string(propName) + "/?" + QualifiedName(qualNs, qualName);
    if (fullPath != nullptr) *fullPath = TString(std::move(path));
}

template <class TString>
void TXMPUtils<TString>::ComposeLangSelector(char const* schemaNs, char const* arrayName,
                                             char const* langName, TString* fullPath) {
    RequireName(arrayName);
    PrefixOf(schemaNs);
    std::string_view const lang = langName != nullptr ? std::string_view(langName) : std::string_view();
    if (lang.empty() || lang.find('"') != std::string_view::npos) throw XMP_Error(102, "bad language name");
    std::string path = std::string(arrayName) + "[?xml:lang=\"" + std::string(lang) + "\"]";
    if (fullPath != nullptr) *fullPath = TString(std::move(path));
}

template class TXMPMeta<std::string>;
template class TXMPIterator<std::string>;
template struct TXMPUtils<std::string>;

void RegisterAdditionalNamespaces() {
    TXMPMeta<std::string>::RegisterNamespace("http://creativecommons.org/ns#", "cc");
    TXMPMeta<std::string>::RegisterNamespace("http://www.metadataworkinggroup.com/schemas/collections/",
                                             "mwg-coll");
}

}  // namespace meta::xmp
