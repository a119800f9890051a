#pragma once

#include <cstdint>
#include <iosfwd>

#include "varrow/api/export.h"

namespace meta {

// Outcome of one processor call. Fatal always ends the enclosing read; Error
// does so only under Options::stopOnError, otherwise the caller moves on.
enum class ReadResult : std::int32_t {
    Success = 0,
    NotHandled = 1,  // skipped on purpose, nothing found, or an error downgraded
    Error = 2,       // damaged or unexpected block; recoverable
    Fatal = 3,       // the read cannot go on
};

// How a sub-block is fenced off from its parent's data.
enum class DataFencingStrategy : std::int32_t {
    Full = 0,         // own DataSource over an independent view (Processor::SafeRead)
    Mark = 1,         // parent's DataSource with a usable-byte limit for the duration
    Passthrough = 2,  // parent's DataSource, unlimited
};

VARROW_API char const* ToString(ReadResult result);
VARROW_API std::ostream& operator<<(std::ostream& out, ReadResult result);
// "Full", "Mark", "Passthrough", or "Unknown (<number>)".
VARROW_API std::ostream& operator<<(std::ostream& out, DataFencingStrategy strategy);

// The sub-read rule: should the caller stop and hand `result` up?
constexpr bool EndsEnclosingRead(ReadResult result, bool stopOnError) {
    return result == ReadResult::Fatal || (stopOnError && result == ReadResult::Error);
}

}  // namespace meta
