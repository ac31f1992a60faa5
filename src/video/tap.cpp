#include "video/tap.h"

#include "api/context.h"

namespace {

// Passes the message on to the window's own procedure: null once the
// teardown has run on the host's thread while this message was on its way.
LRESULT PassOn(const Player &player, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC own = player.m_pfnOldVideoProc.load();
    if (!own) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return CallWindowProcW(own, hwnd, msg, wParam, lParam);
}

} // namespace

LRESULT CALLBACK VideoTapProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Posted, not sent: the host must not run inside the video window's procedure.
    if (msg == WM_LBUTTONUP) PostMessageW(g_ctx.m_hwndHost.load(), WM_VIDEO_TAPPED, 0, 0);
    return PassOn(g_ctx, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK PlayerTapProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // One procedure for every pool player's window: the window says whose.
    for (const PoolPlayer &player : g_players) {
        if (player.m_hwndVideo.load() != hwnd) continue;
        if (msg == WM_LBUTTONUP)
            PostMessageW(player.m_hwndHost.load(), WM_VIDEO_TAPPED, 0, reinterpret_cast<LPARAM>(HandleOf(player)));
        return PassOn(player, hwnd, msg, wParam, lParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void InstallTapForwarding(Player &player, WNDPROC proc) {
    HWND video = player.m_hwndVideo;
    WNDPROC own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(video, GWLP_WNDPROC));
    // Without the own procedure there would be nothing to pass messages to
    // and nothing to put back: leave the window as it is.
    if (!own) return;
    // Recorded before the switch: the window's first message may reach
    // the tap procedure on another thread before SetWindowLongPtrW returns.
    player.m_pfnOldVideoProc = own;
    player.m_pfnTapProc = proc;
    if (!SetWindowLongPtrW(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)))
        player.m_pfnOldVideoProc = nullptr; // not replaced: nothing for the teardown to put back
}
