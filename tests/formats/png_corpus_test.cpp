#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/corpus_files.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta {
namespace {

namespace fs = std::filesystem;

using test::ExpectedNumber;

// Whether the chunk chain of `bytes` reaches its end chunk inside the file,
// following lengths alone.
bool ReachesEndChunk(std::string const& bytes) {
    std::string const end = bytes.size() > 1 && bytes[1] == 'M' ? "MEND" : "IEND";
    std::size_t at = 8;
    while (at + 8 <= bytes.size()) {
        auto const byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i]));
        };
        std::uint32_t const length = byte(at) << 24 | byte(at + 1) << 16 | byte(at + 2) << 8 | byte(at + 3);
        if (bytes.compare(at + 4, 4, end) == 0) return true;
        if (length > 0x7FFFFFFFu) return false;
        at += 12 + std::size_t{length};
    }
    return false;
}

// Every intact sample reads, a damaged one fails, and either way the header
// gives the size the reference reports.
TEST(PngCorpus, SampleFilesReadWithTheirSize) {
    std::vector<fs::path> const files = test::CorpusFiles("files", {".png", ".mng", ".jng"});
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    std::size_t sized = 0;
    for (fs::path const& file : files) {
        fs::path const expected = fs::path(VARROW_CORPUS_DIR) / "expected" / file.parent_path().filename() /
                                  (file.filename().string() + ".json");
        std::string const json = test::ReadWholeFile(expected);
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        bool ok = false;
        try {
            ok = metadata.Read(file.string(), ReadSource::Png, Options{});
        } catch (xmp::XMP_Error const&) {
            // A malformed XMP packet ends the read by design.
            continue;
        }
        std::optional<std::string> const width = ExpectedNumber(json, "PNG:ImageWidth");
        std::optional<std::string> const height = ExpectedNumber(json, "PNG:ImageHeight");
        if (!width || !height) continue;  // the reference finds no header either
        EXPECT_EQ(ok, ReachesEndChunk(test::ReadWholeFile(file))) << file;
        EXPECT_EQ(metadata.Find(FieldGroup::Png, "ImageWidth").GetDisplayValueAsString(), *width) << file;
        EXPECT_EQ(metadata.Find(FieldGroup::Png, "ImageHeight").GetDisplayValueAsString(), *height) << file;
        ++sized;
    }
    EXPECT_GT(sized, 0u);
}

}  // namespace
}  // namespace meta
