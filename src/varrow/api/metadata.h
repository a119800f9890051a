#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <iosfwd>
#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/api/initialiser.h"
#include "varrow/api/item_indices.h"
#include "varrow/api/options.h"
#include "varrow/api/read_source.h"
#include "varrow/fields/field_group.h"
#include "varrow/fields/key.h"
#include "varrow/items/metadatum.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"
#include "varrow/xmp_out/rdf_serialisation_mode.h"

namespace meta {

class DataSource;
class InMemoryStream;
class InMemoryStreamInterface;

namespace xmp {
template <class TString>
class TXMPMeta;
}  // namespace xmp

// The items of one read and the entry points that fill it:
//   meta::Metadata md(meta::Initialiser::Mode::InitialiseXmp);
//   if (md.Read("IMG_0001.JPG", meta::Options{})) { ... }
// A Metadata object is used by one thread at a time; separate objects may be
// read on separate threads.
class VARROW_API Metadata {
  public:
    // One block of the structural map: which processor read which bytes.
    struct StructuralMapNode {
        static constexpr std::uint64_t kUnknownEnd = ~std::uint64_t{0};

        std::uint64_t start = 0;
        std::uint64_t end = 0;
        std::type_info const* processor = nullptr;
        FieldGroup group = FieldGroup::Unknown;
        std::size_t count = 0;  // items added while this block was innermost
        std::vector<std::shared_ptr<StructuralMapNode>> children;
    };

    // Creates its own Initialiser.
    explicit Metadata(Initialiser::Mode mode);
    // Shares an existing Initialiser (the cheap way to make many collections).
    explicit Metadata(std::shared_ptr<Initialiser> initialiser);
    ~Metadata();

    Metadata(Metadata const&) = delete;
    Metadata& operator=(Metadata const&) = delete;

    std::shared_ptr<Initialiser> GetInitialiser() const { return initialiser_; }

    // Each Read returns true when the file's reader reported success. The
    // type comes from the file name's extension unless given. A path that
    // cannot be opened, or a stream already failed, returns false and leaves
    // the collection as it was; otherwise the collection is cleared first.
    // Exceptions thrown while reading reach the caller; items added before
    // stay in the collection.
    bool Read(std::string const& path, Options const& options);
    bool Read(std::string const& path, ReadSource type, Options const& options);
    // The buffer is not copied and must outlive the call.
    bool Read(char const* data, std::size_t size, ReadSource type, Options const& options);
    bool Read(InMemoryStream& stream, ReadSource type, Options const& options);
    bool Read(std::istream& stream, ReadSource type, Options const& options);
    bool Read(InMemoryStreamInterface& stream, ReadSource type, Options const& options);
    // The central read every other overload ends in; `path` is recorded in
    // the read store (empty for streams and buffers).
    bool Read(DataSource& source, ReadSource type, Options const& options, std::string_view path);
    // Adds the properties of a parsed XMP tree to what the collection holds
    // (no clearing, no composites), in this collection's read context.
    bool Read(xmp::TXMPMeta<std::string> const& xmp, Options const& options);

    // Adds an item. Every item is kept (GetAllValues); for each name one
    // winner is chosen by priority (Metadatum::Replaces), and lookups by key
    // or name return winners. False only for a null item.
    bool Add(Metadatum item);
    // Adds a plain named value as a UserMetadatum in `group`'s namespace.
    bool Add(FieldGroup group, std::string name, Value value, ValueAffinity affinity);
    // Builds an item with M::Create(key, args...) and adds it.
    template <class M, class K, class... Args>
    bool Add(K&& key, Args&&... args) {
        return Add(Metadatum(M::Create(std::forward<K>(key), std::forward<Args>(args)...)));
    }

    // Lookups return the null Metadatum when nothing matches.
    Metadatum Find(Key const& key) const;
    // Group Unknown searches every group (FindAny).
    Metadatum Find(FieldGroup group, std::string_view name) const;
    // Namespace Unknown searches every namespace. Otherwise the winner if it
    // is in `ns`, else the latest item of that name in `ns`.
    Metadatum Find(FieldNamespace ns, std::string_view name) const;
    // The current winner among all items of that name, whatever their group.
    Metadatum FindAny(std::string_view name) const;
    Metadatum operator[](std::string_view name) const { return FindAny(name); }

    // Keys of the winners, by group number and then name.
    std::vector<Key> GetAllKeys() const;
    // Every item, losers included, in order of adding.
    std::vector<Metadatum> const& GetAllValues() const { return items_; }
    std::size_t Size() const { return items_.size(); }

    // Views that refer to the collection without copying it.
    template <class Collection>
    class OrderedViewT {
      public:
        explicit OrderedViewT(Collection& metadata) : metadata_(&metadata) {}
        auto begin() const { return metadata_->items_.begin(); }
        auto end() const { return metadata_->items_.end(); }
        std::size_t size() const { return metadata_->items_.size(); }

