#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "varrow/fields/field_group.h"
#include "varrow/fields/key.h"

namespace meta {

namespace detail {

// "0x" and at least four lower-case hex digits: 0x00a5, 0x8769, 0x12345.
std::string FormatTagId(std::uint64_t id);

template <class Id>
std::string IdToName(Id const& id) {
    if constexpr (std::is_convertible_v<Id const&, std::string_view>) {
        return std::string(std::string_view(id));
    } else if constexpr (std::is_class_v<Id>) {
        // Composite ids (CanonVrdDr4TagId) print themselves.
        return ToString(id);
    } else if constexpr (std::is_enum_v<Id>) {
        return FormatTagId(static_cast<std::uint64_t>(static_cast<std::underlying_type_t<Id>>(id)));
    } else {
        static_assert(std::is_integral_v<Id>);
        // Negative record indexes print as their two's-complement pattern.
        return FormatTagId(static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<Id>>(id)));
    }
}

// Key of an item read against a table of definitions (TIFF tags, binary
// records, IPTC datasets): the id as stored, the group, and the definition
// when the table has one. Named after the definition, else after the id.
template <class Tag>
class TableKey {
public:
    using IdType = typename Tag::IdType;

    TableKey(std::optional<IdType> id, FieldGroup group, Tag const* field)
        : id_(std::move(id)), ns_(GetGroupNamespace(group)), group_(group), field_(field), name_(MakeName()) {
        if (field_ != nullptr) {
            title_ = field_->title;
            description_ = field_->description;
        }
    }

    FieldNamespace GetNamespace() const { return ns_; }
    FieldGroup GetGroup() const { return group_; }
    std::string_view GetName() const { return name_; }
    std::optional<IdType> const& GetId() const { return id_; }
    Tag const* GetField() const { return field_; }
    // Borrowed from the definition, which lives as long as the library.
    std::string_view GetTitle() const { return title_; }
    std::string_view GetDescription() const { return description_; }

private:
    std::string MakeName() const {
        if (field_ != nullptr) return field_->name;
        if (id_) return IdToName(*id_);
        return "Unknown";
    }

    std::optional<IdType> id_;
    FieldNamespace ns_;
    FieldGroup group_;
    Tag const* field_;
    std::string name_;
    std::string_view title_ = "Unknown";
    std::string_view description_ = "Unknown";
};

template <class Tag>
std::ostream& operator<<(std::ostream& out, TableKey<Tag> const& key) {
    return WriteFullName(out, key.GetNamespace(), key.GetGroup(), key.GetName());
}

}  // namespace detail

// Items of TIFF-style directories and binary records; Tag is the definition
// type (ExifTag, a record field type, ...).
template <class Tag>
class ExifKey : public detail::TableKey<Tag> {
public:
    using detail::TableKey<Tag>::TableKey;
};

// A key whose namespace is fixed by its format, named after its definition
// when one is attached (and named), else after its own string. AlwaysKnown
// says whether items of this key count as known without a definition.
template <FieldNamespace NS, class Field, bool AlwaysKnown>
struct GenericStringKeyWithField {
    static constexpr bool kAlwaysKnown = AlwaysKnown;

    FieldGroup group = FieldGroup::Unknown;
    std::string name;
    Field const* field = nullptr;

    FieldNamespace GetNamespace() const { return NS; }
    FieldGroup GetGroup() const { return group; }
    std::string_view GetName() const {
        if (field != nullptr && !field->name.empty()) return field->name;
        return name;
    }
    Field const* GetField() const { return field; }
};

template <FieldNamespace NS, class Field, bool AlwaysKnown>
std::ostream& operator<<(std::ostream& out, GenericStringKeyWithField<NS, Field, AlwaysKnown> const& key) {
    return detail::WriteFullName(out, NS, key.GetGroup(), key.GetName());
}

// A derived item of the library's own (Generated:Composite.<name>).
template <class CompositeFieldT>
struct BasicCompositeKey {
    std::string name;
    CompositeFieldT const* field = nullptr;

    FieldNamespace GetNamespace() const { return FieldNamespace::Generated; }
    FieldGroup GetGroup() const { return FieldGroup::Composite; }
    std::string_view GetName() const { return field != nullptr ? std::string_view(field->name) : name; }
    CompositeFieldT const* GetField() const { return field; }
};

template <class CompositeFieldT>
std::ostream& operator<<(std::ostream& out, BasicCompositeKey<CompositeFieldT> const& key) {
    return detail::WriteFullName(out, FieldNamespace::Generated, FieldGroup::Composite, key.GetName());
}

}  // namespace meta
