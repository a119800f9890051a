# Warning and sanitizer flags for project targets only; third-party headers are
# included as system headers and stay quiet.
add_library(varrow_warnings INTERFACE)
target_compile_options(varrow_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual
  $<$<BOOL:${VARROW_WERROR}>:-Werror>)

add_library(varrow_sanitizers INTERFACE)
if(VARROW_SANITIZE OR VARROW_FUZZ)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(varrow_sanitizers INTERFACE ${_san})
  target_link_options(varrow_sanitizers INTERFACE ${_san})
endif()
if(VARROW_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "VARROW_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  # Coverage instrumentation for the library; the fuzz programs add the
  # fuzzer's own main when they link.
  target_compile_options(varrow_sanitizers INTERFACE -fsanitize=fuzzer-no-link)
endif()
