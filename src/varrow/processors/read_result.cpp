#include "varrow/processors/read_result.h"

#include <ostream>

namespace meta {

char const* ToString(ReadResult result) {
    switch (result) {
        case ReadResult::Success: return "Success";
        case ReadResult::NotHandled: return "NotHandled";
        case ReadResult::Error: return "Error";
        case ReadResult::Fatal: return "Fatal";
    }
    return "Unknown";
}

std::ostream& operator<<(std::ostream& out, ReadResult result) { return out << ToString(result); }

std::ostream& operator<<(std::ostream& out, DataFencingStrategy strategy) {
    switch (strategy) {
        case DataFencingStrategy::Full: return out << "Full";
        case DataFencingStrategy::Mark: return out << "Mark";
        case DataFencingStrategy::Passthrough: return out << "Passthrough";
    }
    return out << "Unknown (" << static_cast<std::int32_t>(strategy) << ")";
}

}  // namespace meta
