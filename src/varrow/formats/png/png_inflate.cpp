#include "varrow/formats/png/png_inflate.h"

#include <zlib.h>

#include <climits>

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

}  // namespace

InflateStatus InflateZlib(std::string_view input, std::size_t maxOutput, std::string& output) {
    output.clear();
    if (input.size() > UINT_MAX) return InflateStatus::Damaged;
    Inflater inflater;
    if (!inflater.Ok()) return InflateStatus::Damaged;
    z_stream& z = inflater.Stream();
    // zlib never writes to its input; the cast only satisfies its C API.
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.avail_in = static_cast<uInt>(input.size());

    for (;;) {
        if (output.size() > maxOutput) return InflateStatus::TooLarge;
        std::size_t const before = output.size();
        // std::string grows geometrically, so the steps cost amortised
        // constant time each.
        output.resize(before + kInflateStep);
        z.next_out = reinterpret_cast<Bytef*>(output.data() + before);
        z.avail_out = static_cast<uInt>(kInflateStep);
        int const rc = inflate(&z, Z_NO_FLUSH);
        output.resize(before + kInflateStep - z.avail_out);
        if (rc == Z_STREAM_END) {
            return output.size() > maxOutput ? InflateStatus::TooLarge : InflateStatus::Complete;
        }
        if (rc == Z_OK && z.avail_out == 0) continue;
        // A step that neither filled its output nor ended the stream: the
        // input ran out, or zlib found the data damaged.
        if (rc == Z_OK || rc == Z_BUF_ERROR) return InflateStatus::Truncated;
        return InflateStatus::Damaged;
    }
}

}  // namespace meta::detail
