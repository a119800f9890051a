#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <utility>

#include "varrow/api/export.h"
#include "varrow/api/options.h"
#include "varrow/blocks/xmp/xmp_node.h"
#include "varrow/values/value.h"
#include "varrow/values/value_qualifier.h"
#include "varrow/values/xmp_type.h"

namespace meta {

class XmpValueGenerator;

// A property read from an XMP packet, typed by its declaration in the field
// tables (or by its shape when it has none). Reads itself from an XmpNode,
// taking the node's data over, and converts itself into a Value. Read never
// throws for malformed content: it returns false and the property is dropped.
class VARROW_API XmpValue {
  public:
    using Qualifiers = ValueQualifierMap;

    virtual ~XmpValue() = default;
    XmpValue(XmpValue const&) = delete;
    XmpValue& operator=(XmpValue const&) = delete;

    virtual bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) = 0;
    virtual XmpType GetType() const = 0;
    // The plain text form: the text of simple values, "[array]" and
    // "[structure]" for compounds.
    virtual std::ostream& Write(std::ostream& out) const = 0;
    // The value with a deep copy of the qualifiers.
    virtual Value ToMetaValue() const& = 0;
    // As above, but free to move the data out.
    virtual Value ToMetaValue() &&;

    std::string ToString() const;
    Qualifiers const& GetQualifiers() const& { return qualifiers_; }
    Qualifiers GetQualifiers() && { return std::move(qualifiers_); }
    void SetQualifiers(Qualifiers qualifiers) { qualifiers_ = std::move(qualifiers); }

  protected:
    XmpValue() = default;

    void TakeQualifiers(XmpNode& node) { qualifiers_ = std::move(node.GetQualifiers()); }
    // Attaches a copy of the qualifiers to `value`.
    Value Qualified(Value value) const&;
    Value Qualified(Value value) &&;

  private:
    Qualifiers qualifiers_;
};

inline std::ostream& operator<<(std::ostream& out, XmpValue const& value) {
    return value.Write(out);
}

// Text read from a simple node (type 1, and the base of the text types).
class VARROW_API SimpleXmpValue : public XmpValue {
  public:
    SimpleXmpValue() = default;
    explicit SimpleXmpValue(std::string text) : data_(std::move(text)) {}

    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    XmpType GetType() const override { return XmpType::Simple; }
    std::ostream& Write(std::ostream& out) const override;
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    std::string const& GetData() const { return data_; }
    void SetData(std::string text) { data_ = std::move(text); }

  private:
    std::string data_;
};

// A date; converts to a DateTime when the text is one, else stays text.
class VARROW_API DateXmpValue : public SimpleXmpValue {
  public:
    using SimpleXmpValue::SimpleXmpValue;
    XmpType GetType() const override { return XmpType::Date; }
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;
};

class VARROW_API TextXmpValue : public SimpleXmpValue {
  public:
    using SimpleXmpValue::SimpleXmpValue;
    XmpType GetType() const override { return XmpType::Text; }
};

// The text kinds differ only in their declared type.
class VARROW_API AgentNameXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::AgentName; }
};
class VARROW_API GuidXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::Guid; }
};
class VARROW_API LocaleXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::Locale; }
};
class VARROW_API MimeTypeXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::MimeType; }
};
class VARROW_API ProperNameXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::ProperName; }
};
class VARROW_API RenditionClassXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::RenditionClass; }
};
class VARROW_API UriXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::Uri; }
};
class VARROW_API UrlXmpValue : public TextXmpValue {
  public:
    using TextXmpValue::TextXmpValue;
    XmpType GetType() const override { return XmpType::Url; }
};

// The value class for a type number; null for the numbers without one
// (0, Choice 12, ResourceRef 19 and anything above 22).
VARROW_API std::unique_ptr<XmpValue> CreateXmpValue(XmpType type);

}  // namespace meta
