#include "varrow/values/value_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <limits>
#include <locale>
#include <sstream>

namespace meta {
namespace {

using Flag = Value::SerialisationFlags;
using Flags = Value::SerialisationFlagSet;
using Policies = Value::SerialisationPolicies;
using Bytes = std::vector<meta::byte>;

Bytes MakeBytes(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) out.push_back(static_cast<meta::byte>(v));
    return out;
}

TEST(SerialisationFlags, PoliciesHaveTheirDocumentedValues) {
    EXPECT_EQ(Policies::Pretty.GetValue(), 89U);
    EXPECT_EQ(Policies::Simple.GetValue(), 37U);
    EXPECT_EQ(Policies::Exiftool.GetValue(), 499U);

    Flags f{Flag::BoolAsNumber};
    EXPECT_TRUE(f.IsSet(Flag::BoolAsNumber));
    f.Set(Flag::ExpandReferences).Reset(Flag::BoolAsNumber);
    EXPECT_EQ(f.GetValue(), 1U << 8);
    EXPECT_EQ((f | Flag::NanAsUndef).Count(), 2U);
    EXPECT_EQ(Flags::FromValue(~0ULL).GetValue(), 0x1FFU);
    EXPECT_EQ((~Flags{}).Count(), 9U);
    EXPECT_TRUE(Flags{}.None());
}

TEST(ValueWriter, Bools) {
    const Value yes(true), no(false);
    EXPECT_EQ(yes.ToString(), "true");
    EXPECT_EQ(no.ToString(), "false");
    EXPECT_EQ(yes.ToString(Policies::Pretty), "Yes");
    EXPECT_EQ(no.ToString(Policies::Pretty), "No");
    EXPECT_EQ(yes.ToString(Policies::Simple), "1");
    EXPECT_EQ(no.ToString(Policies::Simple), "0");
    EXPECT_EQ(yes.ToString(Policies::Exiftool), "True");
    EXPECT_EQ(no.ToString(Flag::BoolAsYesNo), "no");
    EXPECT_EQ(yes.ToString({Flag::BoolAsNumber, Flag::BoolAsYesNo, Flag::CapitaliseBool}), "1");
    EXPECT_EQ(Value(std::vector<bool>{true, false}).ToString(Policies::Simple), "1 0");
}

TEST(ValueWriter, Numbers) {
    EXPECT_EQ(Value(std::int8_t{-5}).ToString(), "-5");
    EXPECT_EQ(Value(std::uint8_t{200}).ToString(), "200");
    EXPECT_EQ(Value(std::vector<std::uint8_t>{65, 66}).ToString(), "65 66");
    EXPECT_EQ(Value(std::uint64_t{18446744073709551615ULL}).ToString(), "18446744073709551615");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Value(nan).ToString(Policies::Exiftool), "undef");
    EXPECT_EQ(Value(nan).ToString(), "nan");
    EXPECT_EQ(Value(std::numeric_limits<float>::quiet_NaN()).ToString(Flag::NanAsUndef), "undef");
    EXPECT_EQ(Value(-std::numeric_limits<double>::infinity()).ToString(), "inf");
    EXPECT_EQ(Value(std::numeric_limits<float>::infinity()).ToString(Policies::Simple), "inf");

    EXPECT_EQ(Value(1.0 / 3).ToString(), "0.333333");
    EXPECT_EQ(Value(1.0 / 3).ToString(Policies::Simple), "0.333333333333333");
    EXPECT_EQ(Value(1.0F / 3).ToString(Policies::Simple), "0.333333");
    EXPECT_EQ(Value(1e20).ToString(Policies::Simple), "1e+20");
}

