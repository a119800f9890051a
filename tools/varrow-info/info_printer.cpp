#include "info_printer.h"

#include <ostream>
#include <string>

namespace varrow_info {

void PrintItems(std::ostream& out, meta::Metadata const& metadata) {
    constexpr std::size_t kNameWidth = 40;
    for (meta::Metadatum const& item : metadata.GetOrderedView()) {
        std::string const name = item.GetKey().GetFullName();
        out << name;
        out << std::string(name.size() < kNameWidth ? kNameWidth - name.size() : 1, ' ');
        out << item.GetDisplayValueAsString() << '\n';
    }
}

}  // namespace varrow_info
