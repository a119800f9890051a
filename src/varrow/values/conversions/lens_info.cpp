#include "varrow/values/conversions/lens_info.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "varrow/values/value.h"

namespace meta::detail {

namespace {

void WriteNumber(std::ostream& os, const Fraction& f) {
    if (f.IsInfinite()) {
        os << '?';
    } else {
        os << f.AsDouble();
    }
}

// A second number is shown unless empty or equal to the first.
bool ShowSecond(const Fraction& first, const Fraction& second) {
    if (second.IsEmpty()) return false;
    if (first.IsInfinite() || second.IsInfinite()) return !(first == second);
    return first.AsDouble() != second.AsDouble();
}

class LensTextParser {
  public:
    explicit LensTextParser(std::string_view text) : text_(text) {}

    std::vector<double> Parse(bool strict) {
        std::vector<double> out(4, std::numeric_limits<double>::quiet_NaN());
        SkipSpaces();
        out[0] = Number();
        out[1] = Literal('-') ? Number() : (strict ? Fail() : out[0]);
        if (!Literal('m') || !Literal('m')) Fail();
        SkipSpaces();
        if (!Literal('f') || !Literal('/')) Fail();
        out[2] = Number();
        out[3] = Literal('-') ? Number() : (strict ? Fail() : out[2]);
        SkipSpaces();
        if (pos_ != text_.size()) Fail();
        return out;
    }

  private:
    [[noreturn]] static double Fail() { throw ValueException(); }

    void SkipSpaces() {
        while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    }
    bool Literal(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    double Number() {
        if (Literal('?')) return std::numeric_limits<double>::quiet_NaN();
        std::size_t end = pos_;
        while (end < text_.size() && ((text_[end] >= '0' && text_[end] <= '9') || text_[end] == '.')) ++end;
        if (end == pos_) Fail();
        const std::string number(text_.substr(pos_, end - pos_));
        char* stop = nullptr;
        const double x = std::strtod(number.c_str(), &stop);
        if (stop != number.c_str() + number.size()) Fail();
        pos_ = end;
        return x;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::vector<Fraction> AsFractions(const std::vector<double>& numbers) {
    std::vector<Fraction> out;
    out.reserve(numbers.size());
    for (double x : numbers) out.push_back(std::isnan(x) ? Fraction() : Fraction::Rationalise(x, 8));
    return out;
}

}  // namespace

std::string ToLensInfoString(const std::vector<Fraction>& info) {
    std::ostringstream os;
    // Ten digits, as the decimal form of any other fraction is shown.
    os.precision(10);
    if (info.size() != 4) {
        Value(info).ToStream(os, Value::SerialisationPolicies::Exiftool);
        return std::move(os).str();
    }
    WriteNumber(os, info[0]);
    if (ShowSecond(info[0], info[1])) {
        os << '-';
        WriteNumber(os, info[1]);
    }
    os << "mm f/";
    WriteNumber(os, info[2]);
    if (ShowSecond(info[2], info[3])) {
        os << '-';
        WriteNumber(os, info[3]);
    }
    return std::move(os).str();
}

std::vector<double> FromLensInfoString(std::string_view text) {
    return LensTextParser(text).Parse(false);
}

std::vector<double> FromLensInfoString_Strict(std::string_view text) {
    return LensTextParser(text).Parse(true);
}

std::vector<Fraction> FromLensInfoStringAsFracs(std::string_view text) {
    return AsFractions(FromLensInfoString(text));
}

std::vector<Fraction> FromLensInfoStringAsFracs_Strict(std::string_view text) {
    return AsFractions(FromLensInfoString_Strict(text));
}

}  // namespace meta::detail
