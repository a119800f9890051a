// varrow-info: prints the metadata items of image files.
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

#include "info_options.h"
#include "info_printer.h"
#include "varrow/api/metadata.h"

namespace {

// Reads one file; false (with a line on stderr) when it cannot be read.
bool ShowFile(std::string const& path, meta::Metadata& metadata, bool withHeader) {
    if (meta::GetFileTypeFromPath(path) == meta::ReadSource::Unknown) {
        std::cerr << path << ": unsupported file type\n";
        return false;
    }
    if (!std::ifstream(path, std::ios::binary)) {
        std::cerr << path << ": cannot open\n";
        return false;
    }
    try {
        metadata.Clear();
        bool const ok = metadata.Read(path, meta::Options{});
        if (withHeader) std::cout << "== " << path << '\n';
        varrow_info::PrintItems(std::cout, metadata);
        if (!ok) std::cerr << path << ": could not be read completely\n";
        return ok;
    } catch (std::exception const& e) {
        std::cerr << path << ": error while reading: " << e.what() << '\n';
    } catch (...) {
        std::cerr << path << ": error while reading\n";
    }
    return false;
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
    meta::Metadata metadata(initialiser);
    bool allOk = true;
    bool const several = options->files.size() > 1;
    for (auto const& path : options->files) allOk = ShowFile(path, metadata, several) && allOk;
    return allOk ? 0 : 1;
}
