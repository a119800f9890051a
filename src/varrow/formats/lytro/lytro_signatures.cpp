#include "varrow/formats/lytro/lytro_signatures.h"

#include <cstddef>

namespace meta::detail {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool IsLytroSignature(std::string_view bytes, bool section) {
    if (bytes.size() != 8) return false;
    char const kind = bytes[3];
    bool const kindOk = section ? (kind == 'M' || kind == 'C') : kind == 'P';
    return kindOk && bytes.substr(0, 3) == "\x89LF" && bytes.substr(4) == "\x0D\x0A\x1A\x0A";
}

bool StartsLytroJsonObject(std::string_view head) {
    if (head.empty() || head.front() != '{') return false;
    std::size_t i = 1;
    while (i < head.size() && IsSpace(head[i])) ++i;
    return i > 1 && i < head.size() && head[i] == '"';
}

}  // namespace meta::detail
