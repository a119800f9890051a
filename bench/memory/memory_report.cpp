// Heap cost of the library, measured by counting every C++ allocation of the
// process (this program replaces the global operator new and delete): what
// the first Initialiser builds and keeps, and per corpus format the peak heap
// of one read above what was live before it, and what the filled collection
// keeps afterwards. Memory that C libraries take with malloc directly (zlib
// inflate state, ICU converters) is not counted.
//
// Kept out of the Google Benchmark program so the counting does not slow the
// timed benchmarks.
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/api/read_source.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

void* Counted(void* p) {
    if (p == nullptr) return p;
    std::size_t const now =
        live.fetch_add(malloc_usable_size(p), std::memory_order_relaxed) + malloc_usable_size(p);
    std::size_t seen = peak.load(std::memory_order_relaxed);
    while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
    }
    return p;
}

void Release(void* p) noexcept {
    if (p == nullptr) return;
    live.fetch_sub(malloc_usable_size(p), std::memory_order_relaxed);
    std::free(p);
}

void* Allocate(std::size_t size) {
    void* p = Counted(std::malloc(size == 0 ? 1 : size));
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
    auto const a = static_cast<std::size_t>(align);
    std::size_t const rounded = (std::max<std::size_t>(size, 1) + a - 1) / a * a;
    void* p = Counted(std::aligned_alloc(a, rounded));
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, std::nothrow_t const&) noexcept {
    return Counted(std::malloc(size ? size : 1));
}
void* operator new[](std::size_t size, std::nothrow_t const&) noexcept {
    return Counted(std::malloc(size ? size : 1));
}
void* operator new(std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, align);
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    Release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    Release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    Release(p);
}

namespace {

namespace fs = std::filesystem;

double Mib(std::size_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

double Median(std::vector<std::size_t> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    std::size_t const n = values.size();
    return n % 2 ? static_cast<double>(values[n / 2])
                 : (static_cast<double>(values[n / 2 - 1]) + static_cast<double>(values[n / 2])) / 2;
}

struct FormatFigures {
    std::vector<std::size_t> peaks;     // heap high-water mark of a read above the start
    std::vector<std::size_t> retained;  // heap the collection keeps after the read
};

}  // namespace

int main(int argc, char** argv) {
    fs::path const root = fs::path(argc > 1 ? argv[1] : VARROW_CORPUS_DIR) / "files";

    std::size_t const before = live.load();
    auto const start = std::chrono::steady_clock::now();
    auto const init = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
    double const ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("Initialiser (first, with XMP toolkit): %.1f ms, %.2f MiB kept on the heap (peak %.2f MiB)\n",
                ms, Mib(live.load() - before), Mib(peak.load() - before));

    std::error_code error;
    if (!fs::is_directory(root, error)) {
        std::printf("no corpus at %s\n", root.c_str());
        return 0;
    }
    std::map<std::string, FormatFigures> byFormat;
    for (auto const& entry : fs::recursive_directory_iterator(root, error)) {
        if (!entry.is_regular_file()) continue;
        meta::ReadSource const type = meta::GetFileTypeFromPath(entry.path().string());
        if (type == meta::ReadSource::Unknown) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string const bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

        std::size_t const base = live.load();
        peak.store(base);
        {
            meta::Metadata metadata(init);
            try {
                metadata.Read(bytes.data(), bytes.size(), type, meta::Options{});
            } catch (std::exception const&) {
            } catch (meta::xmp::XMP_Error const&) {
            }
            FormatFigures& figures = byFormat[std::string(meta::ToString(type))];
            figures.retained.push_back(live.load() - base);
            figures.peaks.push_back(peak.load() - base);
        }
    }
    std::printf("%-8s %6s %16s %14s %18s\n", "format", "files", "peak KiB median", "peak KiB max",
                "kept KiB median");
    for (auto const& [format, figures] : byFormat) {
        std::printf(
            "%-8s %6zu %16.1f %14.1f %18.1f\n", format.c_str(), figures.peaks.size(),
            Median(figures.peaks) / 1024.0,
            static_cast<double>(*std::max_element(figures.peaks.begin(), figures.peaks.end())) / 1024.0,
            Median(figures.retained) / 1024.0);
    }
    return 0;
}
