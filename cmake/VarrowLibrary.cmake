# Included from the top level so that the module lists and functions below
# are visible to tests/ and bench/. The library is built from one object
# library per top-level folder of
# src/varrow. libvarrow.so links them all; each test program links only the
# modules it exercises (plus their dependencies), so a test of the string
# helpers does not wait for the format readers to compile.
set(VARROW_PRIVATE_DEPS PkgConfig::EXEMPI PkgConfig::JSONCPP ZLIB::ZLIB ICU::uc ICU::i18n)

# Lower modules first; a module may use any module listed before it. The
# modules from `fields` on use each other freely and are linked together.
set(VARROW_MODULES util io values fields items processors api formats blocks xmp_out)
set(VARROW_MODULE_DEPS_util "")
set(VARROW_MODULE_DEPS_io util)
set(VARROW_MODULE_DEPS_values util)
set(VARROW_ENGINE_MODULES util io values fields items processors api formats blocks xmp_out)

set(VARROW_PRESENT_MODULES "")
foreach(module IN LISTS VARROW_MODULES)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/varrow/${module}/*.cpp")
  if(NOT sources)
    continue()
  endif()
  set(target varrow_mod_${module})
  add_library(${target} OBJECT ${sources})
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  target_compile_definitions(${target} PUBLIC VARROW_BUILDING_LIBRARY)
  target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(${target} PRIVATE varrow_warnings ${VARROW_PRIVATE_DEPS}
                                  PUBLIC varrow_sanitizers Threads::Threads)
  list(APPEND VARROW_PRESENT_MODULES ${module})
endforeach()

# varrow_module_objects(<out-var> <module>...): the object files of the named
# modules and of everything they depend on.
function(varrow_module_objects out)
  set(wanted ${ARGN})
  set(seen "")
  while(wanted)
    list(POP_FRONT wanted module)
    if(module IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${module})
    if(DEFINED VARROW_MODULE_DEPS_${module})
      list(APPEND wanted ${VARROW_MODULE_DEPS_${module}})
    else()
      list(APPEND wanted ${VARROW_ENGINE_MODULES})
    endif()
  endwhile()
  set(objects "")
  foreach(module IN LISTS seen)
    if(module IN_LIST VARROW_PRESENT_MODULES)
      list(APPEND objects $<TARGET_OBJECTS:varrow_mod_${module}>)
    endif()
  endforeach()
  set(${out} ${objects} PARENT_SCOPE)
endfunction()

varrow_module_objects(VARROW_ALL_OBJECTS ${VARROW_PRESENT_MODULES})
add_library(varrow SHARED ${VARROW_ALL_OBJECTS})
add_library(varrow::varrow ALIAS varrow)
set_target_properties(varrow PROPERTIES
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR}
  CXX_VISIBILITY_PRESET hidden
  VISIBILITY_INLINES_HIDDEN ON)
target_include_directories(varrow PUBLIC
  "$<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/src>"
  "$<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>")
target_link_libraries(varrow PRIVATE ${VARROW_PRIVATE_DEPS} varrow_sanitizers Threads::Threads)

# varrow_link_modules(<target> <module>...): links a program (tests, benchmarks)
# directly against the objects of the modules, so hidden symbols are reachable
# and every static registration object is kept.
function(varrow_link_modules target)
  varrow_module_objects(objects ${ARGN})
  target_sources(${target} PRIVATE ${objects})
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src")
  target_compile_definitions(${target} PRIVATE VARROW_BUILDING_LIBRARY)
  target_link_libraries(${target} PRIVATE ${VARROW_PRIVATE_DEPS} varrow_sanitizers Threads::Threads)
endfunction()
