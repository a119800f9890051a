#include "info_options.h"

#include <charconv>
#include <string_view>

namespace varrow_info {

std::optional<InfoOptions> ParseArguments(int argc, char** argv, std::string& error) {
    InfoOptions options;
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view const arg = argv[i];
        if (onlyFiles || arg.empty() || arg[0] != '-' || arg == "-") {
            options.files.emplace_back(arg);
        } else if (arg == "--") {
            onlyFiles = true;
        } else if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-r") {
            options.recurse = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--structure") {
            options.structure = true;
        } else if (arg == "--xmp") {
            options.xmp = true;
        } else if (arg == "-u" || arg == "--unknown") {
            options.unknown = true;
        } else if (arg == "--jobs" || arg == "-j") {
            std::string_view const count = ++i < argc ? std::string_view(argv[i]) : std::string_view();
            unsigned jobs = 0;
            auto const [end, failure] = std::from_chars(count.data(), count.data() + count.size(), jobs);
            if (count.empty() || failure != std::errc() || end != count.data() + count.size() || jobs == 0 ||
                jobs > 256) {
                error = "--jobs needs a number of threads from 1 to 256";
                return std::nullopt;
            }
            options.jobs = jobs;
        } else if (arg == "--values") {
            if (++i >= argc) {
                error = "--values needs raw, value or display";
                return std::nullopt;
            }
            std::string_view const level = argv[i];
            if (level == "raw") {
                options.level = ValueLevel::Raw;
            } else if (level == "value") {
                options.level = ValueLevel::Value;
            } else if (level == "display") {
                options.level = ValueLevel::Display;
            } else {
                error = "--values needs raw, value or display, not " + std::string(level);
                return std::nullopt;
            }
        } else {
            error = "unknown option " + std::string(arg);
            return std::nullopt;
        }
    }
    if (!options.help && options.files.empty()) {
        error = "no file given";
        return std::nullopt;
    }
    return options;
}

char const* UsageText() {
    return "usage: varrow-info [options] FILE...\n"
           "       varrow-info [options] -r DIR...\n"
           "\n"
           "Reads the metadata of each FILE and prints every item in the order it\n"
           "was read: its full key (namespace:group.name) and its value. The file\n"
           "type is taken from the file name's extension.\n"
           "\n"
           "options:\n"
           "  -r                  read every file below the given directories\n"
           "  --json              print one JSON object per file (one per line):\n"
           "                      \"SourceFile\" and each full key with its value in\n"
           "                      ExifTool style; a repeated key gets \" #2\", \" #3\"\n"
           "  --values LEVEL      which value to show: raw, value or display (default)\n"
           "  --structure         print the blocks each reader read, with byte ranges\n"
           "  --xmp               print the items as an XMP packet (RDF/XML)\n"
           "  -u, --unknown       also read tags that have no definition (named by\n"
           "                      their number, e.g. 0x9c41) and hidden tags\n"
           "  -j, --jobs N        read N files at a time (output keeps the file order;\n"
           "                      a progress line shows on a terminal)\n"
           "  -h, --help          show this text\n"
           "  --                  treat every later argument as a file name\n"
           "\n"
           "Exit status: 0 when every file was read, 1 when any file failed,\n"
           "2 for a usage error.\n";
}

}  // namespace varrow_info
