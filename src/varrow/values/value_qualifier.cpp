#include "varrow/values/value_qualifier.h"

#include <stdexcept>

namespace meta {

ValueQualifierMap Clone(const ValueQualifierMap& qualifiers) {
    ValueQualifierMap copy;
    copy.reserve(qualifiers.size());
    for (const auto& [name, qualifier] : qualifiers) {
        copy.emplace(name, qualifier ? std::make_unique<ValueQualifier>(*qualifier) : nullptr);
    }
    return copy;
}

bool QualifiersEqual(const ValueQualifierMap& a, const ValueQualifierMap& b) {
    if (a.size() != b.size()) return false;
    for (const auto& [name, qualifier] : a) {
        const auto it = b.find(name);
        if (it == b.end()) return false;
        if (!qualifier || !it->second) {
            if (qualifier || it->second) return false;
            continue;
        }
        if (!(*qualifier == *it->second)) return false;
    }
    return true;
}

bool ValueQualifier::AddQualifier(const std::string& name, std::string text) {
    return AddQualifier(name, ValueQualifier(std::move(text)));
}

bool ValueQualifier::AddQualifier(const std::string& name, ValueQualifier qualifier) {
    if (qualifiers_.find(name) != qualifiers_.end()) return false;
    qualifiers_.emplace(name, std::make_unique<ValueQualifier>(std::move(qualifier)));
    return true;
}

const ValueQualifier& ValueQualifier::GetQualifier(const std::string& name) const {
    const auto it = qualifiers_.find(name);
    if (it == qualifiers_.end() || !it->second) throw std::out_of_range("no qualifier named " + name);
    return *it->second;
}

}  // namespace meta
