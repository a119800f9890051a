#pragma once

#include <ios>
#include <ostream>

namespace meta::detail {

// Restores the format flags and precision a write changes.
class FormatGuard {
public:
    explicit FormatGuard(std::ostream& os) noexcept : os_(os), flags_(os.flags()), precision_(os.precision()) {}
    ~FormatGuard() {
        os_.flags(flags_);
        os_.precision(precision_);
    }
    FormatGuard(const FormatGuard&) = delete;
    FormatGuard& operator=(const FormatGuard&) = delete;

private:
    std::ostream& os_;
    std::ios_base::fmtflags flags_;
    std::streamsize precision_;
};

}  // namespace meta::detail
