# The layers of the sources, as the build enforces them. A target sees its own
# folder and the folders of the libraries it links, and nothing else: its include
# root is a folder of the build tree holding a link to its own source folder
# alone, so an include up the layers ("updater/..." in the core) is not found and
# fails to compile. tests/layers checks that it does.
#
# mireth_layer(<target> <folder>)
#   <folder> (runtime/core, updater, ...) is the target's own. A library passes
#   the root on to whatever links it; an executable keeps it to itself.
function(mireth_layer target folder)
  set(source ${PROJECT_SOURCE_DIR}/${folder})
  if(NOT IS_DIRECTORY ${source})
    message(FATAL_ERROR "mireth_layer(${target}): there is no folder ${folder}")
  endif()
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  set(link ${root}/${folder})
  # A link left by a clone that has moved points elsewhere: made afresh.
  if(IS_SYMLINK ${link})
    file(READ_SYMLINK ${link} current)
    if(NOT current STREQUAL source)
      file(REMOVE ${link})
    endif()
  endif()
  if(NOT IS_SYMLINK ${link})
    get_filename_component(parent ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${source} ${link} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_include_directories(${target} PRIVATE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
