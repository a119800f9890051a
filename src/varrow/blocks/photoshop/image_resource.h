#pragma once

// The header of one resource in a block of Photoshop image resources.
//
//   offset  size  field (integers big-endian)
//        0     4  signature: "8BIM", "PHUT", "DCSR", "AgHg" or "MeSa"
//        4     2  resource id
//        6     1  name length n
//        7     n  name, then a pad byte when n is even
//     then     4  data size s
//     then     s  data, then a pad byte when s is odd

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace meta::detail {

struct ImageResourceHeader {
    std::uint16_t id = 0;
    // Only resources under "8BIM" are handed to other readers.
    bool photoshop = false;
    // Block offset of the first data byte.
    std::size_t dataStart = 0;
    std::uint32_t dataSize = 0;
};

enum class ImageResourceParse {
    Ok,
    NotAResource,  // unknown signature: what follows is not a resource
    Truncated,     // the header runs past the block's end
};

// Whether `four` is one of the five resource signatures.
bool IsImageResourceSignature(std::string_view four) noexcept;

// Parses the header of the resource that starts at `at` in `block` (which
// ends where the resource block does). The data itself is not checked
// against the block's end.
ImageResourceParse ParseImageResourceHeader(std::string_view block, std::size_t at,
                                            ImageResourceHeader& header) noexcept;

}  // namespace meta::detail
