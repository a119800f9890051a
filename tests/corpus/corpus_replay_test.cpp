// Reads every file of the shared corpus, every malformed sample and every
// input the fuzzers once broke the library with (tests/fuzz-regressions),
// from memory as every file type: nothing may crash, hang or take longer
// than a second. The corpus parts are skipped when it is not next to the
// checkout.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesBelow(fs::path const& dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string Slurp(fs::path const& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CorpusReplay : public ::testing::TestWithParam<fs::path> {};

TEST_P(CorpusReplay, EveryFileAsEveryTypeIsBoundedAndSafe) {
    fs::path const dir = GetParam();
    if (!fs::is_directory(dir)) GTEST_SKIP() << dir << " not present";
    auto const init = Initialiser::Create(Initialiser::Mode::InitialiseXmp);
    std::size_t files = 0;
    for (fs::path const& path : FilesBelow(dir)) {
        std::string const data = Slurp(path);
        ++files;
        for (int type = 0; type < kReadSourceCount; ++type) {
            Metadata metadata(init);
            auto const start = std::chrono::steady_clock::now();
            try {
                metadata.Read(data.data(), data.size(), ReadSource(type), Options{});
                for (Metadatum const& item : metadata.GetOrderedView()) item.GetDisplayValueAsString();
            } catch (std::exception const&) {
                // Exceptions may reach the caller; crashes and hangs may not.
            } catch (xmp::XMP_Error const&) {
                // So may the toolkit's verdict on a malformed packet.
            }
            auto const took = std::chrono::steady_clock::now() - start;
            EXPECT_LT(took, std::chrono::seconds(1)) << path << " read as " << ToString(ReadSource(type));
        }
    }
    EXPECT_GT(files, 0u);
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusReplay,
                         ::testing::Values(fs::path(VARROW_CORPUS_DIR) / "files",
                                           fs::path(VARROW_CORPUS_DIR) / "malformed",
                                           fs::path(VARROW_SOURCE_DIR) / "tests" / "fuzz-regressions"));

}  // namespace
}  // namespace meta
