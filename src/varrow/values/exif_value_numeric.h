#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <type_traits>
#include <utility>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/byte_order.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/exif_value.h"
#include "varrow/values/fraction.h"
#include "varrow/values/value.h"

namespace meta {

// Integer formats: BYTE, SHORT, LONG, SBYTE, SSHORT, SLONG, RSHORT (and IFD
// and the offset codes, which are LONGs).
class VARROW_API IntegralExifValue : public ExifValue {
  public:
    // The first element, widened; 0 when empty.
    std::int64_t GetValueAsInt() const { return GetValueAsInt(0); }
    // Element `index` widened to 64 bits; 0 out of range.
    virtual std::int64_t GetValueAsInt(std::size_t index) const = 0;

  protected:
    using ExifValue::ExifValue;
};

// Rational and fixed-point formats, held as fractions.
class VARROW_API BaseRationalExifValue : public ExifValue {
  public:
    double GetValueAsDouble() const { return GetValueAsDouble(0); }
    // Element `index` as n/d in double arithmetic; 0 out of range.
    virtual double GetValueAsDouble(std::size_t index) const = 0;

  protected:
    using ExifValue::ExifValue;
};

// FLOAT and DOUBLE.
class VARROW_API BaseFloatingExifValue : public ExifValue {
  public:
    double GetValueAsDouble() const { return GetValueAsDouble(0); }
    // Element `index`; 0 out of range.
    virtual double GetValueAsDouble(std::size_t index) const = 0;

  protected:
    using ExifValue::ExifValue;
};

// `Code` is the format code the object reports. RSHORT (18) is read in the
// order opposite to the one it is given.
template <typename T, std::uint32_t Code>
class VARROW_API IntegralExifValueT : public IntegralExifValue {
    static_assert(std::is_integral_v<T> && sizeof(T) <= 4);

  public:
    using ElementType = T;
    static constexpr ExifType kType = static_cast<ExifType>(Code);

    IntegralExifValueT() = default;
    explicit IntegralExifValueT(std::vector<T> data) : data_(std::move(data)) {}

    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
    ExifType GetType() const override { return kType; }
    std::size_t GetValueCount() const override { return data_.size(); }
    // Decimal elements separated by spaces; an SBYTE element is written as
    // the character of that byte, and an unsigned 16-bit 65535 as "-1".
    std::ostream& Write(std::ostream& os) const override;
    // The scalar alternative for 0 or 1 elements (0 when empty), the array
    // alternative for more.
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    using IntegralExifValue::GetValueAsInt;
    std::int64_t GetValueAsInt(std::size_t index) const override {
        return index < data_.size() ? static_cast<std::int64_t>(data_[index]) : 0;
    }

    const std::vector<T>& GetData() const noexcept { return data_; }
    T GetData(std::size_t index) const noexcept { return index < data_.size() ? data_[index] : T{}; }
    void SetData(T value) { data_.assign(1, value); }
    void SetData(std::vector<T> data) noexcept { data_ = std::move(data); }
    // False, and nothing changed, when `index` is out of range.
    bool SetData(std::size_t index, T value) noexcept {
        if (index >= data_.size()) return false;
        data_[index] = value;
        return true;
    }

  private:
    std::vector<T> data_;
};

// Each element is a numerator and a denominator of T, stored as read: not
// simplified, a zero denominator kept.
template <typename T, std::uint32_t Code>
class VARROW_API BaseRationalExifValueT : public BaseRationalExifValue {
    static_assert(std::is_integral_v<T> && sizeof(T) <= 4);

  public:
    using ElementType = T;
    static constexpr ExifType kType = static_cast<ExifType>(Code);

    BaseRationalExifValueT() = default;
    explicit BaseRationalExifValueT(std::vector<Fraction> data) : data_(std::move(data)) {}

    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
    ExifType GetType() const override { return kType; }
    std::size_t GetValueCount() const override { return data_.size(); }
    // Each element's decimal value, 15 significant digits, separated by
    // spaces ("inf" for n/0, "nan" for 0/0).
    std::ostream& Write(std::ostream& os) const override;
    // Fraction (0/0 when empty) or FractionArray.
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    using BaseRationalExifValue::GetValueAsDouble;
    double GetValueAsDouble(std::size_t index) const override {
        return index < data_.size() ? data_[index].AsDouble() : 0.0;
    }

    const std::vector<Fraction>& GetData() const noexcept { return data_; }
    Fraction GetData(std::size_t index) const noexcept {
        return index < data_.size() ? data_[index] : Fraction();
    }
    void SetData(Fraction value) { data_.assign(1, value); }
    void SetData(std::vector<Fraction> data) noexcept { data_ = std::move(data); }
    bool SetData(std::size_t index, Fraction value) noexcept {
        if (index >= data_.size()) return false;
        data_[index] = value;
        return true;
    }

