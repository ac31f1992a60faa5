#include "api/context.h"

// Constant-initialised: the load-time values need no code at load.
constinit PlaybackContext g_ctx;

extern "C" HRESULT WINAPI Initialize(void) {
    HRESULT hr = CoInitializeEx(nullptr, 0);
    if (FAILED(hr)) {
        NKDbgPrintfW(TEXT("CoInitialize Failed!\r\n"));
        return hr;
    }
    g_ctx.m_nPlayState = Closed;
    return hr;
}

extern "C" HRESULT WINAPI UnInitialize(void) {
    CoUninitialize();
    return S_OK;
}

extern "C" HRESULT WINAPI SetHWND(HWND hwnd) {
    g_ctx.m_hwndHost = hwnd;
    return S_OK;
}

extern "C" LONG WINAPI GetPlayState(void) { return g_ctx.m_nPlayState; }

extern "C" DWORD WINAPI GetLibraryVersion(void) { return FLATPLAY_VERSION; }
