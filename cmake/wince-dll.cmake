# flatplay.dll for Windows CE on ARM, from the core's sources and ARM's
# export table. Included by src/CMakeLists.txt for the windows-ce-arm preset
# (cmake/wince-arm.cmake), whose CMake compiler targets ARM Linux for the
# unit tests: the DLL's objects go through the launcher cmake/wince-arm-cc
# (clang's assembly, mapped to PE and guarded for ARMv4, then the CE
# assembler), and its link, import libraries and version resource are run
# here with the CE binutils.
set(bin ${FLATPLAY_WINCE_ROOT}/bin/arm-mingw32ce)
foreach(tool as ld dlltool windres)
  if(NOT EXISTS ${bin}-${tool})
    message(FATAL_ERROR "flatplay: no ${bin}-${tool}; run scripts/setup wince (scripts/wince-toolchain)")
  endif()
endforeach()
set(arch wince-arm)
set(FLATPLAY_ARCH ${arch} PARENT_SCOPE)
# ARM's export table: CE's compilers ignore __stdcall as Windows on ARM's do,
# so the decorated GetPlayPosition is the same.
set(def ${CMAKE_CURRENT_SOURCE_DIR}/api/flatplay-arm.def)
set(FLATPLAY_DEF ${def} PARENT_SCOPE)
set(import_defs ${CMAKE_CURRENT_SOURCE_DIR}/platform/imports/wince/coredll.def
                ${CMAKE_CURRENT_SOURCE_DIR}/platform/imports/wince/ole32.def)
set(FLATPLAY_WINCE_IMPORT_DEFS ${import_defs} PARENT_SCOPE)

# mingw-w64's headers are Windows' declarations for every Windows target;
# they take this ELF target for 32-bit Windows once told so. wchar_t is
# 16-bit as on Windows. Only the C++ headers' templates are used (<atomic>,
# <bit>): the x64 GCC install's serve, as for the other ARM targets.
file(GLOB cxx LIST_DIRECTORIES true /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++)
list(GET cxx 0 cxx)
flatplay_core(flatplay_core_wince platform/wince_runtime.cpp platform/wince.cpp)
# The helpers themselves at -Os: at -Oz clang would call helpers for their
# 64-bit shifts.
set_source_files_properties(platform/wince_runtime.cpp PROPERTIES COMPILE_OPTIONS "-fno-builtin;-Os")
target_compile_definitions(flatplay_core_wince PRIVATE UNICODE _UNICODE _WIN32 __MINGW32__)
# (A function-like macro, which CMake's definitions cannot carry.)
target_compile_options(flatplay_core_wince PRIVATE "-D__declspec(x)=__attribute__((x))")
target_compile_options(flatplay_core_wince PRIVATE ${FLATPLAY_WINCE_CODEGEN} -Oz -fomit-frame-pointer -fshort-wchar -nostdinc++ -nostdlibinc
                       "SHELL:-isystem ${cxx}" "SHELL:-isystem ${cxx}/x86_64-w64-mingw32"
                       "SHELL:-isystem /usr/share/mingw-w64/include" -ffunction-sections -fdata-sections -fno-ident)
set(launcher ${PROJECT_SOURCE_DIR}/cmake/wince-arm-cc)
set_target_properties(flatplay_core_wince PROPERTIES CXX_COMPILER_LAUNCHER "${launcher};${bin}-as")
get_target_property(sources flatplay_core_wince SOURCES)
set_source_files_properties(${sources} PROPERTIES OBJECT_DEPENDS ${launcher})

# The imports: import slots from the .def files, called through stubs made
# from the same lists.
set(stubs_s ${CMAKE_CURRENT_BINARY_DIR}/wince-stubs.s)
set(stubs ${CMAKE_CURRENT_BINARY_DIR}/wince-stubs.o)
add_custom_command(OUTPUT ${stubs}
  COMMAND ${CMAKE_COMMAND} "-DDEFS=${import_defs}" -DOUTPUT=${stubs_s} -P ${PROJECT_SOURCE_DIR}/cmake/wince-stubs.cmake
  COMMAND ${bin}-as -march=armv4t -o ${stubs} ${stubs_s}
  DEPENDS ${import_defs} ${PROJECT_SOURCE_DIR}/cmake/wince-stubs.cmake VERBATIM)
