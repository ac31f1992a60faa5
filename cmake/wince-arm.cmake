# Windows CE on ARM. Two things come out of one build tree:
# - flatplay.dll for Windows CE (machine 0x1C0, ARMv4 code, imports from
#   coredll.dll and ole32.dll), compiled by Debian's clang for ARMv4T ELF as
#   assembly, mapped to PE and guarded for ARMv4 by cmake/wince-arm-cc, and
#   assembled and linked by GNU binutils for arm-mingw32ce (src/CMakeLists.txt);
# - the portable core compiled with the same code generation flags, linked
#   with the fake platform and the unit tests into an ARM Linux program run
#   under qemu-user (tests/CMakeLists.txt).
# CMake's own compiler is therefore the second one's: clang for armel Linux
# against Debian's armel libraries. scripts/wince-toolchain makes both the
# binutils and the armel root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(FLATPLAY_WINCE ON)
set(FLATPLAY_WINCE_ROOT /opt/flatplay-wince-arm CACHE PATH "What scripts/wince-toolchain made")
set(CMAKE_SYSROOT ${FLATPLAY_WINCE_ROOT}/armel)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET arm-linux-gnueabi)
set(CMAKE_CXX_COMPILER_TARGET arm-linux-gnueabi)
foreach(kind EXE SHARED MODULE)
  set(CMAKE_${kind}_LINKER_FLAGS_INIT "-fuse-ld=lld --ld-path=/usr/bin/ld.lld-16")
endforeach()
# The core is position-dependent code, as in the DLL; linked statically,
# qemu needs no library path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT} -static")
# Debian's armel libraries are ARMv5TE; the library's own code is ARMv4
# (the DLL's disassembly check holds it there), so a CPU that runs both.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-arm-static -cpu arm926)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The code generation of Windows CE's ARM compilers: ARM state (no Thumb)
# for ARMv4, soft float, and the old ARM procedure call standard, under
# which a 64-bit argument or double is 4-byte aligned (after a 32-bit one it
# takes r1:r2, where AAPCS would skip to r2:r3), as CE passes them. That
# standard also aligns 64-bit members of structures to 4 bytes where CE's
# compilers align them to 8: a structure that crosses the DLL's boundary
# puts them at multiples of 8 (the calling-convention test holds each).
# char is signed, as with Microsoft's compilers.
set(FLATPLAY_WINCE_CODEGEN --target=armv4t-none-elf -marm -mcpu=arm7tdmi -mfloat-abi=soft -mabi=apcs-gnu -fno-pic
    -fsigned-char)
