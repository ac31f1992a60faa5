// The one record of mutable state, the play states and the diagnostics
// helper, and the one graph query that two rooms share. Every other
// mutable global in the library is a bug.
#pragma once

#include "platform/platform.h"

#include <atomic>

enum PlayState : LONG {
    Running = FLATPLAY_RUNNING,
    Paused = FLATPLAY_PAUSED,
    Stopped = FLATPLAY_STOPPED,
    Closed = FLATPLAY_CLOSED,
};

// The play state as the record keeps it: XOR Stopped, so that Stopped, the
// value at load, is kept as 0. The whole record then starts as zeros and
// lives in .bss, which takes no room in the DLL's file (a record with one
// other value would take a 512-byte section). Reads and writes see the
// state itself.
class StoredPlayState {
public:
    constexpr operator LONG() const { return m_bits ^ Stopped; }
    constexpr StoredPlayState &operator=(LONG state) {
        m_bits = state ^ Stopped;
        return *this;
    }

private:
    LONG m_bits = 0;
};

// What the library last did with the held graph's video window.
enum class VideoPlacement : LONG {
    None,       // nothing since InitGraph: a zero-size child
    Placed,     // placed in the host window (PutForeground, FullScreen off)
    FullScreen, // switched to full screen at the host's request
};

struct PlaybackContext {
    WCHAR m_szPlayFile[MAX_PATH] = {};
    // Read by VideoTapProc, which may run on the renderer's thread: atomic,
    // so neither pointer can tear.
    std::atomic<WNDPROC> m_pfnOldVideoProc{nullptr};
    IVideoWindow *m_pVW = nullptr;
    IGraphBuilder *m_pGB = nullptr;
    IMediaControl *m_pMC = nullptr;
    IMediaEventEx *m_pME = nullptr;
    IBasicAudio *m_pBA = nullptr;
    IMediaSeeking *m_pMS = nullptr;
    std::atomic<HWND> m_hwndHost{nullptr};
    HWND m_hwndVideo = nullptr;
    // The host window the graph's video window was given as owner at
    // InitGraph: only its first child can be that window.
    HWND m_hwndVideoOwner = nullptr;
    LONG m_lVolume = 0;
    HWND m_hwndDrain = nullptr;
    StoredPlayState m_nPlayState; // Stopped
    // SetEventWindow: the window and message every graph's events are
    // announced with; no window, no notification.
    HWND m_hwndEvent = nullptr;
    UINT m_uEventMsg = 0;
    // SetVideoRect: the host's video rectangle; all 0 (which it refuses)
    // for the fixed rectangles.
    RECT m_rcVideo = {};
    VideoPlacement m_nVideoPlacement = VideoPlacement::None;
    // The procedure tap forwarding puts on the video window, kept here for
    // the unload, which must recognise it and knows no room above the record.
    WNDPROC m_pfnTapProc = nullptr;
};

extern FLATPLAY_OWN_DATA PlaybackContext g_ctx;

inline bool IsActive() { return g_ctx.m_nPlayState == Running || g_ctx.m_nPlayState == Paused; }

// The video's native size, for the media information and for placing the
// video. IBasicVideo is taken for this call only and given back before it
// returns: the interfaces held across calls are the ones InitGraph takes,
// so a host that never asks sees the same calls as before. Needs m_pGB.
inline HRESULT GetNativeVideoSize(LONG *width, LONG *height) {
    IBasicVideo *video = nullptr;
    HRESULT hr = g_ctx.m_pGB->QueryInterface(IID_IBasicVideo, reinterpret_cast<void **>(&video));
    if (FAILED(hr)) return hr;
    hr = video->GetVideoSize(width, height);
    video->Release();
    return hr;
}

// One debug line per failed platform call, naming the call as it is written.
#define REPORT_FAILURE(hr, call) NKDbgPrintfW(TEXT("FAILED(hr=0x%x) in ") TEXT(call) TEXT("\n"), (unsigned)(hr))
