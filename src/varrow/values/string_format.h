#pragma once

#include <cstddef>
#include <cstdio>
#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/api/export.h"

namespace meta {

// printf into `out` (replacing its contents); false, with `out` unchanged,
// when formatting fails. Arguments are the C types printf expects.
//   std::string s;
//   strprintf(s, "%.2f mm", 12.345);  // s == "12.35 mm"
template <typename... Args>
bool strprintf(std::string& out, std::string_view format, Args&&... args) {
    // snprintf needs a terminated format; short formats stay in the small
    // string buffer.
    const std::string fmt(format);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
#endif
    const int length = std::snprintf(nullptr, 0, fmt.c_str(), args...);
    if (length < 0) return false;
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int written = std::snprintf(text.data(), text.size(), fmt.c_str(), args...);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    if (written < 0) return false;
    text.resize(static_cast<std::size_t>(length));
    out = std::move(text);
    return true;
}

// A printf format applied to the next number written to a stream:
//   os << sprintf_f(2, false) << 3.14159;  // writes "3.14"
class VARROW_API sprintf_wrapper {
  public:
    explicit sprintf_wrapper(std::string format) : format_(std::move(format)) {}

    const std::string& GetFormat() const noexcept { return format_; }

    // Bound to a stream by `stream << wrapper`; `proxy << x` writes x
    // formatted and returns the stream.
    class VARROW_API proxy {
      public:
        proxy(std::ostream& os, std::string format) : os_(os), format_(std::move(format)) {}

        // The number formatted with the held format; empty when that fails.
        std::string Resolve(double x) const;
        std::ostream& operator<<(double x) const;

      private:
        std::ostream& os_;
        std::string format_;
    };

    friend proxy operator<<(std::ostream& os, const sprintf_wrapper& wrapper) {
        return proxy(os, wrapper.format_);
    }

  private:
    std::string format_;
};

// '%.<digits>f', or '%+.<digits>f' with plusSign.
VARROW_API sprintf_wrapper sprintf_f(std::size_t digits, bool plusSign);

}  // namespace meta
