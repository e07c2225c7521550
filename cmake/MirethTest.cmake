# mireth_add_test(<name> LABELS <label>... SOURCES <file>... LIBRARIES <lib>... [TIMEOUT <s>])
# One GoogleTest executable per subsystem, registered with CTest under its
# labels. Each run writes a JUnit-style report to test-results/<name>.xml in
# the build tree so the test script can count test cases, not executables.
# In the Windows build CTest runs the executable through scripts/wine-run.
function(mireth_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LABELS;SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # The report path is relative to the working directory set below: gtest on
  # Windows takes a path without a drive letter ("/work/...") as relative and
  # would nest it under the build tree; a relative one means the same natively
  # and under Wine.
  file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/test-results")
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:test-results/${name}.xml)
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
                       WORKING_DIRECTORY "${CMAKE_BINARY_DIR}")
endfunction()
