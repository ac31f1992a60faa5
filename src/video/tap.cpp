#include "video/tap.h"

#include "api/context.h"

// VideoTapProc may run on the renderer's thread while the host's thread
// writes these: they must be plain atomic words, never guarded by a lock.
// ARMv4 (Windows CE) has no atomic instructions that clang relies on: there
// the compiler calls helpers, which are one load or store (wince_runtime.cpp).
#if !defined(FLATPLAY_ATOMIC_HELPERS)
static_assert(decltype(g_ctx.m_hwndHost)::is_always_lock_free);
static_assert(decltype(g_ctx.m_pfnOldVideoProc)::is_always_lock_free);
#endif

LRESULT CALLBACK VideoTapProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Posted, not sent: the host must not run inside the video window's procedure.
    if (msg == WM_LBUTTONUP) PostMessageW(g_ctx.m_hwndHost.load(), WM_VIDEO_TAPPED, 0, 0);
    // Null once ClearGraph has run on the host's thread while this message was on its way.
    WNDPROC own = g_ctx.m_pfnOldVideoProc.load();
    if (!own) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return CallWindowProcW(own, hwnd, msg, wParam, lParam);
}

void InstallTapForwarding() {
    HWND video = g_ctx.m_hwndVideo;
    WNDPROC own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(video, GWLP_WNDPROC));
    // Without the own procedure there would be nothing to pass messages to
    // and nothing to put back: leave the window as it is.
    if (!own) return;
    // Recorded before the switch: the window's first message may reach
    // VideoTapProc on another thread before SetWindowLongPtrW returns.
    g_ctx.m_pfnOldVideoProc = own;
    g_ctx.m_pfnTapProc = &VideoTapProc;
    if (!SetWindowLongPtrW(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&VideoTapProc)))
        g_ctx.m_pfnOldVideoProc = nullptr; // not replaced: nothing for ClearGraph to put back
}
