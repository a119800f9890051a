#include "varrow/blocks/icc/icc_mluc.h"

#include <cstdint>

#include "varrow/blocks/icc/icc_tag_types.h"

namespace meta::detail {

namespace {

constexpr std::uint64_t kRecordsAt = 16;
constexpr std::uint64_t kRecordFields = 12;

}  // namespace

std::vector<IccMlucRecord> ReadIccMlucRecords(std::string_view tag) {
    std::vector<IccMlucRecord> records;
    if (tag.size() < kRecordsAt + kRecordFields) return records;
    std::uint32_t const count = IccBigEndian32(tag, 8);
    std::uint32_t const recordSize = IccBigEndian32(tag, 12);
    if (recordSize < kRecordFields || count == 0) return records;

    std::uint64_t const size = tag.size();
    // Each record takes at least 12 bytes of the tag, so the loop ends by the
    // tag's size whatever the count claims.
    for (std::uint64_t i = 0; i < count; ++i) {
        std::uint64_t const at = kRecordsAt + i * recordSize;
        if (at + kRecordFields > size) break;
        auto const field = static_cast<std::size_t>(at);
        std::uint64_t const length = IccBigEndian32(tag, field + 4);
        std::uint64_t const offset = IccBigEndian32(tag, field + 8);
        if (offset + length > size) break;
        records.push_back({tag.substr(field, 2), tag.substr(field + 2, 2),
                           tag.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length))});
    }
    return records;
}

}  // namespace meta::detail
