# The SDK of one processor: cmake --install, or its ZIP with cpack. Included
# by src/CMakeLists.txt once the DLL is defined, with `arch` (x64, x86,
# arm64, arm), `def`, `dlltool_machine` and, where llvm-dlltool was found,
# `msvc_lib` set.
#
#   bin/flatplay.dll, include/flatplay/, lib/ (import libraries, the .def
#   they come from, the CMake package), toolchains/ (this processor's
#   compilers), examples/host/ (the quick start's player), README.md and
#   docs/ (the host developer's pages, for this processor), LICENSE; on ARM
#   also lib/system/ (import libraries of Windows' own DLLs) and tools/.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/flatplay)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/flatplayConfig.cmake.in
  ${PROJECT_BINARY_DIR}/flatplayConfig.cmake INSTALL_DESTINATION ${package_dir}
  PATH_VARS CMAKE_INSTALL_BINDIR CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_INCLUDEDIR)
install(TARGETS flatplay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
if(FLATPLAY_LLVM_DLLTOOL)
  install(FILES ${msvc_lib} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endif()
# The import libraries' source (on x86 with the stdcall decorations a host
# compiler references), shipped for hosts that make their own.
install(FILES ${def} DESTINATION ${CMAKE_INSTALL_LIBDIR} RENAME flatplay.def)
install(FILES ${PROJECT_SOURCE_DIR}/include/flatplay/flatplay.h ${PROJECT_BINARY_DIR}/include/flatplay/version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/flatplay)

# ---- README.md and docs/: the host developer's pages, for this processor ---
include(${PROJECT_SOURCE_DIR}/cmake/sdk-text.cmake)
set(processor_names_x64 x64)
set(processor_names_x86 x86)
set(processor_names_arm64 ARM64)
set(processor_names_arm "32-bit ARM")
flatplay_sdk_text(${arch} "${processor_names_${arch}}" ${PROJECT_SOURCE_DIR}/cmake/sdk/README.md.in
                  quick-start api players behaviours wine)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
# ARM: what makes the Wine that runs a host here, on an x64 Debian machine.
if(arch MATCHES "^arm")
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/scripts/wine-root DESTINATION tools)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/examples/host/CMakeLists.txt ${PROJECT_SOURCE_DIR}/examples/host/player.c
        DESTINATION examples/host)

# ---- toolchains/: this processor's compilers --------------------------------
# mingw-w64's GCC for x64 and x86, clang for mingw on every processor; made
# from one template per kind.
set(toolchains_x64 mingw:x86_64-w64-mingw32:x86_64 clang:x86_64-w64-windows-gnu:x86_64)
set(toolchains_x86 mingw:i686-w64-mingw32:x86 clang:i686-w64-windows-gnu:x86)
set(toolchains_arm64 clang-no-runtime:aarch64-w64-windows-gnu:ARM64)
set(toolchains_arm clang-no-runtime:armv7-w64-windows-gnu:ARM)
set(mingw_x64 x86_64-w64-mingw32)
set(mingw_x86 i686-w64-mingw32)
set(debian_x64 x86-64)
set(debian_x86 i686)
foreach(toolchain IN LISTS toolchains_${arch})
  string(REPLACE ":" ";" toolchain "${toolchain}")
  list(GET toolchain 0 kind)
  list(GET toolchain 1 FLATPLAY_HOST_TRIPLE)
  list(GET toolchain 2 FLATPLAY_HOST_PROCESSOR)
  set(FLATPLAY_HOST_ARCH ${arch})
  set(FLATPLAY_HOST_MINGW ${mingw_${arch}})
  set(FLATPLAY_HOST_DEBIAN ${debian_${arch}})
  string(REGEX REPLACE "-.*" "" file_kind ${kind})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/sdk/${kind}.cmake.in ${PROJECT_BINARY_DIR}/toolchains/${file_kind}-${arch}.cmake
                 @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/toolchains/${file_kind}-${arch}.cmake DESTINATION toolchains)
endforeach()

