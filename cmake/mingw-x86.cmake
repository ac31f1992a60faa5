# Cross build of the Windows DLL for x86 with Debian's mingw-w64.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(FLATPLAY_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-windows.cmake)
