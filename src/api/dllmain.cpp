#include "api/context.h"
#include "video/tap.h"

// No player work at load or unload: the host calls ClearGraph and
// UnInitialize before it unloads us, and interfaces must not be released
// under the loader lock. One exception: a FreeLibrary (detach with a null
// reserved argument) that leaves tap forwarding on the video window would
// leave the window calling into unmapped code at its next message, so the
// window gets its own procedure back. At process exit nothing runs.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) RemoveTapForwardingAtUnload();
    return TRUE;
}
