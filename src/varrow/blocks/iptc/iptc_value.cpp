#include "varrow/blocks/iptc/iptc_value.h"

#include <locale>
#include <sstream>

namespace meta {

IptcValue::~IptcValue() = default;

std::string IptcValue::ToString() const {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    Write(os);
    return std::move(os).str();
}

bool IptcValue::LengthIsValid(unsigned long length, unsigned long minLength,
                              unsigned long maxLength) noexcept {
    if (minLength != 0 && maxLength != 0) return minLength <= length && length <= maxLength;
    if (minLength != 0) return length == minLength;
    if (maxLength != 0) return length <= maxLength;
    return true;
}

}  // namespace meta
