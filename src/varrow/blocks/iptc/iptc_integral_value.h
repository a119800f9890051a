#pragma once

#include <cstdint>
#include <iosfwd>
#include <limits>
#include <ostream>
#include <type_traits>

#include "varrow/api/export.h"
#include "varrow/blocks/iptc/iptc_value.h"

namespace meta {

// A dataset holding an unsigned number: the first (up to) eight bytes form a
// big-endian number, cut to the value's width; any further bytes are skipped.
class VARROW_API IntegralIptcValue : public IptcValue {
  public:
    ~IntegralIptcValue() override;

  protected:
    IntegralIptcValue() = default;

    // The number the dataset's bytes spell, before truncation; false when
    // the stream failed before `length` bytes were consumed.
    static bool ReadNumber(std::istream& is, unsigned long length, std::uint64_t& number);
    static bool ReadNumber(const void* data, unsigned long length, std::uint64_t& number) noexcept;
};

// T is unsigned char (BYTE), unsigned short (SHORT) or unsigned int (LONG).
template <class T, IptcType Type>
class IntegralIptcValueT final : public IntegralIptcValue {
    static_assert(std::is_unsigned_v<T> && !std::is_same_v<T, bool>);

  public:
    IntegralIptcValueT() = default;
    explicit IntegralIptcValueT(T data) : data_(data) {}

    bool Read(std::istream& is, unsigned long length, unsigned long minLength,
              unsigned long maxLength) override {
        NoteLength(length, minLength, maxLength);
        std::uint64_t number = 0;
        bool const ok = ReadNumber(is, length, number);
        data_ = static_cast<T>(number);
        return ok;
    }
    bool Read(const void* data, unsigned long length, unsigned long minLength,
              unsigned long maxLength) override {
        NoteLength(length, minLength, maxLength);
        std::uint64_t number = 0;
        bool const ok = ReadNumber(data, length, number);
        data_ = static_cast<T>(number);
        return ok;
    }

    IptcType GetType() const override { return Type; }
    // Numbers, never characters, also for the 8-bit form.
    std::ostream& Write(std::ostream& os) const override { return os << static_cast<unsigned long>(data_); }
    Value ToMetaValue() const& override { return Value(data_); }
    Value ToMetaValue() && override { return Value(data_); }

    T GetData() const noexcept { return data_; }
    void SetData(T data) noexcept { data_ = data; }

  private:
    T data_ = 0;
};

using ByteIptcValue = IntegralIptcValueT<unsigned char, IptcType::Byte>;
using ShortIptcValue = IntegralIptcValueT<unsigned short, IptcType::Short>;
using LongIptcValue = IntegralIptcValueT<unsigned int, IptcType::Long>;

}  // namespace meta
