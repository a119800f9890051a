#include "varrow/values/exif_value_text.h"

#include <algorithm>
#include <cstring>
#include <ostream>

#include "varrow/util/encoding.h"
#include "varrow/util/strings_basic.h"
#include "varrow/values/exif_value_read_impl.h"

namespace meta {

namespace {

bool IsPadding(char c) noexcept {
    return c == '\0' || c == ' ';
}

// One or more NULs or spaces and nothing else.
bool IsPadding(std::string_view s) noexcept {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return IsPadding(c); });
}

bool IsPrintableAscii(meta::byte b) noexcept {
    const auto c = std::to_integer<unsigned>(b);
    return c >= 32 && c <= 126;
}

}  // namespace

// ASCII

bool AsciiExifValue::Read(std::istream& is, std::size_t count, ByteOrder) {
    text_.clear();
    // Everything after the first NUL is consumed but not kept.
    bool terminated = false;
    const bool complete = detail::ReadPieces<1>(is, count, [&](const unsigned char* p, std::size_t n) {
        if (terminated) return;
        const auto* nul = static_cast<const unsigned char*>(std::memchr(p, 0, n));
        text_.append(reinterpret_cast<const char*>(p),
                     nul != nullptr ? static_cast<std::size_t>(nul - p) : n);
        terminated = nul != nullptr;
    });
    if (!complete) {
        text_.clear();
        return false;
    }
    strings::basic::TrimEnd(text_);
    return true;
}

bool AsciiExifValue::Read(const void* data, std::size_t count, ByteOrder) {
    text_.clear();
    if (count == 0) return true;
    if (data == nullptr) return false;
    const auto* p = static_cast<const char*>(data);
    const auto* nul = static_cast<const char*>(std::memchr(p, 0, count));
    text_.assign(p, nul != nullptr ? static_cast<std::size_t>(nul - p) : count);
    strings::basic::TrimEnd(text_);
    return true;
}

std::ostream& AsciiExifValue::Write(std::ostream& os) const {
    return os << text_;
}

Value AsciiExifValue::ToMetaValue() && {
    Value result(std::move(text_));
    text_.clear();
    return result;
}

// UNDEFINED

bool UndefinedExifValue::Read(std::istream& is, std::size_t count, ByteOrder) {
    data_.clear();
    if (detail::AppendRaw(is, count, data_)) return true;
    data_.clear();
    return false;
}

bool UndefinedExifValue::Read(const void* data, std::size_t count, ByteOrder) {
    data_.clear();
    if (count == 0) return true;
    if (data == nullptr) return false;
    const auto* p = static_cast<const meta::byte*>(data);
    data_.assign(p, p + count);
    return true;
}

std::ostream& UndefinedExifValue::Write(std::ostream& os) const {
    if (data_.empty() || (data_.size() == 1 && data_[0] == meta::byte{0})) return os;
    if (data_.size() <= 4 && std::all_of(data_.begin(), data_.end(), IsPrintableAscii)) {
        return os.write(reinterpret_cast<const char*>(data_.data()),
                        static_cast<std::streamsize>(data_.size()));
    }
    return os << "(Binary data " << data_.size() << " bytes, use -b option to extract)";
}

Value UndefinedExifValue::ToMetaValue() && {
    Value result(std::move(data_));
    data_.clear();
    return result;
}

// CHAR

CharExifValue::Encoding CharExifValue::EncodingFromPrefix(std::string_view prefix) noexcept {
    if (prefix.starts_with("ASCII")) {
        const std::string_view rest = prefix.substr(5);
        if (!rest.empty() && (rest.front() == '\0' || IsPadding(rest))) return Encoding::Ascii;
    }
    if (!prefix.empty() && (prefix.front() == '\0' || IsPadding(prefix))) return Encoding::Ascii;
    if (prefix.size() == kPrefixSize) {
        if (prefix.starts_with("UNICODE") && IsPadding(prefix[7])) return Encoding::Unicode;
        if (prefix.starts_with("JIS") && IsPadding(prefix.substr(3))) return Encoding::Jis;
    }
    return Encoding::Undefined;
}

void CharExifValue::Clear() noexcept {
    text_.emplace<std::monostate>();
    encoding_ = Encoding::Undefined;
}

bool CharExifValue::StoreUnicode(const char* data, std::size_t size, ByteOrder order) {
    Clear();
    if (size % 2 != 0) return false;
    if (size >= 2) {
        const auto b0 = static_cast<unsigned char>(data[0]);
        const auto b1 = static_cast<unsigned char>(data[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF)) {
            order = b0 == 0xFF ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
            data += 2;
            size -= 2;
        }
    }
    std::u16string units(size / 2, u'\0');
    if (size != 0) std::memcpy(units.data(), data, size);
    if (detail::NeedsSwap(order)) detail::SwapInPlace(units.data(), units.size());
    text_ = std::move(units);
    encoding_ = Encoding::Unicode;
    return true;
}

bool CharExifValue::Store(std::string bytes, std::size_t skip, Encoding encoding, ByteOrder order) {
    if (encoding == Encoding::Unicode) return StoreUnicode(bytes.data() + skip, bytes.size() - skip, order);
    bytes.erase(0, skip);
    text_ = std::move(bytes);
    encoding_ = encoding;
    return true;
}

