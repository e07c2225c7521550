# The Windows side of Dependencies.cmake: static libraries from the cache that
# scripts/windows-deps builds (MIRETH_WINDEPS, set by the toolchain file).
# Everything links into the executable; only system DLLs remain.

set(_mireth_windeps_hint "run scripts/windows-deps (cache: ${MIRETH_WINDEPS})")

# A tree configured against another cache (one of an older tag, say) would
# otherwise keep the libraries it found there, built by another recipe.
if(NOT "${MIRETH_WINDEPS_SEARCHED}" STREQUAL "${MIRETH_WINDEPS}")
  foreach(_mireth_found
      MIRETH_CURL_INCLUDE_DIR MIRETH_CURL_LIBRARY MIRETH_ZLIB_LIBRARY
      MIRETH_JSONCPP_INCLUDE_DIR MIRETH_JSONCPP_LIBRARY GTest_DIR)
    unset(${_mireth_found} CACHE)
  endforeach()
  unset(_mireth_found)
  set(MIRETH_WINDEPS_SEARCHED "${MIRETH_WINDEPS}" CACHE INTERNAL
      "The cache the Windows libraries were looked for in")
endif()

find_path(MIRETH_CURL_INCLUDE_DIR curl/curl.h)
find_library(MIRETH_CURL_LIBRARY NAMES libcurl.a)
if(NOT MIRETH_CURL_INCLUDE_DIR OR NOT MIRETH_CURL_LIBRARY)
  message(FATAL_ERROR "Static libcurl for Windows not found: ${_mireth_windeps_hint}")
endif()
# libcurl decodes gzip and deflate answers with it, so it comes after libcurl.
find_library(MIRETH_ZLIB_LIBRARY NAMES libz.a)
if(NOT MIRETH_ZLIB_LIBRARY)
  message(FATAL_ERROR "Static zlib for Windows (libz.a) not found; a cache made before "
                      "libcurl was built with zlib lacks it: ${_mireth_windeps_hint}")
endif()
add_library(mireth::curl INTERFACE IMPORTED)
# Schannel TLS and Windows sockets; CURL_STATICLIB keeps curl.h from asking
# for dllimport.
set_target_properties(mireth::curl PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${MIRETH_CURL_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB
  INTERFACE_LINK_LIBRARIES
    "${MIRETH_CURL_LIBRARY};${MIRETH_ZLIB_LIBRARY};ws2_32;crypt32;bcrypt;advapi32")

find_path(MIRETH_JSONCPP_INCLUDE_DIR json/json.h)
find_library(MIRETH_JSONCPP_LIBRARY NAMES libjsoncpp.a)
if(NOT MIRETH_JSONCPP_INCLUDE_DIR OR NOT MIRETH_JSONCPP_LIBRARY)
  message(FATAL_ERROR "Static jsoncpp for Windows not found: ${_mireth_windeps_hint}")
endif()
add_library(mireth::jsoncpp INTERFACE IMPORTED)
set_target_properties(mireth::jsoncpp PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${MIRETH_JSONCPP_INCLUDE_DIR}"
  INTERFACE_LINK_LIBRARIES "${MIRETH_JSONCPP_LIBRARY}")

if(MIRETH_BUILD_TESTS)
  # GoogleTest's own package files: GTest::gtest, GTest::gtest_main,
  # GTest::gmock, GTest::gmock_main.
  find_package(GTest CONFIG QUIET)
  if(NOT TARGET GTest::gtest OR NOT TARGET GTest::gtest_main)
    message(FATAL_ERROR "GoogleTest for Windows not found: ${_mireth_windeps_hint}")
  endif()
endif()

unset(_mireth_windeps_hint)
