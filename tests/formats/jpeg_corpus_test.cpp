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
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta {
namespace {

namespace fs = std::filesystem;

using test::ExpectedNumber;

TEST(JpegCorpus, SampleFilesYieldTheirFrameSize) {
    std::vector<fs::path> const files = test::CorpusFiles("files", {".jpg", ".jpeg"});
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    std::size_t checked = 0;
    std::size_t unread = 0;
    for (fs::path const& file : files) {
        fs::path const expected = fs::path(VARROW_CORPUS_DIR) / "expected" / file.parent_path().filename() /
                                  (file.filename().string() + ".json");
        std::string const json = test::ReadWholeFile(expected);
        std::optional<std::string> const width = ExpectedNumber(json, "File:ImageWidth");
        std::optional<std::string> const height = ExpectedNumber(json, "File:ImageHeight");
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        bool ok = false;
        try {
            ok = metadata.Read(file.string(), ReadSource::Jpeg, Options{});
        } catch (xmp::XMP_Error const&) {
            // A malformed XMP packet ends the read by design; the frame
            // header after it is then never reached.
        }
        Metadatum const readWidth = metadata.Find(FieldGroup::JpegSof, "ImageWidth");
        Metadatum const readHeight = metadata.Find(FieldGroup::JpegSof, "ImageHeight");
        if (!width || !height) continue;
        // A few damaged samples (a stray byte where a marker belongs, a
        // segment length running past the frame) end the walk before the
        // frame header, where the reference tool searches on for the next
        // marker. Whatever frame is found must be the right one.
        if (!ok || !readWidth) {
            ++unread;
            continue;
        }
        EXPECT_EQ(readWidth.GetDisplayValueAsString(), *width) << file;
        EXPECT_EQ(readHeight.GetDisplayValueAsString(), *height) << file;
        ++checked;
    }
    EXPECT_GT(checked, 5 * unread) << unread << " of " << files.size() << " samples were not read";
}

TEST(JpegCorpus, MalformedFilesDoNotCrash) {
    std::vector<fs::path> const files = test::CorpusFiles("malformed", {".jpg", ".jpeg"});
    if (files.empty()) GTEST_SKIP() << "no malformed corpus at " << VARROW_CORPUS_DIR;
    Options options;
    options.readExtendedXmp = true;
    std::size_t read = 0;
    for (fs::path const& file : files) {
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        try {
            read += metadata.Read(file.string(), ReadSource::Jpeg, options) ? 1u : 0u;
        } catch (xmp::XMP_Error const&) {
            // Malformed XMP reaches the caller; what was read before stays.
        }
        // Frame properties come as a whole or not at all, and every item
        // the walk added holds a value.
        EXPECT_EQ(static_cast<bool>(metadata.Find(FieldGroup::JpegSof, "ImageWidth")),
                  static_cast<bool>(metadata.Find(FieldGroup::JpegSof, "ColorComponents")))
            << file;
        for (Metadatum const& item : metadata.GetAllValues()) {
            if (item.GetNamespace() == FieldNamespace::Jpeg) {
                EXPECT_FALSE(item.IsNull()) << file;
            }
        }
    }
    RecordProperty("MalformedReadSuccessfully", static_cast<int>(read));
}

}  // namespace
}  // namespace meta
