# GoogleTest: the system package natively; for the Windows cross build it is
# compiled from Debian's source copy so it matches the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Compiled lightly, as the tests are (tests/CMakeLists.txt).
  target_compile_options(gtest PRIVATE -O1)
  target_compile_options(gtest_main PRIVATE -O1)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# vq_use_gtest_pch(target): GoogleTest's header, precompiled once per source
# directory (its compile options must match the target's) and reused by every
# test target there; parsing it was a second of compiling per test file.
function(vq_use_gtest_pch target)
  file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
  string(MAKE_C_IDENTIFIER "${folder}" folder)
  set(pch vq_gtest_pch_${folder})
  if(NOT TARGET ${pch})
    add_library(${pch} OBJECT ${PROJECT_SOURCE_DIR}/cmake/gtest_pch.cpp)
    target_link_libraries(${pch} PRIVATE GTest::gtest)
    target_precompile_headers(${pch} PRIVATE <gtest/gtest.h>)
  endif()
  target_precompile_headers(${target} REUSE_FROM ${pch})
endfunction()

# vq_unity_test_sources(target sources...): the target's test files compile as
# one translation unit, so the headers and GoogleTest's templates they share
# are compiled once. The program's own sources among them (from outside the
# test folder) still compile on their own, as they do in the program.
function(vq_unity_test_sources target)
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON)
  # Fixtures in anonymous namespaces are right in a file of their own; GCC
  # takes an included file for a shared header and warns.
  target_compile_options(${target} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-Wno-subobject-linkage>)
  foreach(source ${ARGN})
    get_filename_component(path "${source}" ABSOLUTE)
    cmake_path(IS_PREFIX CMAKE_CURRENT_SOURCE_DIR "${path}" NORMALIZE in_test_folder)
    if(NOT in_test_folder)
      set_source_files_properties(${source} TARGET_DIRECTORY ${target}
                                  PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
    endif()
  endforeach()
endfunction()

# vq_add_gtest(name sources... LIBS libs... [PROPERTIES name value...])
# Every test gets a five-minute limit, so a deadlock fails instead of hanging.
function(vq_add_gtest name)
  cmake_parse_arguments(ARG "" "" "LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  vq_use_gtest_pch(${name})
  vq_unity_test_sources(${name} ${ARG_UNPARSED_ARGUMENTS})
  if(CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         TEST_PREFIX "win." PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
  else()
    gtest_discover_tests(${name} TEST_PREFIX "native." PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
  endif()
endfunction()
