# GoogleTest for the Windows builds: compiled with the cross compiler from
# Debian's GoogleTest sources (package googletest, /usr/src/googletest), since
# the host's libgtest is a Linux library. Nothing is downloaded.
set(KESTRELON_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources for cross builds")
if(NOT EXISTS "${KESTRELON_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
  message(FATAL_ERROR
          "No GoogleTest sources in ${KESTRELON_GOOGLETEST_SOURCE_DIR}; "
          "scripts/install-windows-deps installs them (package googletest).")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${KESTRELON_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest
                 EXCLUDE_FROM_ALL SYSTEM)
# The sources name their targets GTest::gtest and GTest::gtest_main too, as
# find_package(GTest) does; older ones did not.
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
