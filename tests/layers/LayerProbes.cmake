# cmake -DBUILD=<build tree> -DPROBES=<file> -P LayerProbes.cmake
# Each line of PROBES is "<probe target> <forbidden header>". Builds each probe
# and fails unless every build failed because that header could not be found.
file(STRINGS ${PROBES} probes)
set(failures "")
foreach(line ${probes})
  separate_arguments(fields UNIX_COMMAND "${line}")
  list(GET fields 0 probe)
  list(GET fields 1 header)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target ${probe}
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REPLACE "." "\\." pattern "${header}")
  # gcc: "x.h: No such file or directory"; clang: "'x.h' file not found".
  if(result EQUAL 0)
    string(APPEND failures "${probe}: ${header} was found and compiled\n")
  elseif(NOT output MATCHES "${pattern}'?:? (No such file or directory|file not found)")
    string(APPEND failures "${probe}: failed for another reason than ${header}:\n${output}\n")
  else()
    message(STATUS "${probe}: ${header} not found, as it must be")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "An include up the layers was not refused:\n${failures}")
endif()
