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

// The index of the last item of an array.
inline constexpr std::int32_t kArrayLastItem = -1;

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

    // Typed forms of SetProperty; numbers are written as the toolkit formats
    // them (a double in fixed notation).
    void SetProperty_Bool(char const* schemaNs, char const* path, bool value, std::uint32_t propOptions = 0);
    void SetProperty_Int(char const* schemaNs, char const* path, std::int32_t value,
                         std::uint32_t propOptions = 0);
    void SetProperty_Int64(char const* schemaNs, char const* path, std::int64_t value,
                           std::uint32_t propOptions = 0);
    void SetProperty_Float(char const* schemaNs, char const* path, double value,
                           std::uint32_t propOptions = 0);
    // Typed reads: false when the property does not exist; a text that is
    // not of the type throws XMP_Error.
    bool GetProperty_Bool(char const* schemaNs, char const* path, bool* value,
                          std::uint32_t* propOptions) const;
    bool GetProperty_Int64(char const* schemaNs, char const* path, std::int64_t* value,
                           std::uint32_t* propOptions) const;
    bool GetProperty_Float(char const* schemaNs, char const* path, double* value,
                           std::uint32_t* propOptions) const;

    // Language alternatives. Setting creates the alt-text array when needed
    // and keeps an "x-default" item in step with the first language set.
    // Getting picks the specific language, else the generic one, else
    // "x-default", else the first item; `actualLang` tells which was found.
    void SetLocalizedText(char const* schemaNs, char const* altTextName, char const* genericLang,
                          char const* specificLang, char const* itemValue, std::uint32_t options = 0);
    bool GetLocalizedText(char const* schemaNs, char const* altTextName, char const* genericLang,
                          char const* specificLang, TString* actualLang, TString* itemValue,
                          std::uint32_t* options) const;

    // Arrays; items are numbered from 1, and -1 (kArrayLastItem) is the last
    // one. Appending creates the array with `arrayOptions` when it does not
    // exist; a null value with a struct or array option appends an empty
    // container.
    void AppendArrayItem(char const* schemaNs, char const* arrayName, std::uint32_t arrayOptions,
                         char const* itemValue, std::uint32_t itemOptions = 0);
    // Replaces item `itemIndex`; the index one past the end appends.
    void SetArrayItem(char const* schemaNs, char const* arrayName, std::int32_t itemIndex,
                      char const* itemValue, std::uint32_t itemOptions = 0);
    bool GetArrayItem(char const* schemaNs, char const* arrayName, std::int32_t itemIndex, TString* itemValue,
                      std::uint32_t* itemOptions) const;
    bool DoesArrayItemExist(char const* schemaNs, char const* arrayName, std::int32_t itemIndex) const;
    // 0 when the array does not exist; throws XMP_Error when the property
    // is not an array.
    std::int32_t CountArrayItems(char const* schemaNs, char const* arrayName) const;

    // Structure fields and qualifiers, by their own namespace and name.
    void SetStructField(char const* schemaNs, char const* structName, char const* fieldNs,
                        char const* fieldName, char const* fieldValue, std::uint32_t options = 0);
    bool GetStructField(char const* schemaNs, char const* structName, char const* fieldNs,
                        char const* fieldName, TString* fieldValue, std::uint32_t* options) const;
    void SetQualifier(char const* schemaNs, char const* propName, char const* qualNs, char const* qualName,
                      char const* qualValue, std::uint32_t options = 0);

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

    // Paths in the toolkit's syntax. The namespace of each step must be
    // registered (XMP_Error 101 otherwise); a field or qualifier name may
    // carry its prefix ("stEvt:action"), which must then be that of its
    // namespace (XMP_Error 102 otherwise).
    // "ns:Array[3]"; kArrayLastItem gives "ns:Array[last()]".
    static void ComposeArrayItemPath(char const* schemaNs, char const* arrayName, std::int32_t itemIndex,
                                     TString* fullPath);
    // "ns:Struct/fns:Field"
    static void ComposeStructFieldPath(char const* schemaNs, char const* structName, char const* fieldNs,
                                       char const* fieldName, TString* fullPath);
    // "ns:Prop/?qns:Qual"
    static void ComposeQualifierPath(char const* schemaNs, char const* propName, char const* qualNs,
                                     char const* qualName, TString* fullPath);
    // "ns:Alt[?xml:lang=\"x-default\"]", the item of an alt-text array in a
    // language.
    static void ComposeLangSelector(char const* schemaNs, char const* arrayName, char const* langName,
                                    TString* fullPath);
};

extern template class TXMPMeta<std::string>;
extern template class TXMPIterator<std::string>;
extern template struct TXMPUtils<std::string>;

// Where Seek counts from.
enum SeekMode : std::int32_t {
    kXMP_SeekFromStart = 0,
    kXMP_SeekFromCurrent = 1,
    kXMP_SeekFromEnd = 2,
};

// The toolkit's byte stream interface, through which file handlers read
// and rewrite files. Errors are thrown as XMP_Error.
class VARROW_API XMP_IO {
  public:
    XMP_IO() = default;
    XMP_IO(XMP_IO const&) = delete;
    XMP_IO& operator=(XMP_IO const&) = delete;
    virtual ~XMP_IO() = default;

    // Copies up to `count` bytes; with `readAll`, fewer than `count` is an
    // error. Returns the number copied.
    virtual std::uint32_t Read(void* buffer, std::uint32_t count, bool readAll = false) = 0;
    virtual void Write(void const* buffer, std::uint32_t count) = 0;
    // Returns the new position.
    virtual std::int64_t Seek(std::int64_t offset, SeekMode mode) = 0;
    virtual std::int64_t Length() = 0;
    virtual void Truncate(std::int64_t length) = 0;
    // A temporary stream that may later replace this one's content
    // (AbsorbTemp) or be dropped (DeleteTemp); owned by this stream.
    virtual XMP_IO* DeriveTemp() = 0;
    virtual void AbsorbTemp() = 0;
    virtual void DeleteTemp() = 0;

    std::int64_t Offset() { return Seek(0, kXMP_SeekFromCurrent); }
    std::int64_t Rewind() { return Seek(0, kXMP_SeekFromStart); }
    std::int64_t ToEOF() { return Seek(0, kXMP_SeekFromEnd); }
};

// Namespaces varrow writes that the toolkit does not know by default:
// Creative Commons ("cc") and the MWG collections schema ("mwg-coll").
VARROW_API void RegisterAdditionalNamespaces();

}  // namespace meta::xmp
