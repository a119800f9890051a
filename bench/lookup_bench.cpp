// Lookups on a filled collection: by group and name, by name alone in any
// group, by key, and a miss. The collection is the largest corpus JPEG, so
// the tables hold as many items as a real camera file gives.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace {

namespace fs = std::filesystem;

// The corpus JPEG that yields the most items; null without a corpus.
std::shared_ptr<meta::Metadata> const& RichestJpeg() {
    static auto const richest = [] {
        std::shared_ptr<meta::Metadata> best;
        auto const init = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
        fs::path const root = fs::path(VARROW_CORPUS_DIR) / "files";
        std::error_code error;
        if (!fs::is_directory(root, error)) return best;
        for (auto const& entry : fs::recursive_directory_iterator(root, error)) {
            if (!entry.is_regular_file() ||
                meta::GetFileTypeFromPath(entry.path().string()) != meta::ReadSource::Jpeg) {
                continue;
            }
            std::ifstream in(entry.path(), std::ios::binary);
            std::string const bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            auto metadata = std::make_shared<meta::Metadata>(init);
            try {
                metadata->Read(bytes.data(), bytes.size(), meta::ReadSource::Jpeg, meta::Options{});
            } catch (std::exception const&) {
            } catch (meta::xmp::XMP_Error const&) {
            }
            if (!best || metadata->Size() > best->Size()) best = std::move(metadata);
        }
        return best;
    }();
    return richest;
}

// Names of items spread over the collection, so lookups do not all hit the
// same bucket or the front of a list.
std::vector<meta::Metadatum> SampleItems(meta::Metadata const& metadata, std::size_t count) {
    std::vector<meta::Metadatum> const& all = metadata.GetAllValues();
    std::vector<meta::Metadatum> sample;
    if (all.empty()) return sample;
    std::size_t const step = std::max<std::size_t>(1, all.size() / count);
    for (std::size_t i = 0; i < all.size() && sample.size() < count; i += step) sample.push_back(all[i]);
    return sample;
}

template <class Lookup>
void RunLookups(benchmark::State& state, Lookup lookup) {
    auto const& metadata = RichestJpeg();
    if (!metadata) {
        state.SkipWithError("no corpus");
        return;
    }
    std::vector<meta::Metadatum> const sample = SampleItems(*metadata, 64);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lookup(*metadata, sample[i]));
        if (++i == sample.size()) i = 0;
    }
    state.counters["items"] = static_cast<double>(metadata->Size());
}

void BM_FindByGroupAndName(benchmark::State& state) {
    RunLookups(state, [](meta::Metadata const& m, meta::Metadatum const& item) {
        return static_cast<bool>(m.Find(item.GetGroup(), item.GetName()));
    });
}
BENCHMARK(BM_FindByGroupAndName);

void BM_FindAnyByName(benchmark::State& state) {
    RunLookups(state, [](meta::Metadata const& m, meta::Metadatum const& item) {
        return static_cast<bool>(m.FindAny(item.GetName()));
    });
}
BENCHMARK(BM_FindAnyByName);

void BM_FindByKey(benchmark::State& state) {
    auto const& metadata = RichestJpeg();
    if (!metadata) {
        state.SkipWithError("no corpus");
        return;
    }
    // Keys are made before timing: the caller usually holds them already.
    std::vector<meta::Key> keys;
    for (meta::Metadatum const& item : SampleItems(*metadata, 64)) keys.push_back(item.GetKey());
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(static_cast<bool>(metadata->Find(keys[i])));
        if (++i == keys.size()) i = 0;
    }
}
BENCHMARK(BM_FindByKey);

void BM_FindAnyMiss(benchmark::State& state) {
    RunLookups(state, [](meta::Metadata const& m, meta::Metadatum const&) {
        return static_cast<bool>(m.FindAny("NoSuchItemAnywhere"));
    });
}
BENCHMARK(BM_FindAnyMiss);

}  // namespace
