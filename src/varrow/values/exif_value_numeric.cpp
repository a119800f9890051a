#include "varrow/values/exif_value_numeric.h"

#include <cmath>
#include <cstring>
#include <ostream>

#include "varrow/values/exif_value_read_impl.h"
#include "varrow/values/format_guard_impl.h"

namespace meta {

namespace {

// Elements stored as their own bytes: read straight into the vector, then
// swapped in place.
template <typename T>
bool ReadPlain(std::istream& is, std::size_t count, ByteOrder order, std::vector<T>& out) {
    out.clear();
    const bool complete = detail::AppendRaw(is, count, out);
    if (detail::NeedsSwap(order)) detail::SwapInPlace(out.data(), out.size());
    return complete;
}

template <typename T>
bool ReadPlain(const void* data, std::size_t count, ByteOrder order, std::vector<T>& out) {
    out.clear();
    if (count == 0) return true;
    std::size_t bytes = 0;
    if (data == nullptr || !detail::CheckedBytes(count, sizeof(T), bytes)) return false;
    out.resize(count);
    std::memcpy(out.data(), data, bytes);
    if (detail::NeedsSwap(order)) detail::SwapInPlace(out.data(), out.size());
    return true;
}

// Element decoders for values held as fractions: `kUnit` bytes in, one
// Fraction out.
template <typename T>
struct RationalDecoder {
    static constexpr std::size_t kUnit = 2 * sizeof(T);
    static Fraction Decode(const unsigned char* p, bool swap) noexcept {
        return Fraction(detail::LoadElement<T>(p, swap), detail::LoadElement<T>(p + sizeof(T), swap));
    }
};

template <typename T>
struct FixedDecoder {
    static constexpr std::size_t kUnit = sizeof(T);
    static constexpr std::int64_t kScale = sizeof(T) == 2 ? 256 : 65536;
    static Fraction Decode(const unsigned char* p, bool swap) noexcept {
        return Fraction(detail::LoadElement<T>(p, swap), kScale).Simplify();
    }
};

template <typename Decoder>
bool ReadFractions(std::istream& is, std::size_t count, ByteOrder order, std::vector<Fraction>& out) {
    out.clear();
    out.reserve(detail::ReserveHint(is, count, Decoder::kUnit));
    const bool swap = detail::NeedsSwap(order);
    return detail::ReadPieces<Decoder::kUnit>(is, count, [&](const unsigned char* p, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i, p += Decoder::kUnit) out.push_back(Decoder::Decode(p, swap));
    });
}

template <typename Decoder>
bool ReadFractions(const void* data, std::size_t count, ByteOrder order, std::vector<Fraction>& out) {
    out.clear();
    if (count == 0) return true;
    std::size_t bytes = 0;
    if (data == nullptr || !detail::CheckedBytes(count, Decoder::kUnit, bytes)) return false;
    out.resize(count);
    const bool swap = detail::NeedsSwap(order);
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < count; ++i, p += Decoder::kUnit) out[i] = Decoder::Decode(p, swap);
    return true;
}

using detail::FormatGuard;

// General notation with `precision` digits. NaN is spelt the same whatever
// its sign bit, which 0/0 sets on some machines and not on others.
void WriteDoubles(std::ostream& os, std::streamsize precision, std::size_t n, auto&& element) {
    FormatGuard guard(os);
    os.unsetf(std::ios_base::floatfield);
    os.precision(precision);
    for (std::size_t i = 0; i < n; ++i) {
        if (i != 0) os << ' ';
        const double x = element(i);
        if (std::isnan(x)) {
            os << "nan";
        } else {
            os << x;
        }
    }
}

template <typename T>
Value ScalarOrArray(const std::vector<T>& data) {
    if (data.size() >= 2) return Value(data);
    return Value(data.empty() ? T{} : data.front());
}

template <typename T>
Value TakeScalarOrArray(std::vector<T>& data) {
    Value result = data.size() >= 2 ? Value(std::move(data)) : Value(data.empty() ? T{} : data.front());
    data.clear();
    return result;
}

}  // namespace

// Integral

template <typename T, std::uint32_t Code>
bool IntegralExifValueT<T, Code>::Read(std::istream& is, std::size_t count, ByteOrder order) {
    // RSHORT is stored in the order opposite to the file's.
    return ReadPlain(is, count, Code == 18 ? detail::Opposite(order) : order, data_);
}

template <typename T, std::uint32_t Code>
bool IntegralExifValueT<T, Code>::Read(const void* data, std::size_t count, ByteOrder order) {
    return ReadPlain(data, count, Code == 18 ? detail::Opposite(order) : order, data_);
}