TEST(ValueWriter, Fractions) {
    const Value third(Fraction(1, 3));
    EXPECT_EQ(third.ToString(), "1/3");
    EXPECT_EQ(third.ToString(Policies::Pretty), "0.3333333333");
    EXPECT_EQ(third.ToString(Policies::Exiftool), "0.3333333333");
    EXPECT_EQ(third.ToString(Policies::Simple), "0.333333333333333");
    EXPECT_EQ(third.ToString(Flag::FractionsAsDecimal), "0.333333");
    EXPECT_EQ(Value(Fraction(6, 1)).ToString(), "6");
    EXPECT_EQ(Value(Fraction(0, 0)).ToString(), "0/0");
    EXPECT_EQ(Value(Fraction(0, 0)).ToString(Policies::Exiftool), "undef");
    EXPECT_EQ(Value(Fraction(1, 0)).ToString(Policies::Exiftool), "inf");
    EXPECT_EQ(Value(std::vector<Fraction>{{1, 2}, {3, 1}}).ToString(), "1/2 3");
    EXPECT_EQ(Value(std::vector<Fraction>{{1, 2}, {3, 1}}).ToString(Policies::Pretty), "0.5 3");
}

TEST(ValueWriter, DatesAndTexts) {
    const Value dt(DateTime::FromString("2024-03-05T14:07:09.25"));
    EXPECT_EQ(dt.ToString(Policies::Exiftool), "2024:03:05 14:07:09.25");
    EXPECT_EQ(dt.ToString(), "2024-03-05T14:07:09.25");
    EXPECT_EQ(Value(DateTime::FromString("2024-03-05T14:07:09.1234+01:00")).ToString(),
              "2024-03-05T14:07:09.123+01:00");

    EXPECT_EQ(Value("plain").ToString(), "plain");
    LocalisedString ls("x-default", "Title");
    ls.AddValue("de", "Titel");
    EXPECT_EQ(Value(ls).ToString(), "Title");
    EXPECT_EQ(Value().ToString(), "");
}

TEST(ValueWriter, Binary) {
    EXPECT_EQ(Value(MakeBytes({'A', 'B', 0, 'C'})).ToString(), "ABC");
    EXPECT_EQ(Value(MakeBytes({1, 2})).ToString(), "0102");
    EXPECT_EQ(Value(MakeBytes({0xAB, 'x'})).ToString(), "ab78");
    EXPECT_EQ(Value(MakeBytes({0})).ToString(), "");
    EXPECT_EQ(Value(Bytes{}).ToString(), "");
    EXPECT_EQ(Value(Bytes(61)).ToString(), "(Binary data 61 bytes, use -b option to extract)");
    EXPECT_EQ(Value(Bytes(60, meta::byte{0xFF})).ToString(), std::string(120, 'f'));
}

TEST(ValueWriter, ArrayDelimiterAppliesToOneArray) {
    const Value arr(std::vector<std::uint16_t>{1, 2, 3});
    std::ostringstream os;
    os << arr << '|';
    SetValueArrayDelim(os, ValueWriter::CommaSpace);
    EXPECT_EQ(ValueWriter::GetDelimiterChoice(os), ValueWriter::CommaSpace);
    os << arr << '|' << arr;
    EXPECT_EQ(os.str(), "1 2 3|1, 2, 3|1 2 3");
    EXPECT_EQ(ValueWriter::GetDelimiterChoice(os), ValueWriter::Default);

    const std::pair<ValueWriter::ArrayDelimiter, const char*> cases[] = {{ValueWriter::Space, "1 2 3"},
                                                                         {ValueWriter::Comma, "1,2,3"},
                                                                         {ValueWriter::Pipe, "1|2|3"},
                                                                         {ValueWriter::Dot, "1.2.3"},
                                                                         {ValueWriter::Newline, "1\n2\n3"}};
    for (const auto& [delimiter, expected] : cases) {
        std::ostringstream s;
        SetValueArrayDelim(s, delimiter) << arr;
        EXPECT_EQ(s.str(), expected);
    }
    std::ostringstream nul;
    SetValueArrayDelim(nul, ValueWriter::Nul) << arr;
    EXPECT_EQ(nul.str(), std::string("1\0"
                                     "2\0"
                                     "3",
                                     5));
    std::ostringstream unknown;
    SetValueArrayDelim(unknown, static_cast<ValueWriter::ArrayDelimiter>(42)) << arr;
    EXPECT_EQ(unknown.str(), "1 2 3");

    // Scalars leave a pending choice for the next array.
    std::ostringstream pending;
    SetValueArrayDelim(pending, ValueWriter::Comma) << Value(7) << ' ' << arr;
    EXPECT_EQ(pending.str(), "7 1,2,3");
}

