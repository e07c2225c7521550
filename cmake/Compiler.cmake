# Warnings, sanitizers and the static Windows link, applied to every target.
add_compile_options(-Wall -Wextra)

if(MIRETH_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "MIRETH_FUZZ needs clang (libFuzzer)")
  endif()
  # Everything is instrumented for coverage; only the targets link libFuzzer.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  # CWString == CWString goes through the conversion to a view; clang warns that
  # C++20 also finds the reversed form, though it picks the same function.
  add_compile_options(-Wno-ambiguous-reversed-operator)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(MIRETH_ASAN=1)
elseif(MIRETH_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  add_compile_definitions(MIRETH_ASAN=1)
elseif(MIRETH_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT MIRETH_SANITIZE STREQUAL "")
  message(FATAL_ERROR "MIRETH_SANITIZE must be empty, 'address' or 'thread'")
endif()

if(WIN32)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  # One self-contained executable: no libgcc, libstdc++ or winpthread DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# A release build whose bytes depend on the sources alone (scripts/package): no
# build paths in the objects, no link time in the executables' headers.
option(MIRETH_REPRODUCIBLE "Build the same bytes from the same sources, wherever the tree is" OFF)
if(MIRETH_REPRODUCIBLE)
  # The build tree lies inside the clone; its mapping comes last and so wins.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=
                      -Wdate-time)
  if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
    # The library cache lies in the home folder: a header of it that names its
    # own file would carry this machine's path.
    if(MIRETH_WINDEPS)
      add_compile_options(-ffile-prefix-map=${MIRETH_WINDEPS}/=windeps/)
    endif()
  endif()
endif()
