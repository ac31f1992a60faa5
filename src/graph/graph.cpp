#include "api/context.h"

namespace {

template <typename Interface> void ReleaseAndClear(Interface *&field) {
    if (field) field->Release();
    field = nullptr;
}

bool GraphHeld() {
    return g_ctx.m_pGB || g_ctx.m_pMC || g_ctx.m_pME || g_ctx.m_pMS || g_ctx.m_pVW || g_ctx.m_pBA || g_ctx.m_hwndVideo;
}

void TearDownGraph() {
    // The child must have its own procedure back before the graph that
    // owns the window goes away.
    if (g_ctx.m_hwndVideo) {
        // None recorded: forwarding was never installed, and a null
        // procedure must never be written onto a window.
        if (WNDPROC own = g_ctx.m_pfnOldVideoProc.load())
            SetWindowLongPtrW(g_ctx.m_hwndVideo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        g_ctx.m_pfnOldVideoProc = nullptr;
        g_ctx.m_hwndVideo = nullptr;
    }
    g_ctx.m_hwndVideoOwner = nullptr;
    g_ctx.m_nVideoPlacement = VideoPlacement::None;
    if (g_ctx.m_pMC) g_ctx.m_pMC->Stop();
    if (g_ctx.m_pVW) {
        g_ctx.m_pVW->put_Visible(OAFALSE);
        g_ctx.m_pVW->put_Owner(0);
    }
    if (g_ctx.m_pME) g_ctx.m_pME->SetNotifyWindow(0, 0, 0);
    ReleaseAndClear(g_ctx.m_pVW);
    ReleaseAndClear(g_ctx.m_pMC);
    ReleaseAndClear(g_ctx.m_pME);
    ReleaseAndClear(g_ctx.m_pMS);
    ReleaseAndClear(g_ctx.m_pBA);
    ReleaseAndClear(g_ctx.m_pGB); // the graph manager goes last
    g_ctx.m_nPlayState = Closed;
}

// One of the control interfaces, with its diagnostic line on failure.
HRESULT Query(const IID &iid, void **field, LPCWSTR failure) {
    HRESULT hr = g_ctx.m_pGB->QueryInterface(iid, field);
    if (FAILED(hr)) NKDbgPrintfW(failure, (unsigned)hr);
    return hr;
}

} // namespace

extern "C" HRESULT WINAPI InitGraph(LPCWSTR path) {
    if (!path) return E_POINTER;
    // Reject rather than truncate: a cut path could name another file.
    UINT length = 0;
    while (length < MAX_PATH && path[length]) ++length;
    if (length == MAX_PATH) return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    // An earlier graph would otherwise leak with its file and device open.
    if (GraphHeld()) TearDownGraph();

    for (UINT i = 0; i <= length; ++i) g_ctx.m_szPlayFile[i] = path[i];

    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void **>(&g_ctx.m_pGB));
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, "
                           "(void **)&m_pGB)");
        return hr;
    }
    hr = g_ctx.m_pGB->RenderFile(g_ctx.m_szPlayFile, nullptr);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pGB->RenderFile(m_szPlayFile, NULL)");
        return hr;
    }

    // One call each, no table: a table on the stack would be filled by
    // memcpy, which nothing here provides.
    if (FAILED(hr = Query(IID_IMediaControl, reinterpret_cast<void **>(&g_ctx.m_pMC),
                          TEXT("FAILED(hr=0x%x) in m_pGB->QueryInterface(IID_IMediaControl, (void **)&m_pMC)\n"))) ||
        FAILED(hr = Query(IID_IMediaEventEx, reinterpret_cast<void **>(&g_ctx.m_pME),
                          TEXT("FAILED(hr=0x%x) in m_pGB->QueryInterface(IID_IMediaEventEx, (void **)&m_pME)\n"))))
        return hr;
    // Only for a host that named a window (SetEventWindow): any other sees
    // the calls it always has. Ignored if refused: GetGraphEvent still
    // takes the events off the queue when asked.
    if (HWND events = g_ctx.m_hwndEvent)
        g_ctx.m_pME->SetNotifyWindow(reinterpret_cast<OAHWND>(events), static_cast<LONG>(g_ctx.m_uEventMsg), 0);
    if (FAILED(hr = Query(IID_IMediaSeeking, reinterpret_cast<void **>(&g_ctx.m_pMS),
                          TEXT("FAILED(hr=0x%x) in m_pGB->QueryInterface(IID_IMediaSeeking, (void **)&m_pMS)\n"))) ||
        FAILED(hr = Query(IID_IVideoWindow, reinterpret_cast<void **>(&g_ctx.m_pVW),
                          TEXT("FAILED(hr=0x%x) in m_pGB->QueryInterface(IID_IVideoWindow, (void **)&m_pVW)\n"))) ||
        FAILED(hr = Query(IID_IBasicAudio, reinterpret_cast<void **>(&g_ctx.m_pBA),
                          TEXT("FAILED(hr=0x%x) in m_pGB->QueryInterface(IID_IBasicAudio, (void **)&m_pBA)\n"))))
        return hr;

    g_ctx.m_nPlayState = Stopped;
    // Results ignored: a graph without a visible video window still plays.
    g_ctx.m_hwndVideoOwner = g_ctx.m_hwndHost.load();
    g_ctx.m_pVW->put_Owner(reinterpret_cast<OAHWND>(g_ctx.m_hwndVideoOwner));
    g_ctx.m_pVW->put_WindowStyle(WS_CHILD);
    g_ctx.m_pVW->SetWindowPosition(0, 0, 0, 0);
    return hr;
}

extern "C" void WINAPI ClearGraph(void) { TearDownGraph(); }
