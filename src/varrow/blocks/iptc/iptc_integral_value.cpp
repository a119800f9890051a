#include "varrow/blocks/iptc/iptc_integral_value.h"

#include <algorithm>
#include <array>
#include <istream>

#include "varrow/blocks/iptc/iptc_read_impl.h"

namespace meta {

namespace {
constexpr unsigned long kMostSignificantBytes = 8;
}  // namespace

IntegralIptcValue::~IntegralIptcValue() = default;

bool IntegralIptcValue::ReadNumber(std::istream& is, unsigned long length, std::uint64_t& number) {
    std::array<char, kMostSignificantBytes> bytes{};
    auto const n = std::min(length, kMostSignificantBytes);
    number = 0;
    if (n != 0 && !is.read(bytes.data(), static_cast<std::streamsize>(n))) return false;
    number = detail::FoldBigEndian(reinterpret_cast<unsigned char const*>(bytes.data()), n);
    return detail::SkipIptcBytes(is, length - n);
}

bool IntegralIptcValue::ReadNumber(const void* data, unsigned long length, std::uint64_t& number) noexcept {
    number = 0;
    if (length == 0) return true;
    if (data == nullptr) return false;
    number = detail::FoldBigEndian(static_cast<unsigned char const*>(data),
                                   static_cast<std::size_t>(std::min(length, kMostSignificantBytes)));
    return true;
}

}  // namespace meta
