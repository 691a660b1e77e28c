# GoogleTest: the system package natively; for the Windows cross build it is
# compiled from Debian's source copy so it matches the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# vq_add_gtest(name sources... LIBS libs... [PROPERTIES name value...])
# Every test gets a five-minute limit, so a deadlock fails instead of hanging.
function(vq_add_gtest name)
  cmake_parse_arguments(ARG "" "" "LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  if(CMAKE_CROSSCOMPILING)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         TEST_PREFIX "win." PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
  else()
    gtest_discover_tests(${name} TEST_PREFIX "native." PROPERTIES TIMEOUT 300 ${ARG_PROPERTIES})
  endif()
endfunction()
