#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/util/byte.h"
#include "varrow/values/date_time.h"
#include "varrow/values/flag_set.h"
#include "varrow/values/fraction.h"
#include "varrow/values/localised_string.h"
#include "varrow/values/value_qualifier.h"

namespace meta {

class Value;

namespace xmp {
template <class TString>
class TXMPMeta;
}  // namespace xmp

// Typed conversion behind Value::Convert<T>(); specialised in
// value_converter.h.
template <typename T>
struct ValueConverter;

// Thrown for impossible accesses and failed conversions of a Value. The
// message is empty unless stated otherwise.
class VARROW_API ValueException : public std::runtime_error {
  public:
    ValueException() : std::runtime_error("") {}
    explicit ValueException(const std::string& what) : std::runtime_error(what) {}
};

// Which of an item's values is meant.
enum class ValueAffinity : std::int32_t {
    Display = 0,  // the display string
    Value = 1,    // the converted value
    Raw = 2,      // the value as read
    None = 3,
};

// "Display", "Value", "Raw", "None"; the empty string for other numbers.
VARROW_API std::string ToString(ValueAffinity affinity);
VARROW_API std::ostream& operator<<(std::ostream& os, ValueAffinity affinity);

// An ordered list of values (an XMP ordered array).
class ValueSequence : public std::vector<Value> {
  public:
    using std::vector<Value>::vector;
    ValueSequence() = default;
    explicit ValueSequence(std::vector<Value> values);
};

// An unordered bag of values (an XMP unordered array); kept in insertion
// order.
class ValueSet : public std::vector<Value> {
  public:
    using std::vector<Value>::vector;
    ValueSet() = default;
    explicit ValueSet(std::vector<Value> values);
};

// A structure: field name to value. Copies are deep.
class VARROW_API ValueStore : public std::unordered_map<std::string, std::unique_ptr<Value>> {
  public:
    using Base = std::unordered_map<std::string, std::unique_ptr<Value>>;

    ValueStore() = default;
    ValueStore(const ValueStore& other);
    ValueStore(ValueStore&&) noexcept = default;
    ValueStore& operator=(const ValueStore& other);
    ValueStore& operator=(ValueStore&&) noexcept = default;
    ~ValueStore() = default;

    // Sets `name` to `value`, replacing a previous field of that name.
    void Set(const std::string& name, Value value);
};

// Non-owning references to values that live elsewhere (other items of the
// same collection); it must not outlive them.
using ValueRefSequence = std::vector<const Value*>;

namespace detail {

// Keeps rarely used, large alternatives on the heap so that every Value stays
// small; copies are deep, and a Value resets its source after a move, so a
// box is never observed empty.
template <typename T>
class Boxed {
  public:
    Boxed(T value) : ptr_(std::make_unique<T>(std::move(value))) {}
    Boxed(const Boxed& other) : ptr_(other.ptr_ ? std::make_unique<T>(*other.ptr_) : nullptr) {}
    Boxed(Boxed&&) noexcept = default;
    Boxed& operator=(const Boxed& other) {
        if (this != &other) ptr_ = other.ptr_ ? std::make_unique<T>(*other.ptr_) : nullptr;
        return *this;
    }
    Boxed& operator=(Boxed&&) noexcept = default;
    ~Boxed() = default;

    const T& Get() const noexcept { return *ptr_; }

    friend bool operator==(const Boxed& a, const Boxed& b) { return a.Get() == b.Get(); }

