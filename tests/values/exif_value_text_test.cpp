#include "varrow/values/exif_value_text.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <limits>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace meta {
namespace {

using namespace std::string_literals;
using Encoding = CharExifValue::Encoding;
constexpr ByteOrder LE = ByteOrder::LittleEndian;
constexpr ByteOrder BE = ByteOrder::BigEndian;

std::vector<meta::byte> ToBytes(const std::string& s) {
    std::vector<meta::byte> out;
    for (char c : s) out.push_back(static_cast<meta::byte>(c));
    return out;
}

// Reads `bytes` from memory and from a stream; both must give `ok` and the
// same text form. Returns the memory result.
template <typename V>
V ReadBoth(const std::string& bytes, ByteOrder order = LE, bool ok = true) {
    V fromMemory;
    EXPECT_EQ(fromMemory.Read(bytes.data(), bytes.size(), order), ok);
    V fromStream;
    std::istringstream is(bytes);
    EXPECT_EQ(fromStream.Read(is, bytes.size(), order), ok);
    EXPECT_EQ(fromMemory.ToString(), fromStream.ToString());
    EXPECT_EQ(fromMemory.GetValueCount(), fromStream.GetValueCount());
    return fromMemory;
}

TEST(AsciiExifValue, CutsAtTheFirstNulAndTrimsTheEnd) {
    const auto canon = ReadBoth<AsciiExifValue>("Canon\0\0\0"s);
    EXPECT_EQ(canon.GetData(), "Canon");
    EXPECT_EQ(canon.GetValueCount(), 6U);
    EXPECT_EQ(ReadBoth<AsciiExifValue>("abc  \0"s).GetData(), "abc");
    EXPECT_EQ(ReadBoth<AsciiExifValue>("ab\0cd"s).GetData(), "ab");
    EXPECT_EQ(ReadBoth<AsciiExifValue>("no terminator").GetData(), "no terminator");
    EXPECT_EQ(ReadBoth<AsciiExifValue>("  lead\t\n").GetData(), "  lead");

    const auto empty = ReadBoth<AsciiExifValue>("\0  "s);
    EXPECT_EQ(empty.GetData(), "");
    EXPECT_EQ(empty.GetValueCount(), 0U);
    EXPECT_EQ(ReadBoth<AsciiExifValue>("    ").GetValueCount(), 0U);

    AsciiExifValue fromNull("old");
    EXPECT_TRUE(fromNull.Read(nullptr, 0, LE));
    EXPECT_EQ(fromNull.GetValueCount(), 0U);
    EXPECT_FALSE(fromNull.Read(nullptr, 3, LE));
}

TEST(AsciiExifValue, TextValueAndAccessors) {
    const auto bad = ReadBoth<AsciiExifValue>("a\xFF"s + "b");
    EXPECT_EQ(bad.GetData(), "a\xFF"s + "b");  // kept as read ...
    EXPECT_EQ(bad.ToString(), "a\xFF"s + "b");
    EXPECT_EQ(bad.ToMetaValue(), Value("a\xEF\xBF\xBD"s + "b"));  // ... sanitised in the Value
    EXPECT_EQ(bad.GetData(9), '\0');

    AsciiExifValue text("Nikon");
    const Value moved = std::move(text).ToMetaValue();
    EXPECT_EQ(moved, Value("Nikon"));
    EXPECT_EQ(text.GetValueCount(), 0U);
}

TEST(AsciiExifValue, ShortAndHostileStreams) {
    AsciiExifValue value("old");
    std::istringstream shortStream("abc");
    EXPECT_FALSE(value.Read(shortStream, 4, LE));
    EXPECT_EQ(value.GetData(), "");

    std::istringstream hostile("tiny\0"s);
    EXPECT_FALSE(value.Read(hostile, std::numeric_limits<std::size_t>::max(), LE));
    EXPECT_EQ(value.GetData(), "");

    // The bytes after the NUL are consumed, whatever their length.
    std::string long_ = "lead\0"s + std::string(100'000, 'x') + "next";
    std::istringstream is(long_);
    ASSERT_TRUE(value.Read(is, long_.size() - 4, LE));
    EXPECT_EQ(value.GetData(), "lead");
    AsciiExifValue after;
    ASSERT_TRUE(after.Read(is, 4, LE));
    EXPECT_EQ(after.GetData(), "next");
}

TEST(UndefinedExifValue, ReadsBytesAndWritesShortPrintableOnes) {
    const auto version = ReadBoth<UndefinedExifValue>("0230");
    EXPECT_EQ(version.ToString(), "0230");
    EXPECT_EQ(version.GetValueCount(), 4U);
    EXPECT_EQ(ReadBoth<UndefinedExifValue>("abcde").ToString(),
              "(Binary data 5 bytes, use -b option to extract)");
    EXPECT_EQ(ReadBoth<UndefinedExifValue>("\0"s).ToString(), "");
    EXPECT_EQ(ReadBoth<UndefinedExifValue>("").ToString(), "");
    EXPECT_EQ(ReadBoth<UndefinedExifValue>("\x01"s).ToString(),
              "(Binary data 1 bytes, use -b option to extract)");
    EXPECT_EQ(ReadBoth<UndefinedExifValue>("a\0"s).ToString(),
              "(Binary data 2 bytes, use -b option to extract)");
    EXPECT_EQ(ReadBoth<UndefinedExifValue>("~ \x7F"s).ToString(),
              "(Binary data 3 bytes, use -b option to extract)");

    const auto raw = ReadBoth<UndefinedExifValue>("\x00\xFF\x10"s, BE);
    EXPECT_EQ(raw.GetData(), ToBytes("\x00\xFF\x10"s));
    EXPECT_EQ(raw.GetData(1), meta::byte{0xFF});
    EXPECT_EQ(raw.GetData(3), meta::byte{0});
    const Value binary = raw.ToMetaValue();
    ASSERT_EQ(binary.GetType(), Value::Type::Binary);
    EXPECT_EQ(binary.Get<std::vector<meta::byte>>(), raw.GetData());
}

TEST(UndefinedExifValue, ShortAndHostileStreamsLeaveNothing) {
    UndefinedExifValue value(ToBytes("old"));
    std::istringstream shortStream("abc");
    EXPECT_FALSE(value.Read(shortStream, 4, LE));
    EXPECT_EQ(value.GetValueCount(), 0U);
    std::istringstream hostile("abc");
    EXPECT_FALSE(value.Read(hostile, std::size_t{1} << 60, LE));
    EXPECT_EQ(value.GetValueCount(), 0U);

    const std::string big(200'000, '\x5A');
    std::istringstream is(big);
    ASSERT_TRUE(value.Read(is, big.size(), LE));
    EXPECT_EQ(value.GetData(), ToBytes(big));
}

TEST(CharExifValue, PrefixSelectsTheEncoding) {
    const auto ascii = ReadBoth<CharExifValue>("ASCII\0\0\0"s);
    EXPECT_EQ(ascii.GetEncoding(), Encoding::Ascii);
    EXPECT_EQ(ascii.ToMetaValue(), Value(""));
    EXPECT_EQ(ascii.GetValueCount(), 0U);

    const auto text = ReadBoth<CharExifValue>("ASCII\0\0\0Hello"s);
    EXPECT_EQ(text.GetEncoding(), Encoding::Ascii);
    EXPECT_EQ(text.GetBytes(), "Hello");
    EXPECT_EQ(text.GetValueCount(), 5U);
    EXPECT_EQ(ReadBoth<CharExifValue>("        Hi"s).GetEncoding(), Encoding::Ascii);
    EXPECT_EQ(ReadBoth<CharExifValue>("\0junkjunHi"s).GetBytes(), "Hi");

    // Shift-JIS for HIRAGANA LETTER A.
    const auto jis = ReadBoth<CharExifValue>("JIS\0\0\0\0\0\x82\xA0"s);
    EXPECT_EQ(jis.GetEncoding(), Encoding::Jis);
    EXPECT_EQ(jis.GetAsUtf8(), "\xE3\x81\x82");
    EXPECT_EQ(jis.ToMetaValue(), Value("\xE3\x81\x82"));

    // An unknown prefix stays part of the text.
    const auto other = ReadBoth<CharExifValue>("UNKNOWN!text"s);
    EXPECT_EQ(other.GetEncoding(), Encoding::Undefined);
    EXPECT_EQ(other.GetBytes(), "UNKNOWN!text");
    EXPECT_EQ(other.GetValueCount(), 12U);

    const auto shortText = ReadBoth<CharExifValue>("ASCII"s);
    EXPECT_EQ(shortText.GetEncoding(), Encoding::Undefined);
    EXPECT_EQ(shortText.GetBytes(), "ASCII");
    EXPECT_EQ(shortText.ToMetaValue(), Value("ASCII"));
    EXPECT_EQ(shortText.GetType(), ExifType::Char);
}

TEST(CharExifValue, UnicodeText) {
    const std::string withMark = "UNICODE\0\xFF\xFE\x41\x00"s;
    for (ByteOrder order : {LE, BE}) {
        const auto value = ReadBoth<CharExifValue>(withMark, order);
        EXPECT_EQ(value.GetEncoding(), Encoding::Unicode);
        EXPECT_EQ(value.ToMetaValue(), Value("A"));
        EXPECT_EQ(value.GetValueCount(), 2U);
    }
    EXPECT_EQ(ReadBoth<CharExifValue>("UNICODE \xFE\xFF\x00\x42"s, LE).GetAsUtf8(), "B");
    // Without a mark the file's order counts.
    const std::string plain = "UNICODE\0\x00\x43\x00\xE9"s;
    EXPECT_EQ(ReadBoth<CharExifValue>(plain, BE).GetAsUtf8(), "C\xC3\xA9");
    EXPECT_EQ(ReadBoth<CharExifValue>(plain, LE).GetUtf16(), (std::u16string{u'\u4300', u'\uE900'}));
    EXPECT_THROW(ReadBoth<CharExifValue>(plain, LE).GetBytes(), std::bad_variant_access);

    const auto odd = ReadBoth<CharExifValue>("UNICODE\0\x41\x00\x42"s, LE, false);
    EXPECT_EQ(odd.GetValueCount(), 0U);
    EXPECT_EQ(odd.ToMetaValue(), Value(""));
}

TEST(CharExifValue, ShortDataIsUndefinedText) {
    const auto value = ReadBoth<CharExifValue>("ab\0cd"s);
    EXPECT_EQ(value.GetEncoding(), Encoding::Undefined);
    EXPECT_EQ(value.GetBytes(), "ab\0cd"s);
    EXPECT_EQ(value.GetValueCount(), 5U);

    CharExifValue empty;
    EXPECT_TRUE(empty.Read(nullptr, 0, LE));
    EXPECT_EQ(empty.GetValueCount(), 0U);
    EXPECT_EQ(empty.ToString(), "");
    EXPECT_FALSE(empty.Read(nullptr, 8, LE));

    std::istringstream shortStream("ASCII\0\0\0ab"s);
    EXPECT_FALSE(empty.Read(shortStream, 11, LE));
    EXPECT_EQ(empty.GetValueCount(), 0U);
    std::istringstream hostile("ASCII\0\0\0ab"s);
    EXPECT_FALSE(empty.Read(hostile, std::size_t{1} << 62, LE));
}

TEST(CharExifValue, WritesWithAndWithoutPrefix) {
    for (const std::string& bytes : {"ASCII\0\0\0Hello"s, "JIS\0\0\0\0\0\x82\xA0"s, "UNKNOWN!text"s}) {
        const auto value = ReadBoth<CharExifValue>(bytes);
        std::ostringstream withPrefix;
        value.WriteImpl(withPrefix, true);
        EXPECT_EQ(withPrefix.str(), bytes);
    }
    EXPECT_EQ(ReadBoth<CharExifValue>("ASCII  \0Hello"s).ToString(), "Hello");

    // Unicode text is written as host-order code units.
    CharExifValue unicode;
    ASSERT_TRUE(unicode.Read("UNICODE\0\x00\x41"s.data(), 10, BE));
    const std::u16string units = u"A";
    const std::string hostBytes(reinterpret_cast<const char*>(units.data()), 2);
    EXPECT_EQ(unicode.ToString(), hostBytes);
    std::ostringstream os;
    unicode.WriteImpl(os, true);
    EXPECT_EQ(os.str(), "UNICODE\0"s + hostBytes);
    EXPECT_EQ(unicode.GetData(0), hostBytes[0]);
    EXPECT_EQ(unicode.GetData(1), hostBytes[1]);
    EXPECT_EQ(unicode.GetData(2), '\0');
}

TEST(CharExifValue, SettersAndMoves) {
    CharExifValue value;
    EXPECT_TRUE(value.SetData(ToBytes("\x00\x44"s), Encoding::Unicode, BE));
    EXPECT_EQ(value.GetAsUtf8(), "D");
    EXPECT_FALSE(value.SetData(ToBytes("\x44"s), Encoding::Unicode, BE));
    EXPECT_EQ(value.GetValueCount(), 0U);
    EXPECT_TRUE(value.SetData(ToBytes("plain"), Encoding::Ascii));
    EXPECT_EQ(value.GetEncoding(), Encoding::Ascii);
    EXPECT_EQ(value.GetData(4), 'n');
    const Value moved = std::move(value).ToMetaValue();
    EXPECT_EQ(moved, Value("plain"));
    EXPECT_EQ(value.GetValueCount(), 0U);
}

// The prefix rules as regular expressions searched in the 8 prefix bytes;
// EncodingFromPrefix must classify exactly like them.
CharExifValue::Encoding EncodingByRegex(const std::string& prefix) {
    static const std::regex ascii("^(ASCII)?(\0|[\0 ]+$)"s);
    static const std::regex unicode("^UNICODE[\0 ]$"s);
    static const std::regex jis("^JIS[\0 ]{5}$"s);
    if (std::regex_search(prefix, ascii)) return Encoding::Ascii;
    if (std::regex_search(prefix, unicode)) return Encoding::Unicode;
    if (std::regex_search(prefix, jis)) return Encoding::Jis;
    return Encoding::Undefined;
}

TEST(CharExifValue, PrefixRulesMatchTheirRegularExpressions) {
    const std::vector<std::string> crafted = {
        "ASCII\0\0\0"s,   "ASCII   "s,  "ASCII\0xy"s,    "ASCII \0x"s, "ASCIIx\0\0"s,  "\0\0\0\0\0\0\0\0"s,
        "        "s,      "\0ABCDEFG"s, " \0 \0 \0 a"s,  "UNICODE\0"s, "UNICODE "s,    "UNICODEx"s,
        "JIS\0\0\0\0\0"s, "JIS     "s,  "JIS\0\0\0\0x"s, "Unicode\0"s, "ascii\0\0\0"s, " ASCII\0\0"s,
    };
    for (const std::string& prefix : crafted) {
        EXPECT_EQ(CharExifValue::EncodingFromPrefix(prefix), EncodingByRegex(prefix))
            << testing::PrintToString(prefix);
    }
    EXPECT_EQ(CharExifValue::EncodingFromPrefix("ASCII\0\0\0"s), Encoding::Ascii);
    EXPECT_EQ(CharExifValue::EncodingFromPrefix("UNICODE "s), Encoding::Unicode);
    EXPECT_EQ(CharExifValue::EncodingFromPrefix("JIS \0 \0 "s), Encoding::Jis);
    EXPECT_EQ(CharExifValue::EncodingFromPrefix("ASCIIx\0\0"s), Encoding::Undefined);

    // Random prefixes over the characters that matter.
    const std::string alphabet = "ASCIUNODEJx \0"s;
    std::mt19937 rng(12345);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    const std::vector<std::string> stems = {"", "ASCII", "UNICODE", "JIS"};
    for (int i = 0; i < 20000; ++i) {
        std::string prefix = stems[static_cast<std::size_t>(i) % stems.size()];
        while (prefix.size() < 8) prefix.push_back(alphabet[pick(rng)]);
        ASSERT_EQ(CharExifValue::EncodingFromPrefix(prefix), EncodingByRegex(prefix))
            << testing::PrintToString(prefix);
    }
}

TEST(Utf16ExifValue, ReadsUtf16WithoutPrefix) {
    const auto big = ReadBoth<Utf16ExifValue>("\x00\x41\x00\xE9"s, BE);
    EXPECT_EQ(big.GetType(), ExifType::Utf16);
    EXPECT_EQ(big.GetEncoding(), Encoding::Unicode);
    EXPECT_EQ(big.ToString(), "A\xC3\xA9");
    EXPECT_EQ(big.ToMetaValue(), Value("A\xC3\xA9"));
    EXPECT_EQ(big.GetValueCount(), 4U);
    EXPECT_EQ(ReadBoth<Utf16ExifValue>("\x41\x00"s, LE).GetAsUtf8(), "A");
    // A byte-order mark wins over the given order and is dropped; a prefix
    // is not looked for.
    const auto marked = ReadBoth<Utf16ExifValue>("\xFF\xFE\x3D\xD8\x00\xDE"s, BE);
    EXPECT_EQ(marked.GetAsUtf8(), "\xF0\x9F\x98\x80");
    EXPECT_EQ(marked.GetValueCount(), 4U);
    EXPECT_EQ(ReadBoth<Utf16ExifValue>("UNICODE\0"s, LE).GetValueCount(), 8U);

    const auto odd = ReadBoth<Utf16ExifValue>("\x00\x41\x00"s, BE, false);
    EXPECT_EQ(odd.GetValueCount(), 0U);
    EXPECT_EQ(odd.ToString(), "");

    Utf16ExifValue value;
    EXPECT_TRUE(value.Read(nullptr, 0, BE));
    EXPECT_EQ(value.ToMetaValue(), Value(""));
    std::istringstream hostile("\x00\x41"s);
    EXPECT_FALSE(value.Read(hostile, std::size_t{1} << 40, BE));
    EXPECT_TRUE(value.SetData(ToBytes("\xFE\xFF\x00\x5A"s), LE));
    EXPECT_EQ(value.GetAsUtf8(), "Z");
}

}  // namespace
}  // namespace meta
