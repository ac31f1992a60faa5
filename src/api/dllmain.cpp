#include "api/context.h"

// No player work at load or unload: the host calls ClearGraph and
// UnInitialize before it unloads us, and interfaces must not be released
// under the loader lock. One exception: a FreeLibrary (detach with a null
// reserved argument) that leaves tap forwarding on the video window would
// leave the window calling into unmapped code at its next message, so the
// window gets its own procedure back, but only while the tap procedure is
// still on it: a procedure the host has put there since is left alone. At
// process exit nothing runs.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_DETACH || reserved) return TRUE;
    HWND video = g_ctx.m_hwndVideo;
    WNDPROC own = g_ctx.m_pfnOldVideoProc.load();
    if (video && own && GetWindowLongPtrW(video, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(g_ctx.m_pfnTapProc))
        SetWindowLongPtrW(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
    return TRUE;
}
