#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"

namespace meta {

// Identity of an item: namespace (family of formats), group (table or
// directory) and name, printed as "Tiff:Ifd0.Make". A cheap copyable handle
// over an immutable concrete key; the default-constructed Key is the null key.
// Keys order by group number, then by name bytes; the namespace takes no part.
class VARROW_API Key {
public:
    class Concept {
    public:
        virtual ~Concept() = default;
        virtual FieldNamespace GetNamespace() const = 0;
        virtual FieldGroup GetGroup() const = 0;
        virtual std::string_view GetName() const = 0;
        virtual std::ostream& Write(std::ostream& out) const = 0;
    };

    template <class T>
    class Model final : public Concept {
    public:
        explicit Model(T key) : key_(std::move(key)) {}
        FieldNamespace GetNamespace() const override { return key_.GetNamespace(); }
        FieldGroup GetGroup() const override { return key_.GetGroup(); }
        std::string_view GetName() const override { return key_.GetName(); }
        std::ostream& Write(std::ostream& out) const override { return out << key_; }
        T const& Get() const { return key_; }

    private:
        T key_;
    };

    Key() = default;
    template <class T, class = std::enable_if_t<!std::is_same_v<std::decay_t<T>, Key>>>
    Key(T&& key)  // NOLINT(google-explicit-constructor): any concrete key is a Key
        : model_(std::make_shared<Model<std::decay_t<T>>>(std::forward<T>(key))) {}

    FieldNamespace GetNamespace() const { return model_ ? model_->GetNamespace() : FieldNamespace::Unknown; }
    FieldGroup GetGroup() const { return model_ ? model_->GetGroup() : FieldGroup::Unknown; }
    std::string_view GetName() const { return model_ ? model_->GetName() : std::string_view(); }
    // "<namespace>:<group>.<name>"; "Unknown:Unknown." for the null key.
    std::string GetFullName() const;
    bool IsNull() const { return model_ == nullptr; }

    // The concrete key, when it is of type T; null otherwise.
    template <class T>
    T const* As() const {
        auto const* model = dynamic_cast<Model<T> const*>(model_.get());
        return model ? &model->Get() : nullptr;
    }

    friend VARROW_API std::ostream& operator<<(std::ostream& out, Key const& key);

private:
    std::shared_ptr<Concept const> model_;
};

// Group first (as signed numbers), then name bytes, shorter name first.
VARROW_API bool operator<(Key const& a, Key const& b);

// (group, name) without building a Key, for heterogeneous lookups.
struct KeyRef {
    FieldGroup group;
    std::string_view name;
};

// The Key order, also between a Key and a KeyRef, so that an index ordered
// by Key can be searched by group and name without allocating.
struct KeyLess {
    using is_transparent = void;
    static bool Less(FieldGroup ga, std::string_view na, FieldGroup gb, std::string_view nb) {
        auto const a = static_cast<std::int32_t>(ga);
        auto const b = static_cast<std::int32_t>(gb);
        return a != b ? a < b : na < nb;
    }
    bool operator()(Key const& a, Key const& b) const {
        return Less(a.GetGroup(), a.GetName(), b.GetGroup(), b.GetName());
    }
    bool operator()(Key const& a, KeyRef const& b) const { return Less(a.GetGroup(), a.GetName(), b.group, b.name); }
    bool operator()(KeyRef const& a, Key const& b) const { return Less(a.group, a.name, b.GetGroup(), b.GetName()); }
};

namespace detail {
// Writes "<namespace>:<group>.<name>".
VARROW_API std::ostream& WriteFullName(std::ostream& out, FieldNamespace ns, FieldGroup group,
                                       std::string_view name);
}  // namespace detail

// A key of a caller-chosen namespace and group; what Metadata::Add(group,
// name, value, affinity) builds.
struct UserKey {
    FieldNamespace ns = FieldNamespace::Unknown;
    FieldGroup group = FieldGroup::Unknown;
    std::string name;

    FieldNamespace GetNamespace() const { return ns; }
    FieldGroup GetGroup() const { return group; }
    std::string_view GetName() const { return name; }
};

// JPEG segment items (frame properties, comments, JFIF).
struct JpegKey {
    FieldGroup group = FieldGroup::Unknown;
    std::string name;

    FieldNamespace GetNamespace() const { return FieldNamespace::Jpeg; }
    FieldGroup GetGroup() const { return group; }
    std::string_view GetName() const { return name; }
};

// Items of formats whose names are plain strings (PNG text, GIF).
template <FieldNamespace NS>
struct GenericStringKey {
    FieldGroup group = FieldGroup::Unknown;
    std::string name;

    FieldNamespace GetNamespace() const { return NS; }
    FieldGroup GetGroup() const { return group; }
    std::string_view GetName() const { return name; }
};

// Items of ISO base media boxes; the namespace is chosen per box.
struct IsobmffKey {
    std::string name;
    FieldNamespace ns = FieldNamespace::IsoBaseMedia;
    FieldGroup group = FieldGroup::IsoBaseMedia;

    FieldNamespace GetNamespace() const { return ns; }
    FieldGroup GetGroup() const { return group; }
    std::string_view GetName() const { return name; }
};

inline std::ostream& operator<<(std::ostream& out, UserKey const& k) {
    return detail::WriteFullName(out, k.ns, k.group, k.name);
}
inline std::ostream& operator<<(std::ostream& out, JpegKey const& k) {
    return detail::WriteFullName(out, FieldNamespace::Jpeg, k.group, k.name);
}
template <FieldNamespace NS>
std::ostream& operator<<(std::ostream& out, GenericStringKey<NS> const& k) {
    return detail::WriteFullName(out, NS, k.group, k.name);
}
inline std::ostream& operator<<(std::ostream& out, IsobmffKey const& k) {
    return detail::WriteFullName(out, k.ns, k.group, k.name);
}

}  // namespace meta
