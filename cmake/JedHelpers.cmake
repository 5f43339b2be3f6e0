# jed_library(NAME [SHARED] [DIRS sub ...] LINKS ...): a library made of every .cpp in the
# current folder, or in the DIRS given below it (not recursive), so adding a file needs no
# edit here.
function(jed_library name)
  cmake_parse_arguments(ARG "SHARED" "" "LINKS;EXCLUDE;DIRS" ${ARGN})
  set(patterns ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(ARG_DIRS)
    list(TRANSFORM ARG_DIRS PREPEND "${CMAKE_CURRENT_SOURCE_DIR}/" OUTPUT_VARIABLE patterns)
    list(TRANSFORM patterns APPEND "/*.cpp")
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${patterns})
  foreach(ex ${ARG_EXCLUDE})
    list(FILTER srcs EXCLUDE REGEX "/${ex}$")
  endforeach()
  if(NOT srcs)
    # A folder still being written: an interface target keeps the build configuring.
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_LINKS})
    return()
  endif()
  if(ARG_SHARED)
    add_library(${name} SHARED ${srcs})
  else()
    add_library(${name} STATIC ${srcs})
  endif()
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# jed_test_properties(TARGET ENV [LABELS]): the environment (a CMake list of NAME=VALUE
# entries) and, when given, the labels of every test gtest_discover_tests found in TARGET.
# gtest_discover_tests splits a list-valued property into separate arguments, so every value
# after the first would be lost; the properties are set after discovery instead, on the list of
# tests it leaves in <name>_TESTS.
function(jed_test_properties target env)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_properties.cmake)
  set(labels "")
  if(ARGC GREATER 2)
    set(labels " LABELS \"${ARGV2}\"")
  endif()
  file(WRITE ${script}
    "if(DEFINED ${target}_TESTS)\n"
    "  set_tests_properties(\${${target}_TESTS} PROPERTIES ENVIRONMENT \"${env}\"${labels})\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
function(jed_test_environment target env)
  jed_test_properties(${target} "${env}")
endfunction()

# The suites' precompiled header (tests/support), where the build makes one.
function(jed_reuse_test_header target)
  if(TARGET test_precompiled AND NOT CMAKE_DISABLE_PRECOMPILE_HEADERS)
    target_precompile_headers(${target} REUSE_FROM test_precompiled)
  endif()
endfunction()

# jed_test(NAME [LABEL label] [THREADS] LINKS ...): one GoogleTest program from every .cpp in the
# current folder, labelled `unit` unless told otherwise. THREADS: its code runs on more than one
# thread, so the ThreadSanitizer stage runs it (label `threads`, built by target threaded_suites).
function(jed_test name)
  cmake_parse_arguments(ARG "THREADS" "LABEL" "LINKS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  jed_reuse_test_header(${name})
  if(NOT ARG_LABEL)
    set(ARG_LABEL unit)
  endif()
  set(labels ${ARG_LABEL})
  if(ARG_THREADS)
    list(APPEND labels threads)
    add_dependencies(threaded_suites ${name})
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
    DISCOVERY_TIMEOUT 60)
  jed_test_properties(${name} "JED_HEADLESS=1;SDL_AUDIODRIVER=dummy;${JED_SANITIZER_ENV}" "${labels}")
endfunction()
