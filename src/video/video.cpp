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
void PlaceInHostRect(Player &player, const RECT &rect) {
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    LONG videoWidth = 0, videoHeight = 0, fitWidth = width, fitHeight = height;
    if (SUCCEEDED(GetNativeVideoSize(player, &videoWidth, &videoHeight)) && videoWidth > 0 && videoHeight > 0 &&
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
    player.m_pVW->SetWindowPosition(rect.left + (width - fitWidth) / 2, rect.top + (height - fitHeight) / 2, fitWidth,
                                    fitHeight);
}

void PlaceVideo(Player &player) {
    if (player.m_rcVideo.right > player.m_rcVideo.left) return PlaceInHostRect(player, player.m_rcVideo);
    // The height matters only for the one wide screen recognised.
    if (GetSystemMetrics(SM_CXSCREEN) == 800 && GetSystemMetrics(SM_CYSCREEN) == 480)
        player.m_pVW->SetWindowPosition(9, 27, 519, 393);
    else
        player.m_pVW->SetWindowPosition(4, 14, 312, 223);
}

HRESULT SetVideoRectOf(Player &player, const RECT *rect) {
    if (rect) {
        // Nothing to show in, or too long a side. In unsigned arithmetic: the
        // difference of two LONGs may not fit in one.
        if (rect->right <= rect->left || rect->bottom <= rect->top ||
            static_cast<DWORD>(rect->right) - static_cast<DWORD>(rect->left) > kLongestSide ||
            static_cast<DWORD>(rect->bottom) - static_cast<DWORD>(rect->top) > kLongestSide)
            return E_INVALIDARG;
        player.m_rcVideo = *rect;
    } else {
        player.m_rcVideo = RECT{};
    }
    // A video already placed moves now; one still at the open's zero size
    // or full screen waits for its showing or the return from full screen.
    if (player.m_pVW && player.m_nVideoPlacement == VideoPlacement::Placed) PlaceVideo(player);
    return S_OK;
}

// Inline, as LeaveFullScreen: each is a call or two, not worth a function
// (and an unwind entry) of its own.
[[gnu::always_inline]] inline HRESULT EnterFullScreen(Player &player) {
    // A renderer that refused (Wine's VMR: E_NOTIMPL) stays embedded.
    HRESULT hr = player.m_pVW->put_FullScreenMode(OATRUE);
    if (SUCCEEDED(hr)) player.m_nVideoPlacement = VideoPlacement::FullScreen;
    return hr;
}

[[gnu::always_inline]] inline HRESULT LeaveFullScreen(Player &player) {
    // Still full screen as far as anyone can tell if leaving it failed.
    HRESULT hr = player.m_pVW->put_FullScreenMode(OAFALSE);
    if (SUCCEEDED(hr) || player.m_nVideoPlacement != VideoPlacement::FullScreen)
        player.m_nVideoPlacement = VideoPlacement::Placed;
    return hr;
}

// A BSTR of the library's own, for IVideoWindow::put_Caption: the text's
// length in bytes just before it. On the stack: the renderer copies the
// text into its window.
struct Caption {
    DWORD bytes;
    WCHAR text[40];
};

// The pool player's video window, found by a caption no other window has
// (the address of the player's record in hex, which no other live player
// shares, of this DLL or another copy), among the owner's children, and
// given tap forwarding. A look-up by place (the first child) could take a
// host's control, or another player's video.
void ForwardTaps(PoolPlayer &player) {
    HWND owner = player.m_hwndVideoOwner;
    if (!owner || player.m_hwndVideo || player.m_nVideoPlacement == VideoPlacement::FullScreen) return;
    Caption caption;
    UINT n = 0;
    for (const WCHAR *c = TEXT("flatplay video"); *c; ++c) caption.text[n++] = *c;
    caption.text[n++] = TEXT(' ');
    const auto address = reinterpret_cast<UINT_PTR>(&player);
    for (int shift = 8 * sizeof address - 4; shift >= 0; shift -= 4) {
        const auto digit = static_cast<WCHAR>(address >> shift & 15);
        caption.text[n++] = static_cast<WCHAR>(digit < 10 ? TEXT('0') + digit : TEXT('a') - 10 + digit);
    }
    caption.text[n] = 0;
    caption.bytes = n * sizeof(WCHAR);
    if (FAILED(player.m_pVW->put_Caption(caption.text))) return;
    player.m_hwndVideo = FindWindowExW(owner, nullptr, nullptr, caption.text);
    if (player.m_hwndVideo) InstallTapForwarding(player, &PlayerTapProc);
}

// Shows a pool player's placed video, and forwards its taps once it can.
HRESULT ShowPlaced(PoolPlayer &player) {
    HRESULT hr = player.m_pVW->put_Visible(OATRUE);
    if (FAILED(hr)) return hr;
    if (player.m_nVideoPlacement == VideoPlacement::None) player.m_nVideoPlacement = VideoPlacement::Placed;
    ForwardTaps(player);
    return hr;
}

} // namespace

