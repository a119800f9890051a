#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "varrow/api/export.h"

namespace meta {

class ValueQualifier;

// Named qualifiers of a value or of another qualifier (XMP qualifiers such
// as "xml:lang"). The map owns its qualifiers.
using ValueQualifierMap = std::unordered_map<std::string, std::unique_ptr<ValueQualifier>>;

// A deep copy: a new qualifier object for every entry, recursively.
VARROW_API ValueQualifierMap Clone(const ValueQualifierMap& qualifiers);

// Deep equality: same names, and per name the same text and (recursively)
// the same nested qualifiers. A null entry equals only a null entry.
VARROW_API bool QualifiersEqual(const ValueQualifierMap& a, const ValueQualifierMap& b);

// A qualifier's text with its own nested qualifiers.
class VARROW_API ValueQualifier {
  public:
    ValueQualifier() = default;
    explicit ValueQualifier(std::string text, ValueQualifierMap qualifiers = {})
        : text_(std::move(text)), qualifiers_(std::move(qualifiers)) {}
    ValueQualifier(const ValueQualifier& other) : text_(other.text_), qualifiers_(Clone(other.qualifiers_)) {}
    ValueQualifier(ValueQualifier&&) noexcept = default;
    ValueQualifier& operator=(const ValueQualifier& other) {
        if (this != &other) *this = ValueQualifier(other);
        return *this;
    }
    ValueQualifier& operator=(ValueQualifier&&) noexcept = default;
    ~ValueQualifier() = default;

    const std::string& GetText() const noexcept { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }

    // Inserts unless a qualifier of that name exists (which is kept).
    bool AddQualifier(const std::string& name, std::string text);
    bool AddQualifier(const std::string& name, ValueQualifier qualifier);
    bool RemoveQualifier(const std::string& name) { return qualifiers_.erase(name) != 0; }
    bool HasQualifier(const std::string& name) const { return qualifiers_.find(name) != qualifiers_.end(); }
    bool HasQualifiers() const noexcept { return !qualifiers_.empty(); }
    // Throws std::out_of_range when absent.
    const ValueQualifier& GetQualifier(const std::string& name) const;
    const ValueQualifierMap& GetQualifiers() const noexcept { return qualifiers_; }
    void SetQualifiers(ValueQualifierMap qualifiers) noexcept { qualifiers_ = std::move(qualifiers); }

    friend bool operator==(const ValueQualifier& a, const ValueQualifier& b) {
        return a.text_ == b.text_ && QualifiersEqual(a.qualifiers_, b.qualifiers_);
    }

  private:
    std::string text_;
    ValueQualifierMap qualifiers_;
};

}  // namespace meta
