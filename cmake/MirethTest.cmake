# mireth_add_test(<name> LABELS <label>... SOURCES <file>... LIBRARIES <lib>...)
# One GoogleTest executable per subsystem, registered with CTest under its
# labels. Each run writes a JUnit-style report under test-results/ so the test
# script can count test cases, not executables.
function(mireth_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LABELS;SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(report "${CMAKE_BINARY_DIR}/test-results/${name}.xml")
  add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${report})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 600)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT ${ARG_TIMEOUT}
                       WORKING_DIRECTORY "${CMAKE_BINARY_DIR}")
endfunction()
