# Warning and sanitizer flags for project targets only; third-party headers are
# included as system headers and stay quiet.
add_library(varrow_warnings INTERFACE)
target_compile_options(varrow_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wconversion -Wshadow -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual
  $<$<BOOL:${VARROW_WERROR}>:-Werror>)

add_library(varrow_sanitizers INTERFACE)
if(VARROW_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_compile_options(varrow_sanitizers INTERFACE ${_san})
  target_link_options(varrow_sanitizers INTERFACE ${_san})
endif()
