// The generated code of every row feature, on the tables of
// tools/gen/inputs/fields/testing/sample.json, and the lookup rules of the
// databases applied to them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include "varrow/fields/field_database.h"
#include "varrow/fields/field_row.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta::sample_support {

struct SampleProcessor {};

int gNeverCalls = 0;

bool IsModelA(ReadStore& store) {
    return store.model == "A";
}
bool IsModelB(ReadStore& store) {
    return store.model == "B";
}
bool Never(ReadStore&) {
    ++gNeverCalls;
    return false;
}
std::uint32_t PointCount(ReadStore& store) {
    return store.valueCount / 2;
}
Value Doubled(const Value& value, ReadStore&) {
    return Value(value.Convert<std::int64_t>() * 2);
}
bool RejectNull(const ExifValue* value, std::uint32_t, ReadStore&) {
    return value != nullptr;
}

}  // namespace meta::sample_support

#include "fields/field_sample_tables.inc"

namespace meta {
namespace {

namespace sample = field_defs::sample;

TEST(FieldGenerator, PlainRowsCarryEveryColumn) {
    auto const table = sample::SampleRecordFields();
    RecordField const& first = table.at(0);
    EXPECT_EQ(first.name, "First");
    EXPECT_EQ(first.fixedCount, 2u);
    EXPECT_EQ(first.overrideFormat, ExifType::Short);
    EXPECT_EQ(first.priority, 1);
    EXPECT_FALSE(first.displayConversion);

    RecordField const& oriented = table.at(7);
    EXPECT_EQ(oriented.title, "Sample orientation");
    // The description was split into several literals and escaped.
    EXPECT_EQ(
        oriented.description,
        "a description long enough to be broken into several adjacent string literals by the generator, "
        "with \"quotes\", a backslash \\ and a tab\tinside");
    EXPECT_EQ(oriented.lookupName, "ExifOrientation");
    ReadStore store;
    ASSERT_TRUE(oriented.displayConversion);
    EXPECT_EQ(oriented.displayConversion(Value(std::uint16_t{6}), store).ToString(), "Rotate 90 CW");

    EXPECT_EQ(table.at(-3).visibility, 1u);
    EXPECT_TRUE(table.at(5).delayed);
    EXPECT_EQ(table.at(5).overrideFormat, ExifType::SShort);
    EXPECT_EQ(table.at(6).children.at(0).priority, 0);
}

TEST(FieldGenerator, SignedIdsWalkNegativesLast) {
    auto const table = sample::SampleRecordFields();
    std::vector<int> ids;
    for (auto const& [id, field] : table) ids.push_back(id);
    EXPECT_EQ(ids, (std::vector<int>{0, 2, 5, 6, 7, 8, 9, -3, -1}));

    // Without a store every definition is yielded as stored.
    detail::TableFieldIterator<RecordField> all(&table, nullptr);
    std::vector<int> walked;
    while (all.Advance()) walked.push_back(all.GetId());
    EXPECT_EQ(walked, ids);

    // With a store, ids where nothing applies are skipped and variants
    // stand in for their definition.
    ReadStore store;
    store.model = "B";
    detail::TableFieldIterator<RecordField> chosen(&table, &store);
    std::vector<std::string> names;
    while (chosen.Advance()) names.push_back(chosen.GetField()->name);
    EXPECT_EQ(names, (std::vector<std::string>{"First", "ModelBValue", "Points", "Packed", "Oriented",
                                               "DelayedChoice", "ThirdFromEnd", "Last"}));
    EXPECT_FALSE(chosen.Advance());

    detail::TableFieldIterator<RecordField> none(nullptr, &store);
    EXPECT_FALSE(none.Advance());
}

TEST(FieldGenerator, VariantsAreChosenByTheirConditions) {
    auto const table = sample::SampleRecordFields();
    RecordField const& byModel = table.at(2);
    ASSERT_EQ(byModel.variants.size(), 2u);
    EXPECT_EQ(byModel.variants[0].overrideFormat, ExifType::Long);
    EXPECT_EQ(byModel.variants[1].fixedCount, 3u);

    ReadStore store;
    store.model = "A";
    EXPECT_EQ(detail::ChooseDefinition(byModel, store), &byModel.variants[0]);
    store.model = "B";
    EXPECT_EQ(detail::ChooseDefinition(byModel, store), &byModel.variants[1]);
    // The definition itself is never a candidate when it has variants.
    store.model = "C";
    EXPECT_EQ(detail::ChooseDefinition(byModel, store), nullptr);

    // Found unconditionally, but no variant applies.
    RecordField const* noneApplies = detail::FindInTable(table, 9, false);
    ASSERT_NE(noneApplies, nullptr);
    EXPECT_EQ(detail::ChooseDefinition(*noneApplies, store), nullptr);
}

TEST(FieldGenerator, DelayedAndUnknownRowsSkipTheirConditions) {
    auto const table = sample::SampleRecordFields();
    RecordField const& delayed = table.at(8);
    RecordField const& unknown = table.at(-3);
    ReadStore store;

    sample_support::gNeverCalls = 0;
    EXPECT_EQ(detail::ChooseDefinition(delayed, store), &delayed);
    EXPECT_EQ(detail::ChooseDefinition(unknown, store), &unknown);
    EXPECT_EQ(sample_support::gNeverCalls, 0);

    // With the data at hand the delayed row's condition decides.
    std::istringstream input("data");
    DataSource source(input, 0);
    store.dataSource = &source;
    EXPECT_EQ(detail::ChooseDefinition(delayed, store), nullptr);
    EXPECT_EQ(sample_support::gNeverCalls, 1);
    EXPECT_EQ(detail::ChooseDefinition(unknown, store), &unknown);
    EXPECT_EQ(sample_support::gNeverCalls, 1);
}

TEST(FieldGenerator, FunctionsChildrenAndSubDirectories) {
    auto const records = sample::SampleRecordFields();
    ReadStore store;
    store.valueCount = 10;
    ASSERT_TRUE(records.at(5).countFunction);
    EXPECT_EQ(records.at(5).countFunction(store), 5u);

    RecordField const& packed = records.at(6);
    ASSERT_EQ(packed.children.size(), 2u);
    EXPECT_EQ(packed.children.begin()->second.name, "LowBits");
    ASSERT_TRUE(packed.children.at(1).valueConversion);
    EXPECT_EQ(packed.children.at(1).valueConversion(Value(std::int64_t{21}), store).Convert<std::int64_t>(),
              42);

    auto const directory = sample::SampleDirectoryFields();
    ExifTag const& pointer = directory.at(0x8769);
    EXPECT_EQ(pointer.packing, 2u);
    ASSERT_EQ(pointer.subDirectories.size(), 2u);
    EXPECT_EQ(pointer.subDirectories[0], SubDirectorySpecifier(FieldGroup::Exif));
    EXPECT_EQ(pointer.subDirectories[1],
              SubDirectorySpecifier(FieldGroup::Gps, &typeid(sample_support::SampleProcessor),
                                    ByteOrder::BigEndian, 8));
    ASSERT_TRUE(directory.at(0x0001).valueHook);
    EXPECT_FALSE(directory.at(0x0001).valueHook(nullptr, 0, store));

    auto const composites = sample::SampleCompositeFields();
    CompositeField const& size = composites.at("ImageSize");
    EXPECT_EQ(size.requiredInputs, (std::vector<CompositeInput>{{FieldNamespace::Tiff, "ImageWidth"},
                                                                {FieldNamespace::Tiff, "ImageHeight"}}));
    EXPECT_EQ(size.desiredInputs, (std::vector<CompositeInput>{{FieldNamespace::Tiff, "ExifImageWidth"}}));
    EXPECT_EQ(size.inhibitingInputs, (std::vector<CompositeInput>{{FieldNamespace::Xmp, "ImageSize"}}));
    EXPECT_TRUE(size.rawConversion);
}

TEST(FieldGenerator, IdKindsAndTableShapes) {
    auto const strings = sample::SampleStringFields();
    ASSERT_NE(strings.find("CxF "), strings.end());
    EXPECT_EQ(strings.find("CxF "), strings.begin());

    auto const large = sample::SampleLargeRecordFields();
    EXPECT_EQ(large.at(4000000000u).name, "Far");

    auto const datasets = sample::SampleDatasetFields();
    EXPECT_EQ(datasets.at(25).maxLength, 64u);
    EXPECT_EQ(datasets.at(25).minLength, 0u);
    EXPECT_EQ(datasets.at(40).minLength, 8u);
    EXPECT_EQ(static_cast<std::uint32_t>(datasets.at(40).overrideFormat), 4u);

    EXPECT_TRUE(sample::SampleEmptyFields().empty());

    // A table declared the same as another has equal rows of its own.
    auto const copy = sample::SampleRecordCopyFields();
    ASSERT_EQ(copy.size(), sample::SampleRecordFields().size());
    EXPECT_EQ(copy.at(2).variants.size(), 2u);
}

TEST(FieldGenerator, StringIdsMatchWithoutCaseUnlessExact) {
    auto const table = sample::SampleStringFields();
    EXPECT_EQ(detail::FindInTable(table, std::string_view("MixedCase"), true)->name, "MixedCaseTag");
    EXPECT_EQ(detail::FindInTable(table, "mixedcase", true), nullptr);
    ASSERT_NE(detail::FindInTable(table, "mixedcase", false), nullptr);
    EXPECT_EQ(detail::FindInTable(table, "mixedcase", false)->name, "MixedCaseTag");
    // The first case-insensitive match in key order wins ("DUP" < "dup").
    EXPECT_EQ(detail::FindInTable(table, std::string("Dup"), false)->name, "UpperDup");
    EXPECT_EQ(detail::FindInTable(table, "dup", false)->name, "LowerDup");
    EXPECT_EQ(detail::FindInTable(table, "missing", false), nullptr);
}

TEST(FieldGenerator, RowsOutOfOrderFailTheBuild) {
    static constexpr detail::FieldRow<RecordField> kRepeated[] = {
        {1, "A", nullptr, nullptr, 0, 0, 0, 1, false, nullptr, {}, nullptr},
        {1, "B", nullptr, nullptr, 0, 0, 0, 1, false, nullptr, {}, nullptr},
    };
    static constexpr detail::FieldRow<RecordField> kUnordered[] = {
        {-1, "A", nullptr, nullptr, 0, 0, 0, 1, false, nullptr, {}, nullptr},
        {3, "B", nullptr, nullptr, 0, 0, 0, 1, false, nullptr, {}, nullptr},
    };
    static constexpr detail::FieldRow<RecordField> kMisspelt[] = {
        {1, "A", nullptr, nullptr, 0, 0, 0, 1, false, "ExifNoSuchLookup", {}, nullptr},
    };
    FieldTable<RecordField> table;
    EXPECT_THROW(detail::AddRows(table, kRepeated), std::logic_error);
    table.clear();
    EXPECT_THROW(detail::AddRows(table, kUnordered), std::logic_error);
    table.clear();
    EXPECT_THROW(detail::AddRows(table, kMisspelt), std::out_of_range);
}

TEST(FieldGenerator, CommittedTablesAreCurrent) {
    if (std::system("python3 --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "python3 not available";
    std::string const command = std::string("python3 \"") + VARROW_SOURCE_DIR + "/tools/gen/gen_fields.py\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << "regenerate with tools/gen/generate.py";
}

}  // namespace
}  // namespace meta
