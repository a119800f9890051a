#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
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

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}

TEST(TiffCorpus, EveryFileReadsAndYieldsMakeAndModel) {
    std::vector<fs::path> const files = test::CorpusFiles("files", {".tif", ".tiff"});
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    std::size_t compared = 0;
    for (fs::path const& file : files) {
        SCOPED_TRACE(file.string());
        std::string const bytes = test::ReadWholeFile(file);
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        bool ok = false;
        bool xmpFailed = false;
        try {
            ok = metadata.Read(bytes.data(), bytes.size(), ReadSource::Tiff, Options());
        } catch (xmp::XMP_Error const&) {
            xmpFailed = true;  // a malformed XMP packet ends the read by design
        }
        fs::path const expectedPath = fs::path(VARROW_CORPUS_DIR) / "expected" /
                                      file.parent_path().filename() / (file.filename().string() + ".json");
        std::string const json = test::ReadWholeFile(expectedPath);
        for (char const* name : {"Make", "Model"}) {
            std::optional<std::string> const expected = ExpectedText(json, std::string("IFD0:") + name);
            if (!expected) continue;
            EXPECT_TRUE(ok || xmpFailed);
            // Directories are entered in offset order, so a packet stored
            // before IFD0 can end the read before Make and Model are seen.
            if (xmpFailed && !metadata.Find(FieldGroup::Ifd0, name)) continue;
            Metadatum const item = metadata.Find(FieldGroup::Ifd0, name);
            ASSERT_TRUE(static_cast<bool>(item)) << name;
            EXPECT_EQ(Trimmed(item.GetValueAsString()), Trimmed(*expected)) << name;
            ++compared;
        }
    }
    EXPECT_GT(compared, 0u);
}

}  // namespace
}  // namespace meta
