#include "varrow/blocks/iptc/iptc_text_values.h"

#include <istream>
#include <ostream>

#include "varrow/blocks/iptc/iptc_read_impl.h"
#include "varrow/blocks/iptc/iptc_text_encoding.h"

namespace meta {

namespace {

void DropTrailingNuls(std::string& text) {
    std::size_t const end = text.find_last_not_of('\0');
    text.resize(end == std::string::npos ? 0 : end + 1);
}

}  // namespace

DigitsIptcValue::~DigitsIptcValue() = default;
StringIptcValue::~StringIptcValue() = default;
UndefinedIptcValue::~UndefinedIptcValue() = default;

bool DigitsIptcValue::Read(std::istream& is, unsigned long length, unsigned long minLength,
                           unsigned long maxLength) {
    NoteLength(length, minLength, maxLength);
    data_.clear();
    bool const complete =
        detail::ReadIptcPieces(is, length, [this](char const* p, std::size_t n) { data_.append(p, n); });
    if (!complete) {
        data_.clear();
        return false;
    }
    DropTrailingNuls(data_);
    return true;
}

bool DigitsIptcValue::Read(const void* data, unsigned long length, unsigned long minLength,
                           unsigned long maxLength) {
    NoteLength(length, minLength, maxLength);
    data_.clear();
    if (length == 0) return true;
    if (data == nullptr) return false;
    data_.assign(static_cast<char const*>(data), static_cast<std::size_t>(length));
    DropTrailingNuls(data_);
    return true;
}

std::ostream& DigitsIptcValue::Write(std::ostream& os) const {
    return os << data_;
}

Value DigitsIptcValue::ToMetaValue() const& {
    return Value(detail::IptcTextToUtf8(data_));
}

Value DigitsIptcValue::ToMetaValue() && {
    Value result(detail::IptcTextToUtf8(std::move(data_)));
    data_.clear();
    return result;
}

bool UndefinedIptcValue::Read(std::istream& is, unsigned long length, unsigned long minLength,
                              unsigned long maxLength) {
    NoteLength(length, minLength, maxLength);
    data_.clear();
    bool const complete = detail::ReadIptcPieces(is, length, [this](char const* p, std::size_t n) {
        auto const* bytes = reinterpret_cast<meta::byte const*>(p);
        data_.insert(data_.end(), bytes, bytes + n);
    });
    if (!complete) data_.clear();
    return complete;
}

bool UndefinedIptcValue::Read(const void* data, unsigned long length, unsigned long minLength,
                              unsigned long maxLength) {
    NoteLength(length, minLength, maxLength);
    data_.clear();
    if (length == 0) return true;
    if (data == nullptr) return false;
    auto const* bytes = static_cast<meta::byte const*>(data);
    data_.assign(bytes, bytes + length);
    return true;
}

std::ostream& UndefinedIptcValue::Write(std::ostream& os) const {
    if (data_.empty()) return os;
    return os << "(Binary data " << data_.size() << " bytes, use -b option to extract)";
}

Value UndefinedIptcValue::ToMetaValue() && {
    Value result(std::move(data_));
    data_.clear();
    return result;
}

}  // namespace meta
