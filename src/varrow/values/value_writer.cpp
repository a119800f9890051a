#include "varrow/values/value_writer.h"

#include <charconv>
#include <cmath>
#include <locale>
#include <ostream>
#include <sstream>

#include "varrow/util/strings.h"
#include "varrow/values/format_guard_impl.h"

namespace meta {

namespace {

using Flag = Value::SerialisationFlags;

using detail::FormatGuard;

// From this size on binary data is summarised instead of printed.
constexpr std::size_t kBinarySummaryThreshold = 61;

constexpr char kHexDigits[] = "0123456789abcdef";

const std::string kElementOnNonArray = "ElementToString is only valid on homogenous collections";

// Integers as a fresh string stream writes them: decimal, 8-bit types as
// numbers.
template <typename T>
std::string IntegerText(T x) {
    char buffer[24];
    char* end = std::to_chars(buffer, buffer + sizeof(buffer), x).ptr;
    return std::string(buffer, end);
}

const char* BoolText(bool b, Value::SerialisationFlagSet flags) noexcept {
    const bool capitalise = flags.IsSet(Flag::CapitaliseBool);
    if (flags.IsSet(Flag::BoolAsNumber)) return b ? "1" : "0";
    if (flags.IsSet(Flag::BoolAsYesNo)) return b ? (capitalise ? "Yes" : "yes") : (capitalise ? "No" : "no");
    return b ? (capitalise ? "True" : "true") : (capitalise ? "False" : "false");
}

// The general-notation precision the flags ask for, or 0 for the stream's
// own format.
int GeneralPrecision(Value::SerialisationFlagSet flags, bool isFloat, bool fromFraction) noexcept {
    if (fromFraction && flags.IsSet(Flag::FractionPrecision10)) return 10;
    if (flags.IsSet(Flag::FloatGeneralPrecision)) return isFloat ? 6 : 15;
    return 0;
}

// A real as WriteReal puts it on a fresh stream, whose format is general
// notation with precision 6: num_put formats that as printf's "%.*g" in the
// C locale, which is what to_chars does.
std::string RealText(double x, bool isFloat, bool fromFraction, Value::SerialisationFlagSet flags) {
    if (std::isnan(x) && flags.IsSet(Flag::NanAsUndef)) return "undef";
    if (std::isinf(x)) return "inf";
    const int precision = GeneralPrecision(flags, isFloat, fromFraction);
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), x, std::chars_format::general,
                                      precision != 0 ? precision : 6);
    return std::string(buffer, result.ptr);
}

// String forms do not depend on the global locale an application installs.
class ClassicStringStream : public std::ostringstream {
  public:
    ClassicStringStream() { imbue(std::locale::classic()); }
};

}  // namespace

int ValueWriter::GetDelimiterIword() {
    static const int index = std::ios_base::xalloc();
    return index;
}

void ValueWriter::SetDelimiterChoice(std::ostream& os, ArrayDelimiter choice) {
    os.iword(GetDelimiterIword()) = choice;
}

ValueWriter::ArrayDelimiter ValueWriter::GetDelimiterChoice(std::ostream& os) {
    return static_cast<ArrayDelimiter>(os.iword(GetDelimiterIword()));
}

void ValueWriter::InsertDelimiter(std::ostream& os) {
    switch (GetDelimiterChoice(os)) {
        case Comma: os << ','; break;
        case CommaSpace: os << ", "; break;
        case Pipe: os << '|'; break;
        case Dot: os << '.'; break;
        case Newline: os << '\n'; break;
        case Nul: os << '\0'; break;
        default: os << ' '; break;
    }
}

std::ostream& SetValueArrayDelim(std::ostream& os, ValueWriter::ArrayDelimiter delimiter) {
    ValueWriter::SetDelimiterChoice(os, delimiter);
    return os;
}

void ValueWriter::WriteBool(bool b) {
    os_ << BoolText(b, flags_);
}

