#include "api/context.h"

// Constant-initialised: the load-time values need no code at load.
constinit PlaybackContext g_ctx;
constinit PoolPlayer g_players[FLATPLAY_MAX_PLAYERS];

void ReportFailure(HRESULT hr, LPCWSTR call) {
    NKDbgPrintfW(TEXT("FAILED(hr=0x%x) in %s\n"), static_cast<unsigned>(hr), call);
}

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

HRESULT TakePlayer(FLATPLAY_PLAYER handle, PoolPlayer *&player) {
    const auto value = reinterpret_cast<UINT_PTR>(handle);
    const UINT_PTR index = value & kStatusMask;
    // The live word is the handle with Live for its index: a value of
    // another generation, or wider than the word, matches none.
    if (index >= FLATPLAY_MAX_PLAYERS || g_players[index].m_dwSlot.load() != ((value - index) | Live)) return E_HANDLE;
    if (g_players[index].m_dwThread != GetCurrentThreadId()) return RPC_E_WRONG_THREAD;
    player = &g_players[index];
    return S_OK;
}

extern "C" HRESULT WINAPI PlayerCreate(FLATPLAY_PLAYER *handle) {
    if (!handle) return E_POINTER;
    *handle = nullptr;
    for (PoolPlayer &player : g_players) {
        DWORD word = player.m_dwSlot.load();
        if ((word & kStatusMask) != Free) continue;
        // The next generation, never 0, so that no handle is NULL: only after
        // 2^28 players in one slot would an old handle name a new player.
        DWORD generation = ((word >> kSlotBits) + 1) << kSlotBits;
        if (!generation) generation = 1 << kSlotBits;
        // Claimed, or taken by another thread meanwhile: then the next slot.
        if (!player.m_dwSlot.compare_exchange_strong(word, generation | Busy)) continue;
        // A thread in a single-threaded apartment keeps it: the player works there.
        HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) {
            player.m_dwSlot = word;
            return hr;
        }
        player.m_bComStarted = SUCCEEDED(hr);
        player.m_dwThread = GetCurrentThreadId();
        // What an earlier player of the slot set is not this one's.
        player.m_hwndHost = nullptr;
        player.m_hwndDrain = player.m_hwndEvent = nullptr;
        player.m_uEventMsg = 0;
        player.m_rcVideo = RECT{};
        player.m_lLevel = player.m_lBalance = 0;
        player.m_bMuted = FALSE;
        player.m_nPlayState = Closed;
        player.m_dwSlot = generation | Live;
        *handle = HandleOf(player);
        return S_OK;
    }
    return FLATPLAY_E_NO_MORE_PLAYERS;
}

extern "C" HRESULT WINAPI PlayerGetState(FLATPLAY_PLAYER handle, LONG *state) {
    return WithPlayer(handle, [state](PoolPlayer &player) {
        if (!state) return E_POINTER;
        *state = player.m_nPlayState;
        return S_OK;
    });
}
