# Cross-compiling for Windows x64 with Debian's mingw-w64 (posix thread model).
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Libraries come from the cache that scripts/windows-deps fills: MIRETH_WINDEPS
# in the environment, or ~/.cache/mireth/windeps-<tag>. Test executables run
# under Wine through scripts/wine-run.

# Raise the tag whenever scripts/windows-deps builds the cache differently, so
# that an old cache is never mixed with a new recipe.
set(MIRETH_WINDEPS_TAG "bookworm-3")

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mireth_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mireth_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mireth_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_mireth_triple}-windres)

if(NOT "$ENV{MIRETH_WINDEPS}" STREQUAL "")
  set(MIRETH_WINDEPS "$ENV{MIRETH_WINDEPS}" CACHE PATH "Cross-built Windows libraries" FORCE)
elseif(NOT MIRETH_WINDEPS OR MIRETH_WINDEPS MATCHES "^$ENV{HOME}/\\.cache/mireth/windeps-[^/]*$")
  # The default path follows the tag, also in a tree configured under an older
  # one; a path given by hand stays.
  set(MIRETH_WINDEPS "$ENV{HOME}/.cache/mireth/windeps-${MIRETH_WINDEPS_TAG}"
      CACHE PATH "Cross-built Windows libraries" FORCE)
endif()
# try_compile projects read this file again, without our cache.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MIRETH_WINDEPS)

set(CMAKE_FIND_ROOT_PATH "${MIRETH_WINDEPS}" /usr/${_mireth_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
get_filename_component(_mireth_source_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_mireth_source_root}/scripts/wine-run")
