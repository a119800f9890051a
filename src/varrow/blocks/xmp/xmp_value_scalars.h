#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/blocks/xmp/xmp_value.h"
#include "varrow/values/fraction.h"

namespace meta {

// "True"/"true" or "False"/"false"; any other text fails to read.
class VARROW_API BooleanXmpValue : public XmpValue {
  public:
    using XmpValue::ToMetaValue;

    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    XmpType GetType() const override { return XmpType::Boolean; }
    std::ostream& Write(std::ostream& out) const override;
    Value ToMetaValue() const& override;

    bool GetData() const { return data_; }
    void SetData(bool value) { data_ = value; }

  private:
    bool data_ = false;
};

// A whole text that reads as a signed 64-bit number, as stream extraction
// would take it: leading white space and a sign are accepted, nothing may
// follow the digits.
class VARROW_API IntegerXmpValue : public XmpValue {
  public:
    using XmpValue::ToMetaValue;

    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    XmpType GetType() const override { return XmpType::Integer; }
    std::ostream& Write(std::ostream& out) const override;
    Value ToMetaValue() const& override;

    std::int64_t GetData() const { return data_; }
    void SetData(std::int64_t value) { data_ = value; }

    // The number in `text`, by the rule above; false when it is not one.
    static bool Parse(std::string_view text, std::int64_t& result);

  private:
    std::int64_t data_ = 0;
};

// A whole text that reads as a double by stream extraction.
class VARROW_API RealXmpValue : public XmpValue {
  public:
    using XmpValue::ToMetaValue;

    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    XmpType GetType() const override { return XmpType::Real; }
    std::ostream& Write(std::ostream& out) const override;
    Value ToMetaValue() const& override;

    double GetData() const { return data_; }
    void SetData(double value) { data_ = value; }

  private:
    double data_ = 0.0;
};

// 'N/D' text; keeps the text and the fraction it reads as.
class VARROW_API RationalXmpValue : public TextXmpValue {
  public:
    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    XmpType GetType() const override { return XmpType::Rational; }
    std::ostream& Write(std::ostream& out) const override;
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    Fraction const& GetFraction() const { return fraction_; }
    void SetData(Fraction value) { fraction_ = value; }
    using TextXmpValue::SetData;

  private:
    Fraction fraction_;
};

}  // namespace meta
