// Reading the shared sample corpus, per container format: from memory, the
// read alone and the read plus every item's ExifTool-style display string;
// and from the file path, as an application opening files does.
// Each iteration reads every file of the format once; the counters give the
// median and the mean of the per-file times (each file's fastest read over
// the iterations), so one slow file does not hide the typical cost.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/api/read_source.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace {

namespace fs = std::filesystem;

struct CorpusFile {
    std::string name;
    std::string bytes;
    meta::ReadSource type;
};

// Files of the corpus grouped by the name of their reader's format.
std::map<std::string, std::vector<CorpusFile>> const& CorpusByFormat() {
    static auto const byFormat = [] {
        std::map<std::string, std::vector<CorpusFile>> result;
        fs::path const root = fs::path(VARROW_CORPUS_DIR) / "files";
        std::error_code error;
        if (!fs::is_directory(root, error)) return result;
        for (auto const& entry : fs::recursive_directory_iterator(root, error)) {
            if (!entry.is_regular_file()) continue;
            meta::ReadSource const type = meta::GetFileTypeFromPath(entry.path().string());
            if (type == meta::ReadSource::Unknown) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            result[std::string(meta::ToString(type))].push_back(
                {entry.path().string(), std::move(bytes), type});
        }
        for (auto& files : result) {
            std::sort(files.second.begin(), files.second.end(),
                      [](CorpusFile const& a, CorpusFile const& b) { return a.name < b.name; });
        }
        return result;
    }();
    return byFormat;
}

std::size_t ComputeDisplayStrings(meta::Metadata const& metadata) {
    static meta::Metadata::Finder const finder = meta::Metadata::MakeExifToolDisplayStringFinder();
    std::size_t characters = 0;
    for (meta::Metadatum const& item : metadata.GetOrderedView()) {
        characters += finder.GetSelectedValueAsString(item).size();
    }
    return characters;
}

enum class Mode { Memory, MemoryDisplay, Path };

void ReadFormat(benchmark::State& state, std::vector<CorpusFile> const* files, Mode mode) {
    std::shared_ptr<meta::Initialiser> const init =
        meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
    std::vector<double> fastest(files->size(), 1e300);
    std::size_t items = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < files->size(); ++i) {
            CorpusFile const& file = (*files)[i];
            auto const start = std::chrono::steady_clock::now();
            meta::Metadata metadata(init);
            try {
                if (mode == Mode::Path) {
                    metadata.Read(file.name, file.type, meta::Options{});
                } else {
                    metadata.Read(file.bytes.data(), file.bytes.size(), file.type, meta::Options{});
                }
            } catch (std::exception const&) {
                // Damaged blocks may throw out of the read; what was read counts.
            } catch (meta::xmp::XMP_Error const&) {
                // So may a malformed XMP packet.
            }
            if (mode == Mode::MemoryDisplay) benchmark::DoNotOptimize(ComputeDisplayStrings(metadata));
            items += metadata.Size();
            auto const seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            fastest[i] = std::min(fastest[i], seconds);
        }
    }
    std::vector<double> sorted = fastest;
    std::sort(sorted.begin(), sorted.end());
    double total = 0;
    for (double s : sorted) total += s;
    std::size_t const n = sorted.size();
    double const median = n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    state.counters["files"] = static_cast<double>(n);
    state.counters["median_us"] = median * 1e6;
    state.counters["mean_us"] = total / static_cast<double>(n) * 1e6;
    state.counters["items_per_file"] =
        static_cast<double>(items) / static_cast<double>(state.iterations()) / static_cast<double>(n);
}

// Registered at start-up so that every format present in the corpus gets a
// pair of benchmarks without a list to keep up to date.
int const registered = [] {
    for (auto const& [format, files] : CorpusByFormat()) {
        benchmark::RegisterBenchmark(("BM_CorpusRead/" + format).c_str(), ReadFormat, &files, Mode::Memory)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_CorpusReadDisplay/" + format).c_str(), ReadFormat, &files,
                                     Mode::MemoryDisplay)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_CorpusReadPath/" + format).c_str(), ReadFormat, &files, Mode::Path)
            ->Unit(benchmark::kMillisecond);
    }
    return 0;
}();

}  // namespace
