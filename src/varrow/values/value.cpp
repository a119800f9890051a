#include "varrow/values/value.h"

#include <array>
#include <ostream>

#include "varrow/util/strings.h"

namespace meta {

constinit const Value Value::None{};

namespace {

const ValueQualifierMap kNoQualifiers;

constexpr std::array<const char*, detail::kHeldTypeCount> kTypeNames = {
    "None",          "String",        "LString",  "Binary",    "Bool",      "S8",          "U8",
    "S16",           "U16",           "S32",      "U32",       "S64",       "U64",         "Float",
    "Double",        "Fraction",      "DateTime", "BoolArray", "S8Array",   "U8Array",     "S16Array",
    "U16Array",      "S32Array",      "U32Array", "S64Array",  "U64Array",  "FloatArray",  "DoubleArray",
    "FractionArray", "DateTimeArray", "Sequence", "Set",       "Structure", "RefSequence",
};

template <typename T>
inline constexpr bool kIsIntegralScalar = std::is_integral_v<T>;

template <typename T>
struct ArrayElement {
    using Type = void;
};
template <typename E>
struct ArrayElement<std::vector<E>> {
    using Type = E;
};

template <typename T>
double ToDouble(const T& x) {
    if constexpr (std::is_same_v<T, Fraction>) {
        return x.AsDouble();
    } else if constexpr (std::is_same_v<T, bool>) {
        return x ? 1.0 : 0.0;
    } else {
        return static_cast<double>(x);
    }
}

template <typename T>
inline constexpr bool kIsArithmeticScalar = std::is_arithmetic_v<T> || std::is_same_v<T, Fraction>;

}  // namespace

ValueStore::ValueStore(const ValueStore& other) : Base() {
    reserve(other.size());
    for (const auto& [name, value] : other) {
        emplace(name, value ? std::make_unique<Value>(*value) : nullptr);
    }
}

ValueStore& ValueStore::operator=(const ValueStore& other) {
    if (this != &other) *this = ValueStore(other);
    return *this;
}

void ValueStore::Set(const std::string& name, Value value) {
    insert_or_assign(name, std::make_unique<Value>(std::move(value)));
}

bool operator==(const ValueStore& a, const ValueStore& b) {
    // By lookup rather than by iteration order: two stores holding the same
    // fields may iterate differently after different insertion histories.
    if (a.size() != b.size()) return false;
    for (const auto& [name, value] : a) {
        const auto it = b.find(name);
        if (it == b.end()) return false;
        if (!value || !it->second) {
            if (value || it->second) return false;
            continue;
        }
        if (!(*value == *it->second)) return false;
    }
    return true;
}

bool Value::SanitiseData() {
    auto* text = std::get_if<std::string>(&variant_);
    if (text == nullptr) return false;
    *text = strings::SanitiseUtf8(std::move(*text));
    return true;
}

std::size_t Value::Length() const noexcept {
    if (variant_.valueless_by_exception()) return 0;
    return std::visit(
        [](const auto& held) -> std::size_t {
            using H = std::remove_cvref_t<decltype(held)>;
            if constexpr (std::is_same_v<H, std::monostate>) {
                return 0;
            } else if constexpr (std::is_same_v<H, detail::Boxed<LocalisedString>>) {
                return 1 + held.Get().GetAlternatives().size();
            } else if constexpr (std::is_same_v<H, detail::Boxed<ValueStore>>) {
                return held.Get().size();
            } else if constexpr (std::is_same_v<H, std::string> || std::is_same_v<H, Fraction> ||
                                 std::is_same_v<H, DateTime> || std::is_arithmetic_v<H>) {
                return 1;
            } else {
                // Binary, the typed arrays, Sequence, Set and RefSequence.
                return held.size();
            }
        },
        variant_);
}

const Value& Value::at(std::size_t i) const {
    switch (GetType()) {
        case Type::Sequence: {
            const auto& list = Get<ValueSequence>();
            if (i < list.size()) return list[i];
            break;
        }
        case Type::Set: {
            const auto& list = Get<ValueSet>();
            if (i < list.size()) return list[i];
            break;
        }
        case Type::RefSequence: {
            const auto& refs = Get<ValueRefSequence>();
            if (i < refs.size() && refs[i] != nullptr) return *refs[i];
            break;
        }
        default: break;
    }
    throw ValueException();
}

const Value& Value::operator[](std::size_t i) const noexcept {
    try {
        return at(i);
    } catch (const ValueException&) {
        return None;
    }
}

ValueQualifierMap& Value::MutableQualifiers() {
    if (!qualifiers_) qualifiers_ = std::make_unique<ValueQualifierMap>();
    return *qualifiers_;
}

bool Value::AddQualifier(const std::string& name, std::string text) {
    return AddQualifier(name, ValueQualifier(std::move(text)));
}

bool Value::AddQualifier(const std::string& name, ValueQualifier qualifier) {
    ValueQualifierMap& qualifiers = MutableQualifiers();
    if (qualifiers.find(name) != qualifiers.end()) return false;
    qualifiers.emplace(name, std::make_unique<ValueQualifier>(std::move(qualifier)));
    return true;
}

bool Value::RemoveQualifier(const std::string& name) {
    return qualifiers_ && qualifiers_->erase(name) != 0;
}

void Value::RemoveQualifiers() noexcept {
    qualifiers_.reset();
}

bool Value::HasQualifier(const std::string& name) const {
    return qualifiers_ && qualifiers_->find(name) != qualifiers_->end();
}

const ValueQualifier& Value::GetQualifier(const std::string& name) const {
    if (qualifiers_) {
        const auto it = qualifiers_->find(name);
        if (it != qualifiers_->end() && it->second) return *it->second;
    }
    throw std::out_of_range("no qualifier named " + name);
}

const ValueQualifierMap& Value::GetQualifiers() const noexcept {
    return qualifiers_ ? *qualifiers_ : kNoQualifiers;
}

void Value::SetQualifiers(ValueQualifierMap qualifiers) {
    if (qualifiers.empty()) {
        qualifiers_.reset();
    } else {
        qualifiers_ = std::make_unique<ValueQualifierMap>(std::move(qualifiers));
    }
}

bool Value::operator==(const Value& other) const {
    if (!(variant_ == other.variant_)) return false;
    const bool mine = HasQualifiers();
    const bool theirs = other.HasQualifiers();
    if (!mine || !theirs) return mine == theirs;
    return QualifiersEqual(*qualifiers_, *other.qualifiers_);
}

Value& Value::operator/=(double divisor) {
    if (variant_.valueless_by_exception()) return *this;
    Value result = Visit([divisor](const auto& held) -> Value {
        using H = std::remove_cvref_t<decltype(held)>;
        using E = typename ArrayElement<H>::Type;
        if constexpr (std::is_same_v<H, std::monostate>) {
            return Value();
        } else if constexpr (kIsArithmeticScalar<H>) {
            return Value(ToDouble(held) / divisor);
        } else if constexpr (!std::is_void_v<E> && kIsArithmeticScalar<E>) {
            std::vector<double> out;
            out.reserve(held.size());
            for (const auto& x : held) out.push_back(ToDouble(static_cast<E>(x)) / divisor);
            return Value(std::move(out));
        } else {
            throw ValueException();
        }
    });
    // The divided value keeps the qualifiers of the original.
    variant_ = std::move(result.variant_);
    return *this;
}

template <typename Mask>
Value& Value::ApplyMask(Mask mask) {
    if (variant_.valueless_by_exception()) return *this;
    // Both operands widened to 64 bits (sign-extended where signed), masked,
    // then narrowed back: the same low bits as `x & mask`.
    const auto bits = static_cast<std::uint64_t>(mask);
    auto apply = [bits](auto x) {
        using X = decltype(x);
        if constexpr (std::is_same_v<X, bool>) {
            return ((x ? 1U : 0U) & bits) != 0;
        } else {
            return static_cast<X>(static_cast<std::uint64_t>(x) & bits);
        }
    };
    Value result = Visit([&apply](const auto& held) -> Value {
        using H = std::remove_cvref_t<decltype(held)>;
        using E = typename ArrayElement<H>::Type;
        if constexpr (std::is_same_v<H, std::monostate>) {
            return Value();
        } else if constexpr (kIsIntegralScalar<H>) {
            return Value(apply(held));
        } else if constexpr (!std::is_void_v<E> && kIsIntegralScalar<E>) {
            H out;
            out.reserve(held.size());
            for (const auto& x : held) out.push_back(apply(static_cast<E>(x)));
            return Value(std::move(out));
        } else {
            throw ValueException();
        }
    });
    variant_ = std::move(result.variant_);
    return *this;
}

Value& Value::operator&=(int mask) {
    return ApplyMask(mask);
}
Value& Value::operator&=(unsigned char mask) {
    return ApplyMask(static_cast<unsigned int>(mask));
}
Value& Value::operator&=(unsigned short mask) {
    return ApplyMask(static_cast<unsigned int>(mask));
}
Value& Value::operator&=(unsigned int mask) {
    return ApplyMask(mask);
}

std::string ToString(Value::Type type) {
    const auto index = static_cast<std::size_t>(type);
    return index < kTypeNames.size() ? kTypeNames[index] : "";
}

std::ostream& operator<<(std::ostream& os, Value::Type type) {
    return os << ToString(type);
}

std::string ToString(ValueAffinity affinity) {
    switch (affinity) {
        case ValueAffinity::Display: return "Display";
        case ValueAffinity::Value: return "Value";
        case ValueAffinity::Raw: return "Raw";
        case ValueAffinity::None: return "None";
    }
    return "";
}

std::ostream& operator<<(std::ostream& os, ValueAffinity affinity) {
    return os << ToString(affinity);
}

}  // namespace meta
