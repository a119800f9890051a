#include "varrow/fields/key.h"

#include <sstream>

namespace meta {

namespace detail {

std::ostream& WriteFullName(std::ostream& out, FieldNamespace ns, FieldGroup group, std::string_view name) {
    char const* nsName = ToString(ns);
    char const* groupName = ToString(group);
    if (nsName) out << nsName;
    out << ':';
    if (groupName) out << groupName;
    return out << '.' << name;
}

}  // namespace detail

std::string Key::GetFullName() const {
    std::ostringstream out;
    out << *this;
    return std::move(out).str();
}

std::ostream& operator<<(std::ostream& out, Key const& key) {
    if (key.model_) return key.model_->Write(out);
    return detail::WriteFullName(out, FieldNamespace::Unknown, FieldGroup::Unknown, {});
}

bool operator<(Key const& a, Key const& b) { return KeyLess()(a, b); }

}  // namespace meta
