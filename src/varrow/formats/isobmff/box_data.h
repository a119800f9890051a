#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace meta::isobmff {

// A bounds-checked big-endian cursor over the bytes of one box. Every read
// fails, without moving, when the bytes are not there.
class BoxData {
  public:
    constexpr explicit BoxData(std::string_view bytes) noexcept : bytes_(bytes) {}

    std::size_t Remaining() const noexcept { return bytes_.size() - at_; }
    std::size_t Position() const noexcept { return at_; }
    std::string_view Rest() const noexcept { return bytes_.substr(at_); }

    bool Skip(std::size_t n) noexcept {
        if (n > Remaining()) return false;
        at_ += n;
        return true;
    }
    // An unsigned number of 0 to 8 bytes; 0 bytes read as 0.
    bool UInt(std::size_t size, std::uint64_t& value) noexcept {
        if (size > 8 || size > Remaining()) return false;
        value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value = value << 8 | static_cast<std::uint8_t>(bytes_[at_ + i]);
        at_ += size;
        return true;
    }
    template <class T>
    bool Read(T& value) noexcept {
        std::uint64_t v = 0;
        if (!UInt(sizeof(T), v)) return false;
        value = static_cast<T>(v);
        return true;
    }
    // Four bytes as they stand.
    bool Code(std::string& code) {
        if (Remaining() < 4) return false;
        code.assign(bytes_.substr(at_, 4));
        at_ += 4;
        return true;
    }
    // Text up to a NUL, which is consumed; text that runs to the end of the
    // box without one is taken whole.
    std::string_view CString() noexcept {
        std::string_view const rest = Rest();
        std::size_t const end = rest.find('\0');
        if (end == std::string_view::npos) {
            at_ = bytes_.size();
            return rest;
        }
        at_ += end + 1;
        return rest.substr(0, end);
    }

  private:
    std::string_view bytes_;
    std::size_t at_ = 0;
};

}  // namespace meta::isobmff
