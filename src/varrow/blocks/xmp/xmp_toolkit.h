#pragma once

#include <cstddef>
#include <cstdint>
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

// Option bits, with the toolkit's own values.
namespace options {
// Parsing.
inline constexpr std::uint32_t kParseMoreBuffers = 0x0002;
// Property form.
inline constexpr std::uint32_t kPropValueIsURI = 0x0002;
inline constexpr std::uint32_t kPropHasQualifiers = 0x0010;
inline constexpr std::uint32_t kPropIsQualifier = 0x0020;
inline constexpr std::uint32_t kPropHasLang = 0x0040;
inline constexpr std::uint32_t kPropHasType = 0x0080;
inline constexpr std::uint32_t kPropValueIsStruct = 0x0100;
inline constexpr std::uint32_t kPropValueIsArray = 0x0200;
inline constexpr std::uint32_t kPropArrayIsOrdered = 0x0400;
inline constexpr std::uint32_t kPropArrayIsAlternate = 0x0800;
inline constexpr std::uint32_t kPropArrayIsAltText = 0x1000;
inline constexpr std::uint32_t kPropCompositeMask = 0x1F00;
inline constexpr std::uint32_t kPropIsSchemaNode = 0x80000000;
// Iteration.
inline constexpr std::uint32_t kIterJustChildren = 0x0100;
inline constexpr std::uint32_t kIterJustLeafNodes = 0x0200;
inline constexpr std::uint32_t kIterJustLeafName = 0x0400;
inline constexpr std::uint32_t kIterOmitQualifiers = 0x1000;
inline constexpr std::uint32_t kIterSkipSubtree = 0x0001;
inline constexpr std::uint32_t kIterSkipSiblings = 0x0002;
// Serialisation.
inline constexpr std::uint32_t kOmitPacketWrapper = 0x0010;
inline constexpr std::uint32_t kReadOnlyPacket = 0x0020;
inline constexpr std::uint32_t kUseCompactFormat = 0x0040;
inline constexpr std::uint32_t kOmitAllFormatting = 0x0800;
}  // namespace options

template <class TString>
class TXMPIterator;

// The toolkit's meta object (one XMP tree), parameterised on the string type
// like the toolkit's own client template; only std::string is instantiated.
// Copies are deep. Toolkit failures are thrown as XMP_Error.
//
// Paths are the toolkit's: "dc:subject[2]", "xmpMM:History[1]/stEvt:action",
// "dc:title[1]/?xml:lang"; the first step's prefix is that of `schemaNs`.
template <class TString>
class VARROW_API TXMPMeta {
  public:
    // Initialises the toolkit (reference counted by the toolkit itself).
    // Returns false when it refuses; throws XMP_Error on a toolkit error.
    static bool Initialize();
    static void Terminate() noexcept;

    // Registers `uri` under the suggested prefix; returns the prefix the
    // toolkit actually assigned (it may differ when the prefix is taken).
    static TString RegisterNamespace(char const* uri, char const* suggestedPrefix);
    // The registered prefix of a namespace URI, with its trailing colon
    // ("dc:"); false when the URI is not registered.
    static bool GetNamespacePrefix(char const* uri, TString* prefix);
    // The URI registered for a prefix (with or without the colon).
    static bool GetNamespaceURI(char const* prefix, TString* uri);

    // An empty tree.
    TXMPMeta();
    // Parses a complete packet.
    TXMPMeta(char const* buffer, std::size_t size);
    TXMPMeta(TXMPMeta const& other);
    TXMPMeta(TXMPMeta&& other) noexcept;
    TXMPMeta& operator=(TXMPMeta const& other);
    TXMPMeta& operator=(TXMPMeta&& other) noexcept;
    ~TXMPMeta();

    // Feeds a packet piece by piece: every call with kParseMoreBuffers adds
    // a piece, the first call without it (an empty buffer will do) ends the
    // packet and replaces the tree with what it holds.
    void ParseFromBuffer(char const* buffer, std::size_t size, std::uint32_t parseOptions = 0);