void ValueWriter::WriteReal(double x, bool isFloat, bool fromFraction) {
    if (std::isnan(x) && flags_.IsSet(Flag::NanAsUndef)) {
        os_ << "undef";
        return;
    }
    if (std::isinf(x)) {
        os_ << "inf";
        return;
    }
    const int precision = GeneralPrecision(flags_, isFloat, fromFraction);
    if (precision == 0) {
        os_ << x;
        return;
    }
    FormatGuard guard(os_);
    os_.unsetf(std::ios_base::floatfield);
    os_.precision(precision);
    os_ << x;
}

void ValueWriter::WriteFraction(const Fraction& f) {
    if (flags_.IsSet(Flag::FractionsAsDecimal)) {
        WriteReal(f.AsDouble(), false, true);
    } else {
        os_ << f;
    }
}

void ValueWriter::WriteDateTime(const DateTime& dt) {
    if (flags_.IsSet(Flag::ExifDateTime)) {
        os_ << ToString(dt, ':', ' ', 2);
    } else {
        os_ << ToString(dt, '-', 'T', 3);
    }
}

void ValueWriter::WriteBinary(const std::vector<meta::byte>& bytes) {
    if (bytes.empty() || (bytes.size() == 1 && bytes[0] == meta::byte{0})) return;
    if (bytes.size() >= kBinarySummaryThreshold) {
        os_ << "(Binary data " << bytes.size() << " bytes, use -b option to extract)";
        return;
    }
    bool printable = true;
    for (meta::byte b : bytes) {
        const auto c = std::to_integer<unsigned>(b);
        if (c != 0 && (c < 32 || c > 126)) {
            printable = false;
            break;
        }
    }
    std::string text;
    text.reserve(printable ? bytes.size() : bytes.size() * 2);
    for (meta::byte b : bytes) {
        const auto c = std::to_integer<unsigned>(b);
        if (printable) {
            if (c != 0) text += static_cast<char>(c);
        } else {
            text += kHexDigits[c >> 4];
            text += kHexDigits[c & 0xF];
        }
    }
    os_ << text;
}

template <typename T>
void ValueWriter::WriteScalar(const T& x) {
    if constexpr (std::is_same_v<T, bool>) {
        WriteBool(x);
    } else if constexpr (std::is_same_v<T, std::int8_t> || std::is_same_v<T, std::uint8_t>) {
        os_ << static_cast<int>(x);
    } else if constexpr (std::is_integral_v<T>) {
        os_ << x;
    } else if constexpr (std::is_same_v<T, float>) {
        WriteReal(static_cast<double>(x), true);
    } else if constexpr (std::is_same_v<T, double>) {
        WriteReal(x, false);
    } else if constexpr (std::is_same_v<T, Fraction>) {
        WriteFraction(x);
    } else if constexpr (std::is_same_v<T, DateTime>) {
        WriteDateTime(x);
    } else {
        static_assert(!sizeof(T), "not a scalar");
    }
}

template <typename T>
void ValueWriter::WriteHeld(const T& held) {
    if constexpr (std::is_same_v<T, std::monostate>) {
        // Nothing to write.
    } else if constexpr (std::is_same_v<T, std::string>) {
        os_ << held;
    } else if constexpr (std::is_same_v<T, LocalisedString>) {
        os_ << held.GetValue();
    } else if constexpr (std::is_same_v<T, std::vector<meta::byte>>) {
        WriteBinary(held);
    } else if constexpr (std::is_same_v<T, ValueSequence> || std::is_same_v<T, ValueSet>) {
        constexpr bool isSequence = std::is_same_v<T, ValueSequence>;
        os_ << (isSequence ? '[' : '(');
        bool first = true;
        for (const Value& element : held) {
            if (!first) os_ << ", ";
            first = false;
            element.ToStream(os_);
        }
        os_ << (isSequence ? ']' : ')');
    } else if constexpr (std::is_same_v<T, ValueStore>) {
        os_ << '{';
        bool first = true;
        for (const auto& [name, value] : held) {
            if (!first) os_ << ", ";
            first = false;
            os_ << '"' << strings::basic::EscapeChars("\"", name) << "\": ";
            if (value) value->ToStream(os_);
        }
        os_ << '}';
    } else if constexpr (std::is_same_v<T, ValueRefSequence>) {
        if (!flags_.IsSet(Flag::ExpandReferences)) {
            os_ << "[ref-sequence]";
        } else if (!held.empty() && held.front() != nullptr) {
            held.front()->ToStream(os_, flags_);
        }
    } else if constexpr (detail::kIsTypedArray<T>) {
        using E = typename detail::VectorTraits<T>::Element;
        // Read once: an element cannot change it, and it is reset below.
        const ArrayDelimiter choice = GetDelimiterChoice(os_);
        bool first = true;
        for (const auto& x : held) {
            if (!first) InsertDelimiter(os_);
            first = false;
            WriteScalar(static_cast<E>(x));
        }
        if (choice != Default) SetDelimiterChoice(os_, Default);
    } else {
        WriteScalar(held);
    }
}

