#include "varrow/values/conversions/sony_minolta.h"

#include <cmath>
#include <sstream>

#include "varrow/values/string_format.h"
#include "varrow/values/value.h"

namespace meta::detail {

namespace {

// Two BCD digits per byte; a nibble above 9 makes the record unreadable.
int Bcd(std::initializer_list<std::uint8_t> bytes) {
    int out = 0;
    for (std::uint8_t b : bytes) {
        const int hi = b >> 4;
        const int lo = b & 15;
        if (hi > 9 || lo > 9) throw ValueException();
        out = out * 100 + hi * 10 + lo;
    }
    return out;
}

struct Feature {
    unsigned mask;
    unsigned value;
    const char* text;
};

// Words written before the focal lengths, then after the f-numbers.
constexpr Feature kPrefixes[] = {
    {0x0300, 0x0300, "E"}, {0x0300, 0x0200, "FE"}, {0x0300, 0x0100, "DT"}, {0x4000, 0x4000, "PZ"}};
constexpr Feature kSuffixes[] = {
    {0x0001, 0x0001, "SAM"},    {0x0002, 0x0002, "SSM"},     {0x0004, 0x0004, "G"},
    {0x0008, 0x0008, "ZA"},     {0x0010, 0x0010, "Fisheye"}, {0x0020, 0x0020, "Macro"},
    {0x0040, 0x0040, "Reflex"}, {0x0080, 0x0080, "STF"},     {0x8000, 0x8000, "OSS"},
    {0x2000, 0x2000, "LE"},     {0x0800, 0x0800, "II"}};

void Number(std::ostream& os, double x) {
    if (x == std::floor(x)) {
        os << static_cast<long long>(x);
    } else {
        os << sprintf_f(1, false) << x;
    }
}

}  // namespace

std::vector<double> SonyConvLensSpec(const std::vector<std::uint8_t>& record) {
    if (record.size() != 8) throw ValueException();
    const auto features = static_cast<double>(record[0] << 8 | record[7]);
    return {features, static_cast<double>(Bcd({record[1], record[2]})),
            static_cast<double>(Bcd({record[3], record[4]})), Bcd({record[5]}) / 10.0,
            Bcd({record[6]}) / 10.0};
}

std::string SonyPrintLensSpec(const std::vector<double>& lens) {
    if (lens.size() != 5) throw ValueException();
    bool any = false;
    for (double x : lens) any = any || x != 0;
    if (!any) return "Unknown";
    const auto features = static_cast<unsigned>(lens[0]);
    std::ostringstream os;
    for (const Feature& f : kPrefixes)
        if ((features & f.mask) == f.value) os << f.text << ' ';
    Number(os, lens[1]);
    if (lens[2] != 0 && lens[2] != lens[1]) {
        os << '-';
        Number(os, lens[2]);
    }
    os << "mm F";
    Number(os, lens[3]);
    if (lens[4] != 0 && lens[4] != lens[3]) {
        os << '-';
        Number(os, lens[4]);
    }
    for (const Feature& f : kSuffixes)
        if ((features & f.mask) == f.value) os << ' ' << f.text;
    return std::move(os).str();
}

std::string MinoltaConvertWhiteBalance(std::uint32_t code) {
    const char* mode = nullptr;
    switch (code >> 8) {
        case 0: mode = "Auto"; break;
        case 1: mode = "Daylight"; break;
        case 2: mode = "Cloudy"; break;
        case 3: mode = "Tungsten"; break;
        case 5: mode = "Custom"; break;
        case 7: mode = "Fluorescent"; break;
        case 8: mode = "Fluorescent 2"; break;
        case 11: mode = "Custom 2"; break;
        case 12: mode = "Custom 3"; break;
        default: break;
    }
    std::string out;
    if (mode == nullptr) {
        strprintf(out, "Unknown (0x%x)", code);
        return out;
    }
    out = mode;
    const auto adjustment = static_cast<std::int8_t>(code & 0xff);
    if (adjustment != 0) {
        std::string fine;
        strprintf(fine, " %+d", static_cast<int>(adjustment));
        out += fine;
    }
    return out;
}

}  // namespace meta::detail