set(implibs "")
foreach(import_def IN LISTS import_defs)
  get_filename_component(name ${import_def} NAME_WE)
  set(implib ${CMAKE_CURRENT_BINARY_DIR}/lib${name}-wince.a)
  add_custom_command(OUTPUT ${implib} COMMAND ${bin}-dlltool -d ${import_def} -l ${implib} DEPENDS ${import_def} VERBATIM)
  list(APPEND implibs ${implib})
endforeach()

# The version resource, preprocessed by clang as windres would by cpp.
set(FLATPLAY_ARCH_NAME ${arch})
configure_file(api/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/version.rc @ONLY)
set(resource ${CMAKE_CURRENT_BINARY_DIR}/version.o)
add_custom_command(OUTPUT ${resource}
  COMMAND ${bin}-windres --preprocessor=clang --preprocessor-arg=-E --preprocessor-arg=-xc
          --preprocessor-arg=-DRC_INVOKED --preprocessor-arg=-D_WIN32 -I /usr/share/mingw-w64/include -O coff
          ${CMAKE_CURRENT_BINARY_DIR}/version.rc ${resource}
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/version.rc VERBATIM)

# Windows CE GUI subsystem 4.20 (Pocket PC 2003 and later), no C runtime or
# start-up code (the do-nothing DllMain is the entry), no time stamp (the
# same sources give the same bytes), no symbols: they stay in the map, from
# which the unit tests find the loaded DLL's records (tests/dll).
set(layout ${PROJECT_SOURCE_DIR}/cmake/wince-dll.ld)
set(dll ${PROJECT_BINARY_DIR}/flatplay.dll)
set(implib ${PROJECT_BINARY_DIR}/libflatplay.dll.a)
set(map ${PROJECT_BINARY_DIR}/flatplay.map)
add_custom_command(OUTPUT ${dll} ${implib} ${map}
  COMMAND ${bin}-ld -shared --subsystem wince:4.20 --image-base 0x10000000 --entry DllMain -nostdlib -s
          --gc-sections --no-insert-timestamp --disable-dynamicbase --disable-nxcompat -T ${layout} --out-implib ${implib} -Map ${map} --no-demangle -o ${dll}
          "$<TARGET_OBJECTS:flatplay_core_wince>" ${stubs} ${resource} ${def} ${implibs}
  DEPENDS flatplay_core_wince "$<TARGET_OBJECTS:flatplay_core_wince>" ${stubs} ${resource} ${def} ${implibs} ${layout}
  COMMAND_EXPAND_LISTS VERBATIM)
add_custom_target(flatplay ALL DEPENDS ${dll})
set(FLATPLAY_WINCE_DLL ${dll} PARENT_SCOPE)
set(FLATPLAY_WINCE_MAP ${map} PARENT_SCOPE)
set(FLATPLAY_WINCE_TOOLS ${bin} PARENT_SCOPE)

# ---- The SDK for CE: cmake --install, or its ZIP with cpack -------------------
include(GNUInstallDirs)
install(FILES ${dll} DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${implib} DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${def} DESTINATION ${CMAKE_INSTALL_LIBDIR} RENAME flatplay.def)
install(FILES ${PROJECT_SOURCE_DIR}/include/flatplay/flatplay.h ${PROJECT_BINARY_DIR}/include/flatplay/version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/flatplay)
include(${PROJECT_SOURCE_DIR}/cmake/sdk-text.cmake)
flatplay_sdk_text(${arch} "Windows CE on ARM" ${PROJECT_SOURCE_DIR}/cmake/sdk/wince-README.md.in api players behaviours wine)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
# The example host every ZIP carries; its CMake project finds the other
# ZIPs' CMake package, which this one has not.
install(FILES ${PROJECT_SOURCE_DIR}/examples/host/player.c DESTINATION examples/host)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME flatplay-${PROJECT_VERSION}-${arch})
include(CPack)