TEST(ValueWriter, Collections) {
    EXPECT_EQ(Value(ValueSequence{"a", "b"}).ToString(), "[a, b]");
    EXPECT_EQ(Value(ValueSet{1, ValueSequence{}}).ToString(), "(1, [])");
    // Elements are written without the outer flags.
    EXPECT_EQ(Value(ValueSequence{true}).ToString(Policies::Simple), "[true]");

    ValueStore store;
    store.Set("na\"me", 1);
    EXPECT_EQ(Value(store).ToString(), "{\"na\\\"me\": 1}");
    EXPECT_EQ(Value(ValueStore{}).ToString(), "{}");

    const Value target(Fraction(1, 2));
    const Value refs(ValueRefSequence{&target});
    EXPECT_EQ(refs.ToString(), "[ref-sequence]");
    EXPECT_EQ(refs.ToString(Flag::ExpandReferences), "1/2");
    EXPECT_EQ(refs.ToString(Policies::Exiftool), "0.5");
    EXPECT_EQ(Value(ValueRefSequence{}).ToString(Policies::Exiftool), "");
}

TEST(ValueWriter, StreamFormatIsUsedAndRestored) {
    std::ostringstream os;
    os << std::fixed << std::setprecision(2);
    os << Value(1.5) << ' ';
    Value(1.0 / 3).ToStream(os, Policies::Simple);
    os << ' ' << 2.0;
    EXPECT_EQ(os.str(), "1.50 0.333333333333333 2.00");
    EXPECT_TRUE(os.flags() & std::ios_base::fixed);
    EXPECT_EQ(os.precision(), 2);
}

TEST(ValueWriter, ToStringMatchesToStream) {
    const Value target(3);
    const std::vector<Value> values = {Value(),
                                       Value("x"),
                                       Value(LocalisedString("en", "y")),
                                       Value(true),
                                       Value(std::int8_t{-8}),
                                       Value(std::uint8_t{8}),
                                       Value(std::int16_t{-16}),
                                       Value(std::uint16_t{16}),
                                       Value(-32),
                                       Value(32U),
                                       Value(std::int64_t{-64}),
                                       Value(std::uint64_t{64}),
                                       Value(0.1F),
                                       Value(0.1),
                                       Value(Fraction(2, 3)),
                                       Value(DateTime::FromString("2024-03-05T14:07:09.2567Z")),
                                       Value(std::vector<double>{1.25, 2}),
                                       Value(ValueSequence{1, "a"}),
                                       Value(ValueRefSequence{&target}),
                                       Value(false),
                                       Value(1e20),
                                       Value(-0.0),
                                       Value(1e-7),
                                       Value(123456789.0),
                                       Value(2.5e-310),
                                       Value(-std::numeric_limits<double>::quiet_NaN()),
                                       Value(std::numeric_limits<float>::max()),
                                       Value(Fraction(-1, 0)),
                                       Value(Fraction(123456789, 7))};
    const Flags flagSets[] = {Flags{}, Policies::Pretty, Policies::Simple, Policies::Exiftool};
    for (const auto& v : values) {
        for (const auto& flags : flagSets) {
            std::ostringstream os;
            v.ToStream(os, flags);
            EXPECT_EQ(v.ToString(flags), os.str()) << v.GetType() << ' ' << flags.GetValue();
        }
    }
}

TEST(ValueWriter, StringsIgnoreTheGlobalLocale) {
    // A locale that groups thousands and uses a decimal comma.
    struct Grouping : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Grouping));
    const std::string array = Value(std::vector<int>{1234567}).ToString();
    const std::string real = Value(1234.5).ToString();
    const std::string ratio = Value(Fraction(1, 4)).ToString(Policies::Simple);
    std::locale::global(previous);
    EXPECT_EQ(array, "1234567");
    EXPECT_EQ(real, "1234.5");
    EXPECT_EQ(ratio, "0.25");
}

