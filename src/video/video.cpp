#include "api/context.h"
#include "video/tap.h"

namespace {

void PlaceVideo() {
    // The height matters only for the one wide screen recognised.
    if (GetSystemMetrics(SM_CXSCREEN) == 800 && GetSystemMetrics(SM_CYSCREEN) == 480)
        g_ctx.m_pVW->SetWindowPosition(9, 27, 519, 393);
    else
        g_ctx.m_pVW->SetWindowPosition(4, 14, 312, 223);
}

} // namespace

// Results of the video-window calls are ignored throughout: a renderer
// that cannot place or switch its window still plays.

extern "C" HRESULT WINAPI PutForeground(BOOL show) {
    if (!g_ctx.m_pVW) return E_FAIL;
    if (!show) {
        g_ctx.m_pVW->put_Visible(OAFALSE);
        g_ctx.m_pVW->SetWindowForeground(OAFALSE);
        return S_OK;
    }
    PlaceVideo();
    // A graph without a video renderer (a song, or a clip whose video no
    // decoder takes) fails every IVideoWindow call, E_NOINTERFACE on
    // Windows. Its host's first child is then one of the host's own
    // controls, which must keep its procedure: forwarding goes only onto a
    // window that could be shown.
    bool shown = SUCCEEDED(g_ctx.m_pVW->put_Visible(OATRUE));
    g_ctx.m_pVW->SetWindowForeground(OATRUE);
    // Looked up once per graph; a host without a child yet is asked again
    // next time. Only the host the video window was given as owner has it
    // as its first child: a host named after InitGraph has its own
    // controls there, which must keep their procedures.
    HWND host = g_ctx.m_hwndHost.load();
    if (shown && !g_ctx.m_hwndVideo && host == g_ctx.m_hwndVideoOwner) {
        g_ctx.m_hwndVideo = GetWindow(host, GW_CHILD);
        if (g_ctx.m_hwndVideo) InstallTapForwarding();
    }
    return S_OK;
}

extern "C" HRESULT WINAPI FullScreen(BOOL on) {
    if (!g_ctx.m_pVW) return E_FAIL;
    if (!IsActive()) return S_OK;
    if (on) {
        g_ctx.m_pVW->put_FullScreenMode(OATRUE);
    } else {
        g_ctx.m_pVW->put_FullScreenMode(OAFALSE);
        // Shown before it is placed, unlike PutForeground.
        g_ctx.m_pVW->put_Visible(OATRUE);
        PlaceVideo();
        g_ctx.m_pVW->SetWindowForeground(OATRUE);
    }
    // Told even when the switch failed: the host decides what to show.
    if (HWND drain = g_ctx.m_hwndDrain) {
        g_ctx.m_pVW->NotifyOwnerMessage(reinterpret_cast<OAHWND>(drain), WM_VIDEO_MODE_CHANGED, 0, 0);
        PostMessageW(drain, WM_VIDEO_MODE_CHANGED, 0, 0);
    }
    return S_OK;
}

extern "C" HRESULT WINAPI IsFullScreen(LONG *on) {
    if (!on) return E_POINTER;
    if (!g_ctx.m_pVW) return E_FAIL;
    LONG mode = OAFALSE;
    // A renderer that cannot tell (Wine answers E_NOTIMPL) is taken as embedded.
    HRESULT hr = g_ctx.m_pVW->get_FullScreenMode(&mode);
    *on = SUCCEEDED(hr) && mode != OAFALSE ? 1 : 0;
    return S_OK;
}

extern "C" HRESULT WINAPI PutMessageDrain(HWND drain) {
    if (!g_ctx.m_pVW) return E_FAIL;
    HRESULT hr = g_ctx.m_pVW->put_MessageDrain(reinterpret_cast<OAHWND>(drain));
    // Kept even when refused, so FullScreen still tells the window.
    g_ctx.m_hwndDrain = drain;
    return hr;
}
