# Cross build of the Windows DLL for 32-bit ARM (Thumb-2) with Debian's
# clang and lld.
set(CMAKE_SYSTEM_PROCESSOR ARM)
set(FLATPLAY_TRIPLE armv7-w64-windows-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/clang-windows.cmake)
