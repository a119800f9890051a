#include "varrow/xmp_out/value_xmp_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

namespace meta {
namespace xmp {
namespace {

constexpr char const* kXmlNs = "http://www.w3.org/XML/1998/namespace";
constexpr std::uint32_t kOrdered = options::kPropValueIsArray | options::kPropArrayIsOrdered;
constexpr std::uint32_t kAlternative = kOrdered | options::kPropArrayIsAlternate;
constexpr std::uint32_t kAltText = kAlternative | options::kPropArrayIsAltText;
constexpr std::uint32_t kUnordered = options::kPropValueIsArray;

template <class T>
inline constexpr bool kIsInteger = std::is_integral_v<T> && !std::is_same_v<T, bool>;

bool IsAlt(Value const& value) {
    return value.HasQualifiers() && value.HasQualifier(ValueXmpGenerator::kArrayIsAltQualifier);
}

// Whole numbers are written as integers; anything else keeps its fraction.
void WriteReal(TXMPMeta<std::string>& meta, char const* ns, std::string const& path, double x) {
    constexpr double kInt64Bound = 9223372036854775808.0;  // 2^63
    if (std::isfinite(x) && std::trunc(x) == x && x >= -kInt64Bound && x < kInt64Bound) {
        meta.SetProperty_Int64(ns, path.c_str(), static_cast<std::int64_t>(x));
    } else {
        meta.SetProperty_Float(ns, path.c_str(), x);
    }
}

template <class T>
void WriteInteger(TXMPMeta<std::string>& meta, char const* ns, std::string const& path, T x) {
    if constexpr (std::is_same_v<T, std::uint64_t>) {
        if (x > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            meta.SetProperty(ns, path.c_str(), std::to_string(x).c_str());
            return;
        }
    }
    meta.SetProperty_Int64(ns, path.c_str(), static_cast<std::int64_t>(x));
}

// A scalar that is an element of a typed array or a Value of its own.
template <class T>
void WriteScalar(TXMPMeta<std::string>& meta, char const* ns, std::string const& path, T const& x) {
    if constexpr (std::is_same_v<T, bool>) {
        meta.SetProperty_Bool(ns, path.c_str(), x);
    } else if constexpr (kIsInteger<T>) {
        WriteInteger(meta, ns, path, x);
    } else if constexpr (std::is_floating_point_v<T>) {
        WriteReal(meta, ns, path, static_cast<double>(x));
    } else if constexpr (std::is_same_v<T, Fraction>) {
        meta.SetProperty(ns, path.c_str(), ToString(x, false).c_str());
    } else if constexpr (std::is_same_v<T, DateTime>) {
        meta.SetProperty(ns, path.c_str(), ToString(x, '-', 'T', -1).c_str());
    } else {
        static_assert(std::is_same_v<T, void>, "not a scalar");
    }
}

}  // namespace

std::uint32_t ValueXmpGenerator::NodeOptions(Value const& value) {
    switch (value.GetType()) {
        case Value::Type::Structure: return options::kPropValueIsStruct;
        case Value::Type::Set: return kUnordered;
        case Value::Type::Sequence: return IsAlt(value) ? kAlternative : kOrdered;
        case Value::Type::RefSequence: return kOrdered;
        case Value::Type::LString: return kAltText;
        default: return value.IsArray() ? kOrdered : 0;
    }
}

std::string ValueXmpGenerator::ItemPath(std::string const& path, std::size_t index) const {
    std::string item;
    item.reserve(path.size() + 8);
    item += path;
    item += '[';
    item += std::to_string(index);
    item += ']';
    return item;
}

void ValueXmpGenerator::Write(Value const& value, std::string const& path) {
    value.Visit([&](auto const& held) {
        using T = std::remove_cvref_t<decltype(held)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
            meta_.SetProperty(ns_, path.c_str(), "");
        } else if constexpr (std::is_same_v<T, std::string>) {
            meta_.SetProperty(ns_, path.c_str(), held.c_str());
        } else if constexpr (std::is_same_v<T, LocalisedString>) {
            WriteLocalised(held, path);
        } else if constexpr (std::is_same_v<T, std::vector<meta::byte>>) {
            meta_.SetProperty(ns_, path.c_str(), value.ToString().c_str());
        } else if constexpr (std::is_same_v<T, ValueSequence>) {
            WriteList(held, IsAlt(value) ? kAlternative : kOrdered, path);
        } else if constexpr (std::is_same_v<T, ValueSet>) {
            WriteList(held, kUnordered, path);
        } else if constexpr (std::is_same_v<T, ValueRefSequence>) {
            WriteList(held, kOrdered, path);
        } else if constexpr (std::is_same_v<T, ValueStore>) {
            WriteStructure(held, path);
        } else if constexpr (std::is_same_v<T, std::vector<bool>>) {
            meta_.SetProperty(ns_, path.c_str(), nullptr, kOrdered);
            for (std::size_t i = 0; i < held.size(); ++i) {
                meta_.SetProperty_Bool(ns_, ItemPath(path, i + 1).c_str(), held[i]);
            }
        } else if constexpr (detail::kIsTypedArray<T>) {
            WriteTypedArray(held, path);
        } else {
            WriteScalar(meta_, ns_, path, held);
        }
    });
    BindQualifiers(value, path);
}

template <class Element>
void ValueXmpGenerator::WriteTypedArray(std::vector<Element> const& elements, std::string const& path) {
    meta_.SetProperty(ns_, path.c_str(), nullptr, kOrdered);
    // Items are created in order: the index one past the end appends.
    for (std::size_t i = 0; i < elements.size(); ++i)
        WriteScalar(meta_, ns_, ItemPath(path, i + 1), elements[i]);
}

template <class List>
void ValueXmpGenerator::WriteList(List const& list, std::uint32_t arrayOptions, std::string const& path) {
    meta_.SetProperty(ns_, path.c_str(), nullptr, arrayOptions);
    std::size_t index = 0;
    for (auto const& entry : list) {
        Value const* element = nullptr;
        if constexpr (std::is_pointer_v<std::remove_cvref_t<decltype(entry)>>) {
            element = entry != nullptr ? entry : &Value::None;
        } else {
            element = &entry;
        }
        std::string const item = ItemPath(path, ++index);
        std::uint32_t const itemOptions = NodeOptions(*element);
        if (itemOptions != 0) meta_.SetProperty(ns_, item.c_str(), nullptr, itemOptions);
        Write(*element, item);
    }
}

// Built item by item rather than through SetLocalizedText, whose editing
// rules would rewrite the x-default text when a language is added to a
// text without one.
void ValueXmpGenerator::WriteLocalised(LocalisedString const& text, std::string const& path) {
    meta_.SetProperty(ns_, path.c_str(), nullptr, kAltText);
    std::size_t index = 0;
    auto add = [&](std::string const& lang, std::string const& itemText) {
        std::string const item = ItemPath(path, ++index);
        // The language goes first: the toolkit revises the texts of an
        // alt-text array when an item gets its language.
        meta_.SetProperty(ns_, item.c_str(), "");
        meta_.SetQualifier(ns_, item.c_str(), kXmlNs, "lang", lang.c_str());
        meta_.SetProperty(ns_, item.c_str(), itemText.c_str());
    };
    std::string const xDefault = "x-default";
    add(xDefault, text.GetDefaultValue());
    std::string const& defaultLang = text.GetDefaultLocale().GetName();
    if (!defaultLang.empty() && defaultLang != xDefault) add(defaultLang, text.GetDefaultValue());
    for (auto const& [locale, itemText] : text.GetAlternatives()) {
        std::string const& lang = locale.GetName();
        if (lang.empty() || lang == xDefault || lang == defaultLang) continue;
        add(lang, itemText);
    }
}

void ValueXmpGenerator::WriteStructure(ValueStore const& store, std::string const& path) {
    meta_.SetProperty(ns_, path.c_str(), nullptr, options::kPropValueIsStruct);
    // Field order is the map's; a stable order keeps the output repeatable.
    std::vector<ValueStore::Base::const_pointer> fields;
    fields.reserve(store.size());
    for (auto const& field : store) {
        if (field.second) fields.push_back(&field);
    }
    std::sort(fields.begin(), fields.end(), [](auto const* a, auto const* b) { return a->first < b->first; });
    for (auto const* field : fields) {
        std::string const& name = field->first;
        // A member read from a packet keeps its own namespace ("stEvt:action").
        std::string fieldNs = ns_;
        if (std::size_t const colon = name.find(':'); colon != std::string::npos) {
            if (!TXMPMeta<std::string>::GetNamespaceURI(name.substr(0, colon).c_str(), &fieldNs)) {
                throw XMP_Error(101, "unregistered namespace prefix of a structure field");
            }
        }
        std::string fieldPath;
        TXMPUtils<std::string>::ComposeStructFieldPath(ns_, path.c_str(), fieldNs.c_str(), name.c_str(),
                                                       &fieldPath);
        std::uint32_t const fieldOptions = NodeOptions(*field->second);
        if (fieldOptions != 0) meta_.SetProperty(ns_, fieldPath.c_str(), nullptr, fieldOptions);
        Write(*field->second, fieldPath);
    }
}

void ValueXmpGenerator::BindQualifiers(Value const& value, std::string const& path) {
    if (!value.HasQualifiers()) return;
    std::string qualNs;
    for (auto const& [name, qualifier] : value.GetQualifiers()) {
        if (!qualifier || name == kArrayIsAltQualifier) continue;
        std::size_t const colon = name.find(':');
        if (colon == std::string::npos || colon == 0 || colon + 1 == name.size()) continue;
        if (!TXMPMeta<std::string>::GetNamespaceURI(name.substr(0, colon).c_str(), &qualNs)) continue;
        meta_.SetQualifier(ns_, path.c_str(), qualNs.c_str(), name.c_str() + colon + 1,
                           qualifier->GetText().c_str());
    }
}

}  // namespace xmp

bool Value::ToXmpTree(xmp::TXMPMeta<std::string>& meta, const char* nsUri, const std::string& path) const {
    if (!Exists() || nsUri == nullptr || *nsUri == '\0' || path.empty()) return false;
    try {
        xmp::ValueXmpGenerator(meta, nsUri).Write(*this, path);
        return true;
    } catch (ValueException const&) {
    } catch (xmp::XMP_Error const&) {
    } catch (std::bad_variant_access const&) {
    }
    // Nothing half-written stays behind.
    try {
        meta.DeleteProperty(nsUri, path.c_str());
    } catch (xmp::XMP_Error const&) {
    }
    return false;
}

}  // namespace meta
