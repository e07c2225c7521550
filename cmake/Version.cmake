# The program's version, from one place: project(VERSION) at the top. A build
# from a commit that is not tagged v<version> is marked as such, with the commit:
# "1.0.0-dev+1a2b3c4". Without git, or outside a clone, it is the bare version.
#
# Made at configure time into ${CMAKE_BINARY_DIR}/generated (the target
# mireth_version carries that include root):
#   MirethVersion.h      MIRETH_VERSION_TEXT ("1.0.0-dev+1a2b3c4"), MIRETH_VERSION_NUMBERS
#                        (1,0,0,0) and MIRETH_VERSION_DOTTED ("1.0.0.0"), the record's forms
#   mireth-version.txt   the text alone, for scripts/package
# and MIRETH_VERSION_TEXT, MIRETH_VERSION_DOTTED for the resources.
set(MIRETH_VERSION_TEXT ${PROJECT_VERSION})
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --short HEAD
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE _mireth_commit OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE _mireth_git_result ERROR_QUIET)
  if(_mireth_git_result EQUAL 0 AND NOT _mireth_commit STREQUAL "")
    execute_process(COMMAND ${GIT_EXECUTABLE} tag --points-at HEAD
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE _mireth_tags OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    string(REPLACE "\n" ";" _mireth_tags "${_mireth_tags}")
    if(NOT "v${PROJECT_VERSION}" IN_LIST _mireth_tags)
      set(MIRETH_VERSION_TEXT "${PROJECT_VERSION}-dev+${_mireth_commit}")
    endif()
    # A commit, a checkout or a new tag configures again, so the text follows HEAD.
    foreach(_mireth_path HEAD logs/HEAD packed-refs refs/tags)
      execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --git-path ${_mireth_path}
                      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                      OUTPUT_VARIABLE _mireth_file OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
      if(EXISTS "${_mireth_file}")
        set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_mireth_file}")
      endif()
    endforeach()
  endif()
endif()

# The version record takes four numbers; the fourth is always 0.
set(MIRETH_VERSION_NUMBERS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
set(MIRETH_VERSION_DOTTED "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
message(STATUS "Mireth version ${MIRETH_VERSION_TEXT}")

set(_mireth_generated ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/MirethVersion.h.in ${_mireth_generated}/MirethVersion.h @ONLY)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/mireth-version.txt CONTENT "${MIRETH_VERSION_TEXT}\n")
add_library(mireth_version INTERFACE)
target_include_directories(mireth_version INTERFACE ${_mireth_generated})
