#include "api/context.h"
#include "video/tap.h"

namespace {

// The longest side SetVideoRect takes and the longest video side fitted:
// a window message carries a coordinate in 16 signed bits, and the fitting
// multiplies within 32 bits.
constexpr LONG kLongestSide = 0x7FFF;

// The video's own width and height fitted into the rectangle, aspect kept
// and centred: the side that limits it is filled, the other rounded to the
// nearest pixel (halves up, at least 1), and the spare pixels split with
// the odd one after the picture. A video whose size the graph cannot give
// (or longer than kLongestSide) fills the rectangle.
void PlaceInHostRect(const RECT &rect) {
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    LONG videoWidth = 0, videoHeight = 0, fitWidth = width, fitHeight = height;
    if (SUCCEEDED(GetNativeVideoSize(&videoWidth, &videoHeight)) && videoWidth > 0 && videoHeight > 0 &&
        videoWidth <= kLongestSide && videoHeight <= kLongestSide) {
        if (videoWidth * height > width * videoHeight)
            fitHeight = (width * videoHeight + videoWidth / 2) / videoWidth;
        else
            fitWidth = (height * videoWidth + videoHeight / 2) / videoHeight;
        if (fitWidth < 1) fitWidth = 1;
        if (fitHeight < 1) fitHeight = 1;
    }
    // The window covers the picture only: the rest of the rectangle is the
    // host's own, since Wine's renderer leaves a destination's border
    // unpainted.
    g_ctx.m_pVW->SetWindowPosition(rect.left + (width - fitWidth) / 2, rect.top + (height - fitHeight) / 2, fitWidth,
                                   fitHeight);
}

void PlaceVideo() {
    if (g_ctx.m_rcVideo.right > g_ctx.m_rcVideo.left) return PlaceInHostRect(g_ctx.m_rcVideo);
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
    if (g_ctx.m_nVideoPlacement == VideoPlacement::None) g_ctx.m_nVideoPlacement = VideoPlacement::Placed;
    // Looked up once per graph; a host without a child yet is asked again
    // next time. Only the host the video window was given as owner has it
    // as its first child: a host named after InitGraph has its own
    // controls there, which must keep their procedures. Nor while the host
    // keeps the video full screen: a full-screen renderer's window need not
    // be its owner's child (Wine's GDI renderer makes it a top-level
    // window), so the first child is then a control. Asked again once the
    // video is back.
    HWND host = g_ctx.m_hwndHost.load();
    if (shown && !g_ctx.m_hwndVideo && host == g_ctx.m_hwndVideoOwner &&
        g_ctx.m_nVideoPlacement != VideoPlacement::FullScreen) {
        g_ctx.m_hwndVideo = GetWindow(host, GW_CHILD);
        if (g_ctx.m_hwndVideo) InstallTapForwarding();
    }
    return S_OK;
}

extern "C" HRESULT WINAPI FullScreen(BOOL on) {
    if (!g_ctx.m_pVW) return E_FAIL;
    if (!IsActive()) return S_OK;
    if (on) {
        // A renderer that refused (Wine's VMR: E_NOTIMPL) stays embedded.
        if (SUCCEEDED(g_ctx.m_pVW->put_FullScreenMode(OATRUE))) g_ctx.m_nVideoPlacement = VideoPlacement::FullScreen;
    } else {
        // Still full screen as far as anyone can tell if leaving it failed.
        if (SUCCEEDED(g_ctx.m_pVW->put_FullScreenMode(OAFALSE)) ||
            g_ctx.m_nVideoPlacement != VideoPlacement::FullScreen)
            g_ctx.m_nVideoPlacement = VideoPlacement::Placed;
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

extern "C" HRESULT WINAPI SetVideoRect(const RECT *rect) {
    if (rect) {
        // Nothing to show in, or too long a side. In unsigned arithmetic: the
        // difference of two LONGs may not fit in one.
        if (rect->right <= rect->left || rect->bottom <= rect->top ||
            static_cast<DWORD>(rect->right) - static_cast<DWORD>(rect->left) > kLongestSide ||
            static_cast<DWORD>(rect->bottom) - static_cast<DWORD>(rect->top) > kLongestSide)
            return E_INVALIDARG;
        g_ctx.m_rcVideo = *rect;
    } else {
        g_ctx.m_rcVideo = RECT{};
    }
    // A video already placed moves now; one still at InitGraph's zero size
    // or full screen waits for PutForeground or the return from full screen.
    if (g_ctx.m_pVW && g_ctx.m_nVideoPlacement == VideoPlacement::Placed) PlaceVideo();
    return S_OK;
}
