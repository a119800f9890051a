// The parallel reader of varrow-info: output in file order whatever order
// the threads finish in, every file read exactly once, failures counted.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "batch_reader.h"

namespace varrow_info {
namespace {

std::vector<std::string> Names(int n) {
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) names.push_back("f" + std::to_string(i));
    return names;
}

TEST(ReadInParallel, KeepsFileOrderAndReadsEachFileOnce) {
    std::vector<std::string> const files = Names(40);
    for (unsigned jobs : {1u, 2u, 7u, 64u}) {
        SCOPED_TRACE(jobs);
        std::mutex mutex;
        std::multiset<std::string> seen;
        auto read = [&](std::string const& path) {
            // Early files take longest, so later ones finish first.
            int const index = std::stoi(path.substr(1));
            std::this_thread::sleep_for(std::chrono::microseconds((40 - index) * 50));
            {
                std::lock_guard<std::mutex> const lock(mutex);
                seen.insert(path);
            }
            return FileReport{path + "\n", index % 10 == 3 ? path + " failed\n" : "", index % 10 != 3};
        };
        std::ostringstream out;
        std::ostringstream err;
        bool const ok = ReadInParallel(files, jobs, read, out, err, nullptr);
        EXPECT_FALSE(ok);  // f3, f13, ... fail
        std::string expected;
        for (auto const& f : files) expected += f + "\n";
        EXPECT_EQ(out.str(), expected);
        EXPECT_EQ(err.str(), "f3 failed\nf13 failed\nf23 failed\nf33 failed\n");
        EXPECT_EQ(seen.size(), files.size());
        EXPECT_EQ(std::set<std::string>(seen.begin(), seen.end()).size(), files.size());
    }
}

TEST(ReadInParallel, AllGoodAndEmptyInputsSucceed) {
    auto read = [](std::string const& path) { return FileReport{path, "", true}; };
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_TRUE(ReadInParallel(Names(3), 2, read, out, err, nullptr));
    EXPECT_EQ(out.str(), "f0f1f2");
    std::ostringstream none;
    EXPECT_TRUE(ReadInParallel({}, 4, read, none, err, nullptr));
    EXPECT_EQ(none.str(), "");
}

TEST(ReadInParallel, ProgressLineIsClearedAtTheEnd) {
    auto read = [](std::string const& path) { return FileReport{path, "", true}; };
    std::ostringstream out;
    std::ostringstream err;
    std::ostringstream progress;
    EXPECT_TRUE(ReadInParallel(Names(5), 2, read, out, err, &progress));
    std::string const text = progress.str();
    EXPECT_NE(text.find("[1/5]"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4), "\r\033[K");
    EXPECT_EQ(out.str(), "f0f1f2f3f4");  // the progress never lands in the output
}

}  // namespace
}  // namespace varrow_info