TEST(ValueWriter, Elements) {
    const Value arr(std::vector<Fraction>{{1, 2}, {1, 3}});
    EXPECT_EQ(arr.ElementToString(1), "1/3");
    EXPECT_EQ(arr.ElementToString(0, Policies::Simple), "0.5");
    EXPECT_EQ(Value(std::vector<bool>{false, true}).ElementToString(1, Policies::Pretty), "Yes");
    EXPECT_EQ(Value(std::vector<std::int8_t>{-1}).ElementToString(0), "-1");
    EXPECT_THROW(static_cast<void>(arr.ElementToString(2)), ValueException);
    try {
        static_cast<void>(Value(ValueSequence{1}).ElementToString(0));
        FAIL() << "expected ValueException";
    } catch (const ValueException& e) {
        EXPECT_STREQ(e.what(), "ElementToString is only valid on homogenous collections");
    }
    EXPECT_THROW(static_cast<void>(Value(Bytes(2)).ElementToString(0)), ValueException);
}

TEST(StructuredForm, TopLevelCollectionsAreSummarised) {
    const Value seq(ValueSequence{"a", "b"});
    EXPECT_EQ(seq.ToExifToolString(false, '\0'), "(Sequence data)");
    EXPECT_EQ(seq.ToExifToolString(true, ']'), "[a,b]");
    EXPECT_EQ(Value(ValueSet{1}).ToExifToolString(), "(Set data)");
    EXPECT_EQ(Value(ValueStore{}).ToExifToolString(), "(Structured data)");
    EXPECT_EQ(Value(ValueSet{}).ToExifToolString(true, ']'), "");
    EXPECT_EQ(Value(ValueStore{}).ToExifToolString(true, '}'), "");
}

TEST(StructuredForm, SeparatorsInsideValuesAreEscaped) {
    EXPECT_EQ(Value(ValueSequence{"x,y"}).ToExifToolString(true, ']'), "[x|,y]");
    EXPECT_EQ(Value(ValueSequence{"a]b|c"}).ToExifToolString(true, ']'), "[a|]b||c]");
    EXPECT_EQ(Value(ValueSequence{"[x", " y", "{z"}).ToExifToolString(true, ']'), "[|[x,| y,|{z]");

    ValueStore store;
    store.Set("b", "p}q]");
    store.Set("a", ValueSequence{1, 2});
    store.Set("c", true);
    EXPECT_EQ(Value(ValueSequence{store}).ToExifToolString(true, ']'), "[{a=[1,2],b=p|}q],c=True}]");

    // At the top level only the control-character clean-up applies.
    EXPECT_EQ(Value("x,y").ToExifToolString(), "x,y");
    EXPECT_EQ(Value("x,y").ToExifToolString(true, '\0'), "x,y");
    // Binary data is escaped even without a closing character.
    EXPECT_EQ(Value(MakeBytes({'a', ',', 'b'})).ToExifToolString(true, '\0'), "a|,b");
}

TEST(StructuredForm, ControlCharactersAndTrailingSpace) {
    EXPECT_EQ(Value("a\tb  ").ToExifToolString(), "a.b");
    EXPECT_EQ(Value(std::string("a\0b\x7f\n", 5)).ToExifToolString(), "ab..");
    EXPECT_EQ(Value(ValueSequence{"end \t"}).ToExifToolString(true, ']'), "[end .]");
    EXPECT_EQ(Value(1.0 / 3).ToExifToolString(), "0.333333333333333");
    EXPECT_EQ(Value(Fraction(1, 3)).ToExifToolString(), "0.3333333333");
    EXPECT_EQ(Value(std::numeric_limits<double>::quiet_NaN()).ToExifToolString(), "undef");
}

}  // namespace
}  // namespace meta
