# The build's policy, in one place: how every target of this tree is
# compiled, what makes product code and a program of the disc, and how a
# test program becomes a CTest entry. Included once, by the top
# CMakeLists.txt, before any target is made.

add_compile_options(-Wall -Wextra)

# The host build runs the platform-free code under AddressSanitizer and
# UndefinedBehaviorSanitizer, every target alike; the Windows build has
# none (its benchmarks measure the libraries as they ship). Off, the host
# build is the archive tool as users run it (build/release, made by
# scripts/build).
if(NOT RUMBELON_WINDOWS)
  option(RUMBELON_SANITIZERS "Build the host code under ASan and UBSan" ON)
  if(RUMBELON_SANITIZERS)
    set(RUMBELON_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${RUMBELON_SANITIZE})
    add_link_options(${RUMBELON_SANITIZE})
  endif()
endif()

# Product code: no exceptions, no RTTI. Tests and tools keep the defaults.
function(rumbelon_product target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti)
endfunction()

# The version resource of the disc's file `file_name` (a program or a
# library) as a resource script in the current build folder, whose path goes
# into `out_var`. It says nothing but `description` of its own.
function(rumbelon_version_resource file_name description out_var)
  get_filename_component(internal_name ${file_name} NAME_WE)
  set(file_type VFT_APP)
  if(file_name MATCHES "\\.dll$")
    set(file_type VFT_DLL)
  endif()
  string(REPLACE "." "," version_numbers ${PROJECT_VERSION})
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${internal_name}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${script} @ONLY)
  set(${out_var} ${script} PARENT_SCOPE)
endfunction()

# A program of the disc: stripped, so that no path of the build goes with
# it; with its version resource; linked with the disc's date; signed when
# the build signs.
function(rumbelon_disc_program target description)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  rumbelon_version_resource(${name}.exe "${description}" version)
  target_sources(${target} PRIVATE ${version})
  target_link_options(${target} PRIVATE -s)
  set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER ${RUMBELON_DATED})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${RUMBELON_SIGNING})
  if(RUMBELON_SIGN)
    add_custom_command(TARGET ${target} POST_BUILD COMMAND ${RUMBELON_SIGN} $<TARGET_FILE:${target}> VERBATIM)
  endif()
endfunction()

# A test program and its CTest entry, `name`; one test binary is one entry,
# as under Wine every process start counts. The program is made of SOURCES
# and LIBS, or is the existing target PROGRAM (a suite of another program's
# cases, chosen by a filter in ARGS). It runs with ARGS, through WRAPPER (a
# suite's own script, given the program's path and ARGS) when there is one.
# A suite runs in a fresh Wine prefix of its own, named after it, with
# OWN_PREFIX, DRIVES (LETTER:TYPE...), a DPI or a CAPTION height (pixels at
# 96 DPI), or a WRAPPER (see scripts/run-suite); the others share the one of
# scripts/test. ENV (VAR=value...) is set around the whole run, for what
# Wine takes from Unix (LC_ALL). TIMEOUT: 600 s unless given.
function(rumbelon_test name)
  cmake_parse_arguments(T "OWN_PREFIX" "PROGRAM;DPI;CAPTION;TIMEOUT" "SOURCES;LIBS;DRIVES;ARGS;WRAPPER;ENV" ${ARGN})
  set(program ${T_PROGRAM})
  if(T_SOURCES)
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    set(program ${name})
  endif()
  # By its target's name, CTest runs a program through the build's emulator
  # (scripts/wine-run for the Windows build).
  set(command ${program} ${T_ARGS})
  if(T_OWN_PREFIX OR T_DRIVES OR T_DPI OR T_CAPTION OR T_WRAPPER)
    set(prefix)
    foreach(drive ${T_DRIVES})
      list(APPEND prefix --drive ${drive})
    endforeach()
    if(T_DPI)
      list(APPEND prefix --dpi ${T_DPI})
    endif()
    if(T_CAPTION)
      list(APPEND prefix --caption ${T_CAPTION})
    endif()
    set(command ${PROJECT_SOURCE_DIR}/scripts/run-suite ${name} ${prefix} ${T_WRAPPER}
                $<TARGET_FILE:${program}> ${T_ARGS})
  endif()
  if(T_ENV)
    set(command env ${T_ENV} ${command})
  endif()
  add_test(NAME ${name} COMMAND ${command})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()
