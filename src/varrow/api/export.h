#pragma once

// Symbols of the public interface are marked VARROW_API; everything else is
// hidden in libvarrow.so.
#if defined(VARROW_BUILDING_LIBRARY)
#define VARROW_API __attribute__((visibility("default")))
#else
#define VARROW_API
#endif
