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

// Beside Stop, whose steps it takes: a seek made while the graph is
// stopped. Seeking a running or paused graph whose sound and video come
// through one splitter deadlocks Wine 8's splitter (the next Stop never
// returns); a stopped graph seeks safely. Wine's Stop also moves the
// position, so what the seek needs is read before it.
extern "C" HRESULT WINAPI SeekToTime(LONGLONG position) {
    if (!g_ctx.m_pMC || !g_ctx.m_pMS || !IsActive()) return S_OK;
    LONGLONG llDuration = 0;
    HRESULT hr = g_ctx.m_pMS->GetDuration(&llDuration);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->GetDuration(&llDuration)");
        return hr;
    }
    // Clamped, as players do: a negative target would reach the graph as
    // a negative position.
    LONGLONG pos = position < llDuration ? position : llDuration;
    if (pos < 0) pos = 0;
    const LONG resume = g_ctx.m_nPlayState;
    hr = g_ctx.m_pMC->Stop();
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMC->Stop()");
        return hr;
    }
    // The graph has stopped: until it runs or pauses again, the state says so.
    g_ctx.m_nPlayState = Stopped;
    hr = g_ctx.m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning , NULL, "
                           "AM_SEEKING_NoPositioning)");
        return hr;
    }
    if (resume == Running) {
        hr = g_ctx.m_pMC->Run();
        if (FAILED(hr)) {
            REPORT_FAILURE(hr, "m_pMC->Run()");
            return hr;
        }
    } else {
        hr = g_ctx.m_pMC->Pause();
        if (FAILED(hr)) {
            REPORT_FAILURE(hr, "m_pMC->Pause()");
            return hr;
        }
    }
    g_ctx.m_nPlayState = resume;
    return hr;
}
