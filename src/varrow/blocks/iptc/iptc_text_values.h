#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/blocks/iptc/iptc_value.h"
#include "varrow/util/byte.h"

namespace meta {

// A dataset of decimal digits (dates, times, numbers kept as text). The
// bytes are kept as they are, less trailing NULs; the text is not checked
// for digits, since files put spaces and signs there too.
class VARROW_API DigitsIptcValue : public IptcValue {
  public:
    DigitsIptcValue() = default;
    explicit DigitsIptcValue(std::string data) : data_(std::move(data)) {}
    ~DigitsIptcValue() override;

    bool Read(std::istream& is, unsigned long length, unsigned long minLength,
              unsigned long maxLength) override;
    bool Read(const void* data, unsigned long length, unsigned long minLength,
              unsigned long maxLength) override;
    IptcType GetType() const override { return IptcType::Digits; }
    std::ostream& Write(std::ostream& os) const override;
    // A text Value; text that is not UTF-8 is read as Windows-1252.
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    std::string& GetData() & noexcept { return data_; }
    std::string const& GetData() const& noexcept { return data_; }
    std::string GetData() && noexcept { return std::move(data_); }
    void SetData(std::string data) noexcept { data_ = std::move(data); }

  private:
    std::string data_;
};

// A text dataset; read and shown like digits.
class VARROW_API StringIptcValue final : public DigitsIptcValue {
  public:
    using DigitsIptcValue::DigitsIptcValue;
    ~StringIptcValue() override;

    IptcType GetType() const override { return IptcType::String; }
};

// An opaque dataset (previews, rasterised captions, colour tables).
class VARROW_API UndefinedIptcValue final : public IptcValue {
  public:
    UndefinedIptcValue() = default;
    explicit UndefinedIptcValue(std::vector<meta::byte> data) : data_(std::move(data)) {}
    ~UndefinedIptcValue() override;

    bool Read(std::istream& is, unsigned long length, unsigned long minLength,
              unsigned long maxLength) override;
    bool Read(const void* data, unsigned long length, unsigned long minLength,
              unsigned long maxLength) override;
    IptcType GetType() const override { return IptcType::Undefined; }
    // "(Binary data N bytes, use -b option to extract)"; nothing when empty.
    std::ostream& Write(std::ostream& os) const override;
    Value ToMetaValue() const& override { return Value(data_); }
    Value ToMetaValue() && override;

    std::vector<meta::byte>& GetData() & noexcept { return data_; }
    std::vector<meta::byte> const& GetData() const& noexcept { return data_; }
    std::vector<meta::byte> GetData() && noexcept { return std::move(data_); }

  private:
    std::vector<meta::byte> data_;
};

}  // namespace meta