  protected:
    std::vector<Fraction> data_;
};

// Fixed-point numbers of one T each: 8.8 for 16-bit and 16.16 for 32-bit
// types, held as value/256 or value/65536 simplified.
template <typename T, std::uint32_t Code>
class VARROW_API FixedExifValueT : public BaseRationalExifValueT<T, Code> {
  public:
    static constexpr std::int64_t kScale = sizeof(T) == 2 ? 256 : 65536;

    using BaseRationalExifValueT<T, Code>::BaseRationalExifValueT;

    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
};

template <typename T, std::uint32_t Code>
class VARROW_API BaseFloatingExifValueT : public BaseFloatingExifValue {
    static_assert(std::is_floating_point_v<T> && (sizeof(T) == 4 || sizeof(T) == 8));

  public:
    using ElementType = T;
    static constexpr ExifType kType = static_cast<ExifType>(Code);

    BaseFloatingExifValueT() = default;
    explicit BaseFloatingExifValueT(std::vector<T> data) : data_(std::move(data)) {}

    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
    ExifType GetType() const override { return kType; }
    std::size_t GetValueCount() const override { return data_.size(); }
    // 6 significant digits for FLOAT, 15 for DOUBLE, separated by spaces.
    std::ostream& Write(std::ostream& os) const override;
    // Float / Double (0 when empty) or FloatArray / DoubleArray.
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    using BaseFloatingExifValue::GetValueAsDouble;
    double GetValueAsDouble(std::size_t index) const override {
        return index < data_.size() ? static_cast<double>(data_[index]) : 0.0;
    }

    const std::vector<T>& GetData() const noexcept { return data_; }
    T GetData(std::size_t index) const noexcept { return index < data_.size() ? data_[index] : T{}; }
    void SetData(T value) { data_.assign(1, value); }
    void SetData(std::vector<T> data) noexcept { data_ = std::move(data); }
    bool SetData(std::size_t index, T value) noexcept {
        if (index >= data_.size()) return false;
        data_[index] = value;
        return true;
    }

  private:
    std::vector<T> data_;
};

// The instantiations CreateExifValue makes; their members are compiled once,
// in the library.
using ExifByteValue = IntegralExifValueT<std::uint8_t, 1>;
using ExifShortValue = IntegralExifValueT<std::uint16_t, 3>;
using ExifLongValue = IntegralExifValueT<std::uint32_t, 4>;
using ExifSByteValue = IntegralExifValueT<std::int8_t, 6>;
using ExifSShortValue = IntegralExifValueT<std::int16_t, 8>;
using ExifSLongValue = IntegralExifValueT<std::int32_t, 9>;
using ExifRShortValue = IntegralExifValueT<std::uint16_t, 18>;
using ExifRationalValue = BaseRationalExifValueT<std::uint32_t, 5>;
using ExifSRationalValue = BaseRationalExifValueT<std::int32_t, 10>;
using ExifRational16Value = BaseRationalExifValueT<std::uint16_t, 23>;
using ExifSRational16Value = BaseRationalExifValueT<std::int16_t, 24>;
using ExifSShortFixedValue = FixedExifValueT<std::int16_t, 14>;
using ExifSLongFixedValue = FixedExifValueT<std::int32_t, 15>;
using ExifShortFixedValue = FixedExifValueT<std::uint16_t, 16>;
using ExifLongFixedValue = FixedExifValueT<std::uint32_t, 17>;
using ExifFloatValue = BaseFloatingExifValueT<float, 11>;
using ExifDoubleValue = BaseFloatingExifValueT<double, 12>;

extern template class IntegralExifValueT<std::uint8_t, 1>;
extern template class IntegralExifValueT<std::uint16_t, 3>;
extern template class IntegralExifValueT<std::uint32_t, 4>;
extern template class IntegralExifValueT<std::int8_t, 6>;
extern template class IntegralExifValueT<std::int16_t, 8>;
extern template class IntegralExifValueT<std::int32_t, 9>;
extern template class IntegralExifValueT<std::uint16_t, 18>;
extern template class BaseRationalExifValueT<std::uint32_t, 5>;
extern template class BaseRationalExifValueT<std::int32_t, 10>;
extern template class BaseRationalExifValueT<std::uint16_t, 23>;
extern template class BaseRationalExifValueT<std::int16_t, 24>;
extern template class BaseRationalExifValueT<std::int16_t, 14>;
extern template class BaseRationalExifValueT<std::int32_t, 15>;
extern template class BaseRationalExifValueT<std::uint16_t, 16>;
extern template class BaseRationalExifValueT<std::uint32_t, 17>;
extern template class FixedExifValueT<std::int16_t, 14>;
extern template class FixedExifValueT<std::int32_t, 15>;
extern template class FixedExifValueT<std::uint16_t, 16>;
extern template class FixedExifValueT<std::uint32_t, 17>;
extern template class BaseFloatingExifValueT<float, 11>;
extern template class BaseFloatingExifValueT<double, 12>;

}  // namespace meta
