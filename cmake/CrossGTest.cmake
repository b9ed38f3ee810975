# GoogleTest for a cross build, compiled for the target from Debian's googletest sources
# (no download): the host's libgtest cannot link into a Windows executable. Gives the same
# GTest::gtest and GTest::gtest_main targets as find_package(GTest).
set(TAVELO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources to build for the target")
if(NOT EXISTS ${TAVELO_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources at ${TAVELO_GTEST_SOURCE} (Debian package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${TAVELO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(NOT TARGET GTest::gtest)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
