#pragma once

// The text helpers of meta::strings in one include.
#include "varrow/util/encoding.h"
#include "varrow/util/strings_basic.h"
#include "varrow/util/strings_utf8.h"
#include "varrow/util/to_string.h"
