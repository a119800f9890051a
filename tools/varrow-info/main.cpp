// varrow-info: prints the metadata items of image files.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>
#include <sstream>

#include "batch_reader.h"
#include "info_options.h"
#include "info_printer.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace {

namespace fs = std::filesystem;

// The files to read: the arguments, with directories expanded (sorted, so
// output is stable) when recursing.
std::vector<std::string> CollectFiles(varrow_info::InfoOptions const& options) {
    std::vector<std::string> files;
    for (auto const& argument : options.files) {
        std::error_code ec;
        if (!options.recurse || !fs::is_directory(argument, ec)) {
            files.push_back(argument);
            continue;
        }
        std::vector<std::string> found;
        for (fs::recursive_directory_iterator it(argument, fs::directory_options::skip_permission_denied, ec),
             end;
             !ec && it != end; it.increment(ec)) {
            if (it->is_regular_file(ec)) found.push_back(it->path().string());
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

// Reads and prints one file into `out`, messages into `err`; false when it
// fails.
bool ShowFile(std::string const& path, meta::Metadata& metadata, varrow_info::InfoOptions const& options,
              bool withHeader, std::ostream& out, std::ostream& err) {
    if (meta::GetFileTypeFromPath(path) == meta::ReadSource::Unknown) {
        err << path << ": unsupported file type\n";
        return false;
    }
    if (!std::ifstream(path, std::ios::binary)) {
        err << path << ": cannot open\n";
        return false;
    }
    meta::Options readOptions;
    readOptions.recordStructure = options.structure;
    readOptions.readUnknownTags = options.unknown;
    // The tool shows all a file holds; the library leaves extended XMP to
    // callers that ask for it.
    readOptions.readExtendedXmp = true;
    bool ok = false;
    try {
        metadata.Clear();
        ok = metadata.Read(path, readOptions);
    } catch (std::exception const& e) {
        err << path << ": error while reading: " << e.what() << '\n';
    } catch (meta::xmp::XMP_Error const& e) {
        err << path << ": malformed XMP: " << e.GetErrMsg() << '\n';
    } catch (...) {
        err << path << ": error while reading\n";
    }
    if (options.json) {
        varrow_info::PrintJson(out, path, metadata, options.level);
    } else {
        if (withHeader) out << "== " << path << '\n';
        if (options.xmp) {
            out << metadata.ToXmp(readOptions, meta::xmp::RdfSerialisationMode::NoPacketWrapper) << '\n';
        } else if (options.structure) {
            metadata.DumpStructure(out);
        } else {
            varrow_info::PrintItems(out, metadata, options.level);
        }
    }
    if (!ok) err << path << ": could not be read completely\n";
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    auto const options = varrow_info::ParseArguments(argc, argv, error);
    if (!options) {
        std::cerr << "varrow-info: " << error << "\n\n" << varrow_info::UsageText();
        return 2;
    }
    if (options->help) {
        std::cout << varrow_info::UsageText();
        return 0;
    }

    auto initialiser = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
    if (!initialiser->DbOkay()) {
        std::cerr << "varrow-info: the library's tables failed to build\n";
        return 1;
    }
    std::vector<std::string> const files = CollectFiles(*options);
    bool const several = files.size() > 1;
    if (options->jobs > 1 && several) {
        auto read = [&](std::string const& path) {
            // One collection per file; the initialiser's tables are shared.
            meta::Metadata metadata(initialiser);
            std::ostringstream out;
            std::ostringstream err;
            varrow_info::FileReport report;
            report.ok = ShowFile(path, metadata, *options, several, out, err);
            report.out = std::move(out).str();
            report.err = std::move(err).str();
            return report;
        };
        bool const terminal = isatty(STDERR_FILENO) != 0 && files.size() > 20;
        return varrow_info::ReadInParallel(files, options->jobs, read, std::cout, std::cerr,
                                           terminal ? &std::cerr : nullptr)
                   ? 0
                   : 1;
    }
    bool allOk = true;
    for (auto const& path : files) {
        // A fresh collection per file keeps the structure dump per file too.
        meta::Metadata metadata(initialiser);
        allOk = ShowFile(path, metadata, *options, several, std::cout, std::cerr) && allOk;
    }
    return allOk ? 0 : 1;
}
