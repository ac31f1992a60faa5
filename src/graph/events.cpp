// The graph's event queue: the end of a clip and graph errors, announced
// to a window of the host's and taken off the queue one at a time.
#include "api/context.h"

#if defined(_WIN32)
// The header names the codes a host handles without redefining evcode.h's.
static_assert(FLATPLAY_EVENT_COMPLETE == EC_COMPLETE && FLATPLAY_EVENT_USERABORT == EC_USERABORT &&
              FLATPLAY_EVENT_ERRORABORT == EC_ERRORABORT);
#endif

namespace {

// `instance` comes with every announcement as its lParam.
HRESULT SetEventWindowOf(Player &player, HWND hwnd, UINT msg, LONG_PTR instance) {
    // Kept for every later graph, even when the held one refuses it.
    player.m_hwndEvent = hwnd;
    player.m_uEventMsg = hwnd ? msg : 0;
    if (!player.m_pME) return S_OK;
    return player.m_pME->SetNotifyWindow(reinterpret_cast<OAHWND>(hwnd), static_cast<LONG>(player.m_uEventMsg),
                                         instance);
}

HRESULT GetGraphEventOf(Player &player, LONG *code, LONG_PTR *param1, LONG_PTR *param2) {
    if (!code || !param1 || !param2) return E_POINTER;
    if (!player.m_pME) return E_FAIL;
    LONG lCode = 0;
    LONG_PTR lParam1 = 0, lParam2 = 0;
    // No wait: an empty queue answers E_ABORT at once, the timeout's code.
    HRESULT hr = player.m_pME->GetEvent(&lCode, &lParam1, &lParam2, 0);
    if (hr == E_ABORT) {
        *code = 0;
        *param1 = *param2 = 0;
        return S_FALSE;
    }
    if (FAILED(hr)) return hr;
    // Whatever the event carries that the platform allocated goes back now:
    // the host gets values, never something it would have to free.
    player.m_pME->FreeEventParams(lCode, lParam1, lParam2);
    *code = lCode;
    *param1 = lParam1;
    *param2 = lParam2;
    return hr;
}

} // namespace

extern "C" HRESULT WINAPI SetEventWindow(HWND hwnd, UINT msg) { return SetEventWindowOf(g_ctx, hwnd, msg, 0); }

extern "C" HRESULT WINAPI GetGraphEvent(LONG *code, LONG_PTR *param1, LONG_PTR *param2) {
    return GetGraphEventOf(g_ctx, code, param1, param2);
}

extern "C" HRESULT WINAPI PlayerSetEventWindow(FLATPLAY_PLAYER handle, HWND hwnd, UINT msg) {
    return WithPlayer(handle, [=](PoolPlayer &player) {
        return SetEventWindowOf(player, hwnd, msg, reinterpret_cast<LONG_PTR>(HandleOf(player)));
    });
}

extern "C" HRESULT WINAPI PlayerGetEvent(FLATPLAY_PLAYER handle, LONG *code, LONG_PTR *param1, LONG_PTR *param2) {
    return WithPlayer(handle, [=](PoolPlayer &player) { return GetGraphEventOf(player, code, param1, param2); });
}
