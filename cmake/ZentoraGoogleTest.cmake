# GoogleTest for the test programs, found once for the whole tree.
find_package(GTest QUIET)
if(NOT GTest_FOUND AND CMAKE_CROSSCOMPILING AND EXISTS /usr/src/googletest/CMakeLists.txt)
  # Cross builds compile Debian's GoogleTest sources for the target.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
if(NOT TARGET GTest::gtest)
  # Building only to run the program needs no test framework;
  # scripts/test.sh installs it.
  message(WARNING "GoogleTest not found (Debian: libgtest-dev): the tests are not built")
  set(BUILD_TESTING OFF)
endif()
include(GoogleTest)
