#include "batch_reader.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace varrow_info {

bool ReadInParallel(std::vector<std::string> const& files, unsigned jobs,
                    std::function<FileReport(std::string const&)> const& read, std::ostream& out,
                    std::ostream& err, std::ostream* progress) {
    std::vector<std::optional<FileReport>> reports(files.size());
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable done;

    auto worker = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            FileReport report = read(files[i]);
            std::lock_guard<std::mutex> const lock(mutex);
            reports[i] = std::move(report);
            done.notify_one();
        }
    };
    std::size_t const threads = std::min<std::size_t>(jobs, files.size());
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (std::size_t t = 0; t < threads; ++t) pool.emplace_back(worker);

    // The calling thread prints, in file order, whatever is finished; reports
    // are released once printed so memory stays bounded by the lag.
    bool allOk = true;
    auto lastProgress = std::chrono::steady_clock::time_point{};
    for (std::size_t printed = 0; printed < files.size(); ++printed) {
        FileReport report;
        {
            std::unique_lock<std::mutex> lock(mutex);
            done.wait(lock, [&] { return reports[printed].has_value(); });
            report = std::move(*reports[printed]);
            reports[printed].reset();
        }
        if (progress != nullptr) *progress << "\r\033[K" << std::flush;
        out << report.out;
        err << report.err;
        allOk = report.ok && allOk;
        auto const now = std::chrono::steady_clock::now();
        if (progress != nullptr && now - lastProgress > std::chrono::milliseconds(100)) {
            *progress << '[' << printed + 1 << '/' << files.size() << "] " << std::flush;
            lastProgress = now;
        }
    }
    if (progress != nullptr) *progress << "\r\033[K" << std::flush;
    for (std::thread& thread : pool) thread.join();
    return allOk;
}

}  // namespace varrow_info