# ---- lib/system/: Windows' own import libraries, where Debian has none (ARM)
# Made from mingw-w64's x64 import libraries, which name every function each
# DLL exports (system-def.cmake), so that a host calls any of them without
# making a library itself. ntdll's also carries what clang's ARM code calls
# and Windows' ntdll exports on ARM: the stack probe and the memory copies.
if(arch MATCHES "^arm")
  find_program(FLATPLAY_LLVM_NM NAMES llvm-nm llvm-nm-14)
  if(NOT FLATPLAY_LLVM_NM OR NOT FLATPLAY_LLVM_DLLTOOL)
    message(FATAL_ERROR "flatplay: the ARM SDK's system import libraries need llvm-nm and llvm-dlltool (Debian: llvm)")
  endif()
  set(FLATPLAY_X64_IMPORT_LIBRARIES /usr/x86_64-w64-mingw32/lib CACHE PATH
      "mingw-w64's x64 import libraries, which name what each system DLL exports")
  set(system_dir ${PROJECT_BINARY_DIR}/sdk-system)
  set(system_libraries "")
  foreach(dll advapi32 comctl32 comdlg32 gdi32 kernel32 ntdll ole32 oleaut32 shell32 user32 version winmm)
    set(extra "")
    if(dll STREQUAL ntdll)
      set(extra __chkstk,memcpy,memmove,memset)
    endif()
    set(source ${FLATPLAY_X64_IMPORT_LIBRARIES}/lib${dll}.a)
    add_custom_command(OUTPUT ${system_dir}/lib${dll}.a
      COMMAND ${CMAKE_COMMAND} -DNM=${FLATPLAY_LLVM_NM} -DLIBRARY=${source} -DDLL=${dll}.dll
              -DEXTRA=${extra} -DOUTPUT=${system_dir}/${dll}.def -P ${PROJECT_SOURCE_DIR}/cmake/system-def.cmake
      COMMAND ${FLATPLAY_LLVM_DLLTOOL} -m ${dlltool_machine} -d ${system_dir}/${dll}.def -l ${system_dir}/lib${dll}.a
      DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/system-def.cmake
      COMMENT "SDK import library for ${dll}.dll (${arch})" VERBATIM)
    list(APPEND system_libraries ${system_dir}/lib${dll}.a)
  endforeach()
  add_custom_target(flatplay_sdk_system ALL DEPENDS ${system_libraries})
  install(FILES ${system_libraries} DESTINATION ${CMAKE_INSTALL_LIBDIR}/system)
endif()

# ---- The CMake package ------------------------------------------------------
# The version file takes any later version of the same major one: exports
# are only ever added, never changed (a host asking for 0.1 gets 0.2, one
# asking for 0.2 is refused 0.1). It refuses a host of another pointer
# width, and then of another processor (ARM64 and x64 share a width): by
# the compiler's own word where it gives one (MSVC-like compilers:
# CMAKE_SYSTEM_PROCESSOR is the build machine's there), else by the
# target's processor.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/flatplayConfigVersion.cmake COMPATIBILITY SameMajorVersion)
set(processors_x64 "x86_64|AMD64|amd64|x64")
set(processors_x86 "i[3-6]86|x86|X86")
set(processors_arm64 "ARM64|aarch64|arm64")
set(processors_arm "ARM|ARMV7|armv7.*|arm")
file(APPEND ${PROJECT_BINARY_DIR}/flatplayConfigVersion.cmake "
set(_flatplay_processor \"\${CMAKE_SYSTEM_PROCESSOR}\")
foreach(_flatplay_lang C CXX)
  if(CMAKE_\${_flatplay_lang}_COMPILER_ARCHITECTURE_ID)
    set(_flatplay_processor \"\${CMAKE_\${_flatplay_lang}_COMPILER_ARCHITECTURE_ID}\")
  endif()
endforeach()
if(NOT _flatplay_processor MATCHES \"^(${processors_${arch}})$\")
  set(PACKAGE_VERSION \"\${PACKAGE_VERSION} (${arch}, not \${_flatplay_processor})\")
  set(PACKAGE_VERSION_UNSUITABLE TRUE)
endif()
unset(_flatplay_processor)
")
install(FILES ${PROJECT_BINARY_DIR}/flatplayConfig.cmake ${PROJECT_BINARY_DIR}/flatplayConfigVersion.cmake
        DESTINATION ${package_dir})
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME flatplay-${PROJECT_VERSION}-${arch})
include(CPack)
