// Start-up and read-driver costs: building an Initialiser, file-type lookup,
// and a complete small read from memory.
#include <benchmark/benchmark.h>

#include <string>

#include "fixtures/image_builders.h"
#include "varrow/api/metadata.h"

namespace {

void BM_InitialiserConstruction(benchmark::State& state) {
    for (auto _ : state) {
        auto init = meta::Initialiser::Create(meta::Initialiser::Mode::HostInitialisesXmp);
        benchmark::DoNotOptimize(init->DbOkay());
    }
}
BENCHMARK(BM_InitialiserConstruction);

void BM_InitialiserWithXmpToolkit(benchmark::State& state) {
    for (auto _ : state) {
        auto init = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
        benchmark::DoNotOptimize(init->XmpOkay());
    }
}
BENCHMARK(BM_InitialiserWithXmpToolkit);

void BM_FileTypeFromPath(benchmark::State& state) {
    std::string const paths[] = {"/photos/2026/IMG_0001.JPG", "/photos/raw/DSC_0042.NEF", "scan.tiff", "noext"};
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(meta::GetFileTypeFromPath(paths[i++ & 3]));
}
BENCHMARK(BM_FileTypeFromPath);

void BM_ReadSmallFileFromMemory(benchmark::State& state) {
    fixtures::Bytes const bmp = fixtures::MakeBmp(640, 480);
    std::string const data(bmp.begin(), bmp.end());
    meta::Metadata metadata(meta::Initialiser::Create(meta::Initialiser::Mode::HostInitialisesXmp));
    for (auto _ : state) {
        bool ok = metadata.Read(data.data(), data.size(), meta::ReadSource::Bmp, meta::Options{});
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(metadata.FindAny("ImageHeight"));
    }
}
BENCHMARK(BM_ReadSmallFileFromMemory);

}  // namespace
