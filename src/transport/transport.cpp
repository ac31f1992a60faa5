#include "api/context.h"

namespace {

HRESULT Run(Player &player) {
    HRESULT hr = player.m_pMC->Run();
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMC->Run()");
        return hr;
    }
    player.m_nPlayState = Running;
    return hr;
}

HRESULT Pause(Player &player) {
    HRESULT hr = player.m_pMC->Pause();
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMC->Pause()");
        return hr;
    }
    player.m_nPlayState = Paused;
    return hr;
}

// Stops the graph and moves it to 0: the state says Stopped as soon as the
// graph has stopped, whatever the rewind does.
HRESULT StopAndRewind(Player &player) {
    HRESULT hr = player.m_pMC->Stop();
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMC->Stop()");
        return hr;
    }
    player.m_nPlayState = Stopped;
    LONGLONG pos = 0;
    hr = player.m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (FAILED(hr))
        REPORT_FAILURE(hr, "m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning , NULL, "
                           "AM_SEEKING_NoPositioning)");
    return hr;
}

// A seek made while the graph is stopped. Seeking a running or paused graph
// whose sound and video come through one splitter deadlocks Wine 8's
// splitter (the next Stop never returns); a stopped graph seeks safely. A
// running or paused graph is stopped first and then run or paused again.
// Wine's Stop also moves the position, so what the seek needs is read
// before it.
HRESULT SeekWhileStopped(Player &player, LONGLONG position) {
    LONGLONG llDuration = 0;
    HRESULT hr = player.m_pMS->GetDuration(&llDuration);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->GetDuration(&llDuration)");
        return hr;
    }
    // Clamped, as players do: a negative target would reach the graph as
    // a negative position.
    LONGLONG pos = position < llDuration ? position : llDuration;
    if (pos < 0) pos = 0;
    const LONG resume = player.m_nPlayState;
    if (IsActive(player)) {
        hr = player.m_pMC->Stop();
        if (FAILED(hr)) {
            REPORT_FAILURE(hr, "m_pMC->Stop()");
            return hr;
        }
        // The graph has stopped: until it runs or pauses again, the state says so.
        player.m_nPlayState = Stopped;
    }
    hr = player.m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
    if (FAILED(hr)) {
        REPORT_FAILURE(hr, "m_pMS->SetPositions(&pos, AM_SEEKING_AbsolutePositioning , NULL, "
                           "AM_SEEKING_NoPositioning)");
        return hr;
    }
    if (resume == Running) return Run(player);
    if (resume == Paused) return Pause(player);
    return hr;
}

} // namespace

extern "C" HRESULT WINAPI PlayPause(void) {
    if (!g_ctx.m_pMC) return E_FAIL;
    if (g_ctx.m_nPlayState == Paused || g_ctx.m_nPlayState == Stopped) return Run(g_ctx);
    // Closed with a graph still held (Initialize after InitGraph) pauses too.
    return Pause(g_ctx);
}

extern "C" HRESULT WINAPI Stop(void) {
    if (!g_ctx.m_pMC || !g_ctx.m_pMS) return S_OK;
    if (!IsActive()) return S_OK;
    HRESULT hr = StopAndRewind(g_ctx);
    if (FAILED(hr)) return hr;
    // Paused at the start, so the next PlayPause runs from there at once;
    // the state stays Stopped.
    hr = g_ctx.m_pMC->Pause();
    if (FAILED(hr)) REPORT_FAILURE(hr, "m_pMC->Pause()");
    return hr;
}

extern "C" HRESULT WINAPI SeekToTime(LONGLONG position) {
    if (!g_ctx.m_pMC || !g_ctx.m_pMS || !IsActive()) return S_OK;
    return SeekWhileStopped(g_ctx, position);
}

extern "C" HRESULT WINAPI PlayerPlay(FLATPLAY_PLAYER handle) {
    return WithPlayer(handle, [](PoolPlayer &player) { return player.m_pMC ? Run(player) : E_FAIL; });
}

extern "C" HRESULT WINAPI PlayerPause(FLATPLAY_PLAYER handle) {
    return WithPlayer(handle, [](PoolPlayer &player) { return player.m_pMC ? Pause(player) : E_FAIL; });
}

// Left stopped at 0, not paused as Stop leaves the default player.
extern "C" HRESULT WINAPI PlayerStop(FLATPLAY_PLAYER handle) {
    return WithPlayer(handle, [](PoolPlayer &player) { return player.m_pMC ? StopAndRewind(player) : E_FAIL; });
}

extern "C" HRESULT WINAPI PlayerSeek(FLATPLAY_PLAYER handle, LONGLONG position) {
    return WithPlayer(
        handle, [position](PoolPlayer &player) { return player.m_pMC ? SeekWhileStopped(player, position) : E_FAIL; });
}
