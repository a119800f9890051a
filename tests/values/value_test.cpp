#include "varrow/values/value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

namespace meta {
namespace {

using Type = Value::Type;

TEST(Value, ConstructionSelectsTheAlternative) {
    EXPECT_EQ(Value().GetType(), Type::None);
    EXPECT_EQ(Value("text").GetType(), Type::String);
    EXPECT_EQ(Value(std::string_view("text")).GetType(), Type::String);
    EXPECT_EQ(Value(true).GetType(), Type::Bool);
    EXPECT_EQ(Value(std::int8_t{1}).GetType(), Type::S8);
    EXPECT_EQ(Value(std::uint8_t{1}).GetType(), Type::U8);
    EXPECT_EQ(Value(std::uint16_t{1}).GetType(), Type::U16);
    EXPECT_EQ(Value(1).GetType(), Type::S32);
    EXPECT_EQ(Value(1U).GetType(), Type::U32);
    // Whatever the platform's int64_t is, the other 64-bit spellings land in
    // the 64-bit alternatives.
    EXPECT_EQ(Value(1LL).GetType(), Type::S64);
    EXPECT_EQ(Value(1L).GetType(), sizeof(long) == 8 ? Type::S64 : Type::S32);
    EXPECT_EQ(Value(1ULL).GetType(), Type::U64);
    EXPECT_EQ(Value(1.0F).GetType(), Type::Float);
    EXPECT_EQ(Value(1.0).GetType(), Type::Double);
    EXPECT_EQ(Value(Fraction(1, 2)).GetType(), Type::Fraction);
    EXPECT_EQ(Value(DateTime::FromString("2021")).GetType(), Type::DateTime);
    EXPECT_EQ(Value(LocalisedString("en", "x")).GetType(), Type::LString);
    EXPECT_EQ(Value(std::vector<bool>{true}).GetType(), Type::BoolArray);
    EXPECT_EQ(Value(std::vector<double>{}).GetType(), Type::DoubleArray);
    EXPECT_EQ(Value(std::vector<Fraction>{}).GetType(), Type::FractionArray);
    EXPECT_EQ(Value(ValueSequence{}).GetType(), Type::Sequence);
    EXPECT_EQ(Value(ValueSet{}).GetType(), Type::Set);
    EXPECT_EQ(Value(ValueStore{}).GetType(), Type::Structure);
    EXPECT_EQ(Value(ValueRefSequence{}).GetType(), Type::RefSequence);

    // Binary data and arrays of 8-bit numbers are different alternatives.
    EXPECT_EQ(Value(std::vector<meta::byte>{}).GetType(), Type::Binary);
    EXPECT_EQ(Value(std::vector<unsigned char>{}).GetType(), Type::U8Array);

    EXPECT_EQ(Value::Create<Type::U16>(7), Value(std::uint16_t{7}));
    EXPECT_EQ(Value::Create<Type::None>({}).GetType(), Type::None);
    static_assert(std::is_same_v<Value::TypeTraits<Type::S16Array>::Type, std::vector<std::int16_t>>);
    static_assert(std::is_same_v<Value::TypeTraits<Type::LString>::Type, LocalisedString>);
}

TEST(Value, StringsAreSanitisedOnConstruction) {
    const Value v(
        std::string("a\xFF"
                    "b"));
    EXPECT_EQ(v.Get<std::string>(),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Value("\xC3").Get<std::string>(), "\xEF\xBF\xBD");
    EXPECT_EQ(Value("caf\xC3\xA9").Get<std::string>(), "caf\xC3\xA9");

    Value text("x");
    EXPECT_TRUE(text.SanitiseData());
    Value number(1);
    EXPECT_FALSE(number.SanitiseData());
}

TEST(Value, ExistenceAndLength) {
    const Value none;
    EXPECT_FALSE(none);
    EXPECT_FALSE(none.Exists());
    EXPECT_EQ(none.Length(), 0U);

    const Value empty(std::string(""));
    EXPECT_TRUE(empty.Exists());
    EXPECT_TRUE(empty.Exists(Type::String));
    EXPECT_FALSE(empty.Exists(Type::Binary));
    EXPECT_EQ(empty.Length(), 1U);

    EXPECT_EQ(Value(std::vector<meta::byte>{}).Length(), 0U);
    EXPECT_EQ(Value(std::vector<meta::byte>(5)).Length(), 5U);
    EXPECT_EQ(Value(std::vector<bool>(9, true)).Length(), 9U);
    EXPECT_EQ(Value(std::vector<double>{1, 2, 3}).Length(), 3U);
    EXPECT_EQ(Value(Fraction(1, 2)).Length(), 1U);
    EXPECT_EQ(Value(DateTime()).Length(), 1U);

    LocalisedString ls("en", "a");
    ls.AddValue("de", "b");
    ls.AddValue("fr", "c");
    EXPECT_EQ(Value(ls).Length(), 3U);

    ValueStore store;
    store.Set("a", 1);
    store.Set("b", 2);
    EXPECT_EQ(Value(store).Length(), 2U);
    EXPECT_EQ(Value(ValueSequence{1, 2}).Length(), 2U);
}

TEST(Value, TypeClassBoundaries) {
    EXPECT_TRUE(Value(true).IsIntegral());
    EXPECT_TRUE(Value(std::uint64_t{1}).IsIntegral());
    EXPECT_FALSE(Value(1.5F).IsIntegral());
    EXPECT_TRUE(Value(Fraction(1, 2)).IsArithmetic());
    EXPECT_FALSE(Value(DateTime()).IsArithmetic());

    EXPECT_TRUE(Value(std::vector<bool>{}).IsIntegralArray());
    EXPECT_TRUE(Value(std::vector<std::uint64_t>{}).IsIntegralArray());
    EXPECT_FALSE(Value(std::vector<float>{}).IsIntegralArray());
    EXPECT_TRUE(Value(std::vector<Fraction>{}).IsArithmeticArray());
    EXPECT_FALSE(Value(std::vector<DateTime>{}).IsArithmeticArray());
    EXPECT_TRUE(Value(std::vector<DateTime>{}).IsArray());
    EXPECT_FALSE(Value(std::vector<meta::byte>{}).IsArray());

    EXPECT_TRUE(Value(ValueSequence{}).IsCollection());
    EXPECT_TRUE(Value(ValueStore{}).IsCollection());
    EXPECT_FALSE(Value(ValueRefSequence{}).IsCollection());
    EXPECT_FALSE(Value(ValueRefSequence{}).IsArray());
}

TEST(Value, IndexedAccess) {
    const Value seq(ValueSequence{"a", 2});
    EXPECT_EQ(seq.at(0), Value("a"));
    EXPECT_EQ(seq.at(1), Value(2));
    EXPECT_THROW(static_cast<void>(seq.at(2)), ValueException);
    EXPECT_EQ(&seq[2], &Value::None);

    const Value emptySeq(ValueSequence{});
    EXPECT_THROW(static_cast<void>(emptySeq.at(0)), ValueException);
    EXPECT_EQ(&emptySeq[0], &Value::None);

    const Value set(ValueSet{3});
    EXPECT_EQ(set[0], Value(3));

    const Value target("referenced");
    const Value refs(ValueRefSequence{&target, nullptr});
    EXPECT_EQ(&refs.at(0), &target);
    EXPECT_THROW(static_cast<void>(refs.at(1)), ValueException);

    ValueStore store;
    store.Set("a", 1);
    EXPECT_THROW(static_cast<void>(Value(store).at(0)), ValueException);
    EXPECT_THROW(static_cast<void>(Value(std::vector<int>{1}).at(0)), ValueException);
    EXPECT_EQ(&Value(1)[0], &Value::None);
}

TEST(Value, GetRequiresTheExactAlternative) {
    const Value v(std::uint16_t{7});
    EXPECT_EQ(v.Get<std::uint16_t>(), 7);
    EXPECT_THROW(static_cast<void>(v.Get<std::uint32_t>()), ValueException);
    EXPECT_THROW(static_cast<void>(Value().Get<std::string>()), ValueException);
    EXPECT_EQ(Value(LocalisedString("en", "hi")).Get<LocalisedString>().GetDefaultValue(), "hi");

    try {
        static_cast<void>(v.Get<double>());
        FAIL() << "expected ValueException";
    } catch (const ValueException& e) {
        EXPECT_STREQ(e.what(), "");
    }
}

TEST(Value, CopiesAreDeepAndMovesLeaveNone) {
    ValueStore store;
    store.Set("inner", ValueSequence{1, "two"});
    Value original(store);
    original.AddQualifier("xml:lang", "en");

    Value copy(original);
    EXPECT_EQ(copy, original);
    // Distinct objects: the copy does not share the structure's values.
    EXPECT_NE(copy.Get<ValueStore>().at("inner").get(), original.Get<ValueStore>().at("inner").get());
    EXPECT_NE(&copy.GetQualifier("xml:lang"), &original.GetQualifier("xml:lang"));

    Value assigned;
    assigned = original;
    EXPECT_EQ(assigned, original);

    Value moved(std::move(copy));
    EXPECT_EQ(moved, original);
    EXPECT_EQ(copy.GetType(), Type::None);  // NOLINT(bugprone-use-after-move): documented state

    Value target(1);
    target = std::move(moved);
    EXPECT_EQ(target, original);
    EXPECT_FALSE(moved.Exists());  // NOLINT(bugprone-use-after-move)

    Value self(LocalisedString("en", "x"));
    const Value& alias = self;
    self = alias;
    EXPECT_EQ(self.Get<LocalisedString>().GetDefaultValue(), "x");
}

TEST(Value, Qualifiers) {
    Value v("text");
    EXPECT_FALSE(v.HasQualifiers());
    EXPECT_TRUE(v.GetQualifiers().empty());
    EXPECT_TRUE(v.AddQualifier("xml:lang", "en"));
    EXPECT_FALSE(v.AddQualifier("xml:lang", "de"));
    EXPECT_EQ(v.GetQualifier("xml:lang").GetText(), "en");
    EXPECT_TRUE(v.HasQualifier("xml:lang"));
    EXPECT_THROW(static_cast<void>(v.GetQualifier("missing")), std::out_of_range);

    ValueQualifier nested("outer");
    EXPECT_TRUE(nested.AddQualifier("inner", "deep"));
    EXPECT_TRUE(v.AddQualifier("q", nested));
    EXPECT_EQ(v.GetQualifier("q").GetQualifier("inner").GetText(), "deep");
    EXPECT_EQ(v.GetQualifiers().size(), 2U);

    EXPECT_TRUE(v.RemoveQualifier("q"));
    EXPECT_FALSE(v.RemoveQualifier("q"));
    v.RemoveQualifiers();
    EXPECT_FALSE(v.HasQualifiers());
    EXPECT_FALSE(Value().RemoveQualifier("q"));

    ValueQualifierMap map;
    map.emplace("a", std::make_unique<ValueQualifier>("1"));
    v.SetQualifiers(std::move(map));
    EXPECT_EQ(v.GetQualifier("a").GetText(), "1");
}

TEST(Value, Equality) {
    EXPECT_EQ(Value(), Value::None);
    EXPECT_EQ(Value("a"), Value("a"));
    EXPECT_NE(Value("a"), Value("b"));
    // Same number, different alternatives.
    EXPECT_NE(Value(1), Value(1U));
    // Fractions compare as stored.
    EXPECT_NE(Value(Fraction(1, 2)), Value(Fraction(2, 4)));
    EXPECT_EQ(Value(std::vector<int>{1, 2}), Value(std::vector<int>{1, 2}));
    EXPECT_NE(Value(ValueSequence{1, 2}), Value(ValueSet{1, 2}));
    EXPECT_NE(Value(ValueSequence{1, 2}), Value(ValueSequence{2, 1}));

    Value a("x"), b("x");
    a.AddQualifier("q", "1");
    EXPECT_NE(a, b);
    b.AddQualifier("q", "2");
    EXPECT_NE(a, b);
    b.RemoveQualifiers();
    b.AddQualifier("q", "1");
    EXPECT_EQ(a, b);
    // A removed last qualifier leaves no trace.
    a.RemoveQualifier("q");
    EXPECT_EQ(a, Value("x"));

    // Stores compare by field, whatever their insertion order.
    ValueStore s1, s2;
    for (int i = 0; i < 20; ++i) s1.Set("f" + std::to_string(i), i);
    for (int i = 19; i >= 0; --i) s2.Set("f" + std::to_string(i), i);
    EXPECT_EQ(Value(s1), Value(s2));
    s2.Set("f3", 99);
    EXPECT_NE(Value(s1), Value(s2));

    // References compare by identity.
    const Value x(1), y(1);
    EXPECT_EQ(Value(ValueRefSequence{&x}), Value(ValueRefSequence{&x}));
    EXPECT_NE(Value(ValueRefSequence{&x}), Value(ValueRefSequence{&y}));
}

TEST(Value, DivisionProducesReals) {
    Value u(std::uint32_t{2500});
    u /= 1000;
    EXPECT_EQ(u, Value(2.5));

    Value f(Fraction(1, 4));
    f /= 0.5;
    EXPECT_EQ(f, Value(0.5));

    Value arr(std::vector<std::int16_t>{-10, 20});
    arr /= 10;
    EXPECT_EQ(arr, Value(std::vector<double>{-1.0, 2.0}));

    Value qualified(10);
    qualified.AddQualifier("q", "kept");
    qualified /= 4;
    EXPECT_EQ(qualified.Get<double>(), 2.5);
    EXPECT_TRUE(qualified.HasQualifier("q"));

    Value none;
    none /= 2;
    EXPECT_FALSE(none.Exists());

    Value text("12");
    EXPECT_THROW(text /= 2, ValueException);
    EXPECT_EQ(text, Value("12"));
    Value store(ValueStore{});
    EXPECT_THROW(store /= 2, ValueException);
    Value refs(ValueRefSequence{});
    EXPECT_THROW(refs /= 2, ValueException);
}

TEST(Value, MaskingKeepsTheAlternative) {
    Value u8(std::uint8_t{0xAB});
    u8 &= static_cast<unsigned char>(0x0F);
    EXPECT_EQ(u8, Value(std::uint8_t{0x0B}));

    // A negative int mask is sign-extended, as in `x & mask`.
    Value u64(std::uint64_t{0xFFFF'FFFF'FFFF'FFFF});
    u64 &= -256;
    EXPECT_EQ(u64, Value(std::uint64_t{0xFFFF'FFFF'FFFF'FF00}));

    Value s16(std::int16_t{-1});
    s16 &= static_cast<unsigned short>(0x00F0);
    EXPECT_EQ(s16, Value(std::int16_t{0xF0}));

    Value arr(std::vector<std::uint32_t>{0x12345678, 0xFFFFFFFF});
    arr &= 16760832U;
    EXPECT_EQ(arr, Value(std::vector<std::uint32_t>{0x12345678U & 16760832U, 16760832U}));

    Value flag(true);
    flag &= 2;
    EXPECT_EQ(flag, Value(false));

    Value d(1.5);
    EXPECT_THROW(d &= 1, ValueException);
    EXPECT_EQ(d, Value(1.5));
    Value refs(ValueRefSequence{});
    EXPECT_THROW(refs &= 1, ValueException);
}

TEST(Value, TypeAndAffinityNames) {
    EXPECT_EQ(ToString(Type::None), "None");
    EXPECT_EQ(ToString(Type::LString), "LString");
    EXPECT_EQ(ToString(Type::Fraction), "Fraction");
    EXPECT_EQ(ToString(Type::DateTimeArray), "DateTimeArray");
    EXPECT_EQ(ToString(Type::RefSequence), "RefSequence");
    EXPECT_EQ(ToString(static_cast<Type>(34)), "");
    std::ostringstream os;
    os << Type::U16Array << '|' << ValueAffinity::Raw << '|' << static_cast<ValueAffinity>(7) << '|';
    EXPECT_EQ(os.str(), "U16Array|Raw||");
    EXPECT_EQ(ToString(ValueAffinity::Display), "Display");
    EXPECT_EQ(ToString(ValueAffinity::Value), "Value");
    EXPECT_EQ(ToString(ValueAffinity::None), "None");
}

TEST(Value, ScalarsStayInlineAndCompact) {
    // Scalars live inside the value; only rare, large alternatives are boxed.
    EXPECT_LE(sizeof(Value), 64U);
}

}  // namespace
}  // namespace meta
