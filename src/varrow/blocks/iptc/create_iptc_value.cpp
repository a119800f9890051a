#include "varrow/blocks/iptc/create_iptc_value.h"

#include "varrow/blocks/iptc/iptc_integral_value.h"
#include "varrow/blocks/iptc/iptc_text_values.h"

namespace meta {

std::unique_ptr<IptcValue> CreateIptcValue(IptcType type) {
    switch (type) {
        case IptcType::Byte: return std::make_unique<ByteIptcValue>();
        case IptcType::Short: return std::make_unique<ShortIptcValue>();
        case IptcType::Long: return std::make_unique<LongIptcValue>();
        case IptcType::Digits: return std::make_unique<DigitsIptcValue>();
        case IptcType::String: return std::make_unique<StringIptcValue>();
        case IptcType::Undefined: return std::make_unique<UndefinedIptcValue>();
    }
    return nullptr;
}

}  // namespace meta
