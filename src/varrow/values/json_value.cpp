#include "varrow/values/json_value.h"

#include <json/json.h>

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

namespace meta {

namespace {

constexpr std::array<std::string_view, 8> kTypeNames{"Null",   "Integer", "UnsignedInteger", "Real",
                                                     "String", "Boolean", "Array",           "Object"};

}  // namespace

std::string_view GetLytroTypeName(LytroType type) {
    auto const n = static_cast<std::size_t>(type);
    return n < kTypeNames.size() ? kTypeNames[n] : std::string_view();
}

JsonValue::JsonValue(Json::Value const& value) : node_(std::make_shared<Json::Value const>(value)) {}

JsonValue::JsonValue(std::shared_ptr<Json::Value const> const& document, Json::Value const& node)
    : node_(document, &node) {}

JsonValue JsonValue::Parse(std::string_view text) {
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    std::unique_ptr<Json::CharReader> const reader(builder.newCharReader());
    auto root = std::make_shared<Json::Value>();
    std::string errors;
    if (!reader->parse(text.data(), text.data() + text.size(), root.get(), &errors)) return JsonValue();
    return JsonValue(std::shared_ptr<Json::Value const>(root), *root);
}

LytroType JsonValue::GetType() const {
    if (!node_) return LytroType::Null;
    switch (node_->type()) {
        case Json::intValue: return LytroType::Integer;
        case Json::uintValue: return LytroType::UnsignedInteger;
        case Json::realValue: return LytroType::Real;
        case Json::stringValue: return LytroType::String;
        case Json::booleanValue: return LytroType::Boolean;
        case Json::arrayValue: return LytroType::Array;
        case Json::objectValue: return LytroType::Object;
        case Json::nullValue: break;
    }
    return LytroType::Null;
}

Value JsonValue::ToMetaValue() const {
    if (!node_) throw ValueException();
    switch (node_->type()) {
        case Json::intValue: return Value(static_cast<std::int64_t>(node_->asInt64()));
        case Json::uintValue: {
            auto const n = static_cast<std::uint64_t>(node_->asUInt64());
            if (n <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                return Value(static_cast<std::int64_t>(n));
            return Value(n);
        }
        case Json::realValue: return Value(node_->asDouble());
        case Json::booleanValue: return Value(node_->asBool());
        case Json::stringValue: {
            // Strings may hold NULs; take every byte the parser kept.
            char const* begin = nullptr;
            char const* end = nullptr;
            node_->getString(&begin, &end);
            if (begin == nullptr) return Value(std::string());
            return Value(std::string(begin, static_cast<std::size_t>(end - begin)));
        }
        case Json::nullValue:
        case Json::arrayValue:
        case Json::objectValue: break;
    }
    throw ValueException();
}

}  // namespace meta