template <typename T, std::uint32_t Code>
std::ostream& IntegralExifValueT<T, Code>::Write(std::ostream& os) const {
    for (std::size_t i = 0; i < data_.size(); ++i) {
        if (i != 0) os << ' ';
        const T x = data_[i];
        if constexpr (Code == 6) {
            os << static_cast<char>(x);
        } else if constexpr (std::is_same_v<T, std::uint16_t>) {
            if (x == 0xFFFF) {
                os << "-1";
            } else {
                os << x;
            }
        } else if constexpr (sizeof(T) == 1) {
            os << static_cast<unsigned>(x);
        } else {
            os << x;
        }
    }
    return os;
}

template <typename T, std::uint32_t Code>
Value IntegralExifValueT<T, Code>::ToMetaValue() const& {
    return ScalarOrArray(data_);
}

template <typename T, std::uint32_t Code>
Value IntegralExifValueT<T, Code>::ToMetaValue() && {
    return TakeScalarOrArray(data_);
}

// Rational

template <typename T, std::uint32_t Code>
bool BaseRationalExifValueT<T, Code>::Read(std::istream& is, std::size_t count, ByteOrder order) {
    return ReadFractions<RationalDecoder<T>>(is, count, order, data_);
}

template <typename T, std::uint32_t Code>
bool BaseRationalExifValueT<T, Code>::Read(const void* data, std::size_t count, ByteOrder order) {
    return ReadFractions<RationalDecoder<T>>(data, count, order, data_);
}

template <typename T, std::uint32_t Code>
std::ostream& BaseRationalExifValueT<T, Code>::Write(std::ostream& os) const {
    WriteDoubles(os, 15, data_.size(), [this](std::size_t i) { return data_[i].AsDouble(); });
    return os;
}

template <typename T, std::uint32_t Code>
Value BaseRationalExifValueT<T, Code>::ToMetaValue() const& {
    return ScalarOrArray(data_);
}

template <typename T, std::uint32_t Code>
Value BaseRationalExifValueT<T, Code>::ToMetaValue() && {
    return TakeScalarOrArray(data_);
}

// Fixed point

template <typename T, std::uint32_t Code>
bool FixedExifValueT<T, Code>::Read(std::istream& is, std::size_t count, ByteOrder order) {
    return ReadFractions<FixedDecoder<T>>(is, count, order, this->data_);
}

template <typename T, std::uint32_t Code>
bool FixedExifValueT<T, Code>::Read(const void* data, std::size_t count, ByteOrder order) {
    return ReadFractions<FixedDecoder<T>>(data, count, order, this->data_);
}

// Floating point

template <typename T, std::uint32_t Code>
bool BaseFloatingExifValueT<T, Code>::Read(std::istream& is, std::size_t count, ByteOrder order) {
    return ReadPlain(is, count, order, data_);
}

template <typename T, std::uint32_t Code>
bool BaseFloatingExifValueT<T, Code>::Read(const void* data, std::size_t count, ByteOrder order) {
    return ReadPlain(data, count, order, data_);
}

template <typename T, std::uint32_t Code>
std::ostream& BaseFloatingExifValueT<T, Code>::Write(std::ostream& os) const {
    WriteDoubles(os, sizeof(T) == 4 ? 6 : 15, data_.size(),
                 [this](std::size_t i) { return static_cast<double>(data_[i]); });
    return os;
}

template <typename T, std::uint32_t Code>
Value BaseFloatingExifValueT<T, Code>::ToMetaValue() const& {
    return ScalarOrArray(data_);
}

template <typename T, std::uint32_t Code>
Value BaseFloatingExifValueT<T, Code>::ToMetaValue() && {
    return TakeScalarOrArray(data_);
}

template class IntegralExifValueT<std::uint8_t, 1>;
template class IntegralExifValueT<std::uint16_t, 3>;
template class IntegralExifValueT<std::uint32_t, 4>;
template class IntegralExifValueT<std::int8_t, 6>;
template class IntegralExifValueT<std::int16_t, 8>;
template class IntegralExifValueT<std::int32_t, 9>;
template class IntegralExifValueT<std::uint16_t, 18>;
template class BaseRationalExifValueT<std::uint32_t, 5>;
template class BaseRationalExifValueT<std::int32_t, 10>;
template class BaseRationalExifValueT<std::uint16_t, 23>;
template class BaseRationalExifValueT<std::int16_t, 24>;
template class BaseRationalExifValueT<std::int16_t, 14>;
template class BaseRationalExifValueT<std::int32_t, 15>;
template class BaseRationalExifValueT<std::uint16_t, 16>;
template class BaseRationalExifValueT<std::uint32_t, 17>;
template class FixedExifValueT<std::int16_t, 14>;
template class FixedExifValueT<std::int32_t, 15>;
template class FixedExifValueT<std::uint16_t, 16>;
template class FixedExifValueT<std::uint32_t, 17>;
template class BaseFloatingExifValueT<float, 11>;
template class BaseFloatingExifValueT<double, 12>;

}  // namespace meta
