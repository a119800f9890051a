#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace Json {
class Value;
}  // namespace Json

namespace meta {

// The kind of a JSON value, as the Lytro reader reports it. The numbers follow
// the parser's own classification, so a table row's format 0 ("as found in
// the data") is also the null kind.
enum class LytroType : std::uint32_t {
    Null = 0,
    Integer = 1,          // an integer that fits a signed 64-bit number
    UnsignedInteger = 2,  // a larger one
    Real = 3,
    String = 4,
    Boolean = 5,
    Array = 6,
    Object = 7,
};

// "Null", "Integer", "UnsignedInteger", "Real", "String", "Boolean", "Array",
// "Object"; empty for any other number.
VARROW_API std::string_view GetLytroTypeName(LytroType type);

// One parsed JSON value. It shares the parsed document it was found in
// rather than copying it, so the many items of one JSON section cost one
// reference count each; copies are cheap and share the same node. Turned into
// a Value only on request.
class VARROW_API JsonValue {
  public:
    // The JSON null.
    JsonValue() = default;
    // A copy of `value`.
    explicit JsonValue(Json::Value const& value);
    // The node `node` inside the document that `document` owns; the document
    // is kept alive as long as the JsonValue.
    JsonValue(std::shared_ptr<Json::Value const> const& document, Json::Value const& node);

    // Parses JSON text (comments are not kept); null when the text does not
    // parse.
    static JsonValue Parse(std::string_view text);

    LytroType GetType() const;
    bool IsNull() const { return GetType() == LytroType::Null; }

    // Integers that fit a signed 64-bit number become S64, larger ones U64;
    // reals Double, booleans Bool, text String. Null, arrays and objects throw
    // ValueException.
    Value ToMetaValue() const;

    // The held node; null for the default-constructed JSON null.
    Json::Value const* Get() const { return node_.get(); }

  private:
    std::shared_ptr<Json::Value const> node_;
};

}  // namespace meta
