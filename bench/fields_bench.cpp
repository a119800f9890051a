// Cost of the field databases: building all of them, and looking a
// definition up as a directory reader does for every entry.
//
// The first InitialiseAllDatabases call of a process (display lookups
// included) is what a host pays at start-up; measure it in a process of its
// own:
//   varrow_bench --benchmark_filter=BM_InitialiseAllDatabasesFirstCall
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <fstream>

#include <unistd.h>

#include "varrow/fields/field_database.h"
#include "varrow/processors/read_store.h"

namespace {

using namespace meta;

// Resident memory of the process in bytes (Linux), 0 where unknown.
double ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

void BM_InitialiseAllDatabasesFirstCall(benchmark::State& state) {
    double const before = ResidentBytes();
    for (auto _ : state) benchmark::DoNotOptimize(InitialiseAllDatabases());
    // What building every table and lookup added to the process.
    state.counters["resident_MB"] = (ResidentBytes() - before) / (1024.0 * 1024.0);
}
// Later calls find everything built; only the one call is meaningful.
BENCHMARK(BM_InitialiseAllDatabasesFirstCall)->Iterations(1)->Unit(benchmark::kMillisecond);

template <class T>
std::size_t BuildSize() {
    std::size_t total = 0;
    for (auto const& [group, table] : FieldDatabase<T>::Build()) total += table.size();
    return total;
}

// Every database built afresh (the display lookups are already built).
void BM_BuildEveryDatabase(benchmark::State& state) {
    InitialiseAllDatabases();
    std::size_t definitions = 0;
    for (auto _ : state) {
        definitions = BuildSize<AdobeDngBlock>() + BuildSize<CompositeField>() + BuildSize<RecordField>() +
                      BuildSize<CanonVrdBlock>() + BuildSize<CanonVrdEditTag>() +
                      BuildSize<CanonVrdIhlTag>() + BuildSize<ExifTag>() + BuildSize<UnsignedRecordField>() +
                      BuildSize<IccProfileTag>() + BuildSize<OpenExrAttribute>() +
                      BuildSize<LytroProperty>() + BuildSize<SigmaRawProperty>() + BuildSize<IptcTag>() +
                      BuildSize<XmpField>();
        benchmark::DoNotOptimize(definitions);
    }
    state.counters["definitions"] = static_cast<double>(definitions);
}
BENCHMARK(BM_BuildEveryDatabase)->Unit(benchmark::kMillisecond);

void BM_FindExifTag(benchmark::State& state) {
    InitialiseAllDatabases();
    ReadStore store;
    std::uint16_t const ids[] = {0x010f, 0x0112, 0x829a, 0x8769, 0x9999, 0xa434, 0x0001, 0xc612};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FieldDatabase<ExifTag>::Find(ids[i++ & 7], FieldGroup::Exif, store));
    }
}
BENCHMARK(BM_FindExifTag);

}  // namespace
