# cj_add_test(name SOURCES a.cpp ... LIBS lib ...)
# Builds one GoogleTest executable and registers its cases with CTest.
# A cross build compiles GoogleTest from Debian's sources (package googletest)
# with the same compiler; a native one uses the installed libraries.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  set(CJ_DISCOVERY_TIMEOUT 300)
else()
  set(CJ_DISCOVERY_TIMEOUT 30)
endif()

function(cj_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  cj_warnings(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  # Under Wine the first listing of a test executable may create the Wine
  # prefix, which takes far longer than the default 5 s of discovery.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT ${CJ_DISCOVERY_TIMEOUT}
                       PROPERTIES TIMEOUT 120)
endfunction()
