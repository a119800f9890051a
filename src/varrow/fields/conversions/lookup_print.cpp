#include "varrow/fields/conversions/lookup_print.h"

#include <variant>
#include <vector>

#include "varrow/fields/display_lookups.h"
#include "varrow/values/string_format.h"
#include "varrow/values/value_converter.h"

namespace meta::detail {

namespace {

// Registry entries live for the process, so the pointer stays valid.
const EnumValues* FindLookup(std::string_view name) {
    return std::visit([](const auto& impl) -> const EnumValues* { return &impl; },
                      DisplayLookups::SafeGet(name));
}

}  // namespace

std::function<Value(const Value&, ReadStore&)> BindLookupOnFail(std::string_view name,
                                                                EnumValuesOnFail onFail) {
    const EnumValues* lookup = FindLookup(name);
    return [lookup, onFail](const Value& v, ReadStore&) { return lookup->Lookup(v, onFail); };
}

std::function<Value(const Value&, ReadStore&)> BindLookupShowingUnknown(std::string_view name) {
    return BindLookupOnFail(name, EnumValuesOnFail::Unknown);
}

std::function<Value(const Value&, ReadStore&)> BindLookupJoined(std::string_view name,
                                                                std::string separator) {
    const EnumValues* lookup = FindLookup(name);
    return [lookup, separator = std::move(separator)](const Value& v, ReadStore&) {
        Value texts = lookup->Lookup(v, EnumValuesOnFail::Unknown);
        if (!texts.Exists(Value::Type::String) || v.Length() < 2) return texts;
        const std::string& joined = texts.Get<std::string>();
        std::string out;
        out.reserve(joined.size());
        std::size_t from = 0;
        for (std::size_t at = joined.find(", "); at != std::string::npos; at = joined.find(", ", from)) {
            out.append(joined, from, at - from).append(separator);
            from = at + 2;
        }
        out.append(joined, from, std::string::npos);
        return Value(std::move(out));
    };
}

Value PrintExifFlash(const Value& v, ReadStore&) {
    static const EnumValues* lookup = FindLookup("ExifFlash");
    try {
        return lookup->Lookup(v, EnumValuesOnFail::Throw);
    } catch (const LookupException&) {
        std::string out;
        strprintf(out, "Unknown (0x%llx)", v.Convert<unsigned long long>());
        return Value(std::move(out));
    }
}

Value PrintExifFileSource(const Value& v, ReadStore& store) {
    static const auto lookup = BindLookupShowingUnknown("ExifFileSource");
    if (v.Exists(Value::Type::Binary) && v.Length() == 4) {
        const auto& bytes = v.Get<std::vector<meta::byte>>();
        if (bytes == std::vector<meta::byte>{meta::byte{3}, meta::byte{0}, meta::byte{0}, meta::byte{0}})
            return Value("Sigma Digital Camera");
    }
    if (v.IsArray() || v.Exists(Value::Type::Binary)) {
        // Only the first byte is the code.
        try {
            const auto bytes = v.Convert<std::vector<std::uint8_t>>();
            if (!bytes.empty()) return lookup(Value(bytes.front()), store);
        } catch (const ValueException&) {
        }
        if (v.Exists(Value::Type::Binary) && v.Length() > 0)
            return lookup(Value(static_cast<std::uint8_t>(v.Get<std::vector<meta::byte>>().front())), store);
    }
    return lookup(v, store);
}

}  // namespace meta::detail
