#include "api/context.h"

extern "C" HRESULT WINAPI PlayPause(void) {
    if (!g_ctx.m_pMC) return E_FAIL;
    HRESULT hr;
    if (g_ctx.m_nPlayState == Paused || g_ctx.m_nPlayState == Stopped) {
        hr = g_ctx.m_pMC->Run();
        if (FAILED(hr)) {
            REPORT_FAILURE(hr, "m_pMC->Run()");
            return hr;
        }
        g_ctx.m_nPlayState = Running;
        return hr;
    }
    // Closed with a graph still held (Initialize after InitGraph) pauses too.
    hr = g_ctx.m_pMC->Pause();
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMC->Pause()");
        return hr;
    }
    g_ctx.m_nPlayState = Paused;
    return hr;
}

extern "C" HRESULT WINAPI Stop(void) {
    if (!g_ctx.m_pMC || !g_ctx.m_pMS) return S_OK;
    if (!IsActive()) return S_OK;
    HRESULT hr = g_ctx.m_pMC->Stop();
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMC->Stop()");
        return hr;
    }
    // The graph has stopped: whatever the rewind does, the state says so.
    g_ctx.m_nPlayState = Stopped;
    LONGLONG pos = 0;
    hr = g_ctx.m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning , NULL, "
                           "AM_SEEKING_NoPositioning)");
        return hr;
    }
    // Paused at the start, so the next PlayPause runs from there at once.
    hr = g_ctx.m_pMC->Pause();
    if (FAILED(hr)) REPORT_FAILURE(hr, "m_pMC->Pause()");
    return hr;
}