  private:
    std::unique_ptr<T> ptr_;
};

template <typename T>
const T& Unbox(const T& held) noexcept {
    return held;
}
template <typename T>
const T& Unbox(const Boxed<T>& held) noexcept {
    return held.Get();
}

template <typename... Ts>
struct TypeList {};

template <std::size_t I, typename List>
struct TypeAtImpl;
template <std::size_t I, typename T, typename... Ts>
struct TypeAtImpl<I, TypeList<T, Ts...>> : TypeAtImpl<I - 1, TypeList<Ts...>> {};
template <typename T, typename... Ts>
struct TypeAtImpl<0, TypeList<T, Ts...>> {
    using Type = T;
};

template <typename T, typename List>
struct IndexOfImpl;
template <typename T, typename... Ts>
struct IndexOfImpl<T, TypeList<Ts...>> {
    static constexpr std::size_t Find() {
        constexpr bool matches[] = {std::is_same_v<T, Ts>...};
        for (std::size_t i = 0; i < sizeof...(Ts); ++i) {
            if (matches[i]) return i;
        }
        return sizeof...(Ts);
    }
    static constexpr std::size_t value = Find();
};

template <typename T>
struct StorageOf {
    using Type = T;
};
template <>
struct StorageOf<LocalisedString> {
    using Type = Boxed<LocalisedString>;
};
template <>
struct StorageOf<ValueStore> {
    using Type = Boxed<ValueStore>;
};

template <typename List>
struct VariantOf;
template <typename... Ts>
struct VariantOf<TypeList<Ts...>> {
    using Type = std::variant<typename StorageOf<Ts>::Type...>;
};

// The held types in discriminator order (Value::Type).
using HeldTypes =
    TypeList<std::monostate, std::string, LocalisedString, std::vector<meta::byte>, bool, std::int8_t,
             std::uint8_t, std::int16_t, std::uint16_t, std::int32_t, std::uint32_t, std::int64_t,
             std::uint64_t, float, double, Fraction, DateTime, std::vector<bool>, std::vector<std::int8_t>,
             std::vector<std::uint8_t>, std::vector<std::int16_t>, std::vector<std::uint16_t>,
             std::vector<std::int32_t>, std::vector<std::uint32_t>, std::vector<std::int64_t>,
             std::vector<std::uint64_t>, std::vector<float>, std::vector<double>, std::vector<Fraction>,
             std::vector<DateTime>, ValueSequence, ValueSet, ValueStore, ValueRefSequence>;
inline constexpr std::size_t kHeldTypeCount = 34;

template <typename T>
inline constexpr std::size_t kHeldIndex = IndexOfImpl<T, HeldTypes>::value;
template <typename T>
inline constexpr bool kIsHeldType = kHeldIndex<T> < kHeldTypeCount;

// BoolArray .. DateTimeArray
template <typename T>
inline constexpr bool kIsTypedArray = kHeldIndex<T> >= 17 && kHeldIndex<T> <= 29;

template <typename T>
inline constexpr bool kIsCharType =
    std::is_same_v<T, char> || std::is_same_v<T, wchar_t> || std::is_same_v<T, char8_t> ||
    std::is_same_v<T, char16_t> || std::is_same_v<T, char32_t>;

// Integer types with no alternative of their own (long long where int64_t is
// long, and the reverse) are stored as the fixed-width type of the same size
// and signedness; character types are rejected rather than taken as numbers.
template <typename T>
struct InputTypeOf {
    using Type = void;
};
template <typename T>
requires kIsHeldType<T>
struct InputTypeOf<T> {
    using Type = T;
};
template <typename T>
requires(!kIsHeldType<T> && std::is_integral_v<T> && !kIsCharType<T>) struct InputTypeOf<T> {
    using Signed = std::conditional_t<
        sizeof(T) == 1, std::int8_t,
        std::conditional_t<sizeof(T) == 2, std::int16_t,
                           std::conditional_t<sizeof(T) == 4, std::int32_t, std::int64_t>>>;
    using Type = std::conditional_t<std::is_signed_v<T>, Signed, std::make_unsigned_t<Signed>>;
};

template <typename T>
using InputType = typename InputTypeOf<std::remove_cvref_t<T>>::Type;

}  // namespace detail

// The value of a metadata item: one of 34 alternatives (scalars, typed arrays,
// text, binary data, dates, collections) plus optional named qualifiers.
// Scalars are stored inline; copying a scalar value allocates nothing.
class VARROW_API Value {
  public:
    enum class Type : std::uint8_t {
        None = 0,
        String,
        LString,
        Binary,
        Bool,
        S8,
        U8,
        S16,
        U16,
        S32,
        U32,
        S64,
        U64,
        Float,
        Double,
        Fraction,
        DateTime,
        BoolArray,
        S8Array,
        U8Array,
        S16Array,
        U16Array,
        S32Array,
        U32Array,
        S64Array,
        U64Array,
        FloatArray,
        DoubleArray,
        FractionArray,
        DateTimeArray,
        Sequence,
        Set,
        Structure,
        RefSequence,
    };

