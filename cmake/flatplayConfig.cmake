# The flatplay SDK for CMake hosts: find_package(flatplay CONFIG) gives the
# imported target flatplay::flatplay (the DLL, its header and the import
# library of the host's toolchain: flatplay.lib for MSVC-style linkers,
# libflatplay.dll.a for mingw-w64's).
get_filename_component(_flatplay_root "${CMAKE_CURRENT_LIST_DIR}/../../.." ABSOLUTE)
if(NOT TARGET flatplay::flatplay)
  if(MSVC OR CMAKE_C_SIMULATE_ID STREQUAL "MSVC" OR CMAKE_CXX_SIMULATE_ID STREQUAL "MSVC")
    set(_flatplay_implib flatplay.lib)
  else()
    set(_flatplay_implib libflatplay.dll.a)
  endif()
  add_library(flatplay::flatplay SHARED IMPORTED)
  set_target_properties(flatplay::flatplay PROPERTIES
    IMPORTED_LOCATION "${_flatplay_root}/bin/flatplay.dll"
    IMPORTED_IMPLIB "${_flatplay_root}/lib/${_flatplay_implib}"
    INTERFACE_INCLUDE_DIRECTORIES "${_flatplay_root}/include")
  unset(_flatplay_implib)
endif()
unset(_flatplay_root)
