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

# One test binary is one CTest entry: under Wine every process start counts.
# With DRIVES (LETTER:TYPE..., see scripts/run-suite) it runs in a prefix of
# its own with those drives mapped; the others share the one of scripts/test.
function(rumbelon_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;DRIVES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(T_DRIVES)
    list(TRANSFORM T_DRIVES PREPEND "--drive;")
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/run-suite ${name} ${T_DRIVES}
                                  $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
