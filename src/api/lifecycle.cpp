#include "api/context.h"

// Constant-initialised: the load-time values need no code at load.
constinit PlaybackContext g_ctx;
constinit PoolPlayer g_players[FLATPLAY_MAX_PLAYERS];

void ReportFailure(HRESULT hr, const char *call) {
    WCHAR text[128]; // the longest call is 99 characters
    UINT n = 0;
    for (; call[n] && n < 127; ++n) text[n] = static_cast<WCHAR>(call[n]);
    text[n] = 0;
    NKDbgPrintfW(TEXT("FAILED(hr=0x%x) in %s\n"), static_cast<unsigned>(hr), text);
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

namespace {

// The slot of the live player `handle` names, of whatever thread.
[[gnu::always_inline]] inline PoolPlayer *Slot(FLATPLAY_PLAYER handle) {
    const auto value = reinterpret_cast<UINT_PTR>(handle);
    const UINT_PTR index = value & kStatusMask;
    // The live word is the handle with Live for its index: a value of
    // another generation, or wider than the word, matches none.
    if (index >= FLATPLAY_MAX_PLAYERS || static_cast<DWORD>(g_players[index].m_lSlot) != ((value - index) | Live))
        return nullptr;
    return &g_players[index];
}

} // namespace

PoolPlayer *LivePlayer(FLATPLAY_PLAYER handle) {
    PoolPlayer *player = Slot(handle);
    return player && player->m_dwThread == CoGetCurrentProcess() ? player : nullptr;
}

HRESULT Refusal(FLATPLAY_PLAYER handle) { return Slot(handle) ? RPC_E_WRONG_THREAD : E_HANDLE; }

extern "C" HRESULT WINAPI PlayerCreate(FLATPLAY_PLAYER *handle) {
    if (!handle) return E_POINTER;
    *handle = nullptr;
    for (PoolPlayer &player : g_players) {
        const LONG word = player.m_lSlot;
        if ((word & kStatusMask) != Free) continue;
        // The next generation, never 0, so that no handle is NULL: only after
        // 2^28 players in one slot would an old handle name a new player.
        DWORD next = ((static_cast<DWORD>(word) >> kSlotBits) + 1) << kSlotBits;
        const auto generation = static_cast<LONG>(next ? next : 1 << kSlotBits);
        // Claimed, or taken by another thread meanwhile: then the next slot.
        if (InterlockedCompareExchange(&player.m_lSlot, generation | Busy, word) != word) continue;
        // A thread in a single-threaded apartment keeps it: the player works there.
        HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) {
            InterlockedExchange(&player.m_lSlot, word);
            return hr;
        }
        player.m_bComStarted = SUCCEEDED(hr);
        // COM's number for the thread, never given to another thread later,
        // as a thread id may be once the thread has ended.
        player.m_dwThread = CoGetCurrentProcess();
        // What an earlier player of the slot set is not this one's.
        player.m_hwndHost = nullptr;
        player.m_hwndDrain = player.m_hwndEvent = nullptr;
        player.m_uEventMsg = 0;
        player.m_rcVideo = RECT{};
        player.m_lLevel = player.m_lBalance = 0;
        player.m_bMuted = FALSE;
        player.m_nPlayState = Closed;
        InterlockedExchange(&player.m_lSlot, generation | Live);
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