// Results of the video-window calls are ignored throughout the default
// player's exports: a renderer that cannot place or switch its window
// still plays.

extern "C" HRESULT WINAPI PutForeground(BOOL show) {
    if (!g_ctx.m_pVW) return E_FAIL;
    if (!show) {
        g_ctx.m_pVW->put_Visible(OAFALSE);
        g_ctx.m_pVW->SetWindowForeground(OAFALSE);
        return S_OK;
    }
    PlaceVideo(g_ctx);
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
        if (g_ctx.m_hwndVideo) InstallTapForwarding(g_ctx, &VideoTapProc);
    }
    return S_OK;
}

extern "C" HRESULT WINAPI FullScreen(BOOL on) {
    if (!g_ctx.m_pVW) return E_FAIL;
    if (!IsActive()) return S_OK;
    if (on) {
        EnterFullScreen(g_ctx);
    } else {
        LeaveFullScreen(g_ctx);
        // Shown before it is placed, unlike PutForeground.
        g_ctx.m_pVW->put_Visible(OATRUE);
        PlaceVideo(g_ctx);
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

extern "C" HRESULT WINAPI SetVideoRect(const RECT *rect) { return SetVideoRectOf(g_ctx, rect); }

// The pool players report what their video window answers.

extern "C" HRESULT WINAPI PlayerSetOwner(FLATPLAY_PLAYER handle, HWND owner) {
    return WithPlayer(handle, [owner](PoolPlayer &player) {
        player.m_hwndHost = owner;
        if (!player.m_pVW) return S_OK;
        // The video window moves into the new owner; its taps, if forwarded
        // already, go there from now on.
        HRESULT hr = player.m_pVW->put_Owner(reinterpret_cast<OAHWND>(owner));
        if (SUCCEEDED(hr)) player.m_hwndVideoOwner = owner;
        return hr;
    });
}

extern "C" HRESULT WINAPI PlayerSetVideoRect(FLATPLAY_PLAYER handle, const RECT *rect) {
    return WithPlayer(handle, [rect](PoolPlayer &player) { return SetVideoRectOf(player, rect); });
}

extern "C" HRESULT WINAPI PlayerShowVideo(FLATPLAY_PLAYER handle, BOOL show) {
    return WithPlayer(handle, [show](PoolPlayer &player) {
        if (!player.m_pVW) return E_FAIL;
        if (!show) return player.m_pVW->put_Visible(OAFALSE);
        PlaceVideo(player);
        return ShowPlaced(player);
    });
}

extern "C" HRESULT WINAPI PlayerSetFullScreen(FLATPLAY_PLAYER handle, BOOL on) {
    return WithPlayer(handle, [on](PoolPlayer &player) {
        if (!player.m_pVW) return E_FAIL;
        if (on) return EnterFullScreen(player);
        HRESULT hr = LeaveFullScreen(player);
        PlaceVideo(player);
        ShowPlaced(player);
        return hr;
    });
}

extern "C" HRESULT WINAPI PlayerSetMessageDrain(FLATPLAY_PLAYER handle, HWND drain) {
    return WithPlayer(handle, [drain](PoolPlayer &player) {
        player.m_hwndDrain = drain;
        return player.m_pVW ? player.m_pVW->put_MessageDrain(reinterpret_cast<OAHWND>(drain)) : S_OK;
    });
}
