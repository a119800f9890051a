#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varrow_info {

struct InfoOptions {
    std::vector<std::string> files;
    bool help = false;
};

// Parses the command line; an error message on failure.
std::optional<InfoOptions> ParseArguments(int argc, char** argv, std::string& error);

char const* UsageText();

}  // namespace varrow_info
