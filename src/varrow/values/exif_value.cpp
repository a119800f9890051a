#include "varrow/values/exif_value.h"

#include <locale>
#include <sstream>

namespace meta {

ExifValue::~ExifValue() = default;

std::string ExifValue::ToString() const {
    std::ostringstream os;
    os.imbue(std::locale::classic());
    Write(os);
    return std::move(os).str();
}

}  // namespace meta