    // The held type of an alternative: TypeTraits<Type::U16>::Type is uint16_t.
    template <Type t>
    struct TypeTraits {
        using Type = typename detail::TypeAtImpl<static_cast<std::size_t>(t), detail::HeldTypes>::Type;
    };

    // Bit numbers of SerialisationFlagSet; see ToStream.
    enum class SerialisationFlags : std::uint8_t {
        FractionsAsDecimal = 0,     // a Fraction as its decimal value, else 'N/D'
        NanAsUndef = 1,             // NaN as "undef"
        BoolAsNumber = 2,           // Bool as 1/0 (wins over the next two)
        BoolAsYesNo = 3,            // Bool as yes/no, else true/false
        CapitaliseBool = 4,         // Yes/No, True/False
        FloatGeneralPrecision = 5,  // general notation, 6 (float) or 15 (double) digits
        FractionPrecision10 = 6,    // a decimal from a fraction with 10 digits
        ExifDateTime = 7,           // DateTime as 'YYYY:MM:DD hh:mm:ss.ss'
        ExpandReferences = 8,       // a RefSequence as its first referenced value
    };
    using SerialisationFlagSet = FlagSet<SerialisationFlags, 9>;

    // The library's named output styles.
    struct SerialisationPolicies {
        static constexpr SerialisationFlagSet Pretty{
            SerialisationFlags::FractionsAsDecimal, SerialisationFlags::BoolAsYesNo,
            SerialisationFlags::CapitaliseBool, SerialisationFlags::FractionPrecision10};
        static constexpr SerialisationFlagSet Simple{SerialisationFlags::FractionsAsDecimal,
                                                     SerialisationFlags::BoolAsNumber,
                                                     SerialisationFlags::FloatGeneralPrecision};
        static constexpr SerialisationFlagSet Exiftool{
            SerialisationFlags::FractionsAsDecimal,  SerialisationFlags::NanAsUndef,
            SerialisationFlags::CapitaliseBool,      SerialisationFlags::FloatGeneralPrecision,
            SerialisationFlags::FractionPrecision10, SerialisationFlags::ExifDateTime,
            SerialisationFlags::ExpandReferences};
    };

    // The library-wide empty value, returned by reference where no value
    // exists.
    static const Value None;

    constexpr Value() noexcept = default;

    // Any held type, by value: Value(std::uint16_t{7}) is a U16,
    // Value(std::vector<meta::byte>{}) is Binary while
    // Value(std::vector<std::uint8_t>{}) is a U8Array.
    template <typename T>
    requires(!std::is_void_v<detail::InputType<T>>) Value(T value)
        : variant_(std::in_place_index<detail::kHeldIndex<detail::InputType<T>>>,
                   static_cast<detail::InputType<T>>(std::move(value))) {
        if constexpr (std::is_same_v<detail::InputType<T>, std::string>) SanitiseData();
    }
    Value(const char* text) : Value(std::string(text != nullptr ? text : "")) {}
    Value(char* text) : Value(static_cast<const char*>(text)) {}
    Value(std::string_view text) : Value(std::string(text)) {}

    Value(const Value& other);
    Value(Value&& other) noexcept;
    Value& operator=(const Value& other);
    Value& operator=(Value&& other) noexcept;
    ~Value() = default;

    // Builds a value of alternative `t`.
    template <Type t>
    static Value Create(typename TypeTraits<t>::Type value) {
        if constexpr (t == Type::None) {
            return Value();
        } else {
            return Value(std::move(value));
        }
    }

    // Replaces ill-formed UTF-8 in a String by U+FFFD; true when the value is
    // a String. Every constructor runs it.
    bool SanitiseData();

