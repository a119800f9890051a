#include "varrow/formats/isobmff/movie_header.h"

#include <exception>

#include "varrow/processors/read_store.h"
#include "varrow/values/conversions/quicktime.h"
#include "varrow/values/exif_value_numeric.h"
#include "varrow/values/value_converter.h"

namespace meta::isobmff {

bool NoteMovieTimeScale(ExifValue const* value, std::uint32_t /*count*/, ReadStore& store) {
    auto const* integral = dynamic_cast<IntegralExifValue const*>(value);
    std::int64_t const scale =
        integral != nullptr && integral->GetValueCount() != 0 ? integral->GetValueAsInt(0) : 0;
    // A negative or oversized number is no scale; 0 leaves times unscaled.
    store.movieTimeScale = scale > 0 && scale <= 0xFFFFFFFF ? static_cast<std::uint32_t>(scale) : 0;
    return true;
}

Value MovieTimeToSeconds(Value const& value, ReadStore& store) {
    if (store.movieTimeScale == 0 || !value.IsArithmetic()) return value;
    try {
        return Value(value.Convert<double>() / store.movieTimeScale);
    } catch (std::exception const&) {
        return Value::None;
    }
}

Value PrintMovieTime(Value const& value, ReadStore& store) {
    if (store.movieTimeScale == 0 || !value.IsArithmetic()) return value;
    try {
        return Value(detail::ToDurationString(value.Convert<double>()));
    } catch (std::exception const&) {
        return Value::None;
    }
}

}  // namespace meta::isobmff
