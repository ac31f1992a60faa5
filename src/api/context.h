// The one record of mutable state, the play states and the diagnostics
// helper. Every other mutable global in the library is a bug.
#pragma once

#include "platform/platform.h"

#include <atomic>

enum PlayState : LONG {
    Running = FLATPLAY_RUNNING,
    Paused = FLATPLAY_PAUSED,
    Stopped = FLATPLAY_STOPPED,
    Closed = FLATPLAY_CLOSED,
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
    LONG m_nPlayState = Stopped;
};

extern PlaybackContext g_ctx;

inline bool IsActive() { return g_ctx.m_nPlayState == Running || g_ctx.m_nPlayState == Paused; }

// One debug line per failed platform call, naming the call as it is written.
#define REPORT_FAILURE(hr, call) NKDbgPrintfW(TEXT("FAILED(hr=0x%x) in ") TEXT(call) TEXT("\n"), (unsigned)(hr))
