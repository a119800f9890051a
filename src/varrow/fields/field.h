#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "varrow/fields/canon_vrd_dr4_tag_id.h"
#include "varrow/fields/field_group.h"
#include "varrow/fields/neg_aware_ordering.h"
#include "varrow/fields/sub_directory.h"
#include "varrow/util/byte.h"
#include "varrow/values/exif_type.h"

namespace meta {

class Value;
struct ReadStore;

// Value classes that readers produce for the definition types below; each is
// defined by its reader, the definitions only pass pointers to them around.
class ExifValue;
class IptcValue;
class XmpValue;
class Metadatum;

// Format enumerations of the IPTC, XMP and Lytro readers. Declared here with
// their underlying type so that definitions can hold them; the enumerators
// belong to the readers.
enum class IptcType : std::uint32_t;
enum class XmpType : std::uint32_t;
enum class LytroType : std::uint32_t;

// One input of a composite: an item looked up by namespace and name.
struct CompositeInput {
    FieldNamespace ns = FieldNamespace::Unknown;
    std::string name;

    friend bool operator==(CompositeInput const&, CompositeInput const&) = default;
};

namespace detail {

// Members that some definition types have beyond the common ones.
struct NoFieldExtras {};

struct ExifTagExtras {
    // How the sub-directories of a pointer tag are packed: 0 automatic,
    // 1 in place, 2 at an offset.
    std::uint32_t packing = 0;
};

struct IptcTagExtras {
    // Bounds of a dataset's length in bytes; 0 = no bound. With only a
    // minimum the length must equal it.
    std::uint32_t minLength = 0;
    std::uint32_t maxLength = 0;
};

struct CompositeFieldExtras {
    // Items that must all exist for the composite to be made.
    std::vector<CompositeInput> requiredInputs;
    // Items used when present.
    std::vector<CompositeInput> desiredInputs;
    // Items whose presence keeps the composite from being made.
    std::vector<CompositeInput> inhibitingInputs;
};

template <class K, class Type, class ValueT, class Ordering>
struct FieldExtrasFor {
    using type = NoFieldExtras;
};
template <>
struct FieldExtrasFor<std::uint16_t, ExifType, ExifValue, std::less<void>> {
    using type = ExifTagExtras;
};
template <>
struct FieldExtrasFor<std::uint8_t, IptcType, IptcValue, std::less<void>> {
    using type = IptcTagExtras;
};
template <>
struct FieldExtrasFor<std::string, ExifType, Metadatum, std::less<void>> {
    using type = CompositeFieldExtras;
};

}  // namespace detail

// Everything the library knows about one tag, dataset or property: names,
// expected shape, when it applies, the sub-directories its value opens and
// the functions that turn its raw value into a value and a display value.
// Definitions live in the field databases for the life of the process;
// items and keys point into them.
//
// K is the id type, Type the format enumeration, ValueT the value class the
// reader produces, Ordering the comparator of ids. Extra is unused.
template <class K, class Type, class ValueT, class Extra, class Ordering>
struct Field : detail::FieldExtrasFor<K, Type, ValueT, Ordering>::type {
    using IdType = K;
    using FormatType = Type;
    using ValueType = ValueT;
    using OrderingType = Ordering;
    using CountType = std::uint32_t;
    using ExtrasType = typename detail::FieldExtrasFor<K, Type, ValueT, Ordering>::type;
    using SubDirectoriesType = std::vector<SubDirectorySpecifier>;
    using ChildrenType = std::map<K, Field, Ordering>;
    using VariantsType = std::vector<Field>;
    using ConditionType = std::function<bool(ReadStore&)>;
    using CountFunctionType = std::function<CountType(ReadStore&)>;
    using ValueHookType = std::function<bool(const ValueT*, CountType, ReadStore&)>;
    using ConversionType = std::function<Value(const Value&, ReadStore&)>;
    using InverseConversionType = std::function<Value(const Value&)>;

