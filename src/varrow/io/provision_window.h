#pragma once

#include <cstddef>
#include <ios>

#include "varrow/api/export.h"

namespace meta {

class DataSource;

// Makes the source's window exactly the `length` input bytes at `at`, fenced
// to them, with the buffer cursor at their start. The window grows in
// bounded steps, so a length the input cannot back costs no more memory than
// the input holds. A target inside an existing longer window gets a window of
// its own. A length of 0 leaves no window and the input at `at`.
VARROW_API bool ProvisionWindowAt(DataSource& source, std::streampos at, std::size_t length);

}  // namespace meta
