#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/util/byte.h"
#include "varrow/values/byte_order.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/exif_value.h"
#include "varrow/values/value.h"

namespace meta {

// ASCII (2). The count is in bytes; the text ends at the first NUL and loses
// its trailing white space. Bytes that are not UTF-8 are kept as read (the
// String of ToMetaValue is sanitised).
class VARROW_API AsciiExifValue : public ExifValue {
  public:
    AsciiExifValue() = default;
    explicit AsciiExifValue(std::string text) : text_(std::move(text)) {}

    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
    ExifType GetType() const override { return ExifType::Ascii; }
    // The text's length plus its terminating NUL; 0 for an empty text.
    std::size_t GetValueCount() const override { return text_.empty() ? 0 : text_.size() + 1; }
    std::ostream& Write(std::ostream& os) const override;
    Value ToMetaValue() const& override { return Value(text_); }
    Value ToMetaValue() && override;

    const std::string& GetData() const noexcept { return text_; }
    char GetData(std::size_t index) const noexcept { return index < text_.size() ? text_[index] : '\0'; }
    void SetData(std::string text) noexcept { text_ = std::move(text); }

  private:
    std::string text_;
};

// UNDEFINED (7): opaque bytes.
class VARROW_API UndefinedExifValue : public ExifValue {
  public:
    UndefinedExifValue() = default;
    explicit UndefinedExifValue(std::vector<meta::byte> data) : data_(std::move(data)) {}

    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
    ExifType GetType() const override { return ExifType::Undefined; }
    std::size_t GetValueCount() const override { return data_.size(); }
    // Nothing for no data or a single zero byte; up to four printable ASCII
    // bytes as they are (version fields such as "0230"); otherwise a summary
    // with the byte count.
    std::ostream& Write(std::ostream& os) const override;
    // Binary.
    Value ToMetaValue() const& override { return Value(data_); }
    Value ToMetaValue() && override;

    const std::vector<meta::byte>& GetData() const noexcept { return data_; }
    meta::byte GetData(std::size_t index) const noexcept {
        return index < data_.size() ? data_[index] : meta::byte{0};
    }
    void SetData(meta::byte value) { data_.assign(1, value); }
    void SetData(std::vector<meta::byte> data) noexcept { data_ = std::move(data); }
    bool SetData(std::size_t index, meta::byte value) noexcept {
        if (index >= data_.size()) return false;
        data_[index] = value;
        return true;
    }

  private:
    std::vector<meta::byte> data_;
};

// CHAR (19): text behind an 8-byte character-code prefix, as in the EXIF
// UserComment. Unicode text is held as UTF-16 code units in host order, any
// other text as the bytes read.
class VARROW_API CharExifValue : public ExifValue {
  public:
    enum class Encoding : std::uint32_t {
        Ascii = 0,
        Unicode = 1,
        Jis = 2,
        Undefined = 3,
    };
    using Text = std::variant<std::monostate, std::string, std::u16string>;

    static constexpr std::size_t kPrefixSize = 8;

    CharExifValue() = default;

    // With at least 8 bytes the first 8 name the encoding; unnamed encodings
    // keep the prefix as part of the text, so nothing is lost. Shorter data
    // is text of undefined encoding. Fails on Unicode text of odd length.
    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
    ExifType GetType() const override { return ExifType::Char; }
    // Bytes of the stored text: two per UTF-16 code unit.
    std::size_t GetValueCount() const override;
    // WriteImpl without prefix.
    std::ostream& Write(std::ostream& os) const override;
    // The stored bytes, or the code units as host-order bytes, preceded by
    // the encoding's prefix when asked (none for Undefined).
    std::ostream& WriteImpl(std::ostream& os, bool withPrefix) const;
    // String of GetAsUtf8().
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    Encoding GetEncoding() const noexcept { return encoding_; }
    const Text& GetData() const noexcept { return text_; }
    // Byte `index` of what Write writes; NUL out of range.
    char GetData(std::size_t index) const noexcept;
    // The held alternative; std::bad_variant_access when the other is held.
    const std::string& GetBytes() const { return std::get<std::string>(text_); }
    const std::u16string& GetUtf16() const { return std::get<std::u16string>(text_); }

    // Ascii and Undefined bytes as they are, Unicode converted, Jis decoded
    // as Shift-JIS.
    std::string GetAsUtf8() const;

    // Stores text without prefix. Unicode bytes may start with a byte-order
    // mark, else they are taken in `order`; an odd count clears the value and
    // fails.
    bool SetData(std::vector<meta::byte> bytes, Encoding encoding, ByteOrder order = kHostByteOrder);

    // The encoding an 8-byte prefix names: Ascii for "ASCII" followed by NUL
    // (or NULs and spaces only) and for a prefix that starts with NUL or is
    // all NULs and spaces; Unicode for "UNICODE" and Jis for "JIS" padded
    // with NULs or spaces to 8 bytes; Undefined for anything else.
    static Encoding EncodingFromPrefix(std::string_view prefix) noexcept;

  protected:
    // Stores bytes [skip, end) of `bytes` in `encoding`.
    bool Store(std::string bytes, std::size_t skip, Encoding encoding, ByteOrder order);
    bool StoreUnicode(const char* data, std::size_t size, ByteOrder order);
    void Clear() noexcept;

  private:
    bool PostRead(std::string bytes, ByteOrder order);

    Text text_;
    Encoding encoding_ = Encoding::Undefined;
};

// UTF16 (20): UTF-16 text without prefix, in the given order unless it starts
// with a byte-order mark. The count is in bytes and must be even.
class VARROW_API Utf16ExifValue : public CharExifValue {
  public:
    Utf16ExifValue() = default;

    bool Read(std::istream& is, std::size_t count, ByteOrder order) override;
    bool Read(const void* data, std::size_t count, ByteOrder order) override;
    ExifType GetType() const override { return ExifType::Utf16; }
    // The text as UTF-8.
    std::ostream& Write(std::ostream& os) const override;

    bool SetData(std::vector<meta::byte> bytes, ByteOrder order = kHostByteOrder);
};

}  // namespace meta