void ValueWriter::Write(const Value& value) {
    try {
        value.Visit([this](const auto& held) { WriteHeld(held); });
    } catch (const ValueException&) {
        // Only a valueless variant gets here.
        os_.setstate(std::ios_base::failbit);
    }
}

void ValueWriter::WriteElement(const Value& value, std::size_t index) {
    if (!value.IsArray()) throw ValueException(kElementOnNonArray);
    if (index >= value.Length()) throw ValueException();
    value.Visit([this, index](const auto& held) {
        using T = std::remove_cvref_t<decltype(held)>;
        if constexpr (detail::kIsTypedArray<T>) {
            using E = typename detail::VectorTraits<T>::Element;
            WriteScalar(static_cast<E>(held[index]));
        }
    });
}

void ValueSerialisingSubscriptor::operator()(const Value& value) const {
    ValueWriter(os_, flags_).WriteElement(value, index_);
}

std::ostream& Value::ToStream(std::ostream& os, SerialisationFlagSet flags) const {
    FormatGuard guard(os);
    ValueWriter(os, flags).Write(*this);
    return os;
}

std::string Value::ToString(SerialisationFlagSet flags) const {
    // The common scalars skip the string stream; each branch gives exactly
    // what the stream would.
    switch (GetType()) {
        case Type::None: return std::string();
        case Type::String: return Get<std::string>();
        case Type::LString: return Get<LocalisedString>().GetValue();
        case Type::S8: return IntegerText(static_cast<int>(Get<std::int8_t>()));
        case Type::U8: return IntegerText(static_cast<int>(Get<std::uint8_t>()));
        case Type::S16: return IntegerText(Get<std::int16_t>());
        case Type::U16: return IntegerText(Get<std::uint16_t>());
        case Type::S32: return IntegerText(Get<std::int32_t>());
        case Type::U32: return IntegerText(Get<std::uint32_t>());
        case Type::S64: return IntegerText(Get<std::int64_t>());
        case Type::U64: return IntegerText(Get<std::uint64_t>());
        case Type::DateTime:
            return flags.IsSet(Flag::ExifDateTime) ? meta::ToString(Get<DateTime>(), ':', ' ', 2)
                                                   : meta::ToString(Get<DateTime>(), '-', 'T', 3);
        case Type::Bool: return BoolText(Get<bool>(), flags);
        case Type::Float: return RealText(static_cast<double>(Get<float>()), true, false, flags);
        case Type::Double: return RealText(Get<double>(), false, false, flags);
        case Type::Fraction:
            if (!flags.IsSet(Flag::FractionsAsDecimal)) return meta::ToString(Get<Fraction>(), true);
            return RealText(Get<Fraction>().AsDouble(), false, true, flags);
        default: break;
    }
    ClassicStringStream os;
    ToStream(os, flags);
    return std::move(os).str();
}

std::ostream& Value::ElementToStream(std::size_t index, std::ostream& os, SerialisationFlagSet flags) const {
    FormatGuard guard(os);
    ValueSerialisingSubscriptor(index, os, flags)(*this);
    return os;
}

std::string Value::ElementToString(std::size_t index, SerialisationFlagSet flags) const {
    ClassicStringStream os;
    ElementToStream(index, os, flags);
    return std::move(os).str();
}

std::ostream& operator<<(std::ostream& os, const Value& value) {
    return value.ToStream(os);
}

}  // namespace meta
