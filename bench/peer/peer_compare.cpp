// Side-by-side read cost of varrow and a peer library (Exiv2) on the shared
// corpus, per file format, measured in one run. Each library reads every
// file from memory and turns every item into its printed string, which is
// what an application showing metadata pays for. Rounds alternate between
// the two so that machine noise hits both alike; the fastest round counts.
//
//   varrow_peer_compare [--rounds N] [CORPUS_DIR]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace {

namespace fs = std::filesystem;

struct File {
    std::string bytes;
    meta::ReadSource type;
};

std::size_t ReadWithVarrow(File const& file, std::shared_ptr<meta::Initialiser> const& init) {
    static meta::Metadata::Finder const finder = meta::Metadata::MakeExifToolDisplayStringFinder();
    meta::Metadata metadata(init);
    try {
        metadata.Read(file.bytes.data(), file.bytes.size(), file.type, meta::Options{});
    } catch (std::exception const&) {
    } catch (meta::xmp::XMP_Error const&) {
    }
    std::size_t characters = 0;
    for (meta::Metadatum const& item : metadata.GetOrderedView()) {
        characters += finder.GetSelectedValueAsString(item).size();
    }
    return characters;
}

std::size_t ReadWithPeer(File const& file) {
    std::size_t characters = 0;
    try {
        auto image = Exiv2::ImageFactory::open(reinterpret_cast<Exiv2::byte const*>(file.bytes.data()),
                                               static_cast<long>(file.bytes.size()));
        if (image.get() == nullptr) return 0;
        image->readMetadata();
        Exiv2::ExifData const& exif = image->exifData();
        for (auto const& datum : exif) characters += datum.print(&exif).size();
        for (auto const& datum : image->iptcData()) characters += datum.print().size();
        for (auto const& datum : image->xmpData()) characters += datum.print().size();
    } catch (std::exception const&) {
    }
    return characters;
}

template <class F>
double Seconds(F&& f) {
    auto const start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 5;
    fs::path corpus = VARROW_CORPUS_DIR;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else {
            corpus = argv[i];
        }
    }
    std::map<std::string, std::vector<File>> byFormat;
    std::error_code error;
    for (auto const& entry : fs::recursive_directory_iterator(corpus / "files", error)) {
        if (!entry.is_regular_file()) continue;
        meta::ReadSource const type = meta::GetFileTypeFromPath(entry.path().string());
        if (type == meta::ReadSource::Unknown) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        byFormat[meta::ToString(type)].push_back(
            {std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), type});
    }
    if (byFormat.empty()) {
        std::fprintf(stderr, "no corpus files under %s\n", (corpus / "files").c_str());
        return 77;
    }

    Exiv2::XmpParser::initialize();
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    auto const init = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);

    std::printf("%-10s %6s %16s %16s %8s\n", "format", "files", "varrow us/file", "peer us/file", "ratio");
    for (auto const& [format, files] : byFormat) {
        double ours = 1e300;
        double theirs = 1e300;
        std::size_t sink = 0;
        for (int round = 0; round < rounds; ++round) {
            ours = std::min(ours, Seconds([&] {
                                for (File const& file : files) sink += ReadWithVarrow(file, init);
                            }));
            theirs = std::min(theirs, Seconds([&] {
                                  for (File const& file : files) sink += ReadWithPeer(file);
                              }));
        }
        double const n = static_cast<double>(files.size());
        std::printf("%-10s %6zu %16.1f %16.1f %8.2f%s\n", format.c_str(), files.size(), ours / n * 1e6,
                    theirs / n * 1e6, ours / theirs, sink == 0 ? " (nothing printed)" : "");
    }
    Exiv2::XmpParser::terminate();
    return 0;
}
