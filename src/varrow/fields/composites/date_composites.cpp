#include "varrow/fields/composites/date_composites.h"

#include <string>

#include "varrow/fields/composites/composite_inputs.h"

namespace meta::composites {
namespace {

std::string Shown(Value const& value) {
    if (!value.Exists()) return {};
    if (value.GetType() == Value::Type::String) return value.Get<std::string>();
    return value.ToExifToolString();
}

}  // namespace

Value IptcDateTime(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    // Both datasets exist (they are required), but either may be empty: the
    // result then keeps the separating space, as the files say nothing more.
    return Value(Shown(in.GetDisplay(0)) + " " + Shown(in.GetDisplay(1)));
}

}  // namespace meta::composites
