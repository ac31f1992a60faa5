# Cross build of the Windows DLL for ARM64 with Debian's clang and lld.
set(CMAKE_SYSTEM_PROCESSOR ARM64)
set(FLATPLAY_TRIPLE aarch64-w64-windows-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/clang-windows.cmake)
