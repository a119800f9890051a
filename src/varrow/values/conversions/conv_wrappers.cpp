#include "varrow/values/conversions/conv_wrappers.h"

#include <vector>

namespace meta::detail {

namespace {

template <typename T, typename Test>
Value KeepWhen(const Value& v, Test test) {
    try {
        return test(v.Convert<T>()) ? v : Value::None;
    } catch (const std::exception&) {
        return Value::None;
    }
}

}  // namespace

Value RawConv_S16NotMinusOne(const Value& v, ReadStore&) {
    return KeepWhen<std::int16_t>(v, [](std::int16_t x) { return x != -1; });
}
Value RawConv_S16NotZero(const Value& v, ReadStore&) {
    return KeepWhen<std::int16_t>(v, [](std::int16_t x) { return x != 0; });
}
Value RawConv_S16GTZero(const Value& v, ReadStore&) {
    return KeepWhen<std::int16_t>(v, [](std::int16_t x) { return x > 0; });
}
Value RawConv_S16GTEZero(const Value& v, ReadStore&) {
    return KeepWhen<std::int16_t>(v, [](std::int16_t x) { return x >= 0; });
}
Value RawConv_U8NotZero(const Value& v, ReadStore&) {
    return KeepWhen<std::uint8_t>(v, [](std::uint8_t x) { return x != 0; });
}
Value RawConv_U16NotZero(const Value& v, ReadStore&) {
    return KeepWhen<std::uint16_t>(v, [](std::uint16_t x) { return x != 0; });
}
Value RawConv_U32NotZero(const Value& v, ReadStore&) {
    return KeepWhen<std::uint32_t>(v, [](std::uint32_t x) { return x != 0; });
}

Value SwapWords(const Value& v, ReadStore&) {
    try {
        auto words = v.Convert<std::vector<std::uint32_t>>();
        for (auto& w : words) w = (w << 16) | (w >> 16);
        return Value(std::move(words));
    } catch (const std::exception&) {
        return Value::None;
    }
}

}  // namespace meta::detail
