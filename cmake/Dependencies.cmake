# Third-party libraries, as the targets mireth::curl and mireth::jsoncpp.
# Linux: Debian's packages. Windows: the cross-built cache named by
# MIRETH_WINDEPS (see scripts/windows-deps).
find_package(Threads REQUIRED)

if(WIN32)
  # Filled in by the Windows dependency set-up.
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsDependencies.cmake)
else()
  find_package(CURL REQUIRED)
  find_package(jsoncpp CONFIG REQUIRED)
  add_library(mireth::curl INTERFACE IMPORTED)
  target_link_libraries(mireth::curl INTERFACE CURL::libcurl)
  add_library(mireth::jsoncpp INTERFACE IMPORTED)
  target_link_libraries(mireth::jsoncpp INTERFACE jsoncpp_lib)
  if(MIRETH_BUILD_TESTS)
    find_package(GTest REQUIRED)
  endif()
endif()
