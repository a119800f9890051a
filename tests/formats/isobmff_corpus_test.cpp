#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/corpus_files.h"
#include "varrow/api/initialiser.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta {
namespace {

namespace fs = std::filesystem;

using test::ExpectedText;

// The library's file type; AVIF, which the extension table leaves out, is
// given as HEIF.
ReadSource SourceFor(fs::path const& file) {
    ReadSource const type = GetFileTypeFromPath(file.string());
    return type == ReadSource::Unknown ? ReadSource::Heif : type;
}

TEST(IsobmffCorpus, EveryFileReadsWithItsSizeAndCamera) {
    std::vector<fs::path> const files = test::CorpusFiles(
        "files", {".heic", ".heif", ".hif", ".avif", ".cr3", ".jp2", ".j2k", ".jpf", ".jpx", ".jpm", ".mj2"});
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    std::size_t compared = 0;
    for (fs::path const& file : files) {
        SCOPED_TRACE(file.string());
        std::string const bytes = test::ReadWholeFile(file);
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        bool ok = false;
        try {
            ok = metadata.Read(bytes.data(), bytes.size(), SourceFor(file), Options());
        } catch (xmp::XMP_Error const&) {
            ADD_FAILURE() << "XMP error escaped";
        }
        EXPECT_TRUE(ok);

        fs::path const expectedPath = fs::path(VARROW_CORPUS_DIR) / "expected" /
                                      file.parent_path().filename() / (file.filename().string() + ".json");
        std::string const json = test::ReadWholeFile(expectedPath);
        if (json.empty()) continue;
        for (char const* name : {"ImageWidth", "ImageHeight"}) {
            if (std::optional<std::string> const size = ExpectedText(json, std::string("File:") + name)) {
                EXPECT_EQ(metadata.Find(FieldGroup::IsoBaseMedia, name).GetDisplayValueAsString(), *size)
                    << name;
                ++compared;
            }
        }
        for (char const* name : {"Make", "Model"}) {
            if (std::optional<std::string> const text = ExpectedText(json, std::string("IFD0:") + name)) {
                EXPECT_EQ(metadata.Find(FieldGroup::Ifd0, name).GetDisplayValueAsString(), *text) << name;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 10u);
}

// The movie header of CR3 files, as the reference shows it.
TEST(IsobmffCorpus, MovieHeaderMatchesTheReference) {
    std::vector<fs::path> const files =
        test::CorpusFiles("files", {".cr3", ".heic", ".heif", ".hif", ".mj2"});
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    std::size_t compared = 0;
    for (fs::path const& file : files) {
        SCOPED_TRACE(file.string());
        fs::path const expectedPath = fs::path(VARROW_CORPUS_DIR) / "expected" /
                                      file.parent_path().filename() / (file.filename().string() + ".json");
        std::string const json = test::ReadWholeFile(expectedPath);
        if (json.find("\"QuickTime:MovieHeaderVersion\"") == std::string::npos) continue;
        std::string const bytes = test::ReadWholeFile(file);
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        ASSERT_TRUE(metadata.Read(bytes.data(), bytes.size(), SourceFor(file), Options()));
        for (char const* name :
             {"MovieHeaderVersion", "CreateDate", "ModifyDate", "TimeScale", "Duration", "PreferredRate",
              "PreferredVolume", "MatrixStructure", "PreviewTime", "PreviewDuration", "PosterTime",
              "SelectionTime", "SelectionDuration", "CurrentTime", "NextTrackID"}) {
            std::optional<std::string> const text = ExpectedText(json, std::string("QuickTime:") + name);
            ASSERT_TRUE(text) << name;
            EXPECT_EQ(metadata.Find(FieldGroup::IsoBaseMediaMovieHeader, name).GetDisplayValueAsString(),
                      *text)
                << name;
            ++compared;
        }
    }
    EXPECT_GE(compared, 15u);
}

}  // namespace
}  // namespace meta
