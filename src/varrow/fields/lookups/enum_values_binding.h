#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

namespace detail {

// A callable that runs one operation of one lookup. Non-owning bindings
// point into the process-wide registry, which never changes once built;
// owning bindings share one private copy of the lookup, so copying the
// std::function they end up in stays cheap.
//
// Both call forms are offered, so one binding fits a field's display
// conversion (value and read store; the store is ignored) as well as its
// inverse conversion (value only).
template <typename Impl, Value (Impl::*Operation)(const Value&) const, bool Owning>
class EnumValuesBinding {
  public:
    explicit EnumValuesBinding(const Impl& lookup) requires(!Owning) : lookup_(&lookup) {}
    explicit EnumValuesBinding(Impl lookup) requires(Owning)
        : lookup_(std::make_shared<const Impl>(std::move(lookup))) {}

    Value operator()(const Value& value) const { return ((*lookup_).*Operation)(value); }
    Value operator()(const Value& value, ReadStore& /*store*/) const {
        return ((*lookup_).*Operation)(value);
    }

    const Impl& GetLookup() const noexcept { return *lookup_; }

  private:
    std::conditional_t<Owning, std::shared_ptr<const Impl>, const Impl*> lookup_;
};

}  // namespace detail
}  // namespace meta
