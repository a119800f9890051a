#pragma once

#include <functional>

#include "varrow/fields/field_keys.h"

namespace meta {

// Orders IPTC keys by group, then dataset number (keys without one first),
// then definition, so that the repetitions of one dataset are neighbours.
struct IptcKeyLess {
    bool operator()(IptcKey const& a, IptcKey const& b) const noexcept {
        if (a.GetGroup() != b.GetGroup()) return a.GetGroup() < b.GetGroup();
        if (a.GetId() != b.GetId()) return a.GetId() < b.GetId();
        return std::less<IptcTag const*>()(a.GetField(), b.GetField());
    }
};

}  // namespace meta
