#include "api/context.h"

namespace {

// One call per field, not six copies of the test and the call.
[[gnu::noinline]] void ReleaseHeld(IUnknown *held) {
    if (held) held->Release();
}

template <typename Interface> void ReleaseAndClear(Interface *&field) {
    ReleaseHeld(field);
    field = nullptr;
}

bool GraphHeld(const Player &player) {
    return player.m_pGB || player.m_pMC || player.m_pME || player.m_pMS || player.m_pVW || player.m_pBA ||
           player.m_hwndVideo;
}

void TearDownGraph(Player &player) {
    // The child must have its own procedure back before the graph that
    // owns the window goes away.
    if (HWND video = player.m_hwndVideo) {
        // None recorded: forwarding was never installed, and a null
        // procedure must never be written onto a window.
        if (WNDPROC own = player.m_pfnOldVideoProc.load())
            SetWindowLongPtrW(video, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        player.m_pfnOldVideoProc = nullptr;
        player.m_hwndVideo = nullptr;
    }
    player.m_hwndVideoOwner = nullptr;
    player.m_nVideoPlacement = VideoPlacement::None;
    if (player.m_pMC) player.m_pMC->Stop();
    if (player.m_pVW) {
        player.m_pVW->put_Visible(OAFALSE);
        player.m_pVW->put_Owner(0);
    }
    if (player.m_pME) player.m_pME->SetNotifyWindow(0, 0, 0);
    ReleaseAndClear(player.m_pVW);
    ReleaseAndClear(player.m_pMC);
    ReleaseAndClear(player.m_pME);
    ReleaseAndClear(player.m_pMS);
    ReleaseAndClear(player.m_pBA);
    ReleaseAndClear(player.m_pGB); // the graph manager goes last
    player.m_nPlayState = Closed;
}

// One of the control interfaces, with its diagnostic line on failure.
HRESULT Query(Player &player, const IID &iid, void **field, const char *call) {
    HRESULT hr = player.m_pGB->QueryInterface(iid, field);
    if (FAILED(hr)) ReportFailure(hr, call);
    return hr;
}

// Refused rather than truncated: a cut path could name another file.
HRESULT CheckPath(LPCWSTR path, UINT &length) {
    if (!path) return E_POINTER;
    length = 0;
    while (length < MAX_PATH && path[length]) ++length;
    return length == MAX_PATH ? HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) : S_OK;
}

// The graph for `path`, its five control interfaces and its video window
// a zero-size child of the host window; the events announced with
// `instance` (SetNotifyWindow's lParam). Stops at the first failure, with
// whatever it took still held.
HRESULT BuildGraph(Player &player, LPCWSTR path, LONG_PTR instance) {
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void **>(&player.m_pGB));
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, "
                           "(void **)&m_pGB)");
        return hr;
    }
    hr = player.m_pGB->RenderFile(path, nullptr);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pGB->RenderFile(m_szPlayFile, NULL)");
        return hr;
    }

    // One call each, no table: a table on the stack would be filled by
    // memcpy, which nothing here provides.
    if (FAILED(hr = Query(player, IID_IMediaControl, reinterpret_cast<void **>(&player.m_pMC),
                          "m_pGB->QueryInterface(IID_IMediaControl, (void **)&m_pMC)")) ||
        FAILED(hr = Query(player, IID_IMediaEventEx, reinterpret_cast<void **>(&player.m_pME),
                          "m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)")))
        return hr;
    // Only for a host that named a window (SetEventWindow): any other sees
    // the calls it always has. Ignored if refused: GetGraphEvent still
    // takes the events off the queue when asked.
    if (HWND events = player.m_hwndEvent)
        player.m_pME->SetNotifyWindow(reinterpret_cast<OAHWND>(events), static_cast<LONG>(player.m_uEventMsg),
                                      instance);
    if (FAILED(hr = Query(player, IID_IMediaSeeking, reinterpret_cast<void **>(&player.m_pMS),
                          "m_pGB->QueryInterface(IID_IMediaSeeking, (void **)&m_pMS)")) ||
        FAILED(hr = Query(player, IID_IVideoWindow, reinterpret_cast<void **>(&player.m_pVW),
                          "m_pGB->QueryInterface(IID_IVideoWindow, (void **)&m_pVW)")) ||
        FAILED(hr = Query(player, IID_IBasicAudio, reinterpret_cast<void **>(&player.m_pBA),
                          "m_pGB->QueryInterface(IID_IBasicAudio, (void **)&m_pBA)")))
        return hr;

    player.m_nPlayState = Stopped;
    // Results ignored: a graph without a visible video window still plays.
    player.m_hwndVideoOwner = player.m_hwndHost.load();
    player.m_pVW->put_Owner(reinterpret_cast<OAHWND>(player.m_hwndVideoOwner));
    player.m_pVW->put_WindowStyle(WS_CHILD);
    player.m_pVW->SetWindowPosition(0, 0, 0, 0);
    return hr;
}

} // namespace

extern "C" HRESULT WINAPI InitGraph(LPCWSTR path) {
    UINT length;
    if (HRESULT refused = CheckPath(path, length); FAILED(refused)) return refused;
    // An earlier graph would otherwise leak with its file and device open.
    if (GraphHeld(g_ctx)) TearDownGraph(g_ctx);
    for (UINT i = 0; i <= length; ++i) g_ctx.m_szPlayFile[i] = path[i];
    return BuildGraph(g_ctx, g_ctx.m_szPlayFile, 0);
}

extern "C" void WINAPI ClearGraph(void) { TearDownGraph(g_ctx); }

extern "C" HRESULT WINAPI PlayerOpen(FLATPLAY_PLAYER handle, LPCWSTR path) {
    return WithPlayer(handle, [path](PoolPlayer &player) {
        UINT length;
        if (HRESULT refused = CheckPath(path, length); FAILED(refused)) return refused;
        TearDownGraph(player);
        HRESULT hr = BuildGraph(player, path, reinterpret_cast<LONG_PTR>(HandleOf(player)));
        // Nothing half-built is kept: the player is closed, or it has a file.
        if (FAILED(hr)) {
            TearDownGraph(player);
            return hr;
        }
        // The player's own settings, for every file; each refused only by
        // a graph without that part (a song has no video window).
        if (HWND drain = player.m_hwndDrain) player.m_pVW->put_MessageDrain(reinterpret_cast<OAHWND>(drain));
        if (const LONG level = AudibleLevel(player)) player.m_pBA->put_Volume(level);
        if (player.m_lBalance) player.m_pBA->put_Balance(player.m_lBalance);
        return hr;
    });
}

extern "C" HRESULT WINAPI PlayerClose(FLATPLAY_PLAYER handle) {
    return WithPlayer(handle, [](PoolPlayer &player) {
        TearDownGraph(player);
        return S_OK;
    });
}

extern "C" HRESULT WINAPI PlayerDestroy(FLATPLAY_PLAYER handle) {
    return WithPlayer(handle, [](PoolPlayer &player) {
        const auto generation = static_cast<LONG>(static_cast<DWORD>(player.m_lSlot) & ~kStatusMask);
        // Refused from here on, while the slot is still this player's.
        InterlockedExchange(&player.m_lSlot, generation | Busy);
        TearDownGraph(player);
        if (player.m_bComStarted) CoUninitialize();
        InterlockedExchange(&player.m_lSlot, generation | Free);
        return S_OK;
    });
}