    Type GetType() const noexcept {
        return variant_.valueless_by_exception() ? Type::None : static_cast<Type>(variant_.index());
    }
    bool Exists() const noexcept { return GetType() != Type::None; }
    bool Exists(Type t) const noexcept { return GetType() == t; }
    explicit operator bool() const noexcept { return Exists(); }

    // Bool .. U64
    bool IsIntegral() const noexcept { return InRange(Type::Bool, Type::U64); }
    // Bool .. Fraction
    bool IsArithmetic() const noexcept { return InRange(Type::Bool, Type::Fraction); }
    // BoolArray .. DateTimeArray
    bool IsArray() const noexcept { return InRange(Type::BoolArray, Type::DateTimeArray); }
    // BoolArray .. FractionArray
    bool IsArithmeticArray() const noexcept { return InRange(Type::BoolArray, Type::FractionArray); }
    // BoolArray .. U64Array
    bool IsIntegralArray() const noexcept { return InRange(Type::BoolArray, Type::U64Array); }
    // Sequence, Set, Structure
    bool IsCollection() const noexcept { return InRange(Type::Sequence, Type::Structure); }

    // 0 for None, 1 for a scalar, 1 + translations for an LString, else the
    // number of bytes, elements, fields or references.
    std::size_t Length() const noexcept;

    // Element i of a Sequence or Set, or the value entry i of a RefSequence
    // points to; throws ValueException when out of range or for any other
    // alternative.
    const Value& at(std::size_t i) const;
    // As at(), but Value::None instead of throwing.
    const Value& operator[](std::size_t i) const noexcept;

    // The held object; throws ValueException unless the alternative is T.
    template <typename T>
    const T& Get() const {
        static_assert(detail::kIsHeldType<T>, "T is not a type a Value holds");
        constexpr std::size_t index = detail::kHeldIndex<T>;
        const auto* held = std::get_if<index>(&variant_);
        if (held == nullptr) throw ValueException();
        return detail::Unbox(*held);
    }

    // A converted copy; throws ValueException when the alternative does not
    // convert to T.
    template <typename T>
    T Convert() const {
        return ValueConverter<T>::Convert(*this);
    }

    // Calls f with the held object (std::monostate for None).
    template <typename F>
    decltype(auto) Visit(F&& f) const {
        if (variant_.valueless_by_exception()) throw ValueException();
        return std::visit([&f](const auto& held) -> decltype(auto) { return f(detail::Unbox(held)); },
                          variant_);
    }

    // Qualifiers. Adding keeps an existing qualifier of the same name and
    // returns false.
    bool AddQualifier(const std::string& name, std::string text);
    bool AddQualifier(const std::string& name, ValueQualifier qualifier);
    bool RemoveQualifier(const std::string& name);
    void RemoveQualifiers() noexcept;
    bool HasQualifier(const std::string& name) const;
    bool HasQualifiers() const noexcept { return qualifiers_ && !qualifiers_->empty(); }
    // Throws std::out_of_range when absent.
    const ValueQualifier& GetQualifier(const std::string& name) const;
    const ValueQualifierMap& GetQualifiers() const noexcept;
    void SetQualifiers(ValueQualifierMap qualifiers);

    // Same alternative, equal contents and equal qualifiers. Fractions
    // compare as stored (1/2 != 2/4); a RefSequence compares the addresses
    // it refers to.
    bool operator==(const Value& other) const;

    // Divides every arithmetic scalar or arithmetic-array element; the result
    // is a Double or a DoubleArray. None stays None; other alternatives throw
    // ValueException and are left unchanged.
    Value& operator/=(double divisor);
    // Masks every integral scalar or integral-array element, keeping the
    // alternative. None stays None; other alternatives throw ValueException
    // and are left unchanged.
    Value& operator&=(int mask);
    Value& operator&=(unsigned char mask);
    Value& operator&=(unsigned short mask);
    Value& operator&=(unsigned int mask);