    // The tag name ("Orientation"), also the name of the items it makes.
    std::string name;
    // Human title; empty in most rows (items derive one from the name).
    std::string title;
    // Notes on the tag.
    std::string description;
    // Expected element count; 0 = take it from the data.
    CountType fixedCount = 0;
    // 0 = the format found in the data; otherwise the format to read as.
    Type overrideFormat{};
    // 0 read normally; 1 only with Options::readUnknownTags; other values never.
    std::uint32_t visibility = 0;
    // The definition (or its variant) can be chosen only with the data at hand.
    bool delayed = false;
    // 0 marks tags that must not replace an equal key (Orientation).
    std::int32_t priority = 1;
    // Directories the value points to, in value order.
    SubDirectoriesType subDirectories;
    // Sub-fields decoded from the same value, each an item of its own.
    ChildrenType children;
    // Alternative definitions of the same id, tried in order.
    VariantsType variants;
    // Variant selector; empty = always true.
    ConditionType condition;
    // Element count computed from the read store; empty = none.
    CountFunctionType countFunction;
    // Called by the reader with the freshly read value; its result goes back
    // to the reader.
    ValueHookType valueHook;
    // Raw value, applied once (composites keep their computation here).
    ConversionType rawConversion;
    // Raw value to value.
    ConversionType valueConversion;
    // Value to display value; usually a bound display lookup.
    ConversionType displayConversion;
    InverseConversionType inverseRawConversion;
    InverseConversionType inverseValueConversion;
    InverseConversionType inverseDisplayConversion;
    // Display lookup that displayConversion uses ("ExifOrientation"); empty when none.
    std::string lookupName;
};

// A table of definitions as the table functions return it and the databases
// hold it: one group's definitions in id order.
template <class T>
using FieldTable = std::map<typename T::IdType, T, typename T::OrderingType>;

// TIFF/EXIF directories and TIFF-structured maker notes.
using ExifTag = Field<std::uint16_t, ExifType, ExifValue, void, std::less<void>>;
// Binary records whose fields sit at fixed offsets; negative ids count back
// from the record's end.
using RecordField = Field<int, ExifType, ExifValue, void, NegAwareOrdering<int>>;
// Records with large offsets (CanonAFInfo, CanonAFInfo2, SigmaRawHeaderExt).
using UnsignedRecordField = Field<unsigned int, ExifType, ExifValue, void, std::less<void>>;
// ICC profile tags, keyed by their signature.
using IccProfileTag = Field<std::string, ExifType, ExifValue, void, std::less<void>>;
// OpenEXR header attributes.
using OpenExrAttribute = Field<std::string, ExifType, Value, void, std::less<void>>;
// Lytro JSON properties.
using LytroProperty = Field<std::string, LytroType, Value, void, std::less<void>>;
// Sigma raw properties (key/value text).
using SigmaRawProperty = Field<std::string, ExifType, std::string, void, std::less<void>>;
// IPTC IIM datasets; the format is the dataset's IptcType.
using IptcTag = Field<std::uint8_t, IptcType, IptcValue, void, std::less<void>>;
// XMP properties, keyed by property name.
using XmpField = Field<std::string, XmpType, XmpValue, void, std::less<void>>;
// Composite definitions, keyed by the composite's name.
using CompositeField = Field<std::string, ExifType, Metadatum, void, std::less<void>>;
// Canon VRD blocks and records. The block types carry the block's bytes.
using CanonVrdBlock = Field<std::uint32_t, ExifType, std::vector<byte>, void, std::less<void>>;
using CanonVrdEditTag = Field<std::uint8_t, ExifType, std::vector<byte>, void, std::less<void>>;
using CanonVrdIhlTag = Field<std::uint8_t, ExifType, ExifValue, void, std::less<void>>;
using CanonVrdDr4Tag = Field<CanonVrdDr4TagId, ExifType, ExifValue, void, std::less<void>>;
// Blocks of the DNG private Adobe data, keyed by block name.
using AdobeDngBlock = Field<std::string, ExifType, std::vector<byte>, void, std::less<void>>;

}  // namespace meta
