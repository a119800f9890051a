#include "varrow/formats/isobmff/box_header.h"

#include <algorithm>

#include "varrow/formats/isobmff/box_data.h"
#include "varrow/io/data_source.h"

namespace meta::isobmff {

bool BoxHeader::Parse(std::string_view bytes, std::uint64_t offset, BoxHeader& header) noexcept {
    BoxData data(bytes.substr(0, std::min(bytes.size(), kMaxSize)));
    std::uint32_t size32 = 0;
    std::array<std::uint8_t, 4> code{};
    if (!data.Read(size32)) return false;
    for (auto& b : code) {
        if (!data.Read(b)) return false;
    }
    BoxHeader h;
    h.offset_ = offset;
    h.size_ = size32;
    if (size32 == 1) {
        if (!data.Read(h.size_)) return false;
        h.large_ = true;
    }
    if (FourCc(code) == FourCc::FromString("uuid")) {
        std::array<std::uint8_t, 16> uuid{};
        for (auto& b : uuid) {
            if (!data.Read(b)) return false;
        }
        h.type_ = BoxType(uuid);
        h.extended_ = true;
    } else {
        h.type_ = FourCc(code).Widen();
    }
    if (h.size_ != 0 && h.size_ < h.GetHeaderSize()) return false;
    header = h;
    return true;
}

bool BoxHeader::Read(DataSource& source, std::uint64_t at, std::uint64_t available, BoxHeader& header) {
    auto const n = static_cast<long long>(std::min<std::uint64_t>(available, kMaxSize));
    if (n < 8) return false;
    if (!source.AutoProvision(std::streampos(static_cast<std::streamoff>(at)), n)) return false;
    std::string_view const bytes = source.AsStringView();
    return Parse(bytes.substr(0, std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(n))), at,
                 header);
}

std::string BoxHeader::GetType() const {
    if (extended_) return type_.GetAsHexString();
    return type_.GetAsString().substr(0, 4);
}

std::string BoxHeader::GetTypeDescription() const {
    if (extended_) return "uuid " + type_.GetAsHexString();
    return GetType();
}

}  // namespace meta::isobmff
