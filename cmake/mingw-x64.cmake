# Cross build of the Windows DLL for x64 with Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(FLATPLAY_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-windows.cmake)
