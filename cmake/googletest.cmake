# GoogleTest from Debian's source package, built with this build's compiler
# (the packaged libraries are 64-bit Linux only).
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
endif()
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
if(WIN32)
  # Every test binary that uses GoogleTest gets this (see the file).
  target_sources(gtest PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/quiet_debug_output.cpp)
endif()