      private:
        Collection* metadata_;
    };
    using OrderedView = OrderedViewT<Metadata const>;
    using MutableOrderedView = OrderedViewT<Metadata>;

    // The winners in key order (group number, then name).
    class SortedView {
      public:
        class iterator {
          public:
            using Base = std::vector<std::uint32_t>::const_iterator;
            using value_type = Metadatum;
            using difference_type = std::ptrdiff_t;
            iterator() = default;
            iterator(Base it, std::vector<Metadatum> const* items) : it_(it), items_(items) {}
            Metadatum const& operator*() const { return (*items_)[*it_]; }
            Metadatum const* operator->() const { return &**this; }
            iterator& operator++() {
                ++it_;
                return *this;
            }
            iterator operator++(int) {
                iterator old = *this;
                ++it_;
                return old;
            }
            bool operator==(iterator const& other) const { return it_ == other.it_; }

          private:
            Base it_{};
            std::vector<Metadatum> const* items_ = nullptr;
        };

        explicit SortedView(Metadata const& metadata) : metadata_(&metadata) {}
        // Iterators stay valid until the collection changes.
        iterator begin() const { return {metadata_->keyIndex_.Sorted().begin(), &metadata_->items_}; }
        iterator end() const { return {metadata_->keyIndex_.Sorted().end(), &metadata_->items_}; }
        std::size_t size() const { return metadata_->keyIndex_.Size(); }

      private:
        Metadata const* metadata_;
    };

    OrderedView GetOrderedView() const { return OrderedView(*this); }
    MutableOrderedView GetMutableOrderedView() { return MutableOrderedView(*this); }
    SortedView GetSortedView() const { return SortedView(*this); }

    // Reads one item's value as text at a chosen level:
    //   auto show = Metadata::MakeExifToolDisplayStringFinder();
    //   std::string exposure = show(metadata, "ExposureTime");  // "1/250"
    // A missing item gives the empty string.
    struct VARROW_API Finder {
        ValueAffinity affinity = ValueAffinity::Display;
        bool exifTool = false;

        Finder() = default;
        Finder(ValueAffinity a, bool exifToolStyle) : affinity(a), exifTool(exifToolStyle) {}

        std::string GetSelectedValueAsString(Metadatum const& item) const;
        std::string operator()(Metadata const& metadata, FieldNamespace ns, std::string_view name) const;
        std::string operator()(Metadata const& metadata, FieldGroup group, std::string_view name) const;
        std::string operator()(Metadata const& metadata, std::string_view name) const;
    };
    static Finder MakeDisplayStringFinder() { return {ValueAffinity::Display, false}; }
    static Finder MakeValueStringFinder() { return {ValueAffinity::Value, false}; }
    static Finder MakeRawStringFinder() { return {ValueAffinity::Raw, false}; }
    static Finder MakeExifToolDisplayStringFinder() { return {ValueAffinity::Display, true}; }
    static Finder MakeExifToolValueStringFinder() { return {ValueAffinity::Value, true}; }
    static Finder MakeExifToolRawStringFinder() { return {ValueAffinity::Raw, true}; }

    // Context of the current (or last) read.
    std::shared_ptr<ReadStore> const& GetReadStore() const { return readStore_; }

    // Forgets every item and starts a fresh read store; items handed out
    // earlier keep the old one alive. The structural map is kept.
    void Clear();

    // Derives composite items from the items read.
    void GenerateCompositeTags();

    // The items as XMP: every item that maps to an XMP property, XMP items
    // under their own namespaces. The empty string (or an empty tree) when
    // the XMP toolkit is not usable or reports an error.
    std::string ToXmp(Options const& options, xmp::RdfSerialisationMode mode) const;
    xmp::TXMPMeta<std::string> ToLibXmpTree(Options const& options) const;

    // Structural map (recorded when Options::recordStructure is set).
    void PushStructuralNode(std::shared_ptr<StructuralMapNode> const& node);
    void PopStructuralNode();
    // Shares every top-level block of `other` under this collection's
    // innermost open block.
    void AttachStructuralNodes(Metadata const& other);
    StructuralMapNode const& GetStructureRoot() const { return *structureRoot_; }
    // One line per block, children indented by three spaces:
    //   [0x00000000 - 0x00001000] JPEG document (3 metadatums, Unknown)
    void DumpStructure(std::ostream& out) const;
    void DumpStructure(std::ostream& out, unsigned int depth, StructuralMapNode const& node) const;

  private:
    std::shared_ptr<Initialiser> initialiser_;
    std::shared_ptr<ReadStore> readStore_;
    std::vector<Metadatum> items_;
    // Both index views into the items' own keys, which items_ keeps alive.
    detail::ItemKeyIndex keyIndex_;
    detail::ItemNameIndex nameIndex_;
    std::shared_ptr<StructuralMapNode> structureRoot_;
    std::deque<std::shared_ptr<StructuralMapNode>> structureStack_;
};

}  // namespace meta
