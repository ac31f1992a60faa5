# System import libraries for the programs the ARM targets build. There are
# none for ARM here, so each is made at build time: its .def from mingw-w64's
# x64 import library of the same DLL (system-def.cmake), then llvm-dlltool.
# Calling another Win32 function needs no list edited by hand.
#
#   flatplay_system_libraries(<out-var> kernel32 user32 ...)
#
# sets <out-var> to what to link for those DLLs: on x64 and x86 the names,
# for mingw-w64's own libraries; on ARM targets (flatplay_system_<name>)
# that give the generated libraries and build them first.
find_program(FLATPLAY_LLVM_NM NAMES llvm-nm llvm-nm-14)
find_program(FLATPLAY_DLLTOOL_FOR_IMPORTS NAMES llvm-dlltool llvm-dlltool-14)
set(FLATPLAY_X64_IMPORT_LIBRARIES /usr/x86_64-w64-mingw32/lib CACHE PATH
    "mingw-w64's x64 import libraries, which name what each system DLL exports")

function(flatplay_system_libraries out)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(ARM64|aarch64)$")
    set(machine arm64)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(ARM|armv7)$")
    set(machine arm)
  else()
    set(${out} ${ARGN} PARENT_SCOPE)
    return()
  endif()
  if(NOT FLATPLAY_LLVM_NM OR NOT FLATPLAY_DLLTOOL_FOR_IMPORTS)
    message(FATAL_ERROR "flatplay: system import libraries for ${machine} need llvm-nm and llvm-dlltool (Debian: llvm)")
  endif()
  set(libraries "")
  foreach(dll IN LISTS ARGN)
    set(target flatplay_system_${dll})
    if(NOT TARGET ${target})
      set(source ${FLATPLAY_X64_IMPORT_LIBRARIES}/lib${dll}.a)
      if(NOT EXISTS ${source})
        message(FATAL_ERROR "flatplay: no ${source} to name what ${dll}.dll exports")
      endif()
      set(dir ${CMAKE_BINARY_DIR}/system-imports)
      set(def ${dir}/${dll}.def)
      set(implib ${dir}/lib${dll}.a)
      add_custom_command(OUTPUT ${implib}
        COMMAND ${CMAKE_COMMAND} -DNM=${FLATPLAY_LLVM_NM} -DLIBRARY=${source} -DDLL=${dll}.dll -DOUTPUT=${def}
                -P ${PROJECT_SOURCE_DIR}/cmake/system-def.cmake
        COMMAND ${FLATPLAY_DLLTOOL_FOR_IMPORTS} -m ${machine} -d ${def} -l ${implib}
        DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/system-def.cmake
        COMMENT "Import library for ${dll}.dll (${machine})" VERBATIM)
      add_custom_target(${target}_implib DEPENDS ${implib})
      add_library(${target} INTERFACE)
      target_link_libraries(${target} INTERFACE ${implib})
      add_dependencies(${target} ${target}_implib)
    endif()
    list(APPEND libraries ${target})
  endforeach()
  set(${out} ${libraries} PARENT_SCOPE)
endfunction()