    // Writes the value with the given flags; the stream's format is restored
    // afterwards. A valueless variant sets failbit.
    std::ostream& ToStream(std::ostream& os, SerialisationFlagSet flags = {}) const;
    std::string ToString(SerialisationFlagSet flags = {}) const;
    // Element `index` of an array alternative (BoolArray .. DateTimeArray).
    std::ostream& ElementToStream(std::size_t index, std::ostream& os, SerialisationFlagSet flags = {}) const;
    std::string ElementToString(std::size_t index, SerialisationFlagSet flags = {}) const;
    // The structured form: collections as "(Sequence data)" etc. at the top
    // level; nested, as [a,b] and {name=value} with the separators inside
    // values escaped by '|'.
    std::string ToExifToolString(bool nested = false, char closing = '\0') const;

    // Writes the value, with its qualifiers, at `path` ("Rating",
    // "History[2]/stEvt:action") of namespace `nsUri` in an XMP tree. False
    // when it cannot be written; nothing is then left at `path`. Part of the
    // XMP output module.
    bool ToXmpTree(xmp::TXMPMeta<std::string>& meta, const char* nsUri, const std::string& path) const;

  private:
    using Variant = detail::VariantOf<detail::HeldTypes>::Type;
    static_assert(std::variant_size_v<Variant> == detail::kHeldTypeCount);

    bool InRange(Type first, Type last) const noexcept {
        const Type t = GetType();
        return t >= first && t <= last;
    }
    std::unique_ptr<ValueQualifierMap> CloneQualifiers() const;
    ValueQualifierMap& MutableQualifiers();
    template <typename Mask>
    Value& ApplyMask(Mask mask);

    Variant variant_;
    // Null until the first qualifier is added: most values have none.
    std::unique_ptr<ValueQualifierMap> qualifiers_;
};

// "None", "String", ... "RefSequence"; the empty string above 33.
VARROW_API std::string ToString(Value::Type type);
VARROW_API std::ostream& operator<<(std::ostream& os, Value::Type type);
// ToStream with no flags.
VARROW_API std::ostream& operator<<(std::ostream& os, const Value& value);

inline Value::Value(const Value& other) : variant_(other.variant_), qualifiers_(other.CloneQualifiers()) {}

inline Value::Value(Value&& other) noexcept
    : variant_(std::move(other.variant_)), qualifiers_(std::move(other.qualifiers_)) {
    other.variant_.emplace<0>();
}

inline Value& Value::operator=(const Value& other) {
    if (this != &other) {
        auto qualifiers = other.CloneQualifiers();
        variant_ = other.variant_;
        qualifiers_ = std::move(qualifiers);
    }
    return *this;
}

inline Value& Value::operator=(Value&& other) noexcept {
    if (this != &other) {
        variant_ = std::move(other.variant_);
        qualifiers_ = std::move(other.qualifiers_);
        other.variant_.emplace<0>();
    }
    return *this;
}

inline std::unique_ptr<ValueQualifierMap> Value::CloneQualifiers() const {
    if (!HasQualifiers()) return nullptr;
    return std::make_unique<ValueQualifierMap>(Clone(*qualifiers_));
}

// Defined here, once Value is complete.
inline ValueSequence::ValueSequence(std::vector<Value> values) : std::vector<Value>(std::move(values)) {}
inline ValueSet::ValueSet(std::vector<Value> values) : std::vector<Value>(std::move(values)) {}

inline bool operator==(const ValueSequence& a, const ValueSequence& b) {
    return static_cast<const std::vector<Value>&>(a) == static_cast<const std::vector<Value>&>(b);
}
inline bool operator==(const ValueSet& a, const ValueSet& b) {
    return static_cast<const std::vector<Value>&>(a) == static_cast<const std::vector<Value>&>(b);
}
// Same field names with equal values (a null entry equals only a null entry).
VARROW_API bool operator==(const ValueStore& a, const ValueStore& b);

}  // namespace meta

// Convert<T>() needs the converter specialisations wherever it is used.
#include "varrow/values/value_converter.h"  // IWYU pragma: export
