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

// The value the reference output gives for `key`, quoted or not
// ("File:ImageWidth": 1596).
std::optional<std::string> Expected(std::string const& json, std::string const& key) {
    std::string const needle = "\"" + key + "\": ";
    std::size_t at = json.find(needle);
    if (at == std::string::npos) return std::nullopt;
    at += needle.size();
    if (at < json.size() && json[at] == '"') {
        std::size_t const end = json.find('"', at + 1);
        if (end == std::string::npos) return std::nullopt;
        return json.substr(at + 1, end - at - 1);
    }
    std::size_t const end = json.find_first_of(",\n}", at);
    return json.substr(at, end - at);
}

ReadSource SourceFor(fs::path const& file) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".cr3") return ReadSource::Cr3;
    if (ext == ".heif" || ext == ".avif") return ReadSource::Heif;
    if (ext == ".heic" || ext == ".hif") return ReadSource::Heic;
    return ReadSource::Jpeg2k;
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
            if (std::optional<std::string> const size = Expected(json, std::string("File:") + name)) {
                EXPECT_EQ(metadata.Find(FieldGroup::IsoBaseMedia, name).GetDisplayValueAsString(), *size)
                    << name;
                ++compared;
            }
        }
        for (char const* name : {"Make", "Model"}) {
            if (std::optional<std::string> const text = Expected(json, std::string("IFD0:") + name)) {
                EXPECT_EQ(metadata.Find(FieldGroup::Ifd0, name).GetDisplayValueAsString(), *text) << name;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 10u);
}

}  // namespace
}  // namespace meta
