# Shared by the ARM toolchain files: Debian's clang, lld and llvm-dlltool
# with mingw-w64's headers. No C runtime, libgcc or compiler-rt exists for
# these targets here, and the DLL needs none: CMake's own checks build
# static libraries instead of programs, and the system import libraries are
# made from .def files (src/platform/imports).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${FLATPLAY_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${FLATPLAY_TRIPLE})
# windres syntax, as CMake drives it for GNU-style toolchains; it must be
# told the target, or it writes the build machine's COFF.
set(CMAKE_RC_COMPILER llvm-windres-14)
set(CMAKE_RC_FLAGS_INIT "--target=${FLATPLAY_TRIPLE} -I /usr/share/mingw-w64/include")
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
# The C++ headers (<atomic>, <bit>, ...) are target-neutral templates: the
# x64 GCC install's serve.
file(GLOB _flatplay_cxx LIST_DIRECTORIES true /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++)
list(GET _flatplay_cxx 0 _flatplay_cxx)
set(CMAKE_C_FLAGS_INIT "-isystem /usr/share/mingw-w64/include")
set(CMAKE_CXX_FLAGS_INIT
    "-Wno-unused-command-line-argument -nostdinc++ -isystem ${_flatplay_cxx} -isystem ${_flatplay_cxx}/x86_64-w64-mingw32 -isystem /usr/share/mingw-w64/include")
# None of the usual default Windows libraries exists for these targets here.
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "")
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "")
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld --ld-path=/usr/bin/ld.lld-16")
endforeach()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