    // RDF/XML text of the tree.
    void SerializeToBuffer(TString* out, std::uint32_t serialOptions = 0, std::uint32_t padding = 0,
                           char const* newline = "", char const* indent = "",
                           std::int32_t baseIndent = 0) const;

    // False when the property does not exist; the value of a struct or array
    // is empty. Either pointer may be null.
    bool GetProperty(char const* schemaNs, char const* path, TString* value,
                     std::uint32_t* propOptions) const;
    bool DoesPropertyExist(char const* schemaNs, char const* path) const;
    // Deleting a property that does not exist is not an error.
    void DeleteProperty(char const* schemaNs, char const* path);
    // Creates or replaces a property (and its missing parents). A null value
    // with a struct or array option bit creates an empty container.
    void SetProperty(char const* schemaNs, char const* path, char const* value,
                     std::uint32_t propOptions = 0);

    // A qualifier of the property at `path`, by qualifier namespace and name.
    bool GetQualifier(char const* schemaNs, char const* path, char const* qualNs, char const* qualName,
                      TString* value, std::uint32_t* propOptions) const;

    // Orders the tree for stable output: schemas by prefix, properties and
    // struct fields by qualified name, qualifiers with xml:lang first and
    // rdf:type second, the x-default item of language alternatives first.
    // Other array items keep their order.
    void Sort();

    // Number of top-level properties, for a quick emptiness test.
    std::size_t CountProperties() const;

    // The toolkit's handle; for the toolkit layer only.
    void* GetInternalRef() const noexcept { return handle_; }

  private:
    void EnsureHandle();

    void* handle_ = nullptr;
    // Pieces of a packet being fed with kParseMoreBuffers.
    std::string pending_;
};

// Walks a TXMPMeta tree in the toolkit's order. Without a schema the walk
// covers every schema; with a schema and a path, the subtree of that property.
// kIterJustChildren restricts it to the direct children (for the root: the
// schema nodes; for a property: its qualifiers, then its fields or items).
// The tree must outlive the iterator and not change while it is walked.
template <class TString>
class VARROW_API TXMPIterator {
  public:
    TXMPIterator(TXMPMeta<TString> const& meta, char const* schemaNs, char const* path,
                 std::uint32_t iterOptions = 0);
    TXMPIterator(TXMPIterator const&) = delete;
    TXMPIterator& operator=(TXMPIterator const&) = delete;
    ~TXMPIterator();

    // The next node; false at the end. Any pointer may be null.
    bool Next(TString* schemaNs, TString* path, TString* value, std::uint32_t* propOptions);
    // kIterSkipSubtree or kIterSkipSiblings, for the node Next returned last.
    void Skip(std::uint32_t skipOptions);

  private:
    void* handle_ = nullptr;
    // Toolkit strings reused by every Next call.
    void* schema_ = nullptr;
    void* path_ = nullptr;
    void* value_ = nullptr;
};

template <class TString>
struct VARROW_API TXMPUtils {
    // Copies the property `sourceRoot` of `source` (with its fields, items
    // and qualifiers) to `destRoot` in `dest`, replacing what is there.
    // Without a destination namespace or path, the source's are used. An
    // empty source root copies every property of the source namespace into
    // the same namespace of `dest`.
    static void DuplicateSubtree(TXMPMeta<TString> const& source, TXMPMeta<TString>* dest,
                                 char const* sourceNs, char const* sourceRoot, char const* destNs = nullptr,
                                 char const* destRoot = nullptr, std::uint32_t options = 0);
};

extern template class TXMPMeta<std::string>;
extern template class TXMPIterator<std::string>;
extern template struct TXMPUtils<std::string>;

// Namespaces varrow writes that the toolkit does not know by default:
// Creative Commons ("cc") and the MWG collections schema ("mwg-coll").
VARROW_API void RegisterAdditionalNamespaces();

}  // namespace meta::xmp
