#include "api/context.h"

// No player work at load or unload: the host calls ClearGraph and
// UnInitialize (and PlayerDestroy) before it unloads us, and interfaces
// must not be released under the loader lock. One exception: a FreeLibrary
// (detach with a null reserved argument) that leaves tap forwarding on a
// video window would leave the window calling into unmapped code at its
// next message, so every such window, the default player's and each pool
// player's, gets its own procedure back, but only while the tap procedure
// is still on it: a procedure the host has put there since is left alone.
// At process exit nothing runs.
namespace {

void GiveBackVideoProc(const Player &player) {
    HWND video = player.m_hwndVideo;
    WNDPROC own = player.m_pfnOldVideoProc.load();
    if (video && own && GetWindowLongPtrW(video, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(player.m_pfnTapProc))
        SetWindowLongPtrW(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason != DLL_PROCESS_DETACH || reserved) return TRUE;
    GiveBackVideoProc(g_ctx);
    for (const PoolPlayer &player : g_players) GiveBackVideoProc(player);
    return TRUE;
}
