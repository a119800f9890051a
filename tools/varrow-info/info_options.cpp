#include "info_options.h"

#include <string_view>

namespace varrow_info {

std::optional<InfoOptions> ParseArguments(int argc, char** argv, std::string& error) {
    InfoOptions options;
    bool onlyFiles = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view const arg = argv[i];
        if (!onlyFiles && arg == "--") {
            onlyFiles = true;
        } else if (!onlyFiles && (arg == "-h" || arg == "--help")) {
            options.help = true;
        } else if (!onlyFiles && arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + std::string(arg);
            return std::nullopt;
        } else {
            options.files.emplace_back(arg);
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
           "\n"
           "Reads the metadata of each FILE and prints every item: its full key\n"
           "(namespace:group.name) and its display value, one item per line.\n"
           "The file type is taken from the file name's extension.\n"
           "\n"
           "options:\n"
           "  -h, --help   show this text\n"
           "  --           treat every later argument as a file name\n"
           "\n"
           "Exit status: 0 when every file was read, 1 when any file failed,\n"
           "2 for a usage error.\n";
}

}  // namespace varrow_info
