#include "varrow/formats/png/png_inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace meta::detail {
namespace {

// Owns the inflate state for the duration of one call.
class Inflater {
  public:
    Inflater() { ok_ = inflateInit(&stream_) == Z_OK; }
    ~Inflater() {
        if (ok_) inflateEnd(&stream_);
    }
    Inflater(Inflater const&) = delete;
    Inflater& operator=(Inflater const&) = delete;

    bool Ok() const { return ok_; }
    z_stream& Stream() { return stream_; }

  private:
    z_stream stream_{};
    bool ok_ = false;
};

// zlib counts in uInt: feed very long inputs in slices.
constexpr std::size_t kMaxSlice = UINT_MAX;
constexpr std::size_t kFirstStep = 1024;

}  // namespace

InflateStatus InflateZlib(std::string_view input, std::size_t maxOutput, std::string& output) {
    output.clear();
    Inflater inflater;
    if (!inflater.Ok()) return InflateStatus::Damaged;
    z_stream& z = inflater.Stream();

    // zlib never writes to its input; the cast only satisfies its C API.
    auto* next = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    std::size_t remaining = input.size();
    std::size_t produced = 0;
    // The output grows geometrically from a guess tied to the input, so a
    // bomb costs at most twice the bytes it actually inflates to, up to the
    // limit.
    // One byte beyond the limit tells a stream that ends exactly at the
    // limit from one that goes on.
    std::size_t const ceiling = maxOutput == SIZE_MAX ? maxOutput : maxOutput + 1;
    std::size_t const capacity = std::min(ceiling, std::max(kFirstStep, input.size() * 4));

    for (;;) {
        if (produced > maxOutput) {
            output.resize(maxOutput);
            return InflateStatus::TooLarge;
        }
        if (produced == output.size()) {
            std::size_t const grown = output.empty() ? capacity : std::min(ceiling, produced * 2);
            output.resize(grown);
        }
        if (z.avail_in == 0 && remaining != 0) {
            std::size_t const slice = std::min(remaining, kMaxSlice);
            z.next_in = next;
            z.avail_in = static_cast<uInt>(slice);
            next += slice;
            remaining -= slice;
        }
        std::size_t const room = std::min(output.size() - produced, kMaxSlice);
        z.next_out = reinterpret_cast<Bytef*>(output.data() + produced);
        z.avail_out = static_cast<uInt>(room);
        int const rc = inflate(&z, Z_NO_FLUSH);
        produced += room - z.avail_out;
        if (rc == Z_STREAM_END) {
            output.resize(std::min(produced, maxOutput));
            return produced > maxOutput ? InflateStatus::TooLarge : InflateStatus::Complete;
        }
        if (rc == Z_OK) continue;
        output.resize(produced);
        if (rc == Z_BUF_ERROR) {
            // No progress possible: either the input is used up or, with
            // room left, the stream needs bytes that are not there.
            if (z.avail_out == 0) continue;
            return InflateStatus::Truncated;
        }
        return InflateStatus::Damaged;
    }
}

}  // namespace meta::detail