bool CharExifValue::PostRead(std::string bytes, ByteOrder order) {
    Encoding encoding = Encoding::Undefined;
    if (bytes.size() >= kPrefixSize)
        encoding = EncodingFromPrefix(std::string_view(bytes).substr(0, kPrefixSize));
    // An unnamed encoding keeps its prefix bytes as text.
    const std::size_t skip = encoding == Encoding::Undefined ? 0 : kPrefixSize;
    return Store(std::move(bytes), skip, encoding, order);
}

bool CharExifValue::Read(std::istream& is, std::size_t count, ByteOrder order) {
    Clear();
    std::string bytes;
    if (!detail::AppendRaw(is, count, bytes)) return false;
    return PostRead(std::move(bytes), order);
}

bool CharExifValue::Read(const void* data, std::size_t count, ByteOrder order) {
    Clear();
    if (count == 0) return Store(std::string(), 0, Encoding::Undefined, order);
    if (data == nullptr) return false;
    const auto* p = static_cast<const char*>(data);
    if (count >= kPrefixSize) {
        const Encoding encoding = EncodingFromPrefix(std::string_view(p, kPrefixSize));
        if (encoding == Encoding::Unicode) return StoreUnicode(p + kPrefixSize, count - kPrefixSize, order);
        if (encoding != Encoding::Undefined) {
            return Store(std::string(p + kPrefixSize, count - kPrefixSize), 0, encoding, order);
        }
    }
    return Store(std::string(p, count), 0, Encoding::Undefined, order);
}

std::size_t CharExifValue::GetValueCount() const {
    if (const auto* bytes = std::get_if<std::string>(&text_)) return bytes->size();
    if (const auto* units = std::get_if<std::u16string>(&text_)) return units->size() * 2;
    return 0;
}

std::ostream& CharExifValue::Write(std::ostream& os) const {
    return WriteImpl(os, false);
}

std::ostream& CharExifValue::WriteImpl(std::ostream& os, bool withPrefix) const {
    if (withPrefix) {
        switch (encoding_) {
            case Encoding::Ascii: os.write("ASCII\0\0\0", 8); break;
            case Encoding::Unicode: os.write("UNICODE\0", 8); break;
            case Encoding::Jis: os.write("JIS\0\0\0\0\0", 8); break;
            case Encoding::Undefined: break;
        }
    }
    if (const auto* bytes = std::get_if<std::string>(&text_)) {
        os.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    } else if (const auto* units = std::get_if<std::u16string>(&text_)) {
        os.write(reinterpret_cast<const char*>(units->data()),
                 static_cast<std::streamsize>(units->size() * 2));
    }
    return os;
}

char CharExifValue::GetData(std::size_t index) const noexcept {
    if (const auto* bytes = std::get_if<std::string>(&text_)) {
        return index < bytes->size() ? (*bytes)[index] : '\0';
    }
    if (const auto* units = std::get_if<std::u16string>(&text_);
        units != nullptr && index / 2 < units->size()) {
        return reinterpret_cast<const char*>(units->data())[index];
    }
    return '\0';
}

std::string CharExifValue::GetAsUtf8() const {
    if (const auto* bytes = std::get_if<std::string>(&text_)) {
        return encoding_ == Encoding::Jis ? strings::SJisToUtf8(*bytes) : *bytes;
    }
    if (const auto* units = std::get_if<std::u16string>(&text_)) return strings::Utf16ToUtf8(*units);
    return {};
}

Value CharExifValue::ToMetaValue() const& {
    return Value(GetAsUtf8());
}

Value CharExifValue::ToMetaValue() && {
    auto* bytes = std::get_if<std::string>(&text_);
    Value result =
        bytes != nullptr && encoding_ != Encoding::Jis ? Value(std::move(*bytes)) : Value(GetAsUtf8());
    Clear();
    return result;
}

bool CharExifValue::SetData(std::vector<meta::byte> bytes, Encoding encoding, ByteOrder order) {
    const std::string_view view = strings::BytesAsStringView(bytes);
    if (encoding == Encoding::Unicode) return StoreUnicode(view.data(), view.size(), order);
    text_ = std::string(view);
    encoding_ = encoding;
    return true;
}

// UTF16

bool Utf16ExifValue::Read(std::istream& is, std::size_t count, ByteOrder order) {
    Clear();
    std::string bytes;
    if (!detail::AppendRaw(is, count, bytes)) return false;
    return StoreUnicode(bytes.data(), bytes.size(), order);
}

bool Utf16ExifValue::Read(const void* data, std::size_t count, ByteOrder order) {
    Clear();
    if (count != 0 && data == nullptr) return false;
    return StoreUnicode(static_cast<const char*>(data), count, order);
}

std::ostream& Utf16ExifValue::Write(std::ostream& os) const {
    return os << GetAsUtf8();
}

bool Utf16ExifValue::SetData(std::vector<meta::byte> bytes, ByteOrder order) {
    const std::string_view view = strings::BytesAsStringView(bytes);
    return StoreUnicode(view.data(), view.size(), order);
}

}  // namespace meta
