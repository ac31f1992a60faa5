#include <windows.h>

// No player work at load or unload: the host calls ClearGraph and
// UnInitialize before it unloads us.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
