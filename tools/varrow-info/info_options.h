#pragma once

#include <optional>
#include <string>
#include <vector>

namespace varrow_info {

enum class ValueLevel { Raw, Value, Display };

struct InfoOptions {
    std::vector<std::string> files;  // files and, with recurse, directories
    bool recurse = false;            // -r: walk directories
    bool json = false;               // --json: one JSON object per file
    bool structure = false;          // --structure: print the block structure
    bool xmp = false;                // --xmp: print the items as RDF/XML
    bool unknown = false;            // -u: also read tags without a definition
    ValueLevel level = ValueLevel::Display;
    unsigned jobs = 1;  // --jobs N: files read in parallel
    bool help = false;
};

// Parses the command line; an error message on failure.
std::optional<InfoOptions> ParseArguments(int argc, char** argv, std::string& error);

char const* UsageText();

}  // namespace varrow_info
