#pragma once

#include <cstddef>
#include <iosfwd>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

// Writes values to a stream by the rules of Value::SerialisationFlags:
//   None nothing; String the text; LString its current text; Binary its
//   printable bytes, or lower-case hex, or "(Binary data N bytes, use -b
//   option to extract)" from 61 bytes on; Bool true/false (or by the flags);
//   integers in decimal (8-bit ones as numbers); Float/Double in the
//   stream's format (or by the flags), "inf" for any infinity; Fraction
//   'N/D' (or decimal); DateTime ISO style (or EXIF style); arrays with the
//   stream's delimiter; Sequence [a, b]; Set (a, b); Structure {"n": v};
//   RefSequence "[ref-sequence]" (or its first referenced value).
class VARROW_API ValueWriter {
  public:
    using Flags = Value::SerialisationFlagSet;

    // Separator between array elements, kept per stream. It applies to the
    // next array written and is then reset to Default.
    enum ArrayDelimiter : int {
        Default = 0,     // ' '
        Space = 1,       // ' '
        Comma = 2,       // ','
        CommaSpace = 3,  // ", "
        Pipe = 4,        // '|'
        Dot = 5,         // '.'
        Newline = 6,     // '\n'
        Nul = 7,         // '\0'
    };

    ValueWriter(std::ostream& os, Flags flags) noexcept : os_(os), flags_(flags) {}

    // The whole value; a valueless variant sets failbit.
    void Write(const Value& value);
    // Element `index` of an array value (BoolArray .. DateTimeArray); throws
    // ValueException for other alternatives or an index past the end.
    void WriteElement(const Value& value, std::size_t index);

    void WriteBool(bool b);
    void WriteReal(double x, bool isFloat, bool fromFraction = false);
    void WriteFraction(const Fraction& f);
    void WriteDateTime(const DateTime& dt);
    void WriteBinary(const std::vector<meta::byte>& bytes);

    // The std::ios_base::iword slot holding the choice, allocated once.
    static int GetDelimiterIword();
    static void SetDelimiterChoice(std::ostream& os, ArrayDelimiter choice);
    static ArrayDelimiter GetDelimiterChoice(std::ostream& os);
    // Writes the separator the stream's choice names.
    static void InsertDelimiter(std::ostream& os);

  private:
    template <typename T>
    void WriteHeld(const T& held);
    template <typename T>
    void WriteScalar(const T& x);

    std::ostream& os_;
    Flags flags_;
};

// Writes one element of array values, for per-element output.
class VARROW_API ValueSerialisingSubscriptor {
  public:
    ValueSerialisingSubscriptor(std::size_t index, std::ostream& os,
                                Value::SerialisationFlagSet flags) noexcept
        : index_(index), os_(os), flags_(flags) {}

    // Throws ValueException("ElementToString is only valid on homogenous
    // collections") for a value that is not an array, and ValueException for
    // an index past the end.
    void operator()(const Value& value) const;

  private:
    std::size_t index_;
    std::ostream& os_;
    Value::SerialisationFlagSet flags_;
};

// Chooses the separator of the next array written to `os`.
VARROW_API std::ostream& SetValueArrayDelim(std::ostream& os, ValueWriter::ArrayDelimiter delimiter);

}  // namespace meta
