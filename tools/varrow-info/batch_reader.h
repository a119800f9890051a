#pragma once

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace varrow_info {

// What reading one file produced: its printed output, its messages and
// whether it was read completely.
struct FileReport {
    std::string out;
    std::string err;
    bool ok = false;
};

// Reads `files` with `jobs` threads, each calling `read` for one file at a
// time, and writes the reports to `out`/`err` in file order as soon as all
// earlier files are done. With `progress`, a "[n/total]" line on `status` is
// kept up to date (meant for a terminal). True when every file was ok.
bool ReadInParallel(std::vector<std::string> const& files, unsigned jobs,
                    std::function<FileReport(std::string const&)> const& read, std::ostream& out,
                    std::ostream& err, std::ostream* progress);

}  // namespace varrow_info
